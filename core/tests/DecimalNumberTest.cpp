#include "core/DecimalNumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <ostream>
#include <string_view>

namespace {

struct NumberCase {
    std::string_view text;
    double value;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.text;
}

class ReadDecimalNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadDecimalNumberTest, ReadsOnlyWhatTheViewHolds) {
    EXPECT_EQ(ReadDecimalNumber(GetParam().text), GetParam().value);
}

// Views cut out of longer text: nothing past the end of a view may take part, not even an exponent.
INSTANTIATE_TEST_SUITE_P(Views, ReadDecimalNumberTest,
                         testing::Values(NumberCase{std::string_view("1E3", 1), 1.0},
                                         NumberCase{std::string_view("12.5Y2", 4), 12.5},
                                         NumberCase{std::string_view("-.5", 2), 0.0},
                                         NumberCase{std::string_view("5.25", 2), 5.0},
                                         NumberCase{std::string_view("+7", 2), 7.0},
                                         NumberCase{std::string_view("2e5", 3), 200000.0},
                                         NumberCase{std::string_view("2e", 2), 2.0},
                                         NumberCase{std::string_view("DIA=10.5)", 9), 10.5},
                                         NumberCase{std::string_view("-Y5", 3), 0.0},
                                         NumberCase{std::string_view(), 0.0}));

INSTANTIATE_TEST_SUITE_P(OutOfRange, ReadDecimalNumberTest,
                         testing::Values(NumberCase{"1e999", DBL_MAX}, NumberCase{"-1e999", -DBL_MAX},
                                         NumberCase{"1e-999", 0.0}));

}  // namespace
