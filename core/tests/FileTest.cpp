#include "core/File.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/MessageSink.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/TempFolder.h"

namespace {

class FileOpenTest : public testing::Test {
protected:
    void ExpectOneNoOpen(const std::string& path, int error = ENOENT) {
        ASSERT_EQ(sink_.shown.size(), 1u);
        EXPECT_EQ(sink_.shown[0].caption, "File Open Error");
        EXPECT_EQ(sink_.shown[0].text, "No Open " + path + ": " + std::strerror(error));
    }

    RecordingSink sink_;
    TempFolder folder_;
};

TEST_F(FileOpenTest, ReadingAMissingFileShowsNoOpenAndLeavesTheStreamClosed) {
    const std::string path = folder_.file("PART1.NC");
    TextFile stream;
    EXPECT_FALSE(OpenReadText(stream, path));
    EXPECT_FALSE(stream.isOpen());
    ExpectOneNoOpen(path);
}

TEST_F(FileOpenTest, ReadingAFolderShowsNoOpen) {
    const std::string path = folder_.path().string();
    TextFile stream;
    EXPECT_FALSE(OpenReadText(stream, path));
    ExpectOneNoOpen(path, EISDIR);
}

TEST_F(FileOpenTest, WritingIntoAMissingFolderShowsNoOpen) {
    const std::string path = folder_.file("missing/out.dxf");
    TextFile stream;
    EXPECT_FALSE(OpenWriteText(stream, path));
    EXPECT_FALSE(stream.isOpen());
    ExpectOneNoOpen(path);
}

TEST_F(FileOpenTest, AppendingIntoAMissingFolderShowsNoOpen) {
    const std::string path = folder_.file("missing/out.dxf");
    TextFile stream;
    EXPECT_FALSE(OpenAppend(stream, path));
    ExpectOneNoOpen(path);
}

TEST_F(FileOpenTest, FailedOpenClosesAStreamThatWasOpen) {
    const std::string present = folder_.file("present.nc");
    WriteBytes(present, "G00\r\n");
    TextFile stream;
    ASSERT_TRUE(OpenReadText(stream, present));
    EXPECT_FALSE(OpenReadText(stream, folder_.file("absent.nc")));
    EXPECT_FALSE(stream.isOpen());
}

TEST_F(FileOpenTest, MessageHoldsALongPathWhole) {
    const std::string path = folder_.file(std::string(250, 'n') + "/" + std::string(250, 'm') + ".NC");
    ASSERT_GT(path.size(), 500u);
    TextFile stream;
    EXPECT_FALSE(OpenReadText(stream, path));
    ExpectOneNoOpen(path);
}

TEST_F(FileOpenTest, WriteAppendAndReadRoundTrip) {
    const std::string path = folder_.file("out.dxf");
    TextFile stream;
    ASSERT_TRUE(OpenWriteText(stream, path));
    stream.write("0\n");
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(OpenAppend(stream, path));
    stream.write("LINE\n");
    ASSERT_TRUE(stream.close());
    ASSERT_TRUE(OpenAppend(stream, folder_.file("new.dxf")));
    ASSERT_TRUE(stream.close());

    EXPECT_EQ(ReadBytes(path), "0\r\nLINE\r\n");
    EXPECT_TRUE(std::filesystem::exists(folder_.file("new.dxf")));
    ASSERT_TRUE(OpenReadText(stream, path));
    char piece[TextFile::kMaxPiece + 1];
    EXPECT_EQ(stream.readPiece(piece), 2u);
    EXPECT_STREQ(piece, "0\n");
    EXPECT_TRUE(sink_.shown.empty());
}

TEST_F(FileOpenTest, PathsOfAnyBytesAndLengthOpen) {
    // A code-page-932 name ("表.NC") and a folder chain that takes the whole path past 260 bytes.
    const std::filesystem::path deep = folder_.path() / std::string(200, 'd') / std::string(200, 'e');
    std::filesystem::create_directories(deep);
    const std::string path = (deep / "\x95\x5C.NC").string();
    ASSERT_GT(path.size(), 400u);

    TextFile stream;
    ASSERT_TRUE(OpenWriteText(stream, path));
    stream.write("%\n");
    ASSERT_TRUE(stream.close());
    EXPECT_EQ(ReadBytes(path), "%\r\n");
    EXPECT_TRUE(sink_.shown.empty());
}

struct SplitCase {
    const char* label;
    std::string path;
    std::string drive;
    std::string directory;
    std::string name;
    std::string extension;
};

void PrintTo(const SplitCase& c, std::ostream* out) {
    *out << c.label;
}

class SplitPathTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathTest, SplitsIntoDriveDirectoryNameAndExtension) {
    const SplitCase& c = GetParam();
    // Stale contents must not survive into the parts.
    std::string drive = "X:", directory = "\\OLD\\", name = "OLD", extension = ".OLD";
    EXPECT_EQ(SplitPath(c.path, drive, directory, name, extension), c.path);
    EXPECT_EQ(drive, c.drive);
    EXPECT_EQ(directory, c.directory);
    EXPECT_EQ(name, c.name);
    EXPECT_EQ(extension, c.extension);
    EXPECT_EQ(drive + directory + name + extension, c.path);
}

const std::string kLongFolder(300, 'f');
const std::string kLongName(280, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitPathTest,
    testing::Values(
        SplitCase{"EndsInSeparator", "C:\\DIR\\SUB\\", "C:", "\\DIR\\SUB\\", "", ""},
        SplitCase{"NoExtension", "D:\\NC\\PROG", "D:", "\\NC\\", "PROG", ""},
        SplitCase{"OnlyAnExtension", "D:\\NC\\.NC", "D:", "\\NC\\", "", ".NC"},
        SplitCase{"Ordinary", "D:\\NC\\PART1.NC", "D:", "\\NC\\", "PART1", ".NC"},
        SplitCase{"LastDotStartsTheExtension", "D:\\NC\\A.B.NC", "D:", "\\NC\\", "A.B", ".NC"},
        SplitCase{"DotInFolderOnly", "D:\\V1.2\\PROG", "D:", "\\V1.2\\", "PROG", ""},
        SplitCase{"TrailingDot", "D:\\NC\\PROG.", "D:", "\\NC\\", "PROG", "."},
        SplitCase{"Slashes", "/home/user/nc/part.nc", "", "/home/user/nc/", "part", ".nc"},
        SplitCase{"MixedSeparators", "C:/NC\\SUB/P.NC", "C:", "/NC\\SUB/", "P", ".NC"},
        SplitCase{"DriveWithoutFolder", "C:PROG.NC", "C:", "", "PROG", ".NC"},
        SplitCase{"DriveAlone", "C:", "C:", "", "", ""},
        SplitCase{"ColonElsewhereIsOrdinary", "ab:c\\d:e.NC", "", "ab:c\\", "d:e", ".NC"},
        SplitCase{"NameAlone", "PROG", "", "", "PROG", ""}, SplitCase{"Empty", "", "", "", "", ""},
        SplitCase{"RootOnly", "/", "", "/", "", ""},
        // "." and ".." as the last component are folders, not names.
        SplitCase{"EndsInDot", "C:\\DIR\\.", "C:", "\\DIR\\.", "", ""},
        SplitCase{"EndsInDotDot", "C:\\DIR\\..", "C:", "\\DIR\\..", "", ""},
        SplitCase{"DotAlone", ".", "", ".", "", ""}, SplitCase{"DotDotAlone", "..", "", "..", "", ""},
        SplitCase{"DriveThenDotDot", "C:..", "C:", "..", "", ""},
        SplitCase{"ThreeDotsIsAName", "/a/...", "", "/a/", "..", "."},
        SplitCase{"DotDotInsideThePath", "/a/../b.nc", "", "/a/../", "b", ".nc"},
        // Code page 932: the trail byte of "表" (0x95 0x5C) equals '\\' and is not a separator.
        SplitCase{"Cp932FolderWithBackslashTrail", "C:\\\x95\x5C\\A.NC", "C:", "\\\x95\x5C\\", "A", ".NC"},
        SplitCase{"Cp932NameEndingInBackslashTrail", "C:\\DIR\\\x95\x5C", "C:", "\\DIR\\", "\x95\x5C", ""},
        SplitCase{"Cp932NameWithExtension", "\x95\x5C\x95\x5C.NC", "", "", "\x95\x5C\x95\x5C", ".NC"},
        SplitCase{"Cp932ReadFromTheStart", "A\x81\x81\\B.NC", "", "A\x81\x81\\", "B", ".NC"},
        SplitCase{"Cp932SingleByteKatakana", "C:\\\xB1\\\xB2.NC", "C:", "\\\xB1\\", "\xB2", ".NC"},
        SplitCase{"Cp932LeadByteAtTheEnd", "C:\\A\\B\x95", "C:", "\\A\\", "B\x95", ""},
        // UTF-8: "表" and "あ" (E3 81 82); read as code page 932, 82 5C would hide the separator.
        SplitCase{"Utf8Folder", "/home/\xE8\xA1\xA8/\xE8\xA1\xA8.nc", "", "/home/\xE8\xA1\xA8/",
                  "\xE8\xA1\xA8", ".nc"},
        SplitCase{"Utf8SeparatorAfterThreeByteCharacter", "C:\\\xE3\x81\x82\\B.NC", "C:", "\\\xE3\x81\x82\\",
                  "B", ".NC"},
        SplitCase{"LongerThan260Bytes", "/" + kLongFolder + "/" + kLongName + "." + kLongName, "",
                  "/" + kLongFolder + "/", kLongName, "." + kLongName}),
    [](const testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.label); });

struct WithoutExtCase {
    const char* label;
    std::string path;
    std::string expected;
};

void PrintTo(const WithoutExtCase& c, std::ostream* out) {
    *out << c.label;
}

class PathWithoutExtTest : public testing::TestWithParam<WithoutExtCase> {};

TEST_P(PathWithoutExtTest, DropsTheExtension) {
    EXPECT_EQ(PathWithoutExt(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathWithoutExtTest,
    testing::Values(WithoutExtCase{"Ordinary", "D:\\NC\\PART1.NC", "D:\\NC\\PART1"},
                    WithoutExtCase{"OnlyTheLastDot", "D:\\NC\\A.B.NC", "D:\\NC\\A.B"},
                    WithoutExtCase{"NoExtension", "D:\\NC\\PROG", "D:\\NC\\PROG"},
                    WithoutExtCase{"DotInFolderOnly", "D:\\V1.2\\PROG", "D:\\V1.2\\PROG"},
                    WithoutExtCase{"Cp932Name", "/nc/\x95\x5C.NC", "/nc/\x95\x5C"},
                    WithoutExtCase{"EndsInDotDot", "C:\\DIR\\..", "C:\\DIR\\.."}),
    [](const testing::TestParamInfo<WithoutExtCase>& info) { return std::string(info.param.label); });

// The test program itself is the running executable: core_tests in the build's bin folder.
TEST(ExeFilePartTest, SelectsPartsOfTheProgramPath) {
    const std::string directory = ExeFilePart(2);
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.front(), '/');
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::is_regular_file(directory + "core_tests"));

    EXPECT_EQ(ExeFilePart(1), "");
    EXPECT_EQ(ExeFilePart(3), "core_tests.INI");
    EXPECT_EQ(ExeFilePart(0), directory + "core_tests.INI");
    EXPECT_EQ(ExeDrive(), ExeFilePart(1));
    EXPECT_EQ(ExeDir(), directory);
    for (int other : {-1, 4, 99}) {
        EXPECT_EQ(ExeFilePart(other), "") << other;
    }
}

TEST(ExeFilePartTest, ExePathGivesTheWholePathAndItsParts) {
    std::string drive, directory, name, extension;
    const std::string path = ExePath(drive, directory, name, extension);
    EXPECT_EQ(path, drive + directory + name + extension);
    EXPECT_EQ(name, "core_tests");
    EXPECT_EQ(extension, "");
    EXPECT_EQ(directory, ExeDir());
}

}  // namespace
