// Canned-cycle holes, return levels, cutter compensation and machining time.
#include <gtest/gtest.h>

#include <cmath>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

// Up to Z10 at F100 in G01 mode, where a cycle block makes no linear move of its own.
NcAnalyzer AnalyzerAboveWork() {
    return AnalyzerAfter({kRunStart, "G01 Z10. F100"});
}

TEST(NcCycleTime, G81ChargesItsDepthAtTheFeedRate) {
    NcAnalyzer a = AnalyzerAboveWork();
    const double before = a.totalTime();
    Feed(a, {"G81 X5. Y5. Z-10. R2."});
    EXPECT_TRUE(a.isCycleActive());
    EXPECT_EQ(a.cycleCode(), 81);
    EXPECT_EQ(a.holeX(), 5.0);
    EXPECT_EQ(a.holeY(), 5.0);
    EXPECT_EQ(a.holeZ(), -10.0);
    EXPECT_EQ(a.rLevel(), 2.0);
    EXPECT_EQ(a.moveLength(), 12.0);
    EXPECT_EQ(a.moveTime(), 0.12);
    EXPECT_NEAR(a.totalTime() - before, 0.12, 1e-12);
    // No positioning move in G01 mode: the last move is still the one up to Z10.
    EXPECT_EQ(a.endX(), 0.0);
    EXPECT_EQ(a.endZ(), 10.0);
}

TEST(NcCycleTime, G83AddsItsPecksAtTheRapidRate) {
    NcAnalyzer a = AnalyzerAboveWork();
    const double before = a.totalTime();
    Feed(a, {"G83 X5. Y5. Z-10. R2. Q3."});
    EXPECT_EQ(a.cycleCode(), 83);
    EXPECT_DOUBLE_EQ(a.moveLength(), 0.8);  // 12 / 3 pecks of 0.2
    EXPECT_DOUBLE_EQ(a.moveTime(), 0.00016);
    EXPECT_NEAR(a.totalTime() - before, 0.12 + 0.00016, 1e-12);
}

TEST(NcCycleTime, G83WithoutPeckDepthChargesItsDepthOnce) {
    NcAnalyzer a = AnalyzerAboveWork();
    const double before = a.totalTime();
    Feed(a, {"G83 X5. Y5. Z-10. R2. Q0."});
    EXPECT_EQ(a.moveLength(), 12.0);
    EXPECT_EQ(a.moveTime(), 0.12);
    EXPECT_NEAR(a.totalTime() - before, 0.12, 1e-12);
    EXPECT_TRUE(std::isfinite(a.totalTime()));
}

TEST(NcCycleTime, HolesAtF0WaitForAFeedRate) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10."});
    const double before = a.totalTime();
    Feed(a, {"G81 X1. Y1. Z-10. R2.", "X2."});
    EXPECT_EQ(a.totalTime(), before);
    // The second depth replaced the first: only 12 is held back, not 24.
    Feed(a, {"F100", "X3."});
    EXPECT_EQ(a.moveLength(), 24.0);
    EXPECT_NEAR(a.totalTime() - before, 0.24, 1e-12);
}

TEST(NcCycleTime, HeldDepthIsChargedWithTheFirstFedHoleOnly) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10.", "G81 X1. Y1. Z-10. R2."});
    const double before = a.totalTime();
    // 12 held plus 12 at the first hole with a feed, then 12 and 20 for the next two: 56 at F100.
    Feed(a, {"F100", "X2.", "X3."});
    EXPECT_EQ(a.moveLength(), 12.0);
    Feed(a, {"X4. Z-18."});
    EXPECT_EQ(a.moveLength(), 20.0);
    EXPECT_NEAR(a.totalTime() - before, 0.56, 1e-12);
}

TEST(NcCycleTime, FOfTheHoleBlockComesAfterTheHole) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10."});
    const double before = a.totalTime();
    Feed(a, {"G81 X1. Y1. Z-10. R2. F100"});
    EXPECT_EQ(a.totalTime(), before);
    EXPECT_EQ(a.feedRate(), 100.0);
    Feed(a, {"X2."});
    EXPECT_NEAR(a.totalTime() - before, 0.24, 1e-12);
}

TEST(NcCycleTime, RepeatingTheLastHoleChargesNothing) {
    NcAnalyzer a = AnalyzerAboveWork();
    Feed(a, {"G81 X5. Y5. Z-10. R2."});
    const double before = a.totalTime();
    Feed(a, {"Z-20. R5."});
    EXPECT_EQ(a.totalTime(), before);
    EXPECT_EQ(a.holeZ(), -20.0);
    EXPECT_EQ(a.rLevel(), 2.0);
    EXPECT_EQ(a.moveLength(), 12.0);
}

TEST(NcCycleTime, LastHoleOutlivesG80) {
    NcAnalyzer a = AnalyzerAboveWork();
    Feed(a, {"G81 X5. Y5. Z-10. R2.", "G80"});
    EXPECT_FALSE(a.isCycleActive());
    const double before = a.totalTime();
    Feed(a, {"G82 X5. Y5. Z-10. R2."});
    EXPECT_EQ(a.totalTime(), before);
    EXPECT_EQ(a.cycleCode(), 81);
}

TEST(NcCycleTime, CycleInRapidModeMovesToTheHoleBottom) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 Z10.", "F100"});
    const double before = a.totalTime();
    Feed(a, {"G81 X3. Y4. Z-10. R2."});
    EXPECT_TRUE(a.isRapidMove());
    EXPECT_EQ(a.endX(), 3.0);
    EXPECT_EQ(a.endY(), 4.0);
    EXPECT_EQ(a.endZ(), -10.0);
    EXPECT_EQ(a.moveLength(), std::sqrt(425.0));  // 5 across, 20 down
    EXPECT_NEAR(a.totalTime() - before, 0.12 + std::sqrt(425.0) / 5000.0, 1e-12);
}

TEST(NcCycle, EndsWithG80OrAnyMotionWord) {
    NcAnalyzer a = AnalyzerAboveWork();
    Feed(a, {"G81 X5. Y5. Z-10. R2."});
    EXPECT_TRUE(a.isCycleActive());
    Feed(a, {"G80"});
    EXPECT_FALSE(a.isCycleActive());
    Feed(a, {"G73 X6."});
    EXPECT_TRUE(a.isCycleActive());
    EXPECT_EQ(a.cycleCode(), 73);
    Feed(a, {"G01 X1."});
    EXPECT_FALSE(a.isCycleActive());
    EXPECT_EQ(a.endX(), 1.0);
}

TEST(NcCycle, ReturnLevelFollowsG98AndG99) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 Z50."});
    Feed(a, {"G81 X1. Y1. Z-5. R1. F100"});
    EXPECT_EQ(a.returnLevel(), 50.0);
    Feed(a, {"G99 X2."});
    EXPECT_EQ(a.returnLevel(), 1.0);
    // The level follows R on every block of the cycle, not only on new holes.
    Feed(a, {"R3."});
    EXPECT_EQ(a.returnLevel(), 3.0);
    EXPECT_EQ(a.rLevel(), 1.0);
    // Z inside a cycle is a hole bottom, not an initial level.
    Feed(a, {"G98 Z-8."});
    EXPECT_EQ(a.returnLevel(), 50.0);
}

TEST(NcCycle, G98WithoutZSinceTheRunStartReturnsToZero) {
    EXPECT_EQ(AnalyzerAfter({kRunStart, "G81 X1. Y1. Z-5. R1."}).returnLevel(), 0.0);
}

TEST(NcCycle, ReturnLevelChangesOnlyUnderACycle) {
    EXPECT_EQ(AnalyzerAfter({kRunStart, "G99 R7."}).returnLevel(), 0.0);
}

TEST(NcCycle, InitialLevelAndHeldDepthBelongToOneRun) {
    NcAnalyzer first = AnalyzerAfter({"G00 Z50.", "G81 X1. Y1. Z-5. R1."});
    EXPECT_EQ(first.returnLevel(), 50.0);
    NcAnalyzer second = AnalyzerAfter({"F100", "G81 X1. Y1. Z-5. R1."});
    EXPECT_EQ(second.returnLevel(), 0.0);
    EXPECT_EQ(second.totalTime(), 6.0 / 100.0);
}

TEST(NcCompensation, TakesDFromAnEarlierBlockAndKeepsTheCodeAfterG40) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "D12", "G41"});
    EXPECT_TRUE(a.isCompensationOn());
    EXPECT_EQ(a.compensationD(), 12);
    EXPECT_EQ(a.compensationCode(), 41);
    Feed(a, {"D7"});
    EXPECT_EQ(a.compensationD(), 12);
    Feed(a, {"G40"});
    EXPECT_FALSE(a.isCompensationOn());
    EXPECT_EQ(a.compensationD(), 0);
    EXPECT_EQ(a.compensationCode(), 41);
    Feed(a, {"G42 D3.9"});
    EXPECT_TRUE(a.isCompensationOn());
    EXPECT_EQ(a.compensationD(), 3);
    EXPECT_EQ(a.compensationCode(), 42);
}

TEST(NcMoveTime, RapidAtTheRapidRateAndFeedAtF0AsOne) {
    NcAnalyzer a = AnalyzerAfter({kRunStart});
    EXPECT_EQ(a.totalTime(), 0.04);
    Feed(a, {"G00 X100."});
    EXPECT_EQ(a.moveTime(), 0.02);
    Feed(a, {"G01 Y100."});
    EXPECT_EQ(a.moveTime(), 100.0);
    EXPECT_NEAR(a.totalTime(), 0.04 + 0.02 + 100.0, 1e-12);
}

TEST(NcMoveTime, ArcAtTheFeedRate) {
    const NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 X10. F50", "G03 X-10. I-10."});
    EXPECT_DOUBLE_EQ(a.moveTime(), 10.0 * 3.141592653589793 / 50.0);
}

}  // namespace
