// Numbers of two hundred digits keep every value of the analyzer finite, and ordinary numbers keep the plain
// formulas' results.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

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

TEST(NcFiniteState, RadiusWhoseSquareOverflows) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G02 I" + PowerOfTen(200)});
    EXPECT_EQ(a.arcRadius(), 1e200);
    EXPECT_DOUBLE_EQ(a.moveLength(), 2.0 * 3.141592653589793 * 1e200);
    // Start and end coincide at 180 degrees from the centre (1e200, 0): the whole circle is passed.
    EXPECT_EQ(a.maxX(), 2e200);
    EXPECT_EQ(a.minX(), 0.0);
    EXPECT_EQ(a.maxY(), 1e200);
    EXPECT_EQ(a.minY(), -1e200);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, RadiusWithOneHugeOffset) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G03 I-" + PowerOfTen(160) + " J1."});
    EXPECT_DOUBLE_EQ(a.arcRadius(), 1e160);
    // Just below 360 degrees, as far as a double can tell.
    EXPECT_EQ(a.startAngle(true), 2.0 * 3.141592653589793);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, MoveWhoseSquaresOverflow) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X" + PowerOfTen(160)});
    EXPECT_DOUBLE_EQ(a.moveLength(), 1e160);
    Feed(a, {"Y" + PowerOfTen(160), "Z-" + PowerOfTen(160), "X0. Y0. Z0."});
    EXPECT_DOUBLE_EQ(a.moveLength(), std::sqrt(3.0) * 1e160);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, TimeAtATinyFeedRateStopsAtTheLargestDouble) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "F" + TinyNumber(200), "G01 X" + PowerOfTen(200)});
    EXPECT_EQ(a.moveTime(), kLargest);
    EXPECT_EQ(a.totalTime(), kLargest);
    Feed(a, {"X0."});
    EXPECT_EQ(a.totalTime(), kLargest);
    ExpectAllFinite(a);
}

// A negative F is read as its size, so time never runs backwards; it only saturates upwards.
TEST(NcFiniteState, NegativeFeedTimeStopsAtTheLargestDouble) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "F-" + TinyNumber(200), "G01 X" + PowerOfTen(200), "X0."});
    EXPECT_EQ(a.totalTime(), kLargest);
    ExpectAllFinite(a);
}

// The hole's depth and peck depth are modal, so a new hole at X2 takes them from the blocks before.
TEST(NcFiniteState, PecksBeyondTheDoubleRange) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10. F100", "G83 X1. Y1. R0.", "Z-" + PowerOfTen(200),
                                        "Q" + TinyNumber(200), "X2."});
    EXPECT_EQ(a.moveLength(), kLargest);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, PecksWhoseCountOverflowsButWhoseLengthDoesNot) {
    // 5e240 / 1e-68 is beyond a double; a fifth of it is not.
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10. F100", "G83 X1. Y1. R0.",
                                        "Z-5" + std::string(240, '0') + ".", "Q" + TinyNumber(67), "X2."});
    EXPECT_NEAR(a.moveLength() / 1e308, 1.0, 1e-14);
    ExpectAllFinite(a);
}

TEST(NcFiniteState, HugeToolDiameter) {
    const NcAnalyzer a = AnalyzerAfter({"(DIA " + PowerOfTen(400) + ")"});
    EXPECT_TRUE(std::isfinite(a.toolDiameter()));
}

}  // namespace
