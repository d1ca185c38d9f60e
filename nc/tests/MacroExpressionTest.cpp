// Expressions: precedence, every function against hand-computed values, null, conditions and each fault.
#include <gtest/gtest.h>

#include <string>

#include "nc/tests/MacroRig.h"

namespace {

using Kind = MacroTerm::Kind;

struct ValueCase {
    const char* text;
    double expected;
    Kind kind = Kind::Number;
};

class MacroExpression : public ::testing::TestWithParam<ValueCase> {};

// #1 is null.
TEST_P(MacroExpression, Evaluates) {
    MacroRig rig;
    MacroTerm term;
    ASSERT_EQ(rig.evaluate(GetParam().text, term), MacroError::None);
    EXPECT_EQ(term.kind, GetParam().kind);
    EXPECT_NEAR(term.number, GetParam().expected, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Precedence, MacroExpression,
                         ::testing::Values(ValueCase{"1+2*3", 7}, ValueCase{"[1+2]*3", 9},
                                           ValueCase{"10-4-3", 3}, ValueCase{"8/4/2", 1},
                                           ValueCase{"-2*3+1", -5}, ValueCase{"2*-3", -6},
                                           ValueCase{"1--1", 2}, ValueCase{"1 + 2 AND 3", 3},
                                           ValueCase{"[[1+[2*[3+4]]]]", 15}, ValueCase{"2 (TWO) * 3", 6}));

INSTANTIATE_TEST_SUITE_P(Operators, MacroExpression,
                         ::testing::Values(ValueCase{"-7 MOD 3", -1}, ValueCase{"7 MOD -3", 1},
                                           ValueCase{"5 AND 3", 1}, ValueCase{"5 OR 3", 7},
                                           ValueCase{"5 XOR 3", 6}, ValueCase{"5.9 and 3.2", 1},
                                           ValueCase{"-1 AND 6", 6}, ValueCase{"7MODABS[-3]", 1},
                                           ValueCase{"5ANDFIX[3.5]", 1}, ValueCase{"4ORSIN[90]", 5},
                                           ValueCase{"-16GECOS[17]", 0, Kind::Condition}));

INSTANTIATE_TEST_SUITE_P(
    Functions, MacroExpression,
    ::testing::Values(ValueCase{"SIN[30]", 0.5}, ValueCase{"COS[60]", 0.5}, ValueCase{"COS[90]", 0},
                      ValueCase{"SIN[-90]", -1}, ValueCase{"COS[-720]", 1}, ValueCase{"TAN[45]", 1},
                      ValueCase{"TAN[135]", -1}, ValueCase{"ASIN[1]", 90}, ValueCase{"ASIN[-0.5]", -30},
                      ValueCase{"ACOS[-1]", 180}, ValueCase{"ACOS[0.5]", 60}, ValueCase{"ATAN[1]/[1]", 45},
                      ValueCase{"ATAN[-1,-1]", 225}, ValueCase{"ATAN[-1]", 315}, ValueCase{"ATAN[0,-1]", 180},
                      ValueCase{"ATAN[1]/2", 22.5}, ValueCase{"SQRT[16]", 4}, ValueCase{"SQR[2.25]", 1.5},
                      ValueCase{"ABS[-3]", 3}, ValueCase{"ROUND[2.5]", 3}, ValueCase{"ROUND[-2.5]", -3},
                      ValueCase{"ROUN[1.4]", 1}, ValueCase{"FIX[-2.5]", -2}, ValueCase{"FIX[2.7]", 2},
                      ValueCase{"FUP[-2.5]", -3}, ValueCase{"FUP[2.1]", 3}, ValueCase{"FUP[2]", 2},
                      ValueCase{"LN[1]", 0}, ValueCase{"EXP[0]", 1}, ValueCase{"LN[EXP[2]]", 2},
                      ValueCase{"POW[2,10]", 1024}, ValueCase{"POW[9,0.5]", 3}, ValueCase{"BIN[12]", 12},
                      ValueCase{"sin [ [[30]] ]", 0.5}, ValueCase{"atan[1]/[1]*2", 90}));

INSTANTIATE_TEST_SUITE_P(
    NullAndConditions, MacroExpression,
    ::testing::Values(ValueCase{"#1", 0, Kind::Null}, ValueCase{"[#1]", 0, Kind::Null},
                      ValueCase{"-#1", 0, Kind::Null}, ValueCase{"#1+5", 5}, ValueCase{"#1*5", 0},
                      ValueCase{"SIN[#0]", 0}, ValueCase{"1+1 EQ 2", 1, Kind::Condition},
                      ValueCase{"#1 EQ #0", 1, Kind::Condition}, ValueCase{"#1 EQ 0", 0, Kind::Condition},
                      ValueCase{"#1 NE 0", 1, Kind::Condition}, ValueCase{"#1 GE 0", 1, Kind::Condition},
                      ValueCase{"#1 GT 0", 0, Kind::Condition},
                      ValueCase{"0.1+0.2 EQ 0.3", 0, Kind::Condition},
                      ValueCase{"[1 LT 2] AND [3 GT 4]", 0, Kind::Condition},
                      ValueCase{"[1 LT 2] OR [3 GT 4]", 1, Kind::Condition},
                      ValueCase{"[1 LT 2] XOR [2 LT 3]", 0, Kind::Condition},
                      ValueCase{"2 le 2", 1, Kind::Condition}));

struct FaultCase {
    std::string text;
    MacroError error;
};

class MacroExpressionFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(MacroExpressionFault, Fails) {
    MacroRig rig;
    MacroTerm term;
    EXPECT_EQ(rig.evaluate(GetParam().text, term), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Arithmetic, MacroExpressionFault,
    ::testing::Values(
        FaultCase{"1/0", MacroError::Arithmetic}, FaultCase{"5 MOD 0", MacroError::Arithmetic},
        FaultCase{"SQRT[-1]", MacroError::Arithmetic}, FaultCase{"LN[0]", MacroError::Arithmetic},
        FaultCase{"LN[-1]", MacroError::Arithmetic}, FaultCase{"ASIN[1.5]", MacroError::Arithmetic},
        FaultCase{"ACOS[-1.01]", MacroError::Arithmetic}, FaultCase{"TAN[90]", MacroError::Arithmetic},
        FaultCase{"EXP[1000]", MacroError::Arithmetic}, FaultCase{"POW[-8,0.5]", MacroError::Arithmetic},
        FaultCase{"1" + std::string(400, '0') + "*10", MacroError::Arithmetic}));

INSTANTIATE_TEST_SUITE_P(
    Malformed, MacroExpressionFault,
    ::testing::Values(FaultCase{"[1", MacroError::Syntax}, FaultCase{"1+", MacroError::Syntax},
                      FaultCase{"[1 LT 2] + 1", MacroError::Syntax},
                      FaultCase{"[1 LT 2] AND 1", MacroError::Syntax},
                      FaultCase{"1 LT 2 LT 3", MacroError::Syntax}, FaultCase{"POW[2]", MacroError::Syntax},
                      FaultCase{"SIN[1,2]", MacroError::Syntax}, FaultCase{"FOO[1]", MacroError::Syntax},
                      FaultCase{"SIN 30", MacroError::Syntax}, FaultCase{"[]", MacroError::Syntax},
                      FaultCase{"#-1", MacroError::Syntax}, FaultCase{"#[1e300]", MacroError::Syntax},
                      FaultCase{"#[-1]", MacroError::Range}, FaultCase{"#[100000000]", MacroError::Range},
                      FaultCase{"#123456789012", MacroError::Range},
                      FaultCase{std::string(300, '[') + "1" + std::string(300, ']'), MacroError::Syntax}));

TEST(MacroExpression, NotesBinAndBcd) {
    MacroRig rig;
    MacroTerm term;
    rig.evaluate("BIN[1]+BCD[2]", term);
    EXPECT_EQ(rig.notes.texts, (std::vector<std::string>{"BIN (引数のまま)", "BCD (引数のまま)"}));
}

}  // namespace
