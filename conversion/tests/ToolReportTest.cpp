#include "conversion/ToolReport.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "conversion/tests/RecordingHost.h"
#include "core/SString.h"
#include "nc/NcAnalyzer.h"

namespace {

using Lines = std::vector<std::string>;

const std::string kStars = "**********************************";

// Interprets the program line by line and runs both checks after each line, as the dispatch does.
Lines ReportOf(RecordingHost& host, ToolReport& report, const Lines& program) {
    NcAnalyzer analyzer;
    analyzer.load(SString("G90G00X0.0Y0.0Z0.0"));
    report.reset();
    for (const std::string& line : program) {
        analyzer.load(SString(line.c_str()));
        report.checkTool(analyzer);
        report.checkCompensation(analyzer);
    }
    return host.reportLines;
}

Lines ReportOf(const Lines& program) {
    RecordingHost host;
    ToolReport report(host);
    return ReportOf(host, report, program);
}

struct ReportCase {
    const char* label;
    Lines program;
    Lines expected;
};

void PrintTo(const ReportCase& c, std::ostream* os) {
    *os << c.label;
}

class ToolReportTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ToolReportTest, ReportsTheProgram) {
    EXPECT_EQ(ReportOf(GetParam().program), GetParam().expected);
}

const Lines kSevenLines = {"(T1 DIA10.)",           "T1 M06",   "G00 X0 Y0",    "G41 D11 G01 X10.",
                           "G03 X20. Y10. I0 J10.", "G01 Y30.", "G40 G01 X0 Y0"};

Lines WithDiameter(const char* comment) {
    Lines program = kSevenLines;
    program[0] = comment;
    return program;
}

INSTANTIATE_TEST_SUITE_P(
    Stretches, ToolReportTest,
    ::testing::Values(
        ReportCase{"SevenLineExample",
                   kSevenLines,
                   {"T1", kStars, "    D11", "    G41MinR(G03)=10", kStars, "    D0"}},
        ReportCase{"ToolTooBig",
                   WithDiameter("(T1 DIA30.)"),
                   {"T1", kStars, "    D11", "確認！工具φ30", "    G41MinR(G03)=10", kStars, "    D0"}},
        ReportCase{"HalfDiameterEqualToRadiusIsNoWarning",
                   WithDiameter("(T1 DIA20.)"),
                   {"T1", kStars, "    D11", "    G41MinR(G03)=10", kStars, "    D0"}},
        ReportCase{"NoDiameterNoWarning",
                   WithDiameter("(T1)"),
                   {"T1", kStars, "    D11", "    G41MinR(G03)=10", kStars, "    D0"}},
        ReportCase{
            "LineWithoutArcWordsInG02ModeLeavesTheMinimum",
            {"(DIA10.)", "G00 X0 Y0", "G42 D1 G01 X10.", "G02 X20. Y10. I0 J10.", "M08", "G40 G01 X0 Y0"},
            {kStars, "    D1", "    G42MinR(G02)=10", kStars, "    D0"}},
        ReportCase{"HelixCountsAsAnArc",
                   {"(DIA30.)", "G41 D1 G01 X10.", "G03 X0. Y10. Z-2. I-10.", "G40 G01 X0 Y0"},
                   {kStars, "    D1", "確認！工具φ30", "    G41MinR(G03)=10", kStars, "    D0"}},
        // Mirrored in X, the G41 arc turning G03 is cut as G42 and G02; scaled by 2, its radius is 20.
        ReportCase{"MirrorSwapsTheSideAndScalingTheRadius",
                   {"G51 X0 Y0 P2000", "G51.1 X0", "G41 D1 G01 X10.", "G03 X0. Y10. I-10.", "G40 G01 X0 Y0"},
                   {kStars, "    D1", "    G42MinR(G02)=20", kStars, "    D0"}},
        ReportCase{"StraightStretchHasNoMinimum",
                   {"G41 D1 G01 X10.", "Y10.", "G40 X0"},
                   {kStars, "    D1", kStars, "    D0"}},
        ReportCase{"ArcInTheLineThatChangesDCountsForNeitherStretch",
                   {"G41 D1 G03 X10. Y10. I10. J0", "G40 G01 X0"},
                   {kStars, "    D1", kStars, "    D0"}},
        ReportCase{"OutsideArcsAreNotReported",
                   {"G41 D1 G01 X10.", "G02 X20. Y10. I0 J10.", "G40 G01 X0"},
                   {kStars, "    D1", kStars, "    D0"}},
        ReportCase{"SwitchStraightToG42IsReportedUnderG42",
                   {"G41 D1 G01 X10.", "G02 X20. Y10. I0 J5.", "G03 X30. I5. J0", "G42 D2 G01 X40."},
                   {kStars, "    D1", "    G42MinR(G02)=5", kStars, "    D2"}},
        ReportCase{"MinimumRoundedToThreeDecimals",
                   {"G41 D1 G01 X10.", "G03 X20. I1.0625 J0", "G40 G01 X0"},
                   {kStars, "    D1", "    G41MinR(G03)=1.063", kStars, "    D0"}},
        ReportCase{"PiRoundedToThreeDecimals",
                   {"G41 D1 G01 X10.", "G03 X20. I3.14159 J0", "G40 G01 X0"},
                   {kStars, "    D1", "    G41MinR(G03)=3.142", kStars, "    D0"}},
        ReportCase{"StretchAfterG40WithTheSameCodeHasAMinimumOfItsOwn",
                   {"(DIA12.)", "G41 D1 G01 X10.", "G03 X20. I5. J0", "G40 G01 X0", "G41 D1 G01 X10.",
                    "G03 X30. I10. J0", "G40 G01 X0"},
                   {kStars, "    D1", "確認！工具φ12", "    G41MinR(G03)=5", kStars, "    D0", kStars,
                    "    D1", "    G41MinR(G03)=10", kStars, "    D0"}},
        ReportCase{"SwitchToAnotherNumberWithTheSameCodeStartsAFreshMinimum",
                   {"G42 D1 G01 X10.", "G02 X20. I5. J0", "G42 D2 G01 X30.", "G01 Y10.", "G42 D3 G01 X40.",
                    "G02 X60. I10. J0", "G40 G01 X0"},
                   {kStars, "    D1", "    G42MinR(G02)=5", kStars, "    D2", kStars, "    D3",
                    "    G42MinR(G02)=10", kStars, "    D0"}},
        ReportCase{
            "InsideRadiusOfRArcs",
            {"(DIA10.)", "G00 X0 Y0", "G41 D1 G01 X10.", "G03 X16. R5.", "G03 X22. R3.", "G40 G01 X30."},
            {kStars, "    D1", "確認！工具φ10", "    G41MinR(G03)=3", kStars, "    D0"}},
        ReportCase{"RArcEndingWhereItStartsIsNoArc",
                   {"G41 D1 G01 X10.", "G03 R5.", "G40 G01 X0"},
                   {kStars, "    D1", kStars, "    D0"}},
        ReportCase{
            "StretchOpenAtTheEndIsNotReported", {"G41 D1 G01 X10.", "G03 X20. I5. J0"}, {kStars, "    D1"}}),
    [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Tools, ToolReportTest,
    ::testing::Values(ReportCase{"TWordAloneIsNoToolChange", {"T5", "G00 X1."}, {}},
                      ReportCase{"M06BeforeAnyTMakesToolOne", {"M06"}, {"T1"}},
                      ReportCase{"SameToolTwiceIsReportedOnce", {"T1 M06", "T1 M06"}, {"T1"}},
                      ReportCase{
                          "EachChangeIsReported", {"T1 M06", "T2", "M06", "T1 M06"}, {"T1", "T2", "T1"}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ToolReportRuns, EveryRunStartsWithoutATool) {
    RecordingHost host;
    ToolReport report(host);
    ReportOf(host, report, {"T3 M06"});
    EXPECT_EQ(ReportOf(host, report, {"T3 M06"}), (Lines{"T3", "T3"}));
}

}  // namespace
