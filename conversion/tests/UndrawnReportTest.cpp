// The list of what a run did not draw, at the end of the report: kinds in the order first met, with their
// counts and the NC file line of the first one. A program that draws completely lists nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ConversionRun.h"
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

TEST(UndrawnReport, ListsEveryKindOnceWithItsCountAndFirstLine) {
    // Line 5 is longer than a piece: its second piece, holding G20, still counts as line 5.
    const std::string longLine = "G00 X1. Y1." + std::string(255 - 11, ' ') + "G20";
    const std::string program =
        "%\n"
        "O1000 (UNDRAWN)\n"
        "G90 G00 X0 Y0 Z5.\n"
        "G68 X0 Y0 R30.\n" +
        longLine +
        "\n"
        "G68 X0 Y0 R30.\n"
        "G01 X10. F100 (FEED) Y5.\n"
        "G02 R5.\n"
        "#1=2.\n"
        "G03 X20. R3.\n"
        "G02 R5.\n"
        "M30\n"
        "%\n";
    std::string drawing;
    EXPECT_EQ(ReportOfRun(program, &drawing), (Lines{
                                                  "作図していないコード",
                                                  "    G68 ×2 (最初: 4行目)",
                                                  "    G20 ×1 (最初: 5行目)",
                                                  "    行の途中のコメントより後 ×1 (最初: 7行目)",
                                                  "    R 始点=終点 ×2 (最初: 8行目)",
                                                  "    # マクロ変数 ×1 (最初: 9行目)",
                                                  "    R 半径不足 ×1 (最初: 10行目)",
                                              }));
    // The one arc drawn is the half circle from (10, 0) counter-clockwise to (20, 0) around (15, 0), at the
    // last Z.
    EXPECT_EQ(Count(drawing, "\r\nARC\r\n"), 1);
    EXPECT_NE(
        drawing.find("\r\nARC\r\n8\r\n\x95\xE2\x90\xB3\x96\xB3\x82\xB5\r\n10\r\n15\r\n20\r\n0\r\n30\r\n5\r\n"
                     "40\r\n5\r\n50\r\n180\r\n51\r\n360\r\n"),
        std::string::npos);
}

TEST(UndrawnReport, ProgramThatDrawsCompletelyListsNothing) {
    const std::string program =
        "%\n"
        "O2000 (CLEAN #2)\n"
        "; set-up\n"
        "G21 G17 G40 G49 G80 G90\n"
        "(T4 #4 TAP DRILL)\n"
        "G00 X0 Y0 Z5. (START)\n"
        "G01 X10. F100 (EDGE)\n"
        "G03 X20. I5. ; half circle\n"
        "G02 X26. R5.\n"
        "G00 Z50.\n"
        "M30\n"
        "%\n";
    EXPECT_EQ(ReportOfRun(program), Lines{});
}

}  // namespace
