// Canned-cycle holes and their levels, cutter compensation and machining time.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "nc/NcAnalyzer.h"
#include "nc/tests/AnalyzerFeed.h"

namespace {

// A hole block after the given lines, and where it leaves the tool.
struct CycleCase {
    const char* label;
    std::vector<std::string> lines;  // after the run's start and "G00 Z10."
    int count;
    double firstX, firstY, stepX;
    double fromZ, rLevel, bottom, returnLevel;
    double toolX;  // X and Z of the tool after the block
    double toolZ;
};

void PrintTo(const CycleCase& c, std::ostream* os) {
    *os << c.label;
}

class CycleLevels : public ::testing::TestWithParam<CycleCase> {};

TEST_P(CycleLevels, HolesLevelsAndTheToolAfterwards) {
    const CycleCase& c = GetParam();
    std::vector<std::string> lines{kRunStart, "G00 Z10."};
    lines.insert(lines.end(), c.lines.begin(), c.lines.end());
    const NcAnalyzer a = AnalyzerAfter(lines);
    const HoleRow& row = a.holes();
    ASSERT_EQ(row.count, c.count);
    if (c.count > 0) {
        EXPECT_EQ(row.firstX, c.firstX);
        EXPECT_EQ(row.firstY, c.firstY);
        EXPECT_EQ(row.stepX, c.stepX);
        EXPECT_EQ(row.fromZ, c.fromZ);
        EXPECT_EQ(row.rLevel, c.rLevel);
        EXPECT_EQ(row.bottom, c.bottom);
        EXPECT_EQ(row.returnLevel, c.returnLevel);
    }
    EXPECT_EQ(a.wordValue(Slot::X), c.toolX);
    EXPECT_EQ(a.wordValue(Slot::Z), c.toolZ);
}

// The initial level is 10 throughout. Under G91 R counts from it and Z from R.
INSTANTIATE_TEST_SUITE_P(
    Cycles, CycleLevels,
    ::testing::Values(
        CycleCase{"G90G98", {"G90 G98 G81 X10. Y5. Z-5. R2."}, 1, 10, 5, 0, 10, 2, -5, 10, 10, 10},
        CycleCase{"G90G99", {"G90 G99 G83 X10. Y5. Z-5. R2. Q1."}, 1, 10, 5, 0, 10, 2, -5, 2, 10, 2},
        CycleCase{"G91G99", {"G91 G99 G81 X10. Y5. Z-5. R-8."}, 1, 10, 5, 10, 10, 2, -3, 2, 10, 2},
        CycleCase{"G91G98", {"G91 G98 G84 X10. Z-5. R-8."}, 1, 10, 0, 10, 10, 2, -3, 10, 10, 10},
        CycleCase{"LaterHoleG90G99", {"G90 G99 G84 X10. Y5. Z-5. R2.", "X20."}, 1, 20, 5, 0, 2, 2, -5, 2, 20, 2},
        CycleCase{"LaterHoleG91G98", {"G91 G98 G81 X10. Z-5. R-8.", "X10."}, 1, 20, 0, 10, 10, 2, -3, 10, 20, 10},
        CycleCase{"K5G91", {"G91 G99 G81 X10. Z-5. R-8. K5"}, 5, 10, 0, 10, 10, 2, -3, 2, 50, 2},
        CycleCase{"K5G90", {"G90 G81 X10. Z-5. R2. K5"}, 5, 10, 0, 0, 10, 2, -5, 10, 10, 10},
        CycleCase{"K1G91", {"G91 G81 X10. Z-5. R-8. K1"}, 1, 10, 0, 10, 10, 2, -3, 10, 10, 10},
        CycleCase{"LAsK", {"G91 G81 X10. Z-5. R-8. L3"}, 3, 10, 0, 10, 10, 2, -3, 10, 30, 10},
        CycleCase{"FractionalKRoundsUp", {"G90 G81 X10. Z-5. R2. K2.5"}, 3, 10, 0, 0, 10, 2, -5, 10, 10, 10},
        CycleCase{"K0StoresAndStays", {"G91 G81 X10. Z-5. R-8. K0"}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10},
        CycleCase{"K0DataServesTheNextHole", {"G90 G81 X10. Z-5. R2. K0", "X20."}, 1, 20, 0, 0, 10, 2, -5, 10, 20, 10},
        CycleCase{"DeeperAtTheSameHole", {"G90 G81 X10. Z-5. R2.", "Z-8."}, 1, 10, 0, 0, 10, 2, -8, 10, 10, 10},
        CycleCase{"OnlyFDrillsNothing", {"G90 G81 X10. Z-5. R2.", "F200"}, 0, 0, 0, 0, 0, 0, 0, 0, 10, 10},
        CycleCase{"OnlyMDrillsNothing", {"G90 G99 G81 X10. Z-5. R2.", "M08"}, 0, 0, 0, 0, 0, 0, 0, 0, 10, 2},
        CycleCase{"BottomFollowsALaterRUnderG91", {"G91 G81 X10. Z-5. R-8.", "R-6."}, 1, 10, 0, 0, 10, 4, -1, 10, 10, 10},
        CycleCase{"AbsoluteBottomStaysUnderALaterG91R", {"G90 G81 X10. Z-5. R2.", "G91 R-6."}, 1, 10, 0, 0, 10, 4, -5, 10, 10, 10},
        CycleCase{"NoRIsTheInitialLevel", {"G91 G81 X10. Z-5."}, 1, 10, 0, 10, 10, 10, 5, 10, 10, 10},
        CycleCase{"NoZDrillsNothing", {"G90 G81 X10. R2."}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10},
        CycleCase{"ZBeforeTheCycleDoesNotCount", {"G01 Z-5.", "G80", "G81 X10. R2."}, 0, 0, 0, 0, 0, 0, 0, 0, 0, -5},
        CycleCase{"NegativeKDrillsNothing", {"G90 G81 X10. Z-5. R2. K-2"}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10},
        CycleCase{"HugeKIs9999", {"G91 G81 X1. Z-5. R-8. K100000"}, 9999, 1, 0, 1, 10, 2, -3, 10, 9999, 10}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NcCycle, ListsWhatItCannotDrill) {
    const std::vector<std::pair<std::string, Omission>> cases{
        {"G81 X10. R2.", Omission::CycleWithoutZ},
        {"G81 X10. Z-5. R2. K-1", Omission::NegativeRepeatCount},
        {"G81 X10. Z-5. R2. K10000", Omission::RepeatCountOver9999},
    };
    for (const auto& [line, omission] : cases) {
        const NcAnalyzer a = AnalyzerAfter({kRunStart, line});
        EXPECT_TRUE(a.omissions().has(omission)) << line;
    }
}

TEST(NcCycle, TheFirstMoveAfterTheCycleStartsAtTheReturnLevel) {
    for (const std::string& end : {std::string("G80"), std::string("G01 X40.")}) {
        NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 Z10.", "G99 G81 X10. Z-5. R2.", end, "G00 X30."});
        EXPECT_FALSE(a.isCycleActive()) << end;
        EXPECT_EQ(a.startZ(), 2.0) << end;
        EXPECT_EQ(a.endZ(), 2.0) << end;
    }
}

TEST(NcCycle, EndsWithG80OrAnyMotionWordAndDrawsNoMoveMeanwhile) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10. F100", "G81 X5. Y5. Z-10. R2."});
    EXPECT_TRUE(a.isCycleActive());
    EXPECT_EQ(a.cycleCode(), 81);
    // No move of the motion mode: the last move is still the one up to Z10.
    EXPECT_EQ(a.endX(), 0.0);
    Feed(a, {"G80"});
    EXPECT_FALSE(a.isCycleActive());
    Feed(a, {"G73 X6. Z-3."});
    EXPECT_TRUE(a.isCycleActive());
    EXPECT_EQ(a.cycleCode(), 73);
    Feed(a, {"G01 X1."});
    EXPECT_FALSE(a.isCycleActive());
    EXPECT_EQ(a.endX(), 1.0);
}

TEST(NcCycle, InitialLevelAndHeldDepthBelongToOneRun) {
    NcAnalyzer first = AnalyzerAfter({"G00 Z50.", "G81 X1. Y1. Z-5. R1."});
    EXPECT_EQ(first.holes().returnLevel, 50.0);
    NcAnalyzer second = AnalyzerAfter({kRunStart, "F100", "G81 X0 Y0 Z-5. R1."});
    EXPECT_EQ(second.holes().returnLevel, 0.0);
    EXPECT_NEAR(second.totalTime(), 0.04 + 6.0 / 100.0, 1e-12);
}

// From (0, 0, 10) at F100; each hole is charged its positioning at 5000, its depth at the feed and, for G83,
// 0.2 per peck at 5000.
TEST(NcCycleTime, EveryHoleIsCharged) {
    const std::vector<std::pair<std::string, double>> cases{
        {"G81 X3. Y4. Z-10. R2.", 5.0 / 5000 + 0.12},
        {"G83 X3. Y4. Z-10. R2. Q3.", 5.0 / 5000 + 0.12 + 0.8 / 5000},
        {"G83 X3. Y4. Z-10. R2. Q0.", 5.0 / 5000 + 0.12},
        {"G91 G99 G81 X10. Z-12. R-8. K5", 50.0 / 5000 + 5 * 0.12},
        {"G90 G81 X0 Z-10. R2. K3", 3 * 0.12},
    };
    for (const auto& [block, minutes] : cases) {
        NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10. F100"});
        const double before = a.totalTime();
        Feed(a, {block});
        EXPECT_NEAR(a.totalTime() - before, minutes, 1e-12) << block;
    }
}

TEST(NcCycleTime, HolesAtF0WaitForAFeedRate) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10."});
    const double before = a.totalTime();
    Feed(a, {"G81 X1. Z-10. R2.", "X2."});
    EXPECT_NEAR(a.totalTime() - before, 2.0 / 5000, 1e-12);
    // The second depth replaced the first: only 12 is held back, not 24.
    Feed(a, {"F100", "X3."});
    EXPECT_EQ(a.moveLength(), 24.0);
    EXPECT_NEAR(a.totalTime() - before, 3.0 / 5000 + 0.24, 1e-12);
}

TEST(NcCycleTime, FOfTheHoleBlockComesAfterTheHole) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G01 Z10."});
    const double before = a.totalTime();
    Feed(a, {"G81 X0 Z-10. R2. F100"});
    EXPECT_EQ(a.totalTime(), before);
    EXPECT_EQ(a.feedRate(), 100.0);
    Feed(a, {"Z-10."});
    EXPECT_NEAR(a.totalTime() - before, 0.24, 1e-12);
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
