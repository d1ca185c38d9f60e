// The list of what a run did not draw, at the end of the report: kinds in the order first met, with their
// counts and the NC file line of the first one. A program that draws completely lists nothing.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "conversion/ConversionRun.h"
#include "conversion/UndrawnCodes.h"
#include "conversion/tests/RecordingHost.h"
#include "tests/support/TempFolder.h"

namespace {

using Lines = std::vector<std::string>;

Lines ReportOfRun(const std::string& program, std::string* drawing = nullptr) {
    TempFolder folder;
    ConversionFiles files;
    files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
    files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
    files.ncFile = folder.write("PROGRAM.NC", program);
    files.dxfFile = folder.file("PROGRAM.DXF");
    RecordingHost host;
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Completed);
    if (drawing != nullptr) {
        *drawing = ReadBytes(files.dxfFile);
    }
    return host.reportLines;
}

int Count(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++count;
    }
    return count;
}

// A line is read up to its first control character, by the macro stage and the parser alike, and listed
// once however many it holds; a block with a length beyond eight digits is left out whole. What remains is
// the path (0, 0) - (10, 0) - (10, 5) - (20, 5) at F100.
TEST(UndrawnReport, ListsLinesCutAtAControlCharacterAndBlocksBeyondEightDigits) {
    const std::string cutInItsSecondPiece = "G01 X20. Y5." + std::string(255, ' ') + "\x01X99.\n";
    const std::string program = std::string(
                                    "G90 G00 X0 Y0 Z0\n"
                                    "G01 X10. F100\0 Y50.\0\n",
                                    38) +
                                "#1=5.\f#1=99.\n"
                                "G01 Y#1\n"
                                "G02 X20. R1" +
                                std::string(53, '0') + ".\n" + cutInItsSecondPiece +
                                "G91 X-100000.\x7f\n"
                                "\x1a\n";
    std::string drawing;
    EXPECT_EQ(ReportOfRun(program, &drawing), (Lines{
                                                  "作図していないコード",
                                                  "    制御文字より後 ×5 (最初: 2行目)",
                                                  "    範囲外の数値 ×2 (最初: 5行目)",
                                              }));
    EXPECT_EQ(Count(drawing, "\r\nARC\r\n"), 0);
    EXPECT_EQ(Count(drawing, "\r\nXmin:0 Xmax:20\r\n"), 1);
    EXPECT_EQ(Count(drawing, "\r\nYmin:0 Ymax:5\r\n"), 1);
    // 25 mm at F100 and 200 mm of rapid at 5000 mm/min: 0.29 minutes; 150 / 20 = 7.5.
    EXPECT_EQ(Count(drawing, "\r\nTotalTime:0H0m Scale:7.5\r\n"), 1);
}

TEST(UndrawnReport, ListsEveryKindOnceWithItsCountAndFirstLine) {
    // Line 5 is longer than a piece: its second piece, holding G20, still counts as line 5.
    const std::string longLine = "G00 X1. Y1." + std::string(255 - 11, ' ') + "G20";
    const std::string program =
        "%\n"
        "O1000 (UNDRAWN)\n"
        "G90 G00 X0 Y0 Z5.\n"
        "G51 X0 Y0 P0\n" +
        longLine +
        "\n"
        "G51 X0 Y0 P0\n"
        "G01 X10. F100 (FEED) Y5.\n"
        "G02 R5.\n"
        "#1=2. (RUNS, SO NOT LISTED)\n"
        "G03 X20. R3.\n"
        "G02 R5.\n"
        "G01 @5. ^90.\n"
        "o100 endsub\n"
        "#<depth> = 1.\n"
        "M30\n"
        "%\n";
    std::string drawing;
    EXPECT_EQ(ReportOfRun(program, &drawing), (Lines{
                                                  "作図していないコード",
                                                  "    G51 倍率0 ×2 (最初: 4行目)",
                                                  "    G20 インチ → mm に換算 ×1 (最初: 5行目)",
                                                  "    R 始点=終点 ×2 (最初: 8行目)",
                                                  "    R 半径不足 ×1 (最初: 10行目)",
                                                  "    @ ^ 極座標 (LinuxCNC) ×1 (最初: 12行目)",
                                                  "    Oワード制御 (LinuxCNC) ×1 (最初: 13行目)",
                                                  "    名前付き変数 (LinuxCNC) ×1 (最初: 14行目)",
                                              }));
    // From the G20 of line 5 on, lengths are inch: the one arc drawn is the half circle from (254, 127)
    // counter-clockwise to (508, 127) around (381, 127), its R of 76.2 being short, at the last Z of 5 mm.
    EXPECT_EQ(Count(drawing, "\r\nARC\r\n"), 1);
    EXPECT_NE(drawing.find(
                  "\r\nARC\r\n8\r\n\x95\xE2\x90\xB3\x96\xB3\x82\xB5\r\n10\r\n381\r\n20\r\n127\r\n30\r\n5\r\n"
                  "40\r\n127\r\n50\r\n180\r\n51\r\n360\r\n"),
              std::string::npos);
}

TEST(UndrawnReport, ProgramThatDrawsCompletelyListsNothing) {
    // Read as words, the comment would draw and list; it spans some 400 pieces of its line.
    std::string comment = "(";
    while (comment.size() < 100'000) {
        comment += " G01 X99. Y-99. E5 #1 @1 ";
    }
    const std::string program =
        "%\n"
        ":2000 (CLEAN #2)\n"
        "G21 G17 G40 G49 G80 G90 ;\n"
        "(T4 #4 TAP DRILL)\n"
        "g00 x 0 y0\tZ5. (START)\n"
        "/G01 X10. F100 (EDGE)\n" +
        comment +
        ")\n"
        "G03 X20. I5. ; (half circle)\n"
        "G02 X26. R5.\n"
        "G00 Z50.\n"
        "M30\n"
        "%\n";
    std::string drawing;
    EXPECT_EQ(ReportOfRun(program, &drawing), Lines{});
    std::string withoutComment;
    ReportOfRun(std::string(program).replace(program.find(comment), comment.size() + 1, ""), &withoutComment);
    EXPECT_EQ(drawing, withoutComment);
}

struct ReportCase {
    const char* label;
    std::string program;
    Lines expected;
};

void PrintTo(const ReportCase& c, std::ostream* out) {
    *out << c.label;
}

class UndrawnReportCase : public testing::TestWithParam<ReportCase> {};

TEST_P(UndrawnReportCase, ListsExactlyTheseLines) {
    EXPECT_EQ(ReportOfRun(GetParam().program), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, UndrawnReportCase,
    testing::Values(ReportCase{"EachCodeUnderItsOwnName",
                               "G20\nG53 Z0\nG91 G28 Z0\nG90 G51 X0 Y0 P0\nG54.1 P49\nG65\nG66 P1\n"
                               "G51 X0 Y0 I1000 J2000\nG02 X1. R1.\nM97\n",
                               {"作図していないコード", "    G20 インチ → mm に換算 ×1 (最初: 1行目)",
                                "    G53 機械座標 (オフセット0として作図) ×1 (最初: 2行目)",
                                "    G28/G30 原点復帰 (オフセット0として作図) ×1 (最初: 3行目)",
                                "    G51 倍率0 ×1 (最初: 4行目)", "    G10/G54.1 P範囲外 ×1 (最初: 5行目)",
                                "    G65 P無し ×1 (最初: 6行目)", "    G66 呼び出し先無し ×1 (最初: 7行目)",
                                "    G51 不等倍率の円弧 ×1 (最初: 9行目)",
                                "    M97 P無し ×1 (最初: 10行目)"}},
                    // From X0 the chord is 10: R4.99 is a hundredth short of reaching X10.
                    ReportCase{"RadiusAHundredthShort",
                               "G02 X10. R4.99\n",
                               {"作図していないコード", "    R 半径不足 ×1 (最初: 1行目)"}},
                    ReportCase{"CyclesThatCannotDrillAsWritten",
                               "G81 X1. R1. K-1\nG81 X1. Z-1. R1. K-1\nG81 X2. K10000\n",
                               {"作図していないコード", "    K 負の値 ×2 (最初: 1行目)",
                                "    固定サイクル Z無し ×1 (最初: 1行目)", "    K 9999超 ×1 (最初: 3行目)"}},
                    ReportCase{"TabBetweenComments", "G01 X10.(A)\t(B)\n", {}},
                    ReportCase{"SemicolonInsideAComment", "G01 X1. (5 ;7) Z4.\n", {}}),
    [](const testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.label); });

}  // namespace

// The window reads the list back to go where a kind was first met: each listed line gives its file and
// line, every other line of a report nothing.
TEST(UndrawnReport, ListedLinesReadBackWhereTheKindWasFirstMet) {
    UndrawnCodes undrawn;
    undrawn.note("G20 インチ → mm に換算", 12);
    undrawn.note("G20 インチ → mm に換算", 30);
    undrawn.setFile("O9000 X.nc");
    undrawn.note("M30 以降の行 (実行されない)", 7);
    RecordingHost host;
    undrawn.report(host);
    ASSERT_EQ(host.reportLines.size(), 3u);
    EXPECT_FALSE(FirstMetIn(host.reportLines[0]));
    const std::optional<FirstMet> first = FirstMetIn(host.reportLines[1]);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->file, "");
    EXPECT_EQ(first->line, 12);
    const std::optional<FirstMet> second = FirstMetIn(host.reportLines[2]);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->file, "O9000 X.nc");
    EXPECT_EQ(second->line, 7);
    for (const char* other :
         {"T1", "    D1", "  G41MinR(G03)=5", "    x ×1 (最初: 行目)", "    ×1 (最初: 3行目)"}) {
        EXPECT_FALSE(FirstMetIn(other)) << other;
    }
}
