#include "core/Settings.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

struct ReadCase {
    const char* name;
    std::string content;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class ReadSettingTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadSettingTest, ReadsUrl) {
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    WriteBytes(file, GetParam().content);
    EXPECT_EQ(ReadSetting("INIT", "URL", file), GetParam().expected);
}

const std::string kLong300(300, 'a');
const std::string kLong1100(1100, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSettingTest,
    testing::Values(
        ReadCase{"PlainValue", "[INIT]\r\nNET=ON\r\nURL=https://support.example/\r\n",
                 "https://support.example/"},
        ReadCase{"MissingEntry", "[INIT]\r\nNET=ON\r\n", ""},
        ReadCase{"BraceFormOnOneLine", "[INIT]\r\nURL={abc}\r\n", "abc"},
        ReadCase{"BraceFormOverTwoLines", "[INIT]\r\nURL={abc\r\ndef}\r\n", "abcdef"},
        ReadCase{"BraceFormOverThreeLines", "[INIT]\r\nNET=ON\r\nURL={a\r\nb\r\nc}\r\nX=1\r\n", "abc"},
        ReadCase{"BraceFormWithLineFeedOnlyLines", "[INIT]\nURL={abc\ndef}\n", "abcdef"},
        ReadCase{"TextAfterTheClosingBraceKept", "[INIT]\r\nURL={ab}cd\r\n", "abcd"},
        ReadCase{"BlanksBeforeTheKeyKept", "[INIT]\r\n  URL={ab}\r\n", "  ab"},
        ReadCase{"TwoEscapesGiveTwoLineBreaks", "[INIT]\r\nURL=a\\nb\\nc\r\n", "a\nb\nc"},
        ReadCase{"EscapeInsideABraceForm", "[INIT]\r\nURL={a\\n\r\nb}\r\n", "a\nb"},
        ReadCase{"BlankBetweenKeyAndEqualsLeavesTheBraceFormUnresolved", "[INIT]\r\nURL ={abc\r\ndef}\r\n",
                 "{abc"},
        ReadCase{"SectionLineWithTextAfterTheBracketLeavesTheBraceFormUnresolved",
                 "[INIT] x\r\nURL={abc\r\ndef}\r\n", "{abc"},
        ReadCase{"SectionNameInOtherCaseLeavesTheBraceFormUnresolved", "[init]\r\nURL={abc}\r\n", "{abc}"},
        ReadCase{"UnterminatedBraceFormStaysRaw", "[INIT]\r\nURL={abc\r\ndef\r\n", "{abc"},
        ReadCase{"UnterminatedBraceFormStillGetsItsEscapes", "[INIT]\r\nURL={a\\nb\r\n", "{a\nb"},
        ReadCase{"BraceFormOfTheRightSection", "[OTHER]\r\nURL={o}\r\n[INIT]\r\nURL={i}\r\n", "i"},
        ReadCase{"ScanFlagsAreNeverReset", "[INIT]\r\nURL={i\r\n[OTHER]\r\nX=1}\r\n", "i[OTHER]X=1"},
        ReadCase{"LinesLongerThan254BytesAreJoinedWhole", "[INIT]\r\nURL={" + kLong300 + "\r\nb}\r\n",
                 kLong300 + "b"},
        ReadCase{"BraceFormIsNotCutTo1023Bytes", "[INIT]\r\nURL={" + kLong1100 + "}\r\n", kLong1100}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadSetting, MissingFileGivesEmpty) {
    TempFolder folder;
    EXPECT_EQ(ReadSetting("INIT", "NET", folder.file("PLOTRA.INI")), "");
}

TEST(WriteSetting, CreatesTheFileInTheInitialisationForm) {
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    EXPECT_TRUE(WriteSetting("INIT", "NET", "OFF", file));
    EXPECT_TRUE(WriteSetting("INIT", "URL", "", file));
    EXPECT_EQ(ReadBytes(file), "[INIT]\r\nNET=OFF\r\nURL=\r\n");
    EXPECT_EQ(ReadSetting("INIT", "NET", file), "OFF");
}

TEST(WriteSetting, FailsSilentlyWhereNoFileCanBeMade) {
    TempFolder folder;
    WriteBytes(folder.file("plain"), "x");
    EXPECT_FALSE(WriteSetting("INIT", "NET", "OFF", folder.file("plain/PLOTRA.INI")));
    EXPECT_EQ(ReadSetting("INIT", "NET", folder.file("plain/PLOTRA.INI")), "");
}

}  // namespace
