// Statements: what each line does to the variables and where the run goes on, and what is noted.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/MacroStatement.h"
#include "nc/tests/MacroRig.h"

namespace {

using A = MacroAction;

struct StatementCase {
    const char* line;
    MacroOutcome expected;
    int variable = 1;  // read after the line: #1 starts at 3
    const char* value = "3.00";
    std::vector<std::string> notes = {};
};

std::string Shown(MacroValue value) {
    return value.null ? "null" : std::to_string(value.number).substr(0, 4);
}

class MacroStatementRun : public ::testing::TestWithParam<StatementCase> {};

TEST_P(MacroStatementRun, Executes) {
    MacroRig rig;
    rig.set(1, 3.0);
    const MacroOutcome outcome = ExecuteMacroStatement(GetParam().line, rig.evaluator);
    EXPECT_EQ(outcome.action, GetParam().expected.action);
    EXPECT_EQ(outcome.loop, GetParam().expected.loop);
    EXPECT_EQ(outcome.target, GetParam().expected.target);
    EXPECT_EQ(Shown(rig.get(GetParam().variable)), GetParam().value);
    EXPECT_EQ(rig.notes.texts, GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Assignments, MacroStatementRun,
    ::testing::Values(
        StatementCase{"N10 #5 = 2*3", {A::Next}, 5, "6.00"}, StatementCase{"#[2+3]=7", {A::Next}, 5, "7.00"},
        StatementCase{"#[1.5]=4", {A::Next}, 2, "4.00"}, StatementCase{"#1=#7", {A::Next}, 1, "null"},
        StatementCase{"#1=#7+0", {A::Next}, 1, "0.00"},
        StatementCase{"/n20 #1 = #1 + 1 (NEXT)", {A::Next}, 1, "4.00"},
        StatementCase{"#1=1 X10.", {A::Next}, 1, "1.00", {"マクロ文の行のワード"}},
        StatementCase{"#1=2; (END)", {A::Next}, 1, "2.00"},
        StatementCase{"#3000 = 12 (TOOL BROKEN)", {A::Stop}, 1, "3.00", {"#3000 アラーム: 12 (TOOL BROKEN)"}},
        StatementCase{"#3006=1(CHECK)", {A::Next}, 1, "3.00", {"#3006 メッセージ: 1 (CHECK)"}}));

INSTANTIATE_TEST_SUITE_P(Control, MacroStatementRun,
                         ::testing::Values(StatementCase{"IF [1 LT 2] GOTO 100", {A::Jump, 0, 100}},
                                           StatementCase{"if[1 gt 2]goto100", {A::Next}},
                                           StatementCase{"GOTO #1", {A::Jump, 0, 3}},
                                           StatementCase{"GOTO [#1*10]", {A::Jump, 0, 30}},
                                           StatementCase{"N5 GOTO0010", {A::Jump, 0, 10}},
                                           StatementCase{"IF [#1 EQ 3] THEN #2 = 9", {A::Next}, 2, "9.00"},
                                           StatementCase{"IF [#1 NE 3] THEN #2 = 9", {A::Next}, 2, "null"},
                                           StatementCase{"WHILE [#1 GT 0] DO2", {A::LoopBody, 2}},
                                           StatementCase{"while[#1 GT 5]do 2", {A::LoopExit, 2}},
                                           StatementCase{"DO3", {A::LoopBody, 3}},
                                           StatementCase{"END1", {A::LoopEnd, 1}},
                                           StatementCase{"G01 X1.", {A::NotAStatement}},
                                           StatementCase{"END", {A::NotAStatement}},
                                           StatementCase{"#<x> = 1", {A::NotAStatement}},
                                           StatementCase{"(#1=1)", {A::NotAStatement}}));

// Each stops with "マクロ演算エラー: <line>".
class MacroStatementFault : public ::testing::TestWithParam<std::string> {};

TEST_P(MacroStatementFault, StopsWithTheLine) {
    MacroRig rig;
    EXPECT_EQ(ExecuteMacroStatement(GetParam(), rig.evaluator).action, MacroAction::Stop);
    EXPECT_EQ(rig.notes.texts.back(), "マクロ演算エラー: " + GetParam());
}

INSTANTIATE_TEST_SUITE_P(Lines, MacroStatementFault,
                         ::testing::Values("#0=1", "DO4", "END0", "#1=[1", "#1=1]", "#1=1/0", "#1 5",
                                           "GOTO #0", "GOTO -5", "GOTO", "WHILE [1] DO1", "WHILE [1 LT 2]",
                                           "IF [1 LT 2] GOTO", "IF [1 LT 2] THEN X1.", "IF [1 LT 2] STOP",
                                           "#1=1 LT 2", "#2=1 #3=2", "#[#0-1]=1"));

struct ShapeCase {
    const char* line;
    MacroStatementShape expected;
};

class MacroStatementShapes : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(MacroStatementShapes, RecognisedWithoutEvaluating) {
    const MacroStatementShape shape = RecognizeMacroStatement(GetParam().line);
    EXPECT_EQ(shape.kind, GetParam().expected.kind);
    EXPECT_EQ(shape.loop, GetParam().expected.loop);
}

using K = MacroStatementKind;
INSTANTIATE_TEST_SUITE_P(Lines, MacroStatementShapes,
                         ::testing::Values(ShapeCase{"WHILE [#1 LT [1/0]] DO3", {K::While, 3}},
                                           ShapeCase{"N5 END2", {K::End, 2}}, ShapeCase{"DO 1", {K::Do, 1}},
                                           ShapeCase{"DO4", {K::Do, 4}}, ShapeCase{"WHILE [", {K::While, 0}},
                                           ShapeCase{"IF [#1] GOTO 5", {K::If, 0}},
                                           ShapeCase{"#[1]=2", {K::Assignment, 0}},
                                           ShapeCase{"X#1", {K::None, 0}}, ShapeCase{"DOG", {K::None, 0}},
                                           ShapeCase{"N GOTO 1", {K::None, 0}}));

}  // namespace
