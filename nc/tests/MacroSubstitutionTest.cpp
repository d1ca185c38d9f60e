// Values written into NC blocks as the block parser reads them, and what is left as written.
#include <gtest/gtest.h>

#include <string>

#include "nc/MacroSubstitution.h"
#include "nc/tests/MacroRig.h"

namespace {

struct SubstitutionCase {
    const char* line;
    const char* expected;  // nullptr: the line is left as it is
    bool cycleMode = false;
};

class MacroSubstitutionText : public ::testing::TestWithParam<SubstitutionCase> {};

// #1 = 1.0005, #2 = 1.23, #3 = 2.5, #4 = -0.0005, #30 null.
TEST_P(MacroSubstitutionText, WritesPlainWords) {
    MacroRig rig;
    for (const auto& [number, value] : {std::pair{1, 1.0005}, {2, 1.23}, {3, 2.5}, {4, -0.0005}}) {
        rig.set(number, value);
    }
    SubstitutedBlock out;
    const MacroSubstitution result =
        SubstituteMacroValues(GetParam().line, false, GetParam().cycleMode, rig.evaluator, out);
    if (GetParam().expected == nullptr) {
        EXPECT_EQ(result, MacroSubstitution::Unchanged);
    } else {
        ASSERT_EQ(result, MacroSubstitution::Substituted);
        EXPECT_EQ(out.view(), GetParam().expected);
    }
    EXPECT_TRUE(rig.notes.texts.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, MacroSubstitutionText,
    ::testing::Values(SubstitutionCase{"X#1", "X1.001"}, SubstitutionCase{"X#4", "X-0.001"},
                      SubstitutionCase{"G#2 X1.", "G1.2 X1."}, SubstitutionCase{"G90 X#30 Y5.", "G90  Y5."},
                      SubstitutionCase{"X-#30 Y1.", " Y1."}, SubstitutionCase{"X-#3", "X-2.5"},
                      SubstitutionCase{"x [#3*2] y#3", "x 5. y2.5"}, SubstitutionCase{"X[#1*COS[90]]", "X0."},
                      SubstitutionCase{"M#3 S#1 T#[1+1] N#3", "M3 S1 T1 N3"},
                      SubstitutionCase{"E#3 F#3", "E2.5 F2.5"},
                      SubstitutionCase{"X#1 (#2 SAME) Y#2", "X1.001 (#2 SAME) Y1.23"},
                      SubstitutionCase{"/G1X#3", "/G1X2.5"}));

INSTANTIATE_TEST_SUITE_P(RepeatCount, MacroSubstitutionText,
                         ::testing::Values(SubstitutionCase{"K#3", "K3", true},
                                           SubstitutionCase{"K#3", "K2.5", false},
                                           SubstitutionCase{"K#3 G81 Z-1.", "K3 G81 Z-1.", false},
                                           SubstitutionCase{"G80 K#3", "G80 K2.5", true},
                                           SubstitutionCase{"G01 K#3", "G01 K2.5", true},
                                           SubstitutionCase{"G[#3*32.4] K#3", "G81 K3", false}));

INSTANTIATE_TEST_SUITE_P(
    LeftAsWritten, MacroSubstitutionText,
    ::testing::Values(SubstitutionCase{"G01 X1.", nullptr}, SubstitutionCase{"(X#1) G1", nullptr},
                      SubstitutionCase{"X#<name>", nullptr}, SubstitutionCase{"o100 if [#1 GT 0]", nullptr},
                      SubstitutionCase{"X1. ; Y#1", nullptr}, SubstitutionCase{"G01 #1", nullptr},
                      SubstitutionCase{"G01 Y#-1", nullptr}, SubstitutionCase{"X1. E Y#1", nullptr}));

class MacroSubstitutionFault : public ::testing::TestWithParam<std::string> {};

TEST_P(MacroSubstitutionFault, StopsWithTheLine) {
    MacroRig rig;
    SubstitutedBlock out;
    EXPECT_EQ(SubstituteMacroValues(GetParam(), false, false, rig.evaluator, out), MacroSubstitution::Failed);
    EXPECT_EQ(rig.notes.texts.back(), "マクロ演算エラー: " + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lines, MacroSubstitutionFault,
                         ::testing::Values("X[1/0]", "X[1", "X[1 GT 0]", "X[1000000000000000]",
                                           "X[1]" + std::string(SubstitutedBlock::kCapacity, ' ')));

TEST(MacroSubstitution, ContinuedCommentIsNotRead) {
    MacroRig rig;
    SubstitutedBlock out;
    EXPECT_EQ(SubstituteMacroValues("X#1) X[1/0]", true, false, rig.evaluator, out),
              MacroSubstitution::Failed);
    EXPECT_EQ(SubstituteMacroValues("X[1/0]) X1.", true, false, rig.evaluator, out),
              MacroSubstitution::Unchanged);
}

}  // namespace
