#include "core/RealText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

struct RealCase {
    double value;
    const char* expected;
};

void PrintTo(const RealCase& c, std::ostream* os) {
    *os << c.expected;
}

class RealTextTest : public testing::TestWithParam<RealCase> {};

TEST_P(RealTextTest, WritesTheShortestText) {
    const RealCase& c = GetParam();
    EXPECT_EQ(RealText(c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Examples, RealTextTest,
                         testing::Values(RealCase{12.5, "12.5"}, RealCase{100.0, "100"},
                                         RealCase{-0.25, "-0.25"}, RealCase{0.0001, "0.0001"},
                                         RealCase{0.00001, "1E-5"}, RealCase{1.5e20, "1.5E20"},
                                         RealCase{0.1 + 0.2, "0.3"}, RealCase{0.0, "0"}, RealCase{-0.0, "0"},
                                         RealCase{1234.5, "1234.5"}, RealCase{-10.0, "-10"}));

// The fixed range ends at 0.000d... below and at fifteen integer digits above.
INSTANTIATE_TEST_SUITE_P(
    Boundaries, RealTextTest,
    testing::Values(RealCase{0.000123, "0.000123"}, RealCase{0.0000999, "9.99E-5"},
                    RealCase{-0.00001, "-1E-5"}, RealCase{0.001, "0.001"}, RealCase{0.5, "0.5"},
                    RealCase{1.0, "1"}, RealCase{100000000000000.0, "100000000000000"},
                    RealCase{999999999999999.0, "999999999999999"}, RealCase{1e15, "1E15"},
                    RealCase{-1e15, "-1E15"}, RealCase{1234567890123456.0, "1.23456789012346E15"},
                    RealCase{1e100, "1E100"}, RealCase{1e-100, "1E-100"}, RealCase{2.5e-7, "2.5E-7"}));

INSTANTIATE_TEST_SUITE_P(
    Rounding, RealTextTest,
    testing::Values(RealCase{1.0 / 3.0, "0.333333333333333"}, RealCase{2.0 / 3.0, "0.666666666666667"},
                    RealCase{-2.0 / 3.0, "-0.666666666666667"}, RealCase{0.1, "0.1"},
                    RealCase{123456.7890123456789, "123456.789012346"}, RealCase{9.9999999999999999, "10"},
                    RealCase{0.99999999999999999, "1"}, RealCase{99999.9999999999999, "100000"},
                    RealCase{9.999999999999999e14, "1E15"}, RealCase{9.999999999999999e-5, "0.0001"},
                    RealCase{1.9999999999999999e20, "2E20"}, RealCase{100.00000000000001, "100"},
                    RealCase{DBL_MAX, "1.79769313486232E308"}, RealCase{-DBL_MAX, "-1.79769313486232E308"},
                    RealCase{DBL_MIN, "2.2250738585072E-308"},
                    RealCase{std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"}));

TEST(RealTextTest, NonFiniteValuesGiveZero) {
    EXPECT_EQ(RealText(std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(RealText(-std::numeric_limits<double>::infinity()), "0");
    EXPECT_EQ(RealText(std::numeric_limits<double>::quiet_NaN()), "0");
}

TEST(RealTextTest, AppendKeepsWhatIsThere) {
    std::string out = "10\n";
    AppendRealText(out, -1234.5);
    out += '\n';
    AppendRealText(out, 1e-20);
    EXPECT_EQ(out, "10\n-1234.5\n1E-20");
}

TEST(RealTextTest, IgnoresTheDecimalCommaLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous == nullptr ? "C" : previous;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const std::string fixed = RealText(-1234.5);
    const std::string scientific = RealText(1.5e-20);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(fixed, "-1234.5");
    EXPECT_EQ(scientific, "1.5E-20");
}

// A decimal 0.d1d2...dn times 10 to the power `exponent`, trailing zeros dropped.
struct DecimalForm {
    bool negative = false;
    char digits[17] = {};
    int count = 0;
    int exponent = 0;

    void dropTrailingZeros() {
        while (count > 0 && digits[count - 1] == '0') {
            --count;
        }
    }
};

// Lays the digits out one decimal place at a time, from the highest power of ten present down to the lowest.
std::string_view Layout(const DecimalForm& form, char* out) {
    char* p = out;
    if (form.count == 0) {
        *p++ = '0';
        return {out, 1};
    }
    if (form.negative) {
        *p++ = '-';
    }
    if (form.exponent >= -3 && form.exponent <= 15) {
        const int highest = std::max(form.exponent - 1, 0);
        const int lowest = std::min(form.exponent - form.count, 0);
        for (int power = highest; power >= lowest; --power) {
            if (power == -1) {
                *p++ = '.';
            }
            const int index = form.exponent - 1 - power;
            *p++ = index >= 0 && index < form.count ? form.digits[index] : '0';
        }
    } else {
        *p++ = form.digits[0];
        if (form.count > 1) {
            *p++ = '.';
            for (int i = 1; i < form.count; ++i) {
                *p++ = form.digits[i];
            }
        }
        *p++ = 'E';
        p = std::to_chars(p, p + 8, form.exponent - 1).ptr;
    }
    return {out, static_cast<std::size_t>(p - out)};
}

std::string LayoutText(const DecimalForm& form) {
    char text[48];
    return std::string(Layout(form, text));
}

// The exact decimal expansion of a double, from a big integer in base 10^9, rounded to 15 digits.
class ExactDecimal {
public:
    // An exact half rounds up when `halfUp` is set, otherwise down; both are correct roundings.
    DecimalForm rounded(double x, bool halfUp) {
        DecimalForm form;
        form.negative = x < 0;
        if (x == 0.0) {
            return form;
        }
        const int decimalShift = expand(std::fabs(x));
        const std::size_t first = digits_.find_first_not_of('0');
        const std::string_view digits = std::string_view(digits_).substr(first);
        form.exponent = static_cast<int>(digits.size()) + decimalShift;
        form.count = static_cast<int>(std::min<std::size_t>(digits.size(), 15));
        digits.copy(form.digits, static_cast<std::size_t>(form.count));
        if (digits.size() > 15) {
            const std::string_view dropped = digits.substr(15);
            const bool half =
                dropped[0] == '5' && dropped.find_first_not_of('0', 1) == std::string_view::npos;
            if (dropped[0] > '5' || (dropped[0] == '5' && (halfUp || !half))) {
                roundUp(form);
            }
        }
        form.dropTrailingZeros();
        return form;
    }

private:
    static constexpr std::uint64_t kBase = 1'000'000'000;

    // Fills digits_ with the integer m * 2^k or m * 5^k and returns the power of ten it is to be scaled by.
    int expand(double magnitude) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
        const int biased = static_cast<int>(bits >> 52);
        std::uint64_t mantissa = bits & ((std::uint64_t{1} << 52) - 1);
        int binaryExponent = -1074;
        if (biased != 0) {
            mantissa |= std::uint64_t{1} << 52;
            binaryExponent = biased - 1075;
        }
        limbs_.assign({static_cast<std::uint32_t>(mantissa % kBase),
                       static_cast<std::uint32_t>(mantissa / kBase % kBase),
                       static_cast<std::uint32_t>(mantissa / kBase / kBase)});
        int decimalShift = 0;
        if (binaryExponent >= 0) {
            multiplyByPower(binaryExponent, 2, 29);
        } else {
            // m / 2^k = m * 5^k / 10^k
            multiplyByPower(-binaryExponent, 5, 13);
            decimalShift = binaryExponent;
        }
        digits_.clear();
        for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
            char group[9];
            std::uint32_t value = *limb;
            for (int i = 8; i >= 0; --i) {
                group[i] = static_cast<char>('0' + value % 10);
                value /= 10;
            }
            digits_.append(group, 9);
        }
        return decimalShift;
    }

    void multiplyBy(std::uint64_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = limb * factor + carry;
            limb = static_cast<std::uint32_t>(product % kBase);
            carry = product / kBase;
        }
        while (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry % kBase));
            carry /= kBase;
        }
    }

    void multiplyByPower(int power, std::uint64_t base, int stride) {
        std::uint64_t bigStep = 1;
        for (int i = 0; i < stride; ++i) {
            bigStep *= base;
        }
        for (; power >= stride; power -= stride) {
            multiplyBy(bigStep);
        }
        std::uint64_t rest = 1;
        for (int i = 0; i < power; ++i) {
            rest *= base;
        }
        multiplyBy(rest);
    }

    static void roundUp(DecimalForm& form) {
        int i = form.count - 1;
        while (i >= 0 && form.digits[i] == '9') {
            form.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++form.digits[i];
            return;
        }
        form.digits[0] = '1';
        form.count = 1;
        ++form.exponent;
    }

    std::vector<std::uint32_t> limbs_;
    std::string digits_;
};

// The 15 digits and the exponent read from the general form of to_chars ("0.0001", "1.5e+20").
DecimalForm FromGeneralForm(double x) {
    DecimalForm form;
    form.negative = x < 0;
    if (x == 0.0) {
        return form;
    }
    char general[40];
    const char* end =
        std::to_chars(general, general + sizeof general, std::fabs(x), std::chars_format::general, 15).ptr;
    const char* p = general;
    int integerDigits = 0;
    bool afterPoint = false;
    for (; p != end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
        } else if (form.count == 0 && *p == '0') {
            integerDigits -= afterPoint ? 1 : 0;
        } else {
            form.digits[form.count++] = *p;
            integerDigits += afterPoint ? 0 : 1;
        }
    }
    int power = 0;
    if (p != end) {
        ++p;
        p += *p == '+' ? 1 : 0;
        std::from_chars(p, end, power);
    }
    form.exponent = integerDigits + power;
    form.dropTrailingZeros();
    return form;
}

// Powers of ten from 10^-360 on, for bounds only.
long double PowerOfTen(int exponent) {
    static const std::vector<long double> powers = [] {
        std::vector<long double> table;
        for (int e = -360; e <= 360; ++e) {
            table.push_back(std::pow(10.0L, static_cast<long double>(e)));
        }
        return table;
    }();
    return powers[static_cast<std::size_t>(exponent + 360)];
}

// The text read back lies within half a unit of the fifteenth digit of x (plus the last bit of the read).
bool ReadsBackNear(double x, std::string_view text, int exponent) {
    double back = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), back);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    const long double halfUnit = 0.5L * PowerOfTen(exponent - 15);
    const long double lastBit = std::fabs(static_cast<long double>(std::nextafter(back, 0.0)) - back);
    return std::fabs(static_cast<long double>(back) - x) <= halfUnit * (1.0L + 1e-12L) + lastBit;
}

std::vector<double> RandomDoubles() {
    std::mt19937_64 random(20240611);
    std::vector<double> values;
    values.reserve(1'000'000);
    while (values.size() < 500'000) {
        const double x = std::bit_cast<double>(random());
        if (std::isfinite(x)) {
            values.push_back(x);
        }
    }
    std::uniform_real_distribution<double> mantissa(1.0, 10.0);
    std::uniform_int_distribution<int> exponent(-30, 30);
    while (values.size() < 1'000'000) {
        const double sign = random() % 2 == 0 ? 1.0 : -1.0;
        values.push_back(sign * mantissa(random) * std::pow(10.0, exponent(random)));
    }
    return values;
}

TEST(RealTextTest, MatchesAnIndependentLayoutOnAMillionDoubles) {
    std::string text;
    char expected[48];
    int failures = 0;
    for (const double x : RandomDoubles()) {
        text.clear();
        AppendRealText(text, x);
        const DecimalForm form = FromGeneralForm(x);
        const bool same = text == Layout(form, expected);
        if (!same || (x != 0.0 && !ReadsBackNear(x, text, form.exponent))) {
            ADD_FAILURE() << "RealText(" << std::bit_cast<std::uint64_t>(x) << ") = " << text << ", expected "
                          << Layout(form, expected);
            if (++failures == 10) {
                return;
            }
        }
    }
}

TEST(RealTextTest, MatchesTheExactExpansion) {
    ExactDecimal exact;
    const std::vector<double> values = RandomDoubles();
    // Every 50th value: half of them random bit patterns, half spread over exponents -30 to 30.
    for (std::size_t i = 0; i < values.size(); i += 50) {
        const std::string text = RealText(values[i]);
        if (text != LayoutText(exact.rounded(values[i], false))) {
            ASSERT_EQ(text, LayoutText(exact.rounded(values[i], true)))
                << std::bit_cast<std::uint64_t>(values[i]);
        }
    }
}

// Any decimal of at most 15 digits survives the trip through a double unchanged.
TEST(RealTextTest, ReproducesDecimalsOfFifteenDigits) {
    std::mt19937_64 random(11);
    std::uniform_int_distribution<int> length(1, 15);
    std::uniform_int_distribution<int> exponent(-300, 300);
    std::uniform_int_distribution<int> digit(0, 9);
    for (int i = 0; i < 100'000; ++i) {
        DecimalForm form;
        form.negative = random() % 2 == 0;
        form.count = length(random);
        form.digits[0] = static_cast<char>('1' + digit(random) % 9);
        for (int k = 1; k < form.count; ++k) {
            form.digits[k] = static_cast<char>('0' + digit(random));
        }
        form.dropTrailingZeros();
        form.exponent = i % 2 == 0 ? exponent(random) : exponent(random) % 20;
        const std::string canonical = LayoutText(form);
        double value = 0.0;
        std::from_chars(canonical.data(), canonical.data() + canonical.size(), value);
        ASSERT_EQ(RealText(value), canonical);
    }
}

}  // namespace
