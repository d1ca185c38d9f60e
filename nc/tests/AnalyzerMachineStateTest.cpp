// What macro variables read of the interpreter after a block.
#include "nc/AnalyzerMachineState.h"

#include <gtest/gtest.h>

#include <utility>

#include "nc/tests/AnalyzerFeed.h"

namespace {

TEST(AnalyzerMachineState, ModalCodesPositionAndLastWords) {
    NcAnalyzer a = AnalyzerAfter({kRunStart, "G00 Z10.", "G91 G18 G99 G83 X5. Z-3. R-8. Q1. F200 T4"});
    const AnalyzerMachineState state(a);
    // Groups 1, 2, 3, 9 and 10 as the program left them; 5 and 6 as a control starts.
    const std::pair<int, double> groups[] = {{1, 0}, {2, 18}, {3, 91}, {5, 94}, {6, 21}, {9, 83}, {10, 99}};
    for (const auto& [group, code] : groups) {
        EXPECT_FALSE(state.modalG(group).null) << group;
        EXPECT_EQ(state.modalG(group).number, code) << group;
    }
    EXPECT_TRUE(state.modalG(23).null);
    // After a hole the tool stands at the return level, the R level 10 - 8 under G99.
    EXPECT_EQ(state.position().x, 5.0);
    EXPECT_EQ(state.position().z, 2.0);
    EXPECT_EQ(state.lastWord('F').number, 200.0);
    EXPECT_EQ(state.lastWord('T').number, 4.0);
    // No block wrote S or D: their start words are no machine's values.
    EXPECT_TRUE(state.lastWord('S').null);
    EXPECT_TRUE(state.lastWord('D').null);
    Feed(a, {"M08"});
    EXPECT_EQ(state.lastWord('F').number, 200.0);
    EXPECT_EQ(state.lastWord('M').number, 8.0);
}

}  // namespace
