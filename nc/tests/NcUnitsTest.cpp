// Lengths are kept in mm whatever unit the program is in, and a number without a point is read by the input
// setting. Expected values are the written numbers times 25.4, or the least increment of 0.001 mm or 0.0001 in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nc/NcBlock.h"

namespace {

struct UnitCase {
    const char* name;
    UnitOptions options;
    std::vector<std::string> before;
    std::string line;
    int slot;
    double value;
};

void PrintTo(const UnitCase& c, std::ostream* out) {
    *out << c.name;
}

class NcUnits : public testing::TestWithParam<UnitCase> {};

TEST_P(NcUnits, ReadsLengthsIntoMillimetres) {
    const UnitCase& c = GetParam();
    NcBlock block;
    block.setUnitOptions(c.options);
    for (const std::string& line : c.before) {
        block.load(SString(line));
    }
    block.load(SString(c.line));
    EXPECT_DOUBLE_EQ(block.wordValue(c.slot), c.value);
}

constexpr UnitOptions kMetric{};
constexpr UnitOptions kInch{true, false};
constexpr UnitOptions kCalculator{false, true};

INSTANTIATE_TEST_SUITE_P(
    Programs, NcUnits,
    testing::Values(
        UnitCase{"MillimetreThousandths", kMetric, {}, "X1", Slot::X, 0.001},
        UnitCase{"G20WithPoint", kMetric, {}, "G20 X1.", Slot::X, 25.4},
        UnitCase{"G20CountsForWordsBeforeIt", kMetric, {}, "Y2. G20", Slot::Y, 50.8},
        UnitCase{"G20TenThousandthsOfAnInch", kMetric, {}, "G20 Z10000", Slot::Z, 25.4},
        UnitCase{"G20ArcCentre", kMetric, {"G20"}, "G02 X0 I-5", Slot::I, -0.0127},
        UnitCase{"G20Radius", kMetric, {"G20"}, "G02 X1. R0.5", Slot::R, 12.7},
        UnitCase{"G20Peck", kMetric, {"G20"}, "G83 Z-1. R0.1 Q0.05", Slot::Q, 1.27},
        UnitCase{"G20FeedWithPoint", kMetric, {"G20"}, "F10.", Slot::F, 254.0},
        UnitCase{"G20FeedWithoutPoint", kMetric, {"G20"}, "F10", Slot::F, 254.0},
        UnitCase{"G20AngleUnscaled", kMetric, {"G20"}, "A90.", Slot::A, 90.0},
        UnitCase{"G20AngleThousandths", kMetric, {"G20"}, "A90", Slot::A, 0.09},
        UnitCase{"G20SpindleAsWritten", kMetric, {"G20"}, "S1000", Slot::S, 1000.0},
        UnitCase{"G21SwitchesBack", kMetric, {"G20 X1."}, "G21 X2.", Slot::X, 2.0},
        UnitCase{"G91IncrementInInch", kMetric, {"X0", "G20 G91 X1."}, "X1.", Slot::X, 50.8},
        UnitCase{"InchByDefault", kInch, {}, "X1.", Slot::X, 25.4},
        UnitCase{"InchByDefaultUntilG21", kInch, {}, "G21 X1.", Slot::X, 1.0},
        UnitCase{"CalculatorX", kCalculator, {}, "X3", Slot::X, 3.0},
        UnitCase{"CalculatorY", kCalculator, {}, "Y-3", Slot::Y, -3.0},
        UnitCase{"CalculatorZ", kCalculator, {}, "Z3", Slot::Z, 3.0},
        UnitCase{"CalculatorI", kCalculator, {}, "G02 I3", Slot::I, 3.0},
        UnitCase{"CalculatorJ", kCalculator, {}, "G02 J3", Slot::J, 3.0},
        UnitCase{"CalculatorK", kCalculator, {}, "G02 K3", Slot::K, 3.0},
        UnitCase{"CalculatorR", kCalculator, {}, "G02 X1 R3", Slot::R, 3.0},
        UnitCase{"CalculatorQ", kCalculator, {}, "Q3", Slot::Q, 3.0},
        UnitCase{"CalculatorFeedAsWritten", kCalculator, {}, "F3", Slot::F, 3.0},
        UnitCase{"CalculatorToolAsWritten", kCalculator, {}, "T3", Slot::T, 3.0},
        UnitCase{"CalculatorOffsetAsWritten", kCalculator, {}, "D3", Slot::D, 3.0},
        UnitCase{"CalculatorKeepsAPoint", kCalculator, {}, "X3.5", Slot::X, 3.5},
        UnitCase{"CalculatorInInch", UnitOptions{true, true}, {}, "X3", Slot::X, 76.2}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
