// The analyzer's state, its accessors and the steps of a block that are not moves, holes or time.
#include "nc/NcAnalyzer.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "nc/tests/AnalyzerFeed.h"

namespace {

TEST(NcAnalyzerState, StartsInItsDefaultState) {
    const NcAnalyzer a;
    EXPECT_EQ(a.motionCode(), 0);
    EXPECT_TRUE(a.isRapidMode());
    EXPECT_FALSE(a.isFeedMode());
    EXPECT_FALSE(a.isFullCircle());
    EXPECT_FALSE(a.isPartialArc());
    EXPECT_TRUE(a.isRapidMove());
    EXPECT_FALSE(a.isCycleActive());
    EXPECT_FALSE(a.isCompensationOn());
    EXPECT_EQ(a.toolInSpindle(), 0);
    EXPECT_EQ(a.compensationD(), 0);
    EXPECT_EQ(a.compensationCode(), 0);
    EXPECT_EQ(a.cycleCode(), 0);
    EXPECT_EQ(a.holes().count, 0);
    EXPECT_EQ(a.toolDiameter(), 0.0);
    EXPECT_EQ(a.feedRate(), 0.0);
    EXPECT_EQ(a.rapidRate(), 5000.0);
    EXPECT_EQ(a.totalTime(), 0.0);
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.moveTime(), 0.0);
    EXPECT_EQ(a.startX(), 0.0);
    EXPECT_EQ(a.startY(), 0.0);
    EXPECT_EQ(a.startZ(), 0.0);
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.endY(), 0.0);
    EXPECT_EQ(a.endZ(), 0.0);
    EXPECT_EQ(a.arcCentreX(), 0.0);
    EXPECT_EQ(a.arcCentreY(), 0.0);
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.startAngle(true), 0.0);
    EXPECT_EQ(a.endAngle(false), 0.0);
    EXPECT_EQ(a.minX(), 9999.0);
    EXPECT_EQ(a.minY(), 9999.0);
    EXPECT_EQ(a.maxX(), -9999.0);
    EXPECT_EQ(a.maxY(), -9999.0);
}

TEST(NcAnalyzerState, RunStartMovesFromHomeStraightDownToTheOrigin) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart});
    EXPECT_EQ(a.startX(), 0.0);
    EXPECT_EQ(a.startY(), 0.0);
    EXPECT_EQ(a.startZ(), 200.0);
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.endY(), 0.0);
    EXPECT_EQ(a.endZ(), 0.0);
    EXPECT_EQ(a.moveLength(), 200.0);
    EXPECT_EQ(a.totalTime(), 200.0 / 5000.0);
    EXPECT_EQ(a.minX(), 0.0);
    EXPECT_EQ(a.maxX(), 0.0);
    EXPECT_EQ(a.minY(), 0.0);
    EXPECT_EQ(a.maxY(), 0.0);
}

TEST(NcAnalyzerState, NoMoveBeforeTheFirstMotionWord) {
    const NcAnalyzer a = AnalyzerAfter({"X10. Y5. Z3."});
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.totalTime(), 0.0);
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.startZ(), 0.0);
    // The block's X and Y still reach the extents.
    EXPECT_EQ(a.minX(), 10.0);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.minY(), 5.0);
    EXPECT_EQ(a.maxY(), 5.0);
}

TEST(NcAnalyzerState, AngleInDegreesUsesTheFixedFactor) {
    // A counter-clockwise quarter from 0 to 90 degrees about the origin.
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F100", "G03 X0. Y10. I-10."});
    EXPECT_EQ(a.startAngle(true), 0.0);
    EXPECT_EQ(a.endAngle(true), 90.0 * 0.017453292519943295);
    EXPECT_EQ(a.endAngle(false), 90.0 * 0.017453292519943295 * 57.29577951308232);
    EXPECT_DOUBLE_EQ(a.endAngle(false), 90.0);
}

struct DiameterCase {
    const char* name;
    std::string line;
    double diameter;
};

void PrintTo(const DiameterCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolDiameter : public testing::TestWithParam<DiameterCase> {};

TEST_P(ToolDiameter, ComesFromCommentLinesOnly) {
    const DiameterCase& c = GetParam();
    const NcAnalyzer a = AnalyzerAfter({"(T1 DIA 10.0)", c.line});
    EXPECT_EQ(a.toolDiameter(), c.diameter);
}

INSTANTIATE_TEST_SUITE_P(NcAnalyzerState, ToolDiameter,
                         testing::Values(DiameterCase{"CommentWithoutDiaClears", "(T2 FLAT END MILL)", 0.0},
                                         DiameterCase{"LowerCaseDiaClears", "(t1 dia 6.0)", 0.0},
                                         DiameterCase{"StarComment", "*DIA6.5", 6.5},
                                         DiameterCase{"SkipsToTheNumber", "(T3 DIA=12.5 R0.5)", 12.5},
                                         DiameterCase{"NegativeNumberIsItsSize", "(DIA -2.)", 2.0},
                                         DiameterCase{"DiaWithoutNumberClears", "(DIA)", 0.0},
                                         DiameterCase{"DiameterWordHasNoNumber", "(DIAMETER)", 0.0},
                                         DiameterCase{"IndentedCommentIgnored", " (DIA 3.0)", 10.0},
                                         DiameterCase{"CommentAfterWordsIgnored", "G01 X1. (DIA 3.0)", 10.0},
                                         DiameterCase{"DashCommentIgnored", "-DIA 3.0", 10.0},
                                         DiameterCase{"EmptyLineIgnored", "", 10.0}),
                         [](const testing::TestParamInfo<DiameterCase>& info) { return info.param.name; });

struct ToolCase {
    const char* name;
    std::vector<std::string> lines;
    int toolInSpindle;
};

void PrintTo(const ToolCase& c, std::ostream* os) {
    *os << c.name;
}

class ToolChange : public testing::TestWithParam<ToolCase> {};

TEST_P(ToolChange, MakesTheSelectedToolActive) {
    const ToolCase& c = GetParam();
    EXPECT_EQ(AnalyzerAfter(c.lines).toolInSpindle(), c.toolInSpindle);
}

INSTANTIATE_TEST_SUITE_P(NcAnalyzerState, ToolChange,
                         testing::Values(ToolCase{"M06BeforeAnyTGivesTool1", {"M06"}, 1},
                                         ToolCase{"TAloneChangesNothing", {"T5"}, 0},
                                         ToolCase{"TThenM06", {"T5", "M06"}, 5},
                                         ToolCase{"M06BeforeTInOneBlock", {"M06T7"}, 7},
                                         ToolCase{"TBeforeM06InOneBlock", {"T7M06"}, 7},
                                         ToolCase{"LaterTWaitsForM06", {"T5", "M06", "T8"}, 5},
                                         ToolCase{"IntegerPartOfT", {"T9.7 M06"}, 9},
                                         ToolCase{"LaterMWordWins", {"T3", "M06M08"}, 0},
                                         ToolCase{"M06AfterAnotherM", {"T3", "M08M06"}, 3},
                                         ToolCase{"FractionalMIsNoToolChange", {"T3", "M6.5"}, 0}),
                         [](const testing::TestParamInfo<ToolCase>& info) { return info.param.name; });

struct PredicateCase {
    const char* name;
    std::vector<std::string> lines;
    bool rapid;
    bool feed;
    bool partialArc;
    bool fullCircle;
};

void PrintTo(const PredicateCase& c, std::ostream* os) {
    *os << c.name;
}

class MotionPredicates : public testing::TestWithParam<PredicateCase> {};

TEST_P(MotionPredicates, FollowTheMotionCodeAndXY) {
    const PredicateCase& c = GetParam();
    const NcAnalyzer a = AnalyzerAfter(c.lines);
    EXPECT_EQ(a.isRapidMode(), c.rapid);
    EXPECT_EQ(a.isFeedMode(), c.feed);
    EXPECT_EQ(a.isPartialArc(), c.partialArc);
    EXPECT_EQ(a.isFullCircle(), c.fullCircle);
}

INSTANTIATE_TEST_SUITE_P(
    NcAnalyzerState, MotionPredicates,
    testing::Values(
        PredicateCase{"Fresh", {}, true, false, false, false},
        PredicateCase{"RunStart", {kRunStart}, true, false, false, false},
        PredicateCase{"Feed", {kRunStart, "G01 X5."}, false, true, false, false},
        PredicateCase{"ArcToOtherX", {kRunStart, "G02 X5. I1."}, false, false, true, false},
        PredicateCase{"ArcToOtherY", {kRunStart, "G03 Y5. J1."}, false, false, true, false},
        PredicateCase{"ArcBackToItsStart", {kRunStart, "G03 I5."}, false, false, false, true},
        PredicateCase{"G33IsAnArc", {kRunStart, "G33 X1."}, false, false, true, false},
        PredicateCase{"LineAfterArcWithoutXY", {kRunStart, "G02 X5. I1.", "M08"}, false, false, false, false},
        // X and Y decide whatever the plane: a G19 arc that moves only Z counts as full.
        PredicateCase{"PlaneDoesNotMatter", {kRunStart, "G19 G02 Z5. K1."}, false, false, false, true}),
    [](const testing::TestParamInfo<PredicateCase>& info) { return info.param.name; });

TEST(NcAnalyzerState, MotionWordOfAnyPlaceInTheBlockDecides) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 G01 X1."});
    EXPECT_EQ(a.motionCode(), 1);
    EXPECT_FALSE(a.isRapidMove());
}

TEST(NcAnalyzerState, FractionalMotionValueAboveOneIsAnArc) {
    // G01.5 has the motion code 1 but the motion value 1.5: an arc is worked out, with no I and J a point.
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01.5 X10. F100"});
    EXPECT_TRUE(a.isFeedMode());
    EXPECT_FALSE(a.isRapidMove());
    EXPECT_EQ(a.startX(), 0.0);
    EXPECT_EQ(a.endX(), 10.0);
    EXPECT_EQ(a.arcCentreX(), 0.0);
    EXPECT_EQ(a.arcRadius(), 0.0);
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.totalTime(), 200.0 / 5000.0);
    EXPECT_EQ(a.maxX(), 10.0);
}

TEST(NcAnalyzerNonModalX, G92XKeepsXAndReachesYWithoutMove) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. Y5. F100"});
    const double timeBefore = a.totalTime();
    Feed(a, {"G92 X50. Y20."});
    EXPECT_EQ(a.wordValue(Slot::X), 10.0);
    EXPECT_EQ(a.wordValue(Slot::Y), 20.0);
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.startY(), 20.0);
    EXPECT_EQ(a.endY(), 20.0);
    EXPECT_EQ(a.endX(), 10.0);
    EXPECT_EQ(a.totalTime(), timeBefore);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.maxY(), 5.0);
    EXPECT_STREQ(a.text().str(), "X10.00000");
}

TEST(NcAnalyzerNonModalX, G92WithoutXMovesAsAnyBlock) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. Y5. F100"});
    const double timeBefore = a.totalTime();
    Feed(a, {"G92 Y20."});
    EXPECT_EQ(a.startY(), 5.0);
    EXPECT_EQ(a.endY(), 20.0);
    EXPECT_EQ(a.moveLength(), 15.0);
    EXPECT_DOUBLE_EQ(a.totalTime() - timeBefore, 0.15);
    EXPECT_EQ(a.maxY(), 20.0);
}

TEST(NcAnalyzerNonModalX, G28WithZOnlyMoves) {
    NcAnalyzer a = AnalyzerAfter({kRunStart});
    Feed(a, {"G28 Z50."});
    EXPECT_EQ(a.startZ(), 0.0);
    EXPECT_EQ(a.endZ(), 50.0);
    EXPECT_EQ(a.moveLength(), 50.0);
}

TEST(NcAnalyzerNonModalX, XWithMoreDecimalsMovesByTheRounding) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X1.234567 F100"});
    Feed(a, {"G92 X5."});
    EXPECT_STREQ(a.text().str(), "X1.23457");
    EXPECT_EQ(a.startX(), 1.234567);
    EXPECT_EQ(a.endX(), 1.23457);
    EXPECT_NEAR(a.moveLength(), 0.000003, 1e-12);
}

TEST(NcAnalyzerNonModalX, UnderG91XStaysWhereItWas) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. Y5. F100"});
    Feed(a, {"G91 G92 X3. Y2."});
    EXPECT_EQ(a.wordValue(Slot::X), 10.0);
    EXPECT_EQ(a.wordValue(Slot::Y), 7.0);
    EXPECT_EQ(a.moveLength(), 0.0);
    EXPECT_EQ(a.maxX(), 10.0);
    EXPECT_EQ(a.maxY(), 5.0);
}

TEST(NcAnalyzerNonModalX, OnUnsetXPutsTheUnsetCoordinateIntoTheExtents) {
    const NcAnalyzer a = AnalyzerAfter({"G92 X5."});
    EXPECT_EQ(a.wordValue(Slot::X), kUnsetCoordinate);
    EXPECT_EQ(a.minX(), 99999.0);
    EXPECT_EQ(a.maxX(), -9999.0);
}

}  // namespace
