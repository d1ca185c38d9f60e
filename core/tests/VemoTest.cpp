#include "core/Vemo.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/MessageSink.h"
#include "tests/support/RecordingSink.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(VemoTest, SignOfDoubles) {
    EXPECT_EQ(Sign(0.0), 0);
    EXPECT_EQ(Sign(-0.0), 0);
    EXPECT_EQ(Sign(std::numeric_limits<double>::denorm_min()), 1);
    EXPECT_EQ(Sign(-std::numeric_limits<double>::denorm_min()), -1);
    EXPECT_EQ(Sign(12.5), 1);
    EXPECT_EQ(Sign(-12.5), -1);
    EXPECT_EQ(Sign(kInfinity), 1);
    EXPECT_EQ(Sign(-kInfinity), -1);
    EXPECT_EQ(Sign(kNaN), 0);
}

TEST(VemoTest, SignOfIntegers) {
    EXPECT_EQ(Sign(std::int32_t{0}), 0);
    EXPECT_EQ(Sign(std::int32_t{7}), 1);
    EXPECT_EQ(Sign(std::int32_t{-7}), -1);
    EXPECT_EQ(Sign(std::numeric_limits<std::int32_t>::max()), 1);
    EXPECT_EQ(Sign(std::numeric_limits<std::int32_t>::min()), -1);
}

TEST(VemoTest, MaxAndMinOfEqualValuesGiveTheFirst) {
    EXPECT_FALSE(std::signbit(MaxOf(0.0, -0.0)));
    EXPECT_TRUE(std::signbit(MaxOf(-0.0, 0.0)));
    EXPECT_FALSE(std::signbit(MinOf(0.0, -0.0)));
    EXPECT_TRUE(std::signbit(MinOf(-0.0, 0.0)));
}

TEST(VemoTest, MaxAndMinPickTheValue) {
    EXPECT_EQ(MaxOf(1.0, 2.0), 2.0);
    EXPECT_EQ(MaxOf(2.0, 1.0), 2.0);
    EXPECT_EQ(MinOf(1.0, 2.0), 1.0);
    EXPECT_EQ(MinOf(2.0, 1.0), 1.0);
    EXPECT_EQ(MaxOf(-3.0, -4.0), -3.0);
    EXPECT_EQ(MinOf(-3.0, -4.0), -4.0);
}

TEST(VemoTest, SwapValuesExchanges) {
    double a = 1.5;
    double b = -2.0;
    SwapValues(a, b);
    EXPECT_EQ(a, -2.0);
    EXPECT_EQ(b, 1.5);
    SwapValues(a, a);
    EXPECT_EQ(a, -2.0);
}

struct FindCase {
    const char* text;
    const char* key;
    int expected;
};

class FindTextTest : public testing::TestWithParam<FindCase> {};

TEST_P(FindTextTest, GivesTheBytePosition) {
    const FindCase& c = GetParam();
    EXPECT_EQ(FindText(c.text, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FindTextTest,
                         testing::Values(FindCase{"ABCABC", "CA", 2}, FindCase{"ABCABC", "X", -1},
                                         FindCase{"ABCABC", "", 0}, FindCase{"", "", 0},
                                         FindCase{"", "A", -1}, FindCase{"ABCABC", "ABC", 0},
                                         FindCase{"AB", "ABC", -1}, FindCase{"\x95\xE2\x90\xB3=1", "=", 4}));

struct ReplaceCase {
    const char* text;
    const char* find;
    const char* replacement;
    const char* expected;
};

class ReplaceFirstTest : public testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceFirstTest, ReplacesOnlyTheFirstOccurrence) {
    const ReplaceCase& c = GetParam();
    EXPECT_EQ(ReplaceFirst(c.text, c.find, c.replacement), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReplaceFirstTest,
                         testing::Values(ReplaceCase{"A\nB\nC", "\n", "", "AB\nC"},
                                         ReplaceCase{"A\nB\nC", "X", "", "A\nB\nC"},
                                         ReplaceCase{"ABC", "", "Z", "ZABC"},
                                         ReplaceCase{"ABCABC", "BC", "xyz", "AxyzABC"},
                                         ReplaceCase{"ABC", "ABC", "", ""}, ReplaceCase{"", "", "Q", "Q"},
                                         ReplaceCase{"AAA", "A", "AA", "AAAA"}));

TEST(VemoTest, ReplaceFirstLeavesTheCallersTextAlone) {
    const std::string text = "http://a\\b";
    const std::string find = "\\";
    const std::string result = ReplaceFirst(text, find, "/");
    EXPECT_EQ(result, "http://a/b");
    EXPECT_EQ(text, "http://a\\b");
}

struct RoundCase {
    double value;
    std::int32_t decimals;
    const char* expected;
};

void PrintTo(const RoundCase& c, std::ostream* os) {
    *os << c.expected;
}

class RoundTextTest : public testing::TestWithParam<RoundCase> {};

TEST_P(RoundTextTest, RoundsHalfAwayFromZero) {
    const RoundCase& c = GetParam();
    EXPECT_EQ(RoundText(c.value, c.decimals), c.expected) << c.value << " with " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, RoundTextTest,
    testing::Values(RoundCase{12.25, 1, "12.3"}, RoundCase{-2.25, 1, "-2.3"}, RoundCase{3.0, 1, "3"},
                    RoundCase{0.04, 1, "0"}, RoundCase{-0.04, 1, "0"}, RoundCase{0.15, 1, "0.2"},
                    RoundCase{2.5, 0, "3"}, RoundCase{-2.5, 0, "-3"}, RoundCase{2.25, 1, "2.3"},
                    RoundCase{0.0, 3, "0"}, RoundCase{-0.0, 3, "0"}, RoundCase{1234.5678, 3, "1234.568"},
                    RoundCase{-1234.5674, 3, "-1234.567"}, RoundCase{0.0005, 3, "0.001"},
                    RoundCase{12.34, 0, "12"}, RoundCase{1250.0, -2, "1300"}, RoundCase{-0.05, 1, "-0.1"}));

// The result of the 32-bit truncation holds up to its limit; beyond it nothing overflows.
INSTANTIATE_TEST_SUITE_P(
    WideRange, RoundTextTest,
    testing::Values(RoundCase{2147483647.4, 0, "2147483647"}, RoundCase{-2147483647.4, 0, "-2147483647"},
                    RoundCase{2147483648.0, 0, "2147483648"}, RoundCase{-2147483648.6, 0, "-2147483649"},
                    RoundCase{3e9, 0, "3000000000"}, RoundCase{123456789.25, 3, "123456789.25"},
                    RoundCase{-1e300, 1, "-1E300"}, RoundCase{1e308, 3, "1E308"},
                    RoundCase{DBL_MAX, 1, "1.79769313486232E308"}));

INSTANTIATE_TEST_SUITE_P(ExtremeDecimals, RoundTextTest,
                         testing::Values(RoundCase{0.1, 400, "0.1"}, RoundCase{1e300, -400, "0"},
                                         RoundCase{1e-300, 300, "1E-300"}, RoundCase{5e-324, 3, "0"},
                                         RoundCase{kNaN, 1, "0"}, RoundCase{kInfinity, 1, "0"},
                                         RoundCase{-kInfinity, 3, "0"}));

TEST(VemoTest, RoundTextIgnoresTheDecimalCommaLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous == nullptr ? "C" : previous;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const std::string text = RoundText(-12.25, 1);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(text, "-12.3");
}

TEST(MessageSinkTest, ShowMessageBoxUsesTheInstalledSink) {
    RecordingSink sink;
    SetMessageSink(&sink);
    EXPECT_EQ(&CurrentMessageSink(), &sink);
    ShowMessageBox("正常に終了しました。");
    SetMessageSink(nullptr);
    ASSERT_EQ(sink.shown.size(), 1u);
    EXPECT_EQ(sink.shown[0], (ShownMessage{"メッセージ", "正常に終了しました。"}));
    EXPECT_NE(&CurrentMessageSink(), &sink);
}

TEST(MessageSinkTest, FallbackWritesOneLineToStandardError) {
    SetMessageSink(nullptr);
    testing::internal::CaptureStderr();
    ShowMessageBox("abc");
    CurrentMessageSink().showMessage("File Open Error", "No Open x.nc");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "メッセージ: abc\nFile Open Error: No Open x.nc\n");
}

}  // namespace
