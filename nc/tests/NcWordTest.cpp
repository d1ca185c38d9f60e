#include "nc/NcWord.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TextOf(const NcWord& word) {
    return word.text().str();
}

NcWord MakeWord(char letter, double value, int decimals) {
    NcWord word(decimals);
    word.setLetter(letter);
    word.setValue(value);
    return word;
}

TEST(NcWordTest, FreshWordReadsN0) {
    const NcWord word;
    EXPECT_EQ(word.letter(), 'N');
    EXPECT_EQ(word.value(), 0.0);
    EXPECT_EQ(word.formerValue(), -99999.0);
    EXPECT_EQ(word.decimals(), 3);
    EXPECT_EQ(TextOf(word), "N0.000");
    EXPECT_EQ(TextOf(NcWord(-1)), "N0");
}

struct TextCase {
    char letter;
    double value;
    int decimals;
    const char* text;
};

TEST(NcWordTest, TextIsLetterAndFixedDecimals) {
    const TextCase cases[] = {
        {'X', 10.5, 3, "X10.500"}, {'G', 92, -1, "G92"},         {'X', 0.5, 3, "X.500"},
        {'G', 0, -1, "G0"},        {'X', -0.05, 3, "X-.050"},    {'Y', 13.5, 0, "Y14."},
        {'F', 1200, -1, "F1200"},  {'Z', -1.2345, 3, "Z-1.234"},
    };
    for (const TextCase& c : cases) {
        EXPECT_EQ(TextOf(MakeWord(c.letter, c.value, c.decimals)), c.text) << c.text;
    }
}

struct FromTextCase {
    const char* text;
    char letter;
    double value;
    const char* shown;
};

TEST(NcWordTest, FromTextTakesFirstLetterAndFirstNumber) {
    const FromTextCase cases[] = {
        {"G92", 'G', 92, "G92.000"},
        {"N0001", 'N', 1, "N1.000"},
        {"X-99999", 'X', -99999, "X-99999.000"},
        {"F10.0", 'F', 10, "F10.000"},
        {"A0.0", 'A', 0, "A0.000"},
        {"(", 'N', 0, "N0.000"},
        {"x5", 'X', 5, "X5.000"},
        {"12 y3", 'Y', 12, "Y12.000"},
        {"X1000", 'X', 1000, "X1000.000"},
        {"", 'N', 0, "N0.000"},
        {"\x82\xA0Z7", 'Z', 7, "Z7.000"},
        {"R-.5", 'R', -0.5, "R-.500"},
    };
    for (const FromTextCase& c : cases) {
        const NcWord word(c.text, 3);
        EXPECT_EQ(word.letter(), c.letter) << c.text;
        EXPECT_EQ(word.value(), c.value) << c.text;
        EXPECT_EQ(word.formerValue(), -99999.0) << c.text;
        EXPECT_EQ(TextOf(word), c.shown) << c.text;
    }
}

TEST(NcWordTest, FromTextKeepsGivenDecimals) {
    const NcWord word("G92", -1);
    EXPECT_EQ(word.decimals(), -1);
    EXPECT_EQ(TextOf(word), "G92");
}

TEST(NcWordTest, AssigningTextResetsDecimalsAndFormerValue) {
    NcWord word(-1);
    word.setValue(7.0);
    word = "R5.0";
    EXPECT_EQ(word.letter(), 'R');
    EXPECT_EQ(word.value(), 5.0);
    EXPECT_EQ(word.decimals(), 3);
    EXPECT_EQ(word.formerValue(), -99999.0);
    EXPECT_EQ(TextOf(word), "R5.000");
}

TEST(NcWordTest, SetLetterUpperCasesLettersOnly) {
    const struct {
        char given;
        char stored;
    } cases[] = {{'x', 'X'}, {'G', 'G'}, {'z', 'Z'},    {'5', 'N'},
                 {'(', 'N'}, {' ', 'N'}, {'\x82', 'N'}, {'\xE0', 'N'}};
    for (const auto& c : cases) {
        NcWord word = MakeWord('A', 2.5, 3);
        word.setLetter(c.given);
        EXPECT_EQ(word.letter(), c.stored) << static_cast<int>(c.given);
        EXPECT_EQ(word.value(), 2.5);
        EXPECT_EQ(word.formerValue(), 0.0);
        EXPECT_EQ(word.text().str()[0], c.stored);
    }
}

TEST(NcWordTest, SetValueKeepsFormerValue) {
    NcWord word;
    word.setValue(10.0);
    EXPECT_EQ(word.formerValue(), 0.0);
    word.setValue(-3.0);
    EXPECT_EQ(word.value(), -3.0);
    EXPECT_EQ(word.formerValue(), 10.0);
}

TEST(NcWordTest, AddValueAddsToCurrentValue) {
    NcWord word = MakeWord('X', 10.0, 3);
    word.addValue(2.5);
    EXPECT_EQ(word.value(), 12.5);
    EXPECT_EQ(word.formerValue(), 10.0);
    EXPECT_EQ(TextOf(word), "X12.500");
}

TEST(NcWordTest, DecimalsShowOnlyAfterNextChange) {
    NcWord word = MakeWord('X', 10.5, 3);
    word.setDecimals(-1);
    EXPECT_EQ(word.decimals(), -1);
    EXPECT_EQ(TextOf(word), "X10.500");
    word.setValue(10.5);
    EXPECT_EQ(TextOf(word), "X10");
    EXPECT_EQ(word.formerValue(), 10.5);
}

TEST(NcWordTest, SetLetterIsAChangeToo) {
    NcWord word = MakeWord('X', 10.5, 3);
    word.setDecimals(0);
    word.setLetter('y');
    EXPECT_EQ(TextOf(word), "Y10.");
}

TEST(NcWordTest, RebuildTextTakesDecimalsAtOnce) {
    NcWord word = MakeWord('X', 10.5, 3);
    word.setDecimals(1);
    word.rebuildText();
    EXPECT_EQ(TextOf(word), "X10.5");
}

TEST(NcWordTest, CopyCarriesPendingDecimals) {
    NcWord word = MakeWord('X', 1.25, 3);
    word.setDecimals(-1);
    NcWord copy = word;
    EXPECT_EQ(TextOf(copy), "X1.250");
    copy.addValue(1.0);
    EXPECT_EQ(TextOf(copy), "X2");
    EXPECT_EQ(TextOf(word), "X1.250");
}

TEST(NcWordTest, SelfAssignmentChangesNothing) {
    NcWord word = MakeWord('Q', 4.0, 3);
    NcWord& same = word;
    word = same;
    EXPECT_EQ(word.letter(), 'Q');
    EXPECT_EQ(word.value(), 4.0);
    EXPECT_EQ(word.formerValue(), 0.0);
    EXPECT_EQ(TextOf(word), "Q4.000");
}

}  // namespace
