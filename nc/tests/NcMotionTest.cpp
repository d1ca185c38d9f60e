// Straight moves, arcs in the three planes, directions, quadrants and drawing extents.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

constexpr double kDegree = 0.017453292519943295;
constexpr double kPi = 3.141592653589793;
// Untouched extents.
constexpr double kNoMin = 9999.0;
constexpr double kNoMax = -9999.0;

// The angle of the point (3, 4) seen from the origin; the arcs below run on the circle of radius 5 through
// (3, 4), (-3, 4), (-3, -4) and (3, -4).
const double kA = std::atan(4.0 / 3.0);

TEST(NcLinearMove, FromUnsetCoordinatesStartsAtHome) {
    const NcAnalyzer a = AnalyzerAfter({"G00 Y5."});
    EXPECT_EQ(a.startX(), 0.0);
    EXPECT_EQ(a.startY(), 0.0);
    EXPECT_EQ(a.startZ(), 200.0);
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.endY(), 5.0);
    EXPECT_EQ(a.endZ(), 200.0);
    EXPECT_EQ(a.moveLength(), 5.0);
    EXPECT_EQ(a.totalTime(), 5.0 / 5000.0);
    // X was never written, so only Y reaches the extents.
    EXPECT_EQ(a.minX(), kNoMin);
    EXPECT_EQ(a.maxX(), kNoMax);
    EXPECT_EQ(a.minY(), 5.0);
    EXPECT_EQ(a.maxY(), 5.0);
}

TEST(NcLinearMove, OnlyTheExactUnsetCoordinateIsReplaced) {
    EXPECT_EQ(AnalyzerAfter({kRunStart, "G01 X-99999. F100"}).moveLength(), 0.0);
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X-99998.5 F100"});
    EXPECT_EQ(a.endX(), -99998.5);
    EXPECT_EQ(a.moveLength(), 99998.5);
}

TEST(NcLinearMove, MeasuresInSpaceAndLeavesNoRadius) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G03 X3. Y4. I1.", "G01 X0. Y0. Z12. F100"});
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.moveLength(), 13.0);  // sqrt(5² + 12²)
    EXPECT_EQ(a.moveTime(), 0.13);
}

TEST(NcLinearMove, G91AddsToThePreviousPosition) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G91 G01 X10. Y5. F100"});
    EXPECT_EQ(a.endX(), 10.0);
    EXPECT_EQ(a.endY(), 5.0);
    EXPECT_DOUBLE_EQ(a.moveLength(), std::sqrt(125.0));
    Feed(a, {"X10."});
    EXPECT_EQ(a.startX(), 10.0);
    EXPECT_EQ(a.endX(), 20.0);
    EXPECT_EQ(a.moveLength(), 10.0);
    Feed(a, {"Z-1"});
    EXPECT_EQ(a.endZ(), -0.001);
    EXPECT_DOUBLE_EQ(a.moveLength(), 0.001);
    EXPECT_EQ(a.minX(), 0.0);
    EXPECT_EQ(a.maxX(), 20.0);
    EXPECT_EQ(a.maxY(), 5.0);
    EXPECT_NEAR(a.totalTime(), 0.04 + (std::sqrt(125.0) + 10.0 + 0.001) / 100.0, 1e-12);
}

TEST(NcLinearMove, G91FromUnsetXStartsNearTheUnsetCoordinate) {
    const NcAnalyzer a = AnalyzerAfter({"G91 G00 X1."});
    EXPECT_EQ(a.endX(), -99998.0);
    EXPECT_EQ(a.startX(), 0.0);
    EXPECT_EQ(a.moveLength(), 99998.0);
    EXPECT_EQ(a.minX(), -99998.0);
    EXPECT_EQ(a.maxX(), kNoMax);
}

TEST(NcQuadrant, OfAnglesAndBoundaries) {
    EXPECT_EQ(NcAnalyzer::quadrantOf(0.0), 1);
    EXPECT_EQ(NcAnalyzer::quadrantOf(89.9 * kDegree), 1);
    EXPECT_EQ(NcAnalyzer::quadrantOf(90.0 * kDegree), 2);
    EXPECT_EQ(NcAnalyzer::quadrantOf(179.9 * kDegree), 2);
    EXPECT_EQ(NcAnalyzer::quadrantOf(kPi), 3);
    EXPECT_EQ(NcAnalyzer::quadrantOf(269.9 * kDegree), 3);
    EXPECT_EQ(NcAnalyzer::quadrantOf(270.0 * kDegree), 4);
    EXPECT_EQ(NcAnalyzer::quadrantOf(2.0 * kPi), 4);
    EXPECT_EQ(NcAnalyzer::quadrantOf(7.0), 4);
    EXPECT_EQ(NcAnalyzer::quadrantOf(-0.1), 4);
}

struct DirectionCase {
    const char* name;
    std::string offsets;
    double angle;
    double radius;
};

void PrintTo(const DirectionCase& c, std::ostream* os) {
    *os << c.name;
}

class Direction : public testing::TestWithParam<DirectionCase> {};

// A circle about the centre (I, J) that starts and ends at the origin: its start angle is the direction from
// the centre to the origin.
TEST_P(Direction, FromTheCentreToTheStart) {
    const DirectionCase& c = GetParam();
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G02 " + c.offsets});
    EXPECT_DOUBLE_EQ(a.startAngle(true), c.angle);
    EXPECT_EQ(a.arcRadius(), c.radius);
    EXPECT_TRUE(a.isFullCircle());
    EXPECT_DOUBLE_EQ(a.moveLength(), 2.0 * kPi * c.radius);
}

INSTANTIATE_TEST_SUITE_P(
    NcArc, Direction,
    testing::Values(DirectionCase{"East", "I-10.", 0.0, 10.0},
                    DirectionCase{"West", "I10.", 180.0 * kDegree, 10.0},
                    DirectionCase{"North", "J-10.", 90.0 * kDegree, 10.0},
                    DirectionCase{"South", "J10.", 270.0 * kDegree, 10.0},
                    DirectionCase{"FirstQuadrant", "I-3. J-4.", std::atan(4.0 / 3.0), 5.0},
                    DirectionCase{"SecondQuadrant", "I3. J-4.", kPi - std::atan(4.0 / 3.0), 5.0},
                    DirectionCase{"ThirdQuadrant", "I3. J4.", kPi + std::atan(4.0 / 3.0), 5.0},
                    DirectionCase{"FourthQuadrant", "I-3. J4.", 2.0 * kPi - std::atan(4.0 / 3.0), 5.0}),
    [](const testing::TestParamInfo<DirectionCase>& info) { return info.param.name; });

struct ArcCase {
    const char* name;
    std::string start;  // the move to the arc's start
    std::string arc;
    double minX;
    double maxX;
    double minY;
    double maxY;
    double length;
};

void PrintTo(const ArcCase& c, std::ostream* os) {
    *os << c.name;
}

class ArcExtents : public testing::TestWithParam<ArcCase> {};

TEST_P(ArcExtents, TakeTheCircleAtTheBoundariesPassed) {
    const ArcCase& c = GetParam();
    const NcAnalyzer a = AnalyzerAfter({c.start, c.arc});
    EXPECT_EQ(a.arcRadius(), 5.0);
    EXPECT_EQ(a.minX(), c.minX);
    EXPECT_EQ(a.maxX(), c.maxX);
    EXPECT_EQ(a.minY(), c.minY);
    EXPECT_EQ(a.maxY(), c.maxY);
    EXPECT_NEAR(a.moveLength(), c.length, 1e-12);
}

const char* const kStartG17 = "G17 G01 X3. Y4. F100";

// Counter-clockwise from (3, 4) the arc passes 90 degrees to (-3, 4), then 180 to (-3, -4), then 270 to (3,
// -4); clockwise it passes 0 degrees to (3, -4), then 270 to (-3, -4), then 180 to (-3, 4).
INSTANTIATE_TEST_SUITE_P(
    NcArc, ArcExtents,
    testing::Values(
        ArcCase{"G17CounterClockwiseOne", kStartG17, "G03 X-3. Y4. I-3. J-4.", -3, 3, 4, 5,
                5 * (kPi - 2 * kA)},
        ArcCase{"G17CounterClockwiseTwo", kStartG17, "G03 X-3. Y-4. I-3. J-4.", -5, 3, -4, 5, 5 * kPi},
        ArcCase{"G17CounterClockwiseThree", kStartG17, "G03 X3. Y-4. I-3. J-4.", -5, 3, -5, 5,
                5 * (2 * kPi - 2 * kA)},
        ArcCase{"G17ClockwiseOne", kStartG17, "G02 X3. Y-4. I-3. J-4.", 3, 5, -4, 4, 10 * kA},
        ArcCase{"G17ClockwiseTwo", kStartG17, "G02 X-3. Y-4. I-3. J-4.", -3, 5, -5, 4, 5 * kPi},
        ArcCase{"G17ClockwiseThree", kStartG17, "G02 X-3. Y4. I-3. J-4.", -5, 5, -5, 4, 5 * (kPi + 2 * kA)},
        // Starting in other quadrants: clockwise from 3 to 1 passes 180 and 90 degrees, from 4 to 2 passes
        // 270 and 180; counter-clockwise from 4 to 2 passes 360 and 90.
        ArcCase{"ClockwiseFromThirdToFirst", "G01 X-3. Y-4. F100", "G02 X3. Y4. I3. J4.", -5, 3, -4, 5,
                5 * kPi},
        ArcCase{"ClockwiseFromFourthToSecond", "G01 X3. Y-4. F100", "G02 X-3. Y4. I-3. J4.", -5, 3, -5, 4,
                5 * kPi},
        ArcCase{"CounterClockwiseFromFourthToSecond", "G01 X3. Y-4. F100", "G03 X-3. Y4. I-3. J4.", -3, 5, -4,
                5, 5 * kPi},
        // Start and end in quadrant 2, at 127 and 143 degrees: clockwise goes the long way round.
        ArcCase{"ClockwiseWithinAQuadrantGoesRound", "G01 X-3. Y4. F100", "G02 X-4. Y3. I3. J-4.", -5, 5, -5,
                5, 5 * (2 * kPi - (std::atan(4.0 / 3.0) - std::atan(3.0 / 4.0)))},
        ArcCase{"CounterClockwiseWithinAQuadrant", "G01 X-3. Y4. F100", "G03 X-4. Y3. I3. J-4.", -4, -3, 3, 4,
                5 * (std::atan(4.0 / 3.0) - std::atan(3.0 / 4.0))},
        // G33 has no turning sense outside G18: only its start and end reach the extents.
        ArcCase{"G33WidensNothing", kStartG17, "G33 X-3. Y-4. I-3. J-4.", -3, 3, -4, 4, 5 * kPi}),
    [](const testing::TestParamInfo<ArcCase>& info) { return info.param.name; });

// 65.151 - 49 in doubles is 16.150999999999996: the arc back to Y16.151 is the whole circle of radius 9.06.
TEST(NcArc, EndWithinHalfAThousandthOfTheStartIsAFullCircle) {
    const NcAnalyzer a =
        AnalyzerAfter({kRunStart, "G0 X24.704 Y65.151", "G91 G1 Y-49. F100", "G90 G3 X24.704 Y16.151 I-9.06"});
    EXPECT_TRUE(a.isFullCircle());
    EXPECT_FALSE(a.isPartialArc());
    EXPECT_NEAR(a.moveLength(), 2.0 * kPi * 9.06, 1e-9);
}

// After G28 Z10. the tool stands at the reference point, machine Z0 drawn at Z0: a flat arc lies there.
TEST(NcArc, AfterAReferenceReturnLiesAtTheReferenceZ) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G28 Z10.", "G3 X10. Y0. I5. J0. F100."});
    EXPECT_EQ(a.endZ(), 0.0);
    EXPECT_EQ(a.arcCentreX(), 5.0);
}

TEST(NcArc, FullClockwiseCircleWidensByTheWholeCircle) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100", "G02 X10. Y0. I-10."});
    EXPECT_TRUE(a.isFullCircle());
    EXPECT_EQ(a.arcCentreX(), 0.0);
    EXPECT_EQ(a.arcCentreY(), 0.0);
    EXPECT_EQ(a.startAngle(true), 0.0);
    EXPECT_EQ(a.endAngle(true), 360.0 * kDegree);
    EXPECT_DOUBLE_EQ(a.moveLength(), 2.0 * kPi * 10.0);
    EXPECT_DOUBLE_EQ(a.moveTime(), 2.0 * kPi * 10.0 / 100.0);
    EXPECT_EQ(a.minX(), -10.0);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.minY(), -10.0);
    EXPECT_EQ(a.maxY(), 10.0);
}

TEST(NcArc, ClockwiseFromNinetyToZeroDegrees) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Y10. F100", "G02 X10. Y0. J-10."});
    EXPECT_EQ(a.startAngle(true), 90.0 * kDegree);
    EXPECT_EQ(a.endAngle(true), 360.0 * kDegree);
    EXPECT_DOUBLE_EQ(a.moveLength(), 10.0 * kPi / 2.0);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.maxY(), 10.0);
}

TEST(NcArc, CounterClockwiseFromZeroToNinetyDegrees) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100", "G03 X0. Y10. I-10."});
    EXPECT_EQ(a.startAngle(true), 0.0);
    EXPECT_EQ(a.endAngle(true), 90.0 * kDegree);
    EXPECT_DOUBLE_EQ(a.moveLength(), 10.0 * kPi / 2.0);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.maxY(), 10.0);
}

TEST(NcArc, UnderG18TheAnglesAreExchanged) {
    const NcAnalyzer a = AnalyzerAfter({"G18 G01 X10. Z0. F100", "G02 X0. Z10. I-10."});
    EXPECT_EQ(a.startAngle(true), 90.0 * kDegree);
    EXPECT_EQ(a.endAngle(true), 0.0);
    EXPECT_DOUBLE_EQ(a.moveLength(), 10.0 * kPi / 2.0);
    EXPECT_EQ(a.startX(), 10.0);
    EXPECT_EQ(a.startY(), 0.0);
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.endY(), 10.0);
}

TEST(NcArc, WithoutOffsetsHasNoRadiusAndKeepsTheLastDirection) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. Y10. F100", "G02 X20."});
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.startAngle(true), std::atan(1.0));
    EXPECT_EQ(a.arcCentreX(), 10.0);
    EXPECT_EQ(a.arcCentreY(), 10.0);
}

TEST(NcArc, FlatArcLiesAtTheZOfTheLastMove) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. Z-5. F100", "G02 X0. Y10. I-10."});
    EXPECT_FALSE(a.isPolylineArc());
    EXPECT_EQ(a.endZ(), -5.0);
    // After a helix, the Z where it ended.
    Feed(a, {"G02 X-10. Y0. Z-8. J-10.", "G02 X0. Y-10. I10."});
    EXPECT_FALSE(a.isPolylineArc());
    EXPECT_EQ(a.endZ(), -8.0);
}

struct HelixCase {
    const char* name;
    std::vector<std::string> lines;  // after the run's start
    int segments;
    Point3 end;
    int index;  // a vertex between the ends, and where it lies
    Point3 vertex;
    double minX, maxX, minY, maxY;
};

void PrintTo(const HelixCase& c, std::ostream* os) {
    *os << c.name;
}

class HelixPath : public testing::TestWithParam<HelixCase> {};

TEST_P(HelixPath, FollowsTheArcFromStartToEnd) {
    const HelixCase& c = GetParam();
    std::vector<std::string> lines{kRunStart};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    const NcAnalyzer a = AnalyzerAfter(lines);
    ASSERT_TRUE(a.isPolylineArc());
    const ArcPath& path = a.arcPath();
    const int segments = PolylineSegments(path);
    EXPECT_EQ(segments, c.segments);
    const Point3 end = PolylineVertex(path, segments, segments);
    EXPECT_EQ(end.x, c.end.x);
    EXPECT_EQ(end.y, c.end.y);
    EXPECT_EQ(end.z, c.end.z);
    const Point3 vertex = PolylineVertex(path, c.index, segments);
    EXPECT_NEAR(vertex.x, c.vertex.x, 1e-12);
    EXPECT_NEAR(vertex.y, c.vertex.y, 1e-12);
    EXPECT_NEAR(vertex.z, c.vertex.z, 1e-12);
    EXPECT_NEAR(a.minX(), c.minX, 1e-12);
    EXPECT_NEAR(a.maxX(), c.maxX, 1e-12);
    EXPECT_NEAR(a.minY(), c.minY, 1e-12);
    EXPECT_NEAR(a.maxY(), c.maxY, 1e-12);
    // The next straight move starts where the polyline ends.
    NcAnalyzer next = a;
    Feed(next, {"G01 X1."});
    EXPECT_EQ(next.startZ(), c.end.z);
}

// Radius 10 about the origin unless said otherwise; half a turn is 36 segments of 5 degrees, a whole one 72.
// Seen from the positive end of the plane's normal, G02 turns clockwise: in G18, with X to the right and Z
// up, that is counter-clockwise.
INSTANTIATE_TEST_SUITE_P(
    NcArc, HelixPath,
    testing::Values(
        HelixCase{"G17CounterClockwise", {"G01 X10. F100", "G03 X-10. Y0. Z-5. I-10."}, 36, {-10, 0, -5}, 18,
                  {0, 10, -2.5}, -10, 10, 0, 10},
        HelixCase{"G17Clockwise", {"G01 X10. F100", "G02 X-10. Y0. Z-5. I-10."}, 36, {-10, 0, -5}, 18,
                  {0, -10, -2.5}, -10, 10, -10, 0},
        HelixCase{"G17FullTurn", {"G01 X10. F100", "G02 X10. Y0. Z-2. I-10."}, 72, {10, 0, -2}, 36,
                  {-10, 0, -1}, -10, 10, -10, 10},
        // 0.1 + 0.2 is not 0.3 in doubles, yet the arc ends where it started and turns once.
        HelixCase{"FullTurnAfterIncrements", {"G91 G01 X.1 F100", "X.2", "G90 G02 X.3 Y0 Z-2. I-10."}, 72,
                  {0.3, 0, -2}, 36, {-19.7, 0, -1}, -19.7, 0.3, -10, 10},
        HelixCase{"G18Clockwise", {"G00 X10.", "G18 G02 X-10. Z0 I-10."}, 36, {-10, 0, 0}, 18, {0, 0, 10},
                  -10, 10, 0, 0},
        HelixCase{"G18CounterClockwise", {"G00 X10.", "G18 G03 X-10. Z0 I-10."}, 36, {-10, 0, 0}, 18,
                  {0, 0, -10}, -10, 10, 0, 0},
        HelixCase{"G19Clockwise", {"G00 X60.", "G19 G02 Y20. Z0 J10."}, 36, {60, 20, 0}, 18, {60, 10, 10}, 0,
                  60, 0, 20},
        HelixCase{"G19HelixAlongX", {"G00 X60.", "G19 G03 X70. Y20. Z0 J10."}, 36, {70, 20, 0}, 18,
                  {65, 10, -10}, 0, 70, 0, 20},
        HelixCase{"UnderG41", {"G41 D1 G01 X10. F100", "G03 X0. Y10. Z-1. R10."}, 18, {0, 10, -1}, 9,
                  {10 * 0.7071067811865476, 10 * 0.7071067811865476, -0.5}, 0, 10, 0, 10}),
    [](const testing::TestParamInfo<HelixCase>& info) { return info.param.name; });

TEST(NcArc, BlockInArcModeWithoutAxesMovesNothing) {
    for (const std::string& line : {std::string("M08"), std::string("(COOLANT)"), std::string(""),
                                    std::string("F200"), std::string("G03")}) {
        NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100", "G03 X0. Y10. R10."});
        const double before = a.totalTime();
        Feed(a, {line});
        EXPECT_TRUE(a.isMoveSkipped()) << line;
        EXPECT_FALSE(a.isArcMove()) << line;
        EXPECT_FALSE(a.isFullCircle()) << line;
        EXPECT_EQ(a.totalTime(), before) << line;
    }
    // I alone is still a full circle.
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100", "G02 I-10."});
    EXPECT_TRUE(a.isFullCircle());
    EXPECT_EQ(a.arcRadius(), 10.0);
}

TEST(NcArc, KeepsUnsetCoordinates) {
    const NcAnalyzer a = AnalyzerAfter({"G03 X1. I2."});
    EXPECT_EQ(a.startX(), kUnsetCoordinate);
    EXPECT_EQ(a.startY(), kUnsetCoordinate);
    EXPECT_EQ(a.endY(), kUnsetCoordinate);
    EXPECT_EQ(a.arcCentreX(), -99997.0);
    EXPECT_EQ(a.arcRadius(), 2.0);
}

TEST(NcArc, CentreOffsetsDoNotCarryOver) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G02 X10. I5.", "X0."});
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.arcCentreX(), 10.0);
}

TEST(NcArc, RBesideACentreWordOfThePlanePlaysNoPart) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G02 X10. R5. J0"});
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.moveLength(), 0.0);
}

TEST(NcExtents, UnsetXFlipsTheMinimumAndLeavesTheMaximum) {
    NcAnalyzer a = AnalyzerAfter({"X-99999."});
    EXPECT_EQ(a.minX(), 99999.0);
    EXPECT_EQ(a.maxX(), kNoMax);
    Feed(a, {"X5."});
    EXPECT_EQ(a.minX(), 5.0);
    EXPECT_EQ(a.maxX(), 5.0);
}

TEST(NcExtents, MaximumAt99999FlipsToMinus99999) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 Y99999."});
    EXPECT_EQ(a.minY(), 0.0);
    EXPECT_EQ(a.maxY(), -99999.0);
}

TEST(NcExtents, FollowEveryBlockThatWritesXOrY) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X-4. F100", "X7. Y-2.", "M08", "Y3."});
    EXPECT_EQ(a.minX(), -4.0);
    EXPECT_EQ(a.maxX(), 7.0);
    EXPECT_EQ(a.minY(), -2.0);
    EXPECT_EQ(a.maxY(), 3.0);
}

}  // namespace
