#include "dxf/InfoBlock.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/tests/WriterTest.h"

namespace {

// Line positions in the block: two centre lines of 12 lines each, then three TEXT entities of 12 lines.
constexpr std::size_t kFirstText = 24;
constexpr std::size_t kTextLines = 12;
constexpr std::size_t kYInText = 6;
constexpr std::size_t kHeightInText = 8;
constexpr std::size_t kStringInText = 10;

std::string TextLine(const std::vector<std::string>& lines, int text, std::size_t line) {
    const std::size_t index = kFirstText + static_cast<std::size_t>(text) * kTextLines + line;
    return index < lines.size() ? lines[index] : "(missing)";
}

TEST_F(WriterTest, ExampleBlock) {
    // Extents X -10 to 90, Y -20 to 30; 75.9 minutes of work: 0.0668 for the rapid moves, 75.8 along Z.
    feed({"G00 X-10. Y-20.", "G00 X90. Y30.", "G01 Z-75.8 F1."});
    ASSERT_GE(analyzer.totalTime(), 75.0);
    ASSERT_LT(analyzer.totalTime(), 76.0);
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    // Scale 150 / 110 = 1.36, height the integer part of 2.93 = 2, baselines -20 - 2 x 2.4, 3.6 and 4.8.
    EXPECT_EQ(
        written(),
        CrLfLines({"LINE", "8", kCentreLineLayer, "10", "-10", "20", "0", "11", "90", "21", "0", "0"}) +
            CrLfLines({"LINE", "8", kCentreLineLayer, "10", "0", "20", "-20", "11", "0", "21", "30", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "-10", "20", "-24.8", "40", "2", "1",
                       "Xmin:-10 Xmax:90", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "-10", "20", "-27.2", "40", "2", "1",
                       "Ymin:-20 Ymax:30", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "-10", "20", "-29.6", "40", "2", "1",
                       "TotalTime:1H15m Scale:1.4", "0"}));
}

TEST_F(WriterTest, NothingForAProgramThatNeverLeavesTheOrigin) {
    feed({"G01 Z-5. F100.", "G00 Z10."});
    EXPECT_FALSE(WriteInfoBlock(analyzer, output));
    EXPECT_EQ(written(), "");
}

TEST_F(WriterTest, MovesAlongYOnlyStillGetBothCentreLines) {
    feed({"G00 Y10."});
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    // Span 10: scale 15, 4 / 15 = 0.27 whose integer part 0 becomes the height 1. Time 0.04 + 0.002 minutes.
    EXPECT_EQ(
        written(),
        CrLfLines({"LINE", "8", kCentreLineLayer, "10", "0", "20", "0", "11", "0", "21", "0", "0"}) +
            CrLfLines({"LINE", "8", kCentreLineLayer, "10", "0", "20", "0", "11", "0", "21", "10", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-2.4", "40", "1", "1",
                       "Xmin:0 Xmax:0", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-3.6", "40", "1", "1",
                       "Ymin:0 Ymax:10", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-4.8", "40", "1", "1",
                       "TotalTime:0H0m Scale:15", "0"}));
}

struct ScaleCase {
    const char* label;
    std::vector<std::string_view> program;
    const char* height;
    const char* timeAndScale;
};

void PrintTo(const ScaleCase& c, std::ostream* os) {
    *os << c.label;
}

class ScaleTest : public WriterTest, public ::testing::WithParamInterface<ScaleCase> {};

TEST_P(ScaleTest, HeightFollowsTheScale) {
    feed(GetParam().program);
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    const std::vector<std::string> lines = writtenLines();
    for (int text = 0; text < 3; ++text) {
        EXPECT_EQ(TextLine(lines, text, kHeightInText), GetParam().height) << "text " << text;
    }
    EXPECT_EQ(TextLine(lines, 2, kStringInText), GetParam().timeAndScale);
}

// The span is |smaller of the minima| + |larger of the maxima|; the height the integer part of 4 / scale.
INSTANTIATE_TEST_SUITE_P(
    Spans, ScaleTest,
    ::testing::Values(
        // 150 / 1000 = 0.15, stored a little below, still rounds to 0.2; 4 / 0.15 = 26.7.
        ScaleCase{"Span1000", {"G00 X1000."}, "26", "TotalTime:0H0m Scale:0.2"},
        ScaleCase{"Span10", {"G00 X10."}, "1", "TotalTime:0H0m Scale:15"},
        ScaleCase{"Span150FromBothSides", {"G00 X-50. Y100."}, "4", "TotalTime:0H0m Scale:1"},
        ScaleCase{"Span600FromBothSides", {"G00 X-300. Y300."}, "16", "TotalTime:0H0m Scale:0.3"},
        ScaleCase{"SmallestIsAY", {"G00 X40. Y-60."}, "2", "TotalTime:0H0m Scale:1.5"},
        // 0.04 + 59.95 minutes; span 59.95 gives scale 2.502 and 4 / 2.502 = 1.6.
        ScaleCase{"JustUnderAnHour", {"G01 X59.95 F1."}, "1", "TotalTime:0H59m Scale:2.5"},
        // 0.04 + 150.46 = 150.5 minutes; scale 0.997 rounds to 1, 4 / 0.997 = 4.01.
        ScaleCase{"HoursAndMinutes", {"G01 X150.46 F1."}, "4", "TotalTime:2H30m Scale:1"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(WriterTest, ExactlyOneHour) {
    feed({"G01 X59.96 F1."});
    ASSERT_EQ(analyzer.totalTime(), 60.0);
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    EXPECT_EQ(TextLine(writtenLines(), 2, kStringInText), "TotalTime:1H0m Scale:2.5");
}

TEST_F(WriterTest, ExtentTextsAreRoundedToOneDecimalButLinesAreNot) {
    feed({"G00 X-0.04", "G00 X12.25"});
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    const std::vector<std::string> lines = writtenLines();
    ASSERT_GE(lines.size(), 12u);
    EXPECT_EQ(lines[4], "-0.04");
    EXPECT_EQ(lines[8], "12.25");
    EXPECT_EQ(TextLine(lines, 0, kStringInText), "Xmin:0 Xmax:12.3");
}

// After "G00 Y99999." the upper Y extent is flipped to -99999, so both the smaller minimum and the larger
// maximum are 0: the drawing is labelled at scale 1 with the height 4 / 1 instead of dividing by zero.
TEST_F(WriterTest, ZeroSpanFromAFlippedExtentKeepsScaleAndHeightFinite) {
    feed({"G00 Y99999."});
    ASSERT_EQ(analyzer.minY(), 0.0);
    ASSERT_EQ(analyzer.maxY(), -99999.0);
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    // 0.04 + 99999 / 5000 = 20.04 minutes.
    EXPECT_EQ(
        written(),
        CrLfLines({"LINE", "8", kCentreLineLayer, "10", "0", "20", "0", "11", "0", "21", "0", "0"}) +
            CrLfLines({"LINE", "8", kCentreLineLayer, "10", "0", "20", "0", "11", "0", "21", "-99999", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-9.6", "40", "4", "1",
                       "Xmin:0 Xmax:0", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-14.4", "40", "4", "1",
                       "Ymin:0 Ymax:-99999", "0"}) +
            CrLfLines({"TEXT", "8", kInformationLayer, "10", "0", "20", "-19.2", "40", "4", "1",
                       "TotalTime:0H20m Scale:1", "0"}));
}

// A drawing 1E20 wide (an offset that a macro wrote): the height 4 / (150 / 1E20) and the hours of the
// 1E20 / 5000 = 2E16 minutes' rapid are written in full, and 2E16 - 333333333333333 * 60 leaves 20 minutes.
TEST_F(WriterTest, HugeDrawingKeepsItsHeightAndTime) {
    feed({"G00 X0 Y0 Z0"});
    analyzer.setWorkOffset(CoordinateFrames::kG54 + 1, 0, 1e20);
    feed({"G55 X0"});
    ASSERT_EQ(analyzer.maxX(), 1e20);
    EXPECT_TRUE(WriteInfoBlock(analyzer, output));
    const std::vector<std::string> lines = writtenLines();
    EXPECT_EQ(TextLine(lines, 0, kHeightInText), "2.66666666666667E18");
    EXPECT_EQ(TextLine(lines, 2, kStringInText), "TotalTime:333333333333333H20m Scale:0");
    const std::string bytes = written();
    EXPECT_EQ(bytes.find("inf"), std::string::npos);
    EXPECT_EQ(bytes.find("nan"), std::string::npos);
}

}  // namespace
