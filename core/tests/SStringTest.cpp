#include "core/SString.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>
#include <utility>

namespace {

std::string Text(const SString& s) {
    return std::string(s.str());
}

TEST(SStringTest, EmptyTextsAreOneTerminator) {
    const SString byDefault;
    EXPECT_EQ(byDefault.length(), 0);
    EXPECT_EQ(byDefault.str()[0], '\0');

    const SString fromEmpty("");
    EXPECT_EQ(fromEmpty.length(), 0);
    EXPECT_EQ(fromEmpty.str()[0], '\0');

    const SString fromNull(static_cast<const char*>(nullptr));
    EXPECT_EQ(fromNull.length(), 0);
    EXPECT_NE(fromNull.str(), nullptr);

    SString assigned("ABC");
    assigned.assign("");
    EXPECT_EQ(assigned.length(), 0);
    EXPECT_EQ(assigned.str()[0], '\0');
}

TEST(SStringTest, CopiesAreIndependent) {
    SString original("G01X10");
    SString copy(original);
    copy.at(0) = 'M';
    EXPECT_EQ(Text(original), "G01X10");
    EXPECT_EQ(Text(copy), "M01X10");
    EXPECT_NE(original.str(), copy.str());
}

TEST(SStringTest, FromStdStringCopiesItsCharacters) {
    EXPECT_EQ(Text(SString(std::string("X1.5"))), "X1.5");
    EXPECT_EQ(SString(std::string()).length(), 0);
}

TEST(SStringTest, BytesAbove127PassThrough) {
    // "補正" in code page 932.
    const SString text("\x95\xE2\x90\xB3");
    EXPECT_EQ(text.length(), 4);
    EXPECT_EQ(Text(text), "\x95\xE2\x90\xB3");
}

struct PaddedCase {
    const char* text;
    int width;
    char fill;
    const char* expected;
};

class PaddedConstructorTest : public testing::TestWithParam<PaddedCase> {};

TEST_P(PaddedConstructorTest, PadsOnlyWhenWider) {
    const PaddedCase& c = GetParam();
    const SString s(c.text, c.width, c.fill);
    EXPECT_EQ(Text(s), c.expected);
    EXPECT_EQ(s.length(), static_cast<int>(std::string(c.expected).size()));
}

INSTANTIATE_TEST_SUITE_P(Cases, PaddedConstructorTest,
                         testing::Values(PaddedCase{"AB", 5, ' ', "AB   "},
                                         PaddedCase{"ABCDEF", 3, ' ', "ABCDEF"},
                                         PaddedCase{"", 3, ' ', "   "}, PaddedCase{"AB", 0, ' ', "AB"},
                                         PaddedCase{"AB", -4, '*', "AB"}, PaddedCase{"AB", 2, '*', "AB"},
                                         PaddedCase{"AB", 3, '*', "AB*"}));

struct FixedCase {
    double value;
    int decimals;
    const char* expected;
};

void PrintTo(const FixedCase& c, std::ostream* os) {
    *os << c.expected;
}

class FixedDecimalTest : public testing::TestWithParam<FixedCase> {};

TEST_P(FixedDecimalTest, WritesTheRoundedDigits) {
    const FixedCase& c = GetParam();
    EXPECT_EQ(Text(SString(c.value, c.decimals)), c.expected) << c.value << " with " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, FixedDecimalTest,
    testing::Values(FixedCase{12.5, 3, "12.500"}, FixedCase{0.5, 3, ".500"}, FixedCase{0.0, 3, "0.000"},
                    FixedCase{-0.05, 3, "-.050"}, FixedCase{92.0, -1, "92."}, FixedCase{0.0, -1, "0."},
                    FixedCase{0.125, 2, ".12"}, FixedCase{-0.0001, 3, "-0.000"}, FixedCase{13.5, 0, "14."},
                    FixedCase{-0.0, 3, "-0.000"}, FixedCase{0.0, 0, "0."}, FixedCase{0.375, 2, ".38"},
                    FixedCase{12.5, 0, "12."}, FixedCase{-2.5, 0, "-2."}, FixedCase{0.5, 0, "0."},
                    FixedCase{0.6, 0, "1."}, FixedCase{-12.345, 5, "-12.34500"}, FixedCase{1.0, 1, "1.0"},
                    FixedCase{0.999, 2, "1.00"}, FixedCase{123456.0, 2, "123456.00"},
                    FixedCase{-99999.0, 5, "-99999.00000"}, FixedCase{0.00001, 5, ".00001"}));

// Digits past the nineteenth significant one are written as zeros.
INSTANTIATE_TEST_SUITE_P(
    LargeValues, FixedDecimalTest,
    testing::Values(FixedCase{1e20, 0, "100000000000000000000."},
                    FixedCase{1e19, 1, "10000000000000000000.0"}, FixedCase{1e18, 1, "1000000000000000000.0"},
                    FixedCase{9999999999999997952.0, 0, "9999999999999997952."},
                    // 2^70 = 1180591620717411303424
                    FixedCase{1180591620717411303424.0, 0, "1180591620717411303000."},
                    FixedCase{-1180591620717411303424.0, 2, "-1180591620717411303000.00"}));

TEST(SStringTest, FixedDecimalOfDoubleMaxHas309IntegerDigits) {
    const std::string text = Text(SString(DBL_MAX, 2));
    // DBL_MAX = 1.7976931348623157081...e308
    EXPECT_EQ(text.substr(0, 19), "1797693134862315708");
    EXPECT_EQ(text.size(), 309u + 3u);
    EXPECT_EQ(text.substr(19, 290), std::string(290, '0'));
    EXPECT_EQ(text.substr(309), ".00");
}

TEST(SStringTest, FixedDecimalBeyondLongDoubleRangeKeepsTheDigits) {
    // 2.5 times ten to the 5000 overflows even extended precision.
    const std::string text = Text(SString(2.5, 5000));
    ASSERT_EQ(text.size(), 5002u);
    EXPECT_EQ(text.substr(0, 3), "2.5");
    EXPECT_EQ(text.find_first_not_of('0', 3), std::string::npos);
}

TEST(SStringTest, FixedDecimalOfNonFiniteValuesReadsBackAsANumber) {
    const SString nan(std::numeric_limits<double>::quiet_NaN(), 2);
    EXPECT_EQ(Text(nan), "0.00");
    const SString inf(-std::numeric_limits<double>::infinity(), 1);
    EXPECT_EQ(Text(inf).substr(0, 20), "-1797693134862315708");
    EXPECT_EQ(inf.readNumber(inf), -DBL_MAX);
}

struct MidCase {
    const char* text;
    int start;
    int count;
    const char* expected;
};

class MidTest : public testing::TestWithParam<MidCase> {};

TEST_P(MidTest, ClampsItsArguments) {
    const MidCase& c = GetParam();
    EXPECT_EQ(Text(SString(c.text).mid(c.start, c.count)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MidTest,
                         testing::Values(MidCase{"ABCDE", 2, 3, "BCD"}, MidCase{"ABCDE", 4, 10, "DE"},
                                         MidCase{"ABCDE", 0, 2, "AB"}, MidCase{"ABCDE", 6, 1, ""},
                                         MidCase{"ABCDE", 2, 0, ""}, MidCase{"", 1, 1, ""},
                                         MidCase{"", 0, 5, ""}, MidCase{"ABCDE", 1, 5, "ABCDE"},
                                         MidCase{"ABCDE", 5, 1, "E"}, MidCase{"ABCDE", -3, 2, "AB"},
                                         MidCase{"ABCDE", 2, -1, ""}, MidCase{"ABCDE", 2, 2147483647, "BCDE"},
                                         MidCase{"ABCDE", -2147483647 - 1, 3, "ABC"}));

struct FromCase {
    const char* text;
    const char* key;
    int count;
    const char* expected;
};

class FromTest : public testing::TestWithParam<FromCase> {};

TEST_P(FromTest, StartsAtTheKey) {
    const FromCase& c = GetParam();
    EXPECT_EQ(Text(SString(c.text).from(SString(c.key), c.count)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FromTest,
                         testing::Values(FromCase{"X10Y20", "Y", 10, "Y20"}, FromCase{"X10Y20", "Z", 10, ""},
                                         FromCase{"X10Y20", "", 3, "X10"}, FromCase{"X10Y20", "X", 2, "X1"},
                                         FromCase{"X10Y20X30", "X", 100, "X10Y20X30"},
                                         FromCase{"X10Y20", "10Y", 3, "10Y"}, FromCase{"", "", 3, ""}));

struct NumberCase {
    const char* text;
    const char* key;  // null: the text itself, as the parsers pass it
    double expected;
};

void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << c.text;
}

class ReadNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsTheFirstNumber) {
    const NumberCase& c = GetParam();
    const SString text(c.text);
    const double value = c.key == nullptr ? text.readNumber(text) : text.readNumber(SString(c.key));
    EXPECT_EQ(value, c.expected) << c.text;
    EXPECT_EQ(std::signbit(value), std::signbit(c.expected)) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, ReadNumberTest,
    testing::Values(NumberCase{"(T1 DIA=10.5)", "DIA", 10.5}, NumberCase{"(T1 D10)", "DIA", 0.0},
                    NumberCase{"X-12.5", nullptr, -12.5}, NumberCase{"ABC", nullptr, 0.0},
                    NumberCase{"-Y5", nullptr, 0.0}, NumberCase{"", nullptr, 0.0},
                    NumberCase{"(DIA 6 T2 DIA=8)", "DIA=", 8.0}, NumberCase{"X10Y20", "Y", 20.0}));

INSTANTIATE_TEST_SUITE_P(
    Syntax, ReadNumberTest,
    testing::Values(NumberCase{"X+5", nullptr, 5.0}, NumberCase{"X.5", nullptr, 0.5},
                    NumberCase{"X-.25", nullptr, -0.25}, NumberCase{"X5.", nullptr, 5.0},
                    NumberCase{"X1e", nullptr, 1.0}, NumberCase{"X1e5", nullptr, 100000.0},
                    NumberCase{"X1E-2", nullptr, 0.01}, NumberCase{"X1e+2", nullptr, 100.0},
                    NumberCase{"X1.e2", nullptr, 100.0}, NumberCase{"X2e-", nullptr, 2.0},
                    NumberCase{"X3e+Y", nullptr, 3.0}, NumberCase{"X.", nullptr, 0.0},
                    NumberCase{"X-.", nullptr, 0.0}, NumberCase{"X+", nullptr, 0.0},
                    NumberCase{"X+-5", nullptr, 0.0}, NumberCase{"X.e5", nullptr, 0.0},
                    NumberCase{"X-0", nullptr, -0.0}, NumberCase{"X12.5.3", nullptr, 12.5},
                    NumberCase{"X007", nullptr, 7.0}, NumberCase{"X1,5", nullptr, 1.0},
                    NumberCase{"G01X10", nullptr, 1.0}));

// Only decimal text is a number: hexadecimal and the words for infinity and not-a-number are not.
INSTANTIATE_TEST_SUITE_P(NotDecimal, ReadNumberTest,
                         testing::Values(NumberCase{"X0x1A", nullptr, 0.0}, NumberCase{"X-inf", nullptr, 0.0},
                                         NumberCase{"X+infinity", nullptr, 0.0},
                                         NumberCase{"Xnan", nullptr, 0.0}, NumberCase{"X-nan", nullptr, 0.0},
                                         NumberCase{"X0x1p3", nullptr, 0.0}));

// Out-of-range text saturates instead of becoming infinity; underflow goes to zero or a denormal.
INSTANTIATE_TEST_SUITE_P(
    OutOfRange, ReadNumberTest,
    testing::Values(NumberCase{"X1e400", nullptr, DBL_MAX}, NumberCase{"X-1e400", nullptr, -DBL_MAX},
                    NumberCase{"X1e99999999999999999999", nullptr, DBL_MAX},
                    NumberCase{"X0.0000001e315", nullptr, 1e308}, NumberCase{"X1e-400", nullptr, 0.0},
                    NumberCase{"X-1e-400", nullptr, -0.0},
                    NumberCase{"X-1e-99999999999999999999", nullptr, -0.0},
                    NumberCase{"X1e-310", nullptr, 1e-310}, NumberCase{"X3e-324", nullptr, 0x1p-1074},
                    NumberCase{"X2e-324", nullptr, 0.0}, NumberCase{"X0e99999", nullptr, 0.0}));

TEST(SStringTest, ReadNumberOfAVeryLongMantissa) {
    const std::string digits = "X" + std::string(400, '9');
    const SString text(digits.c_str());
    EXPECT_EQ(text.readNumber(text), DBL_MAX);
    const std::string small = "X0." + std::string(400, '0') + "1e400";
    const SString text2(small.c_str());
    EXPECT_DOUBLE_EQ(text2.readNumber(text2), 0.1);
}

struct RemoveCase {
    const char* text;
    const char* removed;
    const char* expected;
};

class RemoveTest : public testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveTest, RemovesTheFirstOccurrence) {
    const RemoveCase& c = GetParam();
    const SString text(c.text);
    EXPECT_EQ(Text(text - c.removed), c.expected);
    EXPECT_EQ(Text(text - SString(c.removed)), c.expected);
    SString changed(c.text);
    changed -= c.removed;
    EXPECT_EQ(Text(changed), c.expected);
    EXPECT_EQ(Text(text), c.text);
}

INSTANTIATE_TEST_SUITE_P(Cases, RemoveTest,
                         testing::Values(RemoveCase{"G01.5", ".", "G015"}, RemoveCase{"ABAB", "B", "AAB"},
                                         RemoveCase{"ABC", "X", "ABC"}, RemoveCase{"ABC", "", "ABC"},
                                         RemoveCase{"ABC", "ABC", ""}, RemoveCase{"", "A", ""},
                                         RemoveCase{"ABC", "ABCD", "ABC"}, RemoveCase{"XAAB", "AB", "XA"}));

TEST(SStringTest, ConcatenationJoinsBothTexts) {
    EXPECT_EQ(Text(SString("G01") + SString("X10")), "G01X10");
    EXPECT_EQ(Text(SString() + SString("X")), "X");
    EXPECT_EQ(Text(SString("X") + SString()), "X");
    EXPECT_EQ((SString() + SString()).length(), 0);
    const SString same("AB");
    EXPECT_EQ(Text(same + same), "ABAB");
}

TEST(SStringTest, OfChar) {
    EXPECT_EQ(Text(SString::ofChar('G')), "G");
    EXPECT_EQ(SString::ofChar('\0').length(), 0);
    EXPECT_EQ(Text(SString::ofChar('\x95')), "\x95");
}

TEST(SStringTest, SelfAssignmentKeepsTheText) {
    SString text("G01X10");
    const char* before = text.str();
    text.assign(text);
    EXPECT_EQ(Text(text), "G01X10");
    EXPECT_EQ(text.str(), before);

    SString& alias = text;
    text = alias;
    EXPECT_EQ(Text(text), "G01X10");
}

TEST(SStringTest, AssigningOwnCharactersIsSafe) {
    SString text("G01X10");
    text.assign(text.str());
    EXPECT_EQ(Text(text), "G01X10");
    text.assign(text.str() + 3);
    EXPECT_EQ(Text(text), "X10");
    text = text.str() + 1;
    EXPECT_EQ(Text(text), "10");
}

TEST(SStringTest, AssignmentReplacesTheText) {
    SString text("ABC");
    text = SString("XYZW");
    EXPECT_EQ(Text(text), "XYZW");
    text = "Q";
    EXPECT_EQ(Text(text), "Q");
    text.assign(static_cast<const char*>(nullptr));
    EXPECT_EQ(text.length(), 0);
}

TEST(SStringTest, MovedFromTextIsEmptyAndReusable) {
    SString source("G02X5");
    SString target(std::move(source));
    EXPECT_EQ(Text(target), "G02X5");
    EXPECT_EQ(source.length(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is specified
    source = "M30";
    EXPECT_EQ(Text(source), "M30");

    SString other("A");
    other = std::move(target);
    EXPECT_EQ(Text(other), "G02X5");
}

TEST(SStringTest, AtWritesInPlace) {
    SString text("G00");
    text.at(2) = '1';
    EXPECT_EQ(Text(text), "G01");
    EXPECT_EQ(text.at(3), '\0');
}

TEST(SStringTest, NumberTextIgnoresTheDecimalCommaLocale) {
    const char* previous = std::setlocale(LC_ALL, nullptr);
    const std::string saved = previous == nullptr ? "C" : previous;
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no locale with a decimal comma installed";
    }
    const SString fixed(12.5, 3);
    const SString text("X-12.5");
    const double value = text.readNumber(text);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_EQ(Text(fixed), "12.500");
    EXPECT_EQ(value, -12.5);
}

}  // namespace
