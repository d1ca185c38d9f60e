#include "core/IniFile.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <ostream>
#include <string>

#include "tests/support/TempFolder.h"

namespace {

struct ReadCase {
    const char* name;
    std::string content;
    const char* section;
    const char* key;
    std::string expected;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.name;
}

class IniReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(IniReadTest, ReadsTheValue) {
    const ReadCase& c = GetParam();
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    WriteBytes(file, c.content);
    EXPECT_EQ(ReadIniValue(file, c.section, c.key), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniReadTest,
    testing::Values(
        ReadCase{"Plain", "[INIT]\r\nNET=OFF\r\nURL=http://a.example/\r\n", "INIT", "URL",
                 "http://a.example/"},
        ReadCase{"NamesIgnoreLetterCase", "[init]\r\nnet=ON\r\n", "INIT", "NET", "ON"},
        ReadCase{"BlanksAroundEqualsAndAtLineEnds", "  [ INIT ]  \r\n \tNET \t=  ON x \t\r\n", "INIT", "NET",
                 "ON x"},
        ReadCase{"DoubleQuotesStripped", "[INIT]\r\nURL=\" a b \"\r\n", "INIT", "URL", " a b "},
        ReadCase{"SingleQuotesStripped", "[INIT]\r\nURL='abc'\r\n", "INIT", "URL", "abc"},
        ReadCase{"OnlyOnePairOfQuotesStripped", "[INIT]\r\nURL=\"\"abc\"\"\r\n", "INIT", "URL", "\"abc\""},
        ReadCase{"UnmatchedQuotesKept", "[INIT]\r\nURL=\"abc'\r\n", "INIT", "URL", "\"abc'"},
        ReadCase{"LoneQuoteKept", "[INIT]\r\nURL=\"\r\n", "INIT", "URL", "\""},
        ReadCase{"EqualsInTheValueKept", "[INIT]\r\nURL=a=b\r\n", "INIT", "URL", "a=b"},
        ReadCase{"EmptyValue", "[INIT]\r\nURL=\r\n", "INIT", "URL", ""},
        ReadCase{"LineFeedOnlyLines", "[INIT]\nNET=ON\nURL=x\n", "INIT", "URL", "x"},
        ReadCase{"LastLineWithoutLineEnd", "[INIT]\r\nURL=x", "INIT", "URL", "x"},
        ReadCase{"AnythingAfterTheBracketIgnored", "[INIT] ;settings\r\nNET=ON\r\n", "INIT", "NET", "ON"},
        ReadCase{"KeyOfAnotherSection", "[OTHER]\r\nNET=ON\r\n[INIT]\r\nURL=x\r\n", "INIT", "NET", ""},
        ReadCase{"SectionEndsAtTheNextHeading", "[INIT]\r\nURL=x\r\n[OTHER]\r\nNET=ON\r\n", "INIT", "NET",
                 ""},
        ReadCase{"FirstOfTwoEntriesWins", "[INIT]\r\nNET=ON\r\nNET=OFF\r\n", "INIT", "NET", "ON"},
        ReadCase{"FirstOfTwoSectionsWins", "[INIT]\r\nA=1\r\n[INIT]\r\nNET=ON\r\n", "INIT", "NET", ""},
        ReadCase{"LineWithoutEqualsIsNoEntry", "[INIT]\r\nNET\r\nNET=ON\r\n", "INIT", "NET", "ON"},
        ReadCase{"MissingSection", "[OTHER]\r\nNET=ON\r\n", "INIT", "NET", ""},
        ReadCase{"EntryAboveEverySection", "NET=ON\r\n[INIT]\r\n", "INIT", "NET", ""},
        ReadCase{"Cp932BytesKept", "[INIT]\r\nURL=\x83\x5c\x95\x5c\r\n", "INIT", "URL", "\x83\x5c\x95\x5c"},
        ReadCase{"ValueCutTo1023Bytes", "[INIT]\r\nURL=" + std::string(1500, 'x') + "\r\n", "INIT", "URL",
                 std::string(1023, 'x')},
        ReadCase{"ValueOfExactly1023Bytes", "[INIT]\r\nURL=" + std::string(1023, 'y'), "INIT", "URL",
                 std::string(1023, 'y')}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(IniRead, MissingFileGivesEmpty) {
    TempFolder folder;
    EXPECT_EQ(ReadIniValue(folder.file("absent.INI"), "INIT", "NET"), "");
}

TEST(IniRead, FolderGivesEmpty) {
    TempFolder folder;
    EXPECT_EQ(ReadIniValue(folder.path().string(), "INIT", "NET"), "");
}

struct WriteCase {
    const char* name;
    std::string before;
    const char* key;
    const char* value;
    std::string after;
};

void PrintTo(const WriteCase& c, std::ostream* out) {
    *out << c.name;
}

class IniWriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(IniWriteTest, ChangesOnlyTheEntry) {
    const WriteCase& c = GetParam();
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    WriteBytes(file, c.before);
    ASSERT_TRUE(WriteIniValue(file, "INIT", c.key, c.value));
    EXPECT_EQ(ReadBytes(file), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, IniWriteTest,
    testing::Values(
        WriteCase{"ReplacesTheValue", "[INIT]\r\nNET=OFF\r\nURL=x\r\n", "NET", "ON",
                  "[INIT]\r\nNET=ON\r\nURL=x\r\n"},
        WriteCase{"KeepsOtherLinesByteForByte", "; note\n[INIT]\nNET=OFF\n  URL = \"x\"  \n\n[B]\nC=1", "URL",
                  "", "; note\n[INIT]\nNET=OFF\nURL=\n\n[B]\nC=1"},
        WriteCase{"ReplacesAnEntryFoundWithoutRegardToCase", "[init]\r\nnet=OFF\r\n", "NET", "ON",
                  "[init]\r\nNET=ON\r\n"},
        WriteCase{"AddsTheEntryAfterTheSectionsLastLine", "[INIT]\r\nNET=ON\r\n\r\n[B]\r\nC=1\r\n", "URL",
                  "y", "[INIT]\r\nNET=ON\r\nURL=y\r\n\r\n[B]\r\nC=1\r\n"},
        WriteCase{"AddsTheEntryBelowAnEmptySection", "[INIT]\r\n[B]\r\n", "NET", "OFF",
                  "[INIT]\r\nNET=OFF\r\n[B]\r\n"},
        WriteCase{"AddsTheEntryAfterALastLineWithoutLineEnd", "[INIT]\r\nNET=ON", "URL", "",
                  "[INIT]\r\nNET=ON\r\nURL=\r\n"},
        WriteCase{"AddsTheSectionAtTheEnd", "[B]\r\nC=1\r\n", "NET", "OFF",
                  "[B]\r\nC=1\r\n[INIT]\r\nNET=OFF\r\n"},
        WriteCase{"EndsALastLineBeforeAddingTheSection", "[B]\r\nC=1", "NET", "OFF",
                  "[B]\r\nC=1\r\n[INIT]\r\nNET=OFF\r\n"},
        WriteCase{"WritesIntoTheFirstOfTwoSections", "[INIT]\r\nA=1\r\n[INIT]\r\nNET=OFF\r\n", "NET", "ON",
                  "[INIT]\r\nA=1\r\nNET=ON\r\n[INIT]\r\nNET=OFF\r\n"},
        WriteCase{"KeepsValueBytes", "", "URL", "\x83\x5c\xff", "[INIT]\r\nURL=\x83\x5c\xff\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.name); });

TEST(IniWrite, CreatesTheFileWithSectionAndEntries) {
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    ASSERT_TRUE(WriteIniValue(file, "INIT", "NET", "OFF"));
    ASSERT_TRUE(WriteIniValue(file, "INIT", "URL", ""));
    EXPECT_EQ(ReadBytes(file), "[INIT]\r\nNET=OFF\r\nURL=\r\n");
}

TEST(IniWrite, ValueReadsBackAsWritten) {
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    ASSERT_TRUE(WriteIniValue(file, "INIT", "URL", "https://support.example/a?b=c"));
    EXPECT_EQ(ReadIniValue(file, "init", "url"), "https://support.example/a?b=c");
}

TEST(IniWrite, FailsWithoutAFolderAndCreatesNothing) {
    TempFolder folder;
    const std::string notAFolder = folder.file("plain");
    WriteBytes(notAFolder, "x");
    EXPECT_FALSE(WriteIniValue(notAFolder + "/PLOTRA.INI", "INIT", "NET", "OFF"));
    EXPECT_FALSE(WriteIniValue(folder.file("missing/PLOTRA.INI"), "INIT", "NET", "OFF"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing")));
    EXPECT_EQ(ReadBytes(notAFolder), "x");
}

TEST(IniWrite, FailsOnAFolderAndLeavesIt) {
    TempFolder folder;
    std::filesystem::create_directory(folder.file("PLOTRA.INI"));
    EXPECT_FALSE(WriteIniValue(folder.file("PLOTRA.INI"), "INIT", "NET", "OFF"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("PLOTRA.INI")));
}

TEST(IniWrite, LeavesNoTemporaryFileBehind) {
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    WriteBytes(file, "[INIT]\r\nNET=OFF\r\n");
    ASSERT_TRUE(WriteIniValue(file, "INIT", "NET", "ON"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}

TEST(IniWrite, KeepsThePermissionsOfTheFile) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string file = folder.file("PLOTRA.INI");
    WriteBytes(file, "[INIT]\r\nNET=OFF\r\n");
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteIniValue(file, "INIT", "NET", "ON"));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A FIFO would block whoever reads it until a writer came; a huge file is no settings file the program wrote;
// a link may lead anywhere. All are treated as missing: nothing is read, nothing is written, nothing waits.
TEST(IniFile, FifoHugeFileOrLinkIsTreatedAsMissingAndLeftAlone) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string fifo = folder.file("FIFO.INI");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    const std::string hugeContent = "[INIT]\r\nNET=ON\r\n;" + std::string(1024 * 1024, 'x') + "\r\n";
    const std::string huge = folder.write("HUGE.INI", hugeContent);
    const std::string target = folder.write("TARGET.INI", "[INIT]\r\nNET=ON\r\n");
    const std::string link = folder.file("LINK.INI");
    fs::create_symlink(target, link);
    for (const std::string& file : {fifo, huge, link}) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ReadIniValue(file, "INIT", "NET"), "");
        EXPECT_FALSE(WriteIniValue(file, "INIT", "URL", ""));
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(ReadBytes(huge), hugeContent);
    EXPECT_EQ(ReadBytes(target), "[INIT]\r\nNET=ON\r\n");
    EXPECT_TRUE(fs::is_symlink(link));
}

TEST(IniWrite, UnchangedFileIsNotWrittenAgain) {
    namespace fs = std::filesystem;
    TempFolder folder;
    const std::string file = folder.write("PLOTRA.INI", "[INIT]\r\nNET=OFF\r\nURL=\r\n");
    const fs::file_time_type past = fs::last_write_time(file) - std::chrono::hours(24);
    fs::last_write_time(file, past);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    EXPECT_TRUE(WriteIniValue(file, "INIT", "URL", ""));
    EXPECT_TRUE(WriteIniValue(file, "INIT", "NET", "OFF"));
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(fs::last_write_time(file), past);
}

}  // namespace
