// Variables: locals per call level, commons, the system variables read offline and the ranges that do not
// exist.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "nc/tests/MacroRig.h"

namespace {

constexpr double kNull = std::numeric_limits<double>::quiet_NaN();

bool Holds(MacroValue value, double expected) {
    return std::isnan(expected) ? value.null : !value.null && value.number == expected;
}

struct ReadCase {
    int number;
    double expected;  // kNull for null
    std::vector<std::string> notes;
};

class MacroVariableRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(MacroVariableRead, ReadsTheTable) {
    MacroRig rig;
    EXPECT_TRUE(Holds(rig.get(GetParam().number), GetParam().expected));
    EXPECT_EQ(rig.notes.texts, GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MacroVariableRead,
    ::testing::Values(ReadCase{0, kNull, {}}, ReadCase{1, kNull, {}}, ReadCase{999, kNull, {}},
                      ReadCase{5001, 1, {}}, ReadCase{5042, 2, {}}, ReadCase{5023, 13, {}},
                      ReadCase{4003, 90, {}}, ReadCase{4214, 90, {}}, ReadCase{4109, 250, {}},
                      ReadCase{4120, kNull, {}}, ReadCase{5221, 0, {}}, ReadCase{7956, 0, {}},
                      ReadCase{2400, 0, {}}, ReadCase{19999, 0, {}}, ReadCase{1133, 0, {}},
                      ReadCase{3902, 0, {}}, ReadCase{3000, kNull, {"システム変数 #3000 (空として実行)"}},
                      ReadCase{5327, kNull, {"システム変数 #5327 (空として実行)"}},
                      ReadCase{4023, kNull, {"システム変数 #4023 (空として実行)"}},
                      ReadCase{34, kNull, {"未定義の変数 #34"}},
                      ReadCase{499, kNull, {"未定義の変数 #499"}}));

struct WriteCase {
    int number;
    MacroWrite result;
    double readBack;  // kNull for null
    std::vector<std::string> notes;
};

class MacroVariableWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(MacroVariableWrite, StoresWhatTheTableAllows) {
    MacroRig rig;
    EXPECT_EQ(rig.variables.write(GetParam().number, MacroValue::Of(2.5), rig.notes), GetParam().result);
    EXPECT_EQ(rig.notes.texts, GetParam().notes);
    EXPECT_TRUE(Holds(rig.get(GetParam().number), GetParam().readBack));
}

INSTANTIATE_TEST_SUITE_P(
    Table, MacroVariableWrite,
    ::testing::Values(WriteCase{33, MacroWrite::Done, 2.5, {}}, WriteCase{150, MacroWrite::Done, 2.5, {}},
                      WriteCase{500, MacroWrite::Done, 2.5, {}}, WriteCase{5326, MacroWrite::Done, 2.5, {}},
                      WriteCase{7001, MacroWrite::Done, 2.5, {}}, WriteCase{10001, MacroWrite::Done, 2.5, {}},
                      WriteCase{3001, MacroWrite::Done, 0, {}},
                      WriteCase{5001, MacroWrite::Done, 1, {"システム変数 #5001 (書き込み無視)"}},
                      WriteCase{60, MacroWrite::Done, kNull, {"未定義の変数 #60"}},
                      WriteCase{0, MacroWrite::Refused, kNull, {}},
                      WriteCase{3000, MacroWrite::Alarm, kNull, {}},
                      WriteCase{3006, MacroWrite::Message, kNull, {}}));

// A G65 call gets locals of its own holding its arguments; commons are shared; five levels above the main
// program at most; a repeated run starts from the arguments again.
TEST(MacroVariables, LocalsPerCallLevel) {
    MacroRig rig;
    rig.set(1, 1.0);
    rig.set(100, 7.0);
    MacroLocals arguments{};
    arguments[23] = MacroValue::Of(2.5);
    for (int level = 1; level <= 5; ++level) {
        ASSERT_TRUE(rig.variables.enterCall(arguments));
        EXPECT_TRUE(rig.get(1).null);
        EXPECT_EQ(rig.get(24).number, 2.5);
        EXPECT_EQ(rig.get(100).number, 7.0);
        rig.set(1, 10.0 + level);
    }
    EXPECT_FALSE(rig.variables.enterCall(arguments));
    EXPECT_EQ(rig.get(1).number, 15.0);
    rig.set(24, 9.0);
    rig.variables.restartCall();
    EXPECT_TRUE(rig.get(1).null);
    EXPECT_EQ(rig.get(24).number, 2.5);
    ASSERT_TRUE(rig.variables.leaveCall());
    EXPECT_EQ(rig.get(1).number, 14.0);
    while (rig.variables.leaveCall()) {
    }
    EXPECT_EQ(rig.variables.callLevel(), 0);
    EXPECT_EQ(rig.get(1).number, 1.0);
    ASSERT_TRUE(rig.variables.enterCall(MacroLocals{}));
    EXPECT_TRUE(rig.get(24).null) << "a new call starts from its own arguments";
}

}  // namespace
