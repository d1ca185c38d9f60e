// Programs no machine would run still convert to the end, with a complete drawing and nothing undefined in
// it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>

#include "conversion/ConversionRun.h"
#include "conversion/tests/RecordingHost.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kFooter = "ENDSEC\r\n0\r\nEOF\r\n";

class BadProgramTest : public ::testing::Test {
protected:
    RunOutcome convert(const std::string& program) {
        files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
        files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
        files.ncFile = folder.write("BAD.NC", program);
        files.dxfFile = folder.file("BAD.DXF");
        return RunConversion(host, files);
    }

    // The drawing ends with the footer and holds no number text that a DXF reader could not take.
    void expectCompleteDrawing() {
        std::string drawing = ReadBytes(files.dxfFile);
        ASSERT_GE(drawing.size(), kFooter.size());
        EXPECT_EQ(drawing.substr(drawing.size() - kFooter.size()), kFooter);
        std::transform(drawing.begin(), drawing.end(), drawing.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        EXPECT_EQ(drawing.find("inf"), std::string::npos);
        EXPECT_EQ(drawing.find("nan"), std::string::npos);
    }

    TempFolder folder;
    ConversionFiles files;
    RecordingHost host;
};

TEST_F(BadProgramTest, BinaryFile) {
    std::mt19937 random(7);
    std::string bytes(1 << 20, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(random());
    }
    ASSERT_EQ(convert(bytes), RunOutcome::Completed);
    expectCompleteDrawing();
}

TEST_F(BadProgramTest, OneLineOfTenMegabytesArrivesInPiecesOf255Bytes) {
    const std::size_t length = 10u * 1000u * 1000u;
    std::string line;
    line.reserve(length + 1);
    while (line.size() < length) {
        line += "G01X123456.789Y-98765.4321Z0.5 ";
    }
    line.resize(length);
    ASSERT_EQ(convert(line + "\n"), RunOutcome::Completed);
    // 39216 full pieces, and the rest with the line feed.
    EXPECT_EQ(host.lineCounts.back(), static_cast<std::int64_t>(length / 255 + 1));
    expectCompleteDrawing();
}

TEST_F(BadProgramTest, HugeNumbersNeverReachTheDrawingAsInfinity) {
    const std::string digits(400, '9');
    ASSERT_EQ(convert("G01 X" + digits + ". Y-" + digits + ". F" + digits + "\n" + "G02 X0 Y0 I" + digits +
                      ". J" + digits + ".\n" + "G00 Y99999.\nG81 X1. Y1. Z-" + digits + ". R1.\n"),
              RunOutcome::Completed);
    expectCompleteDrawing();
}

TEST_F(BadProgramTest, CyclesAndHelicesOfAnySizeKeepTheDrawingFinite) {
    const std::string digits(240, '9');
    ASSERT_EQ(convert("G00 Z10.\nG81 X1. Z-1. R2. K0\nG81 X2. K-5\nG81 X3. K2.5\nG81 X4. K1000000000\n"
                      "G91 G81 X" + digits + ". Y-1. K9999\nG91 G81 X1. Z" + digits + ".\nG90 G80 G91 G83 X1. Y2.\n"
                      "G90 G80 G81 X5. Z5. R-2.\nG80 G01 X.000000001 F100\nG03 X-.000000001 Y0 Z-1. I-.000000001\n"
                      "G02 X1000000000. Y0 Z1000000000. I1000000000.\nG19 G02 Y5. Z" + digits + ". J" + digits +
                      ".\n"),
              RunOutcome::Completed);
    expectCompleteDrawing();
}

// Each transform at its limits, alone and stacked, then moves, arcs and holes under it.
TEST_F(BadProgramTest, CoordinateSystemsAtTheirLimitsKeepTheDrawingFinite) {
    const std::string moves = "G01 X1. Y2. Z3. F100\nG02 X5. Y0 I2. J0\nG03 X1. R1e300\nG81 X3. Y4. Z-1. R1. K3\nG80\n";
    ASSERT_EQ(convert("G51 X0 Y0 P0\nG51 P1e300\n" + moves + "G51 I1e300 J1e-300 K-1e300\n" + moves +
                      "G50\nG68 X1. Y1. R1e300\n" + moves + "G68 R45.\nG68 R45.\nG18 G91 G68 R1e300\n" + moves +
                      "G69 G17 G90 G16\nX-1. Y30.\nX1e300 Y1e300\nG91 X1. Y1e300\n" + moves +
                      "G15 G10 L2 P99 X1.\nG10 L20 P0 X1.\nG54.1 P49\nG10 L2 P1 X1e300\nG55 G52 X1e300\n" +
                      moves + "G91 G53 X1. Z1e300\nG28\nG91 G28 X0 Y0 Z0\nG20 F1e308\n" + moves),
              RunOutcome::Completed);
    expectCompleteDrawing();
}

struct UnfinishedCase {
    const char* label;
    const char* program;
};

void PrintTo(const UnfinishedCase& c, std::ostream* os) {
    *os << c.label;
}

class UnfinishedProgramTest : public BadProgramTest, public ::testing::WithParamInterface<UnfinishedCase> {};

TEST_P(UnfinishedProgramTest, EndsWithACompleteDrawing) {
    ASSERT_EQ(convert(GetParam().program), RunOutcome::Completed);
    expectCompleteDrawing();
    // An open stretch is never reported.
    for (const std::string& line : host.reportLines) {
        EXPECT_EQ(line.find("MinR"), std::string::npos) << line;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Programs, UnfinishedProgramTest,
    ::testing::Values(UnfinishedCase{"InsideACompensatedStretch", "G41 D1 G01 X10.\nG03 X20. I5. J0\n"},
                      UnfinishedCase{"InsideACannedCycle", "G99 G83 X10. Y10. Z-5. R1. Q0 F0\nX20.\n"},
                      UnfinishedCase{"WithoutALineEnd", "G01 X10. Y5."}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
