// One small program that makes every kind of entity and every kind of report line, converted end to end and
// compared byte for byte with a drawing worked out by hand. Its feed of 1 mm/min makes each cut count in the
// total time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conversion/ConversionRun.h"
#include "conversion/tests/RecordingHost.h"
#include "tests/support/TempFolder.h"

namespace {

const char* const kProgram =
    "(T1 DIA20.)\n"
    "T1 M06\n"
    "G00 X10. Y0 Z5.\n"
    "G01 Z0 F1\n"
    "G41 D7 G03 X0 Y10. I-10. J0\n"
    "G03 X0 Y10. I0 J5.\n"
    "G40 G01 X0 Y0\n"
    "G81 X20. Y20. Z-2. R1. F1\n"
    "G80 G00 Z10.\n";

const std::string kRapid = "\x91\x81\x91\x97\x82\xE8";
const std::string kCompensated = "\x95\xE2\x90\xB3\x82\xA0\x82\xE8";
const std::string kUncompensated = "\x95\xE2\x90\xB3\x96\xB3\x82\xB5";
const std::string kCycle = "\x8C\xC5\x92\xE8\x83\x54\x83\x43\x83\x4E\x83\x8B";
const std::string kCentre = "\x92\x86\x90\x53\x90\xFC";
const std::string kInformation = "\x8F\xEE\x95\xF1";

std::string CrLf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

TEST(GoldenRun, EveryEntityAndReportLineOfASmallProgram) {
    TempFolder folder;
    ConversionFiles files;
    files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
    files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
    files.ncFile = folder.write("GOLDEN.NC", kProgram);
    files.dxfFile = folder.file("GOLDEN.DXF");
    RecordingHost host;

    ASSERT_EQ(RunConversion(host, files), RunOutcome::Completed);

    // One entity a line, as the file lists them.
    // clang-format off
    const std::string expected = CrLf({
        "0", "SECTION", "2", "ENTITIES", "0",
        // G00 X10. Y0 Z5.: from the origin; the first point is where the move ends.
        "LINE", "8", kRapid, "10", "10", "20", "0", "30", "5", "11", "0", "21", "0", "31", "0", "0",
        // G01 Z0: straight down, compensation off.
        "LINE", "8", kUncompensated, "10", "10", "20", "0", "30", "0", "11", "10", "21", "0", "31", "5", "0",
        // G03 around the origin from 0 to 90 degrees, compensation on from this line.
        "ARC", "8", kCompensated, "10", "0", "20", "0", "30", "0", "40", "10", "50", "0", "51", "90", "0",
        // G03 back to where it started: a full circle around (0, 15).
        "CIRCLE", "8", kCompensated, "10", "0", "20", "15", "30", "0", "40", "5", "0",
        // G40 G01 X0 Y0.
        "LINE", "8", kUncompensated, "10", "0", "20", "0", "30", "0", "11", "0", "21", "10", "31", "0", "0",
        // G81 draws its hole alone: the rapid over to it at the initial level 0, the rapid between that level
        // and the R level 1, the feed down to the bottom -2 and the circle, radius min(10, 2 x 1.6643).
        "LINE", "8", kRapid, "10", "20", "20", "20", "30", "0", "11", "0", "21", "0", "31", "0", "0",
        "LINE", "8", kRapid, "10", "20", "20", "20", "30", "1", "11", "20", "21", "20", "31", "0", "0",
        "LINE", "8", kCycle, "10", "20", "20", "20", "30", "1", "11", "20", "21", "20", "31", "-2", "0",
        "CIRCLE", "8", kCycle, "10", "20", "20", "20", "30", "-2", "40", "3.3286", "0",
        // G80 G00 Z10.: up from the return level, the initial level 0 under G98.
        "LINE", "8", kRapid, "10", "20", "20", "20", "30", "10", "11", "20", "21", "20", "31", "0", "0",
        // Extents X -5..20 (the full circle reaches -5), Y 0..20; scale 150 / 25 = 6; height int(4 / 6) = 0,
        // so 1. Minutes: the cuts 5 (down), 5 pi (quarter arc), 10 pi (circle), 10 (back) and 3 (the hole's
        // depth at F1) make 65.12, the rapids at 5000 about 0.05 more: 1H5m.
        "LINE", "8", kCentre, "10", "-5", "20", "0", "11", "20", "21", "0", "0",
        "LINE", "8", kCentre, "10", "0", "20", "0", "11", "0", "21", "20", "0",
        "TEXT", "8", kInformation, "10", "-5", "20", "-2.4", "40", "1", "1", "Xmin:-5 Xmax:20", "0",
        "TEXT", "8", kInformation, "10", "-5", "20", "-3.6", "40", "1", "1", "Ymin:0 Ymax:20", "0",
        "TEXT", "8", kInformation, "10", "-5", "20", "-4.8", "40", "1", "1", "TotalTime:1H5m Scale:6", "0",
        "ENDSEC", "0", "EOF",
    });
    // clang-format on
    EXPECT_EQ(ReadBytes(files.dxfFile), expected);

    const std::string stars = "**********************************";
    EXPECT_EQ(host.reportLines, (std::vector<std::string>{"T1", stars, "    D7", "確認！工具φ20",
                                                          "    G41MinR(G03)=5", stars, "    D0"}));
    EXPECT_EQ(host.lineCounts.back(), 9);
}

}  // namespace
