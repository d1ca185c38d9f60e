// What a block holds that is not drawn: codes outside the dialect, macro variables, LinuxCNC syntax and words
// the parser never reached. Comments and lines without words lose nothing.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

using Omissions = std::vector<Omission>;

struct OmissionCase {
    const char* label;
    std::string line;
    Omissions expected;
};

void PrintTo(const OmissionCase& c, std::ostream* os) {
    *os << c.label;
}

class NcOmission : public ::testing::TestWithParam<OmissionCase> {};

TEST_P(NcOmission, ListsWhatTheBlockLeavesUndrawn) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, GetParam().line});
    EXPECT_EQ(Omissions(a.omissions().begin(), a.omissions().end()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, NcOmission,
    ::testing::Values(OmissionCase{"G20", "G20 G00 X1.", {Omission::InchUnits}},
                      OmissionCase{"G53", "G53 Z0", {Omission::MachineCoordinates}},
                      OmissionCase{"G28", "N10 G91 G28 Z0 M05", {Omission::ReferenceReturn}},
                      OmissionCase{"G54_1P49", "G54.1 P49", {Omission::OffsetNumberOutOfRange}},
                      OmissionCase{"G10L2P7", "G10 L2 P7 X0", {Omission::OffsetNumberOutOfRange}},
                      OmissionCase{"G51P0", "G51 X0 Y0 P0", {Omission::ScaleFactorZero}},
                      OmissionCase{"InTheOrderMet", "G20 G54.1 P0", {Omission::InchUnits, Omission::OffsetNumberOutOfRange}},
                      OmissionCase{"OnceAPerBlock", "G20 G20", {Omission::InchUnits}},
                      OmissionCase{"DrawnCodes", "G68 X0 Y0 R45.", {}},
                      OmissionCase{"G21", "G21 G17 G40 G49 G80", {}}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Macros, NcOmission,
    ::testing::Values(OmissionCase{"Assignment", "#1=5.", {Omission::MacroVariable}},
                      // The words the "#" cut off are not listed again.
                      OmissionCase{"InAWord", "G01 X#1 Y#2", {Omission::MacroVariable}},
                      OmissionCase{"InACommentLine", "(T4 #4 TAP DRILL)", {}},
                      OmissionCase{"InAnEndComment", "G01 X1. (HOLE #4)", {}},
                      OmissionCase{"Bracket", "G01 X[1+#2]", {Omission::MacroVariable}},
                      OmissionCase{"AfterAStop", "IF [#1 GT 0] GOTO 5", {Omission::MacroVariable}}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    UnreachedWords, NcOmission,
    ::testing::Values(
        OmissionCase{"AfterAComment", "G17 G2 (270 360) I0 J7. X9. Y6.", {}},
        OmissionCase{"EndComments", "G01 X10.(A) (B)", {}},
        OmissionCase{"UnclosedComment", "G01 X10.(DEPTH", {}},
        OmissionCase{"BlanksAfterASemicolon", "G01 X10. ; (A) ", {}},
        OmissionCase{"TextAfterASemicolon", "G01 X10. ; DEPTH 5", {Omission::TextAfterUnreadChar}},
        OmissionCase{"AfterE", "G01 X1. E5 Y2.", {Omission::TextAfterUnreadChar}},
        OmissionCase{"ProgramJump", "GOTO0003", {Omission::TextAfterUnreadChar}},
        OmissionCase{"ColonAlone", ":", {Omission::TextAfterUnreadChar}},
        OmissionCase{"ClosingParenthesis", ")", {Omission::TextAfterUnreadChar}},
        OmissionCase{
            "CodesBeforeTheStopCount", "G20 E5 G68", {Omission::InchUnits, Omission::TextAfterUnreadChar}},
        OmissionCase{"TapeMark", "%", {}}, OmissionCase{"CommentLine", "-G01 X10. E5", {}},
        OmissionCase{"EmptyLine", "", {}}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    LinuxCnc, NcOmission,
    ::testing::Values(OmissionCase{"Subroutine", "o100 sub", {Omission::OWordControl}},
                      OmissionCase{"NamedLoop", "o<loop> while [#<i> LT 5]", {Omission::OWordControl}},
                      OmissionCase{"Call", "O200 CALL [1]", {Omission::OWordControl}},
                      OmissionCase{"Polar", "G20 G01 @5. ^90.", {Omission::PolarWord}},
                      OmissionCase{"PolarAfterAStop", "G01 E1 ^90.", {Omission::PolarWord}},
                      OmissionCase{"NamedParameter", "#<depth> = 5", {Omission::NamedParameter}},
                      OmissionCase{"NamedParameterInAWord", "G01 Z#<depth>", {Omission::NamedParameter}}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
