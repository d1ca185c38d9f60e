// Arcs whose centre comes from R: the three planes, both signs, both turnings, the chord longer than the
// diameter, an arc that ends where it starts, and R beside centre words or in a cycle.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

constexpr double kPi = 3.141592653589793;
// From the origin to (6, 0) with radius 5 the centre lies 4 off the chord, at (3, 4) or (3, -4); the short
// arc turns through π - 2·atan(4/3), the long one through π + 2·atan(4/3).
const double kShort = 5.0 * (kPi - 2.0 * std::atan(4.0 / 3.0));
const double kLong = 5.0 * (kPi + 2.0 * std::atan(4.0 / 3.0));

struct RArcCase {
    const char* label;
    std::vector<std::string> lines;  // after the run's first block, at the origin
    double centreU;
    double centreV;
    double radius;
    double length;
    std::vector<Omission> omissions;
};

void PrintTo(const RArcCase& c, std::ostream* os) {
    *os << c.label;
}

class NcRadiusArc : public ::testing::TestWithParam<RArcCase> {};

TEST_P(NcRadiusArc, CentreRadiusAndLength) {
    const RArcCase& c = GetParam();
    NcAnalyzer a = AnalyzerAfter({kRunStart});
    Feed(a, c.lines);
    EXPECT_FALSE(a.isMoveSkipped());
    EXPECT_EQ(a.arcCentreX(), c.centreU);
    EXPECT_EQ(a.arcCentreY(), c.centreV);
    EXPECT_EQ(a.arcRadius(), c.radius);
    EXPECT_NEAR(a.moveLength(), c.length, 1e-12);
    EXPECT_EQ(std::vector<Omission>(a.omissions().begin(), a.omissions().end()), c.omissions);
}

INSTANTIATE_TEST_SUITE_P(Planes, NcRadiusArc,
                         ::testing::Values(
                             // G17: G03 turns counter-clockwise, so R > 0 puts the centre left of the chord.
                             RArcCase{"G17G03Short", {"G03 X6. R5."}, 3.0, 4.0, 5.0, kShort, {}},
                             RArcCase{"G17G02Short", {"G02 X6. R5."}, 3.0, -4.0, 5.0, kShort, {}},
                             RArcCase{"G17G03Long", {"G03 X6. R-5."}, 3.0, -4.0, 5.0, kLong, {}},
                             RArcCase{"G17G02Long", {"G02 X6. R-5."}, 3.0, 4.0, 5.0, kLong, {}},
                             // Going up the Y axis, left of the chord is -X.
                             RArcCase{"G17G03AlongY", {"G03 Y6. R5."}, -4.0, 3.0, 5.0, kShort, {}},
                             // G18 is seen with X to the right and Z up: there G02 turns counter-clockwise.
                             RArcCase{"G18G02Short", {"G18 G02 X6. R5."}, 3.0, 4.0, 5.0, kShort, {}},
                             RArcCase{"G18G03Long", {"G18 G03 X6. R-5."}, 3.0, 4.0, 5.0, kLong, {}},
                             RArcCase{"G19G03Short", {"G19 G03 Y6. R5."}, 3.0, 4.0, 5.0, kShort, {}},
                             RArcCase{"G19G02Short", {"G19 G02 Y6. R5."}, 3.0, -4.0, 5.0, kShort, {}},
                             // J is no centre word in G18, so R still gives the centre.
                             RArcCase{"G18RBesideJ", {"G18 G02 X6. R5. J7."}, 3.0, 4.0, 5.0, kShort, {}},
                             // The centre words of the plane win: the centre is (3, 0) from I alone.
                             RArcCase{"G17RBesideI", {"G03 X6. R5. I3."}, 3.0, 0.0, 3.0, 3.0 * kPi, {}}),
                         [](const auto& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    ChordAgainstRadius, NcRadiusArc,
    ::testing::Values(
        // A radius shorter than half the chord cannot reach: the half circle through both points is drawn.
        RArcCase{"TooShortGivesTheHalfCircle",
                 {"G02 X10. R3."},
                 5.0,
                 0.0,
                 5.0,
                 5.0 * kPi,
                 {Omission::RArcRadiusTooShort}},
        RArcCase{"R0GivesTheHalfCircle",
                 {"G03 X10. R0"},
                 5.0,
                 0.0,
                 5.0,
                 5.0 * kPi,
                 {Omission::RArcRadiusTooShort}},
        // Short by less than 0.001 is a rounding of the half circle, not a fault.
        RArcCase{"ShortByLessThanAThousandth", {"G02 X10. R4.9995"}, 5.0, 0.0, 5.0, 5.0 * kPi, {}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NcRadiusArcStartIsEnd, MovesNothingAndChargesNoTime) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X6. F100"});
    const double timeBefore = a.totalTime();
    Feed(a, {"G02 R5."});
    EXPECT_TRUE(a.isMoveSkipped());
    EXPECT_FALSE(a.isFullCircle());
    EXPECT_FALSE(a.isPartialArc());
    EXPECT_EQ(a.totalTime(), timeBefore);
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(std::vector<Omission>(a.omissions().begin(), a.omissions().end()),
              std::vector<Omission>{Omission::RArcStartIsEnd});
    // The next block moves again.
    Feed(a, {"G02 X12. R3."});
    EXPECT_FALSE(a.isMoveSkipped());
    EXPECT_EQ(a.arcCentreX(), 9.0);
    EXPECT_EQ(a.arcRadius(), 3.0);
}

TEST(NcRadiusArcInCycle, RIsTheRLevel) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G02 X6. R5.", "G81 X10. Y10. Z-5. R2. F100"});
    EXPECT_EQ(a.holes().rLevel, 2.0);
    EXPECT_EQ(a.moveLength(), 7.0);
    // The cycle block made no arc: the arc of the block before still stands.
    EXPECT_EQ(a.arcCentreX(), 3.0);
    EXPECT_EQ(a.arcCentreY(), -4.0);
    EXPECT_TRUE(a.omissions().empty());
}

}  // namespace
