// Values of two hundred digits keep every value of the analyzer finite, and ordinary numbers keep the plain
// formulas' results.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

// 1 followed by `zeros` zeros and a point: 10 to the power `zeros`, read as written.
std::string PowerOfTen(int zeros) {
    return "1" + std::string(zeros, '0') + ".";
}

// A point, `zeros` zeros and 1: 10 to the power -(zeros + 1).
std::string TinyNumber(int zeros) {
    return "." + std::string(zeros, '0') + "1";
}

void ExpectAllFinite(const NcAnalyzer& a) {
    for (double value :
         {a.holes().returnLevel, a.holes().rLevel, a.holes().bottom, a.toolDiameter(), a.feedRate(),
          a.totalTime(),     a.moveLength(),   a.moveTime(),
          a.holes().x(a.holes().count - 1),  a.holes().y(a.holes().count - 1), a.arcPath().end.z,
          a.startX(),        a.startY(),     a.startZ(),       a.endX(),      a.endY(),
          a.endZ(),          a.arcCentreX(), a.arcCentreY(),   a.arcRadius(), a.startAngle(true),
          a.endAngle(false), a.minX(),       a.minY(),         a.maxX(),      a.maxY()}) {
        EXPECT_TRUE(std::isfinite(value));
    }
}

// A block of lengths beyond eight digits is left out whole: the tool stays and nothing is charged.
TEST(NcFiniteState, BlockBeyondEightDigitsLeavesTheStateAsItWas) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100"});
    const double time = a.totalTime();
    for (const std::string& line : {"G02 X20. I" + PowerOfTen(200), "G91 X" + PowerOfTen(160) + " Y5."}) {
        Feed(a, {line});
        EXPECT_TRUE(a.omissions().has(Omission::NumberOutOfRange)) << line;
        EXPECT_EQ(a.wordValue(Slot::X), 10.0) << line;
        EXPECT_EQ(a.totalTime(), time) << line;
        EXPECT_EQ(a.maxX(), 10.0) << line;
        EXPECT_EQ(a.maxY(), 0.0) << line;
    }
    ExpectAllFinite(a);
}

// Offsets that a macro writes are no words and have no such limit; the drawn points then carry them.
constexpr int kG55 = CoordinateFrames::kG54 + 1;

NcAnalyzer AnalyzerWithG55At(double offset, const std::vector<std::string>& lines) {
    NcAnalyzer a = AnalyzerAfter({kRunStart});
    for (int axis = 0; axis < 3; ++axis) {
        a.setWorkOffset(kG55, axis, offset);
    }
    Feed(a, lines);
    return a;
}

TEST(NcFiniteState, MoveWhoseSquaresOverflow) {
    const NcAnalyzer a = AnalyzerWithG55At(1e160, {"G55 G01 X0 Y0 Z0 F100"});
    EXPECT_DOUBLE_EQ(a.moveLength(), std::sqrt(3.0) * 1e160);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, TimeAtATinyFeedRateStopsAtTheLargestDouble) {
    NcAnalyzer a = AnalyzerWithG55At(1e200, {"F" + TinyNumber(200), "G55 G01 X0"});
    EXPECT_EQ(a.moveTime(), kLargest);
    EXPECT_EQ(a.totalTime(), kLargest);
    Feed(a, {"G54 X0."});
    EXPECT_EQ(a.totalTime(), kLargest);
    ExpectAllFinite(a);
}

// A hole's R level written in one system and its bottom in another lie as far apart as their offsets.
TEST(NcFiniteState, PecksBeyondTheDoubleRange) {
    const NcAnalyzer a = AnalyzerWithG55At(1e300, {"G01 Z10. F100", "G55 G83 X1. Y1. R0.", "G54 Z-1.",
                                                   "Q" + TinyNumber(200), "X2."});
    EXPECT_EQ(a.moveLength(), kLargest);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, HugeToolDiameter) {
    const NcAnalyzer a = AnalyzerAfter({"(DIA " + PowerOfTen(400) + ")"});
    EXPECT_TRUE(std::isfinite(a.toolDiameter()));
}

}  // namespace
