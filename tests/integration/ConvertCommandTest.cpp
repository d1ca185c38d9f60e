// Runs plotra-convert as a user would and checks its exit status, its output streams and the files it writes.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace {

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class ConvertCommandTest : public ::testing::Test {
protected:
    Result run(const std::vector<std::string>& arguments) {
        std::string command = Quoted(CONVERT_COMMAND);
        for (const std::string& argument : arguments) {
            command += " " + Quoted(argument);
        }
        command += " </dev/null >" + Quoted(folder.file("stdout")) + " 2>" + Quoted(folder.file("stderr"));
        const int raw = std::system(command.c_str());
        Result result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = ReadBytes(folder.file("stdout"));
        result.err = ReadBytes(folder.file("stderr"));
        return result;
    }

    static std::string shippedFrame() {
        return ReadBytes(TEMPLATE_DIR "/Hedder.dat") + ReadBytes(TEMPLATE_DIR "/Footer.dat");
    }

    TempFolder folder;
};

const std::string kHeadings = "ツール番号・径補正番号\n-----------------------------------------\n";

TEST_F(ConvertCommandTest, EmptyProgramBecomesTheTemplatesBesideTheProgram) {
    const std::string nc = folder.write("PART1.NC", "");
    const Result result = run({nc});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(ReadBytes(folder.file("PART1.DXF")), shippedFrame());
    EXPECT_EQ(result.out.substr(0, kHeadings.size()), kHeadings);
    EXPECT_NE(result.err.find("正常に終了しました。"), std::string::npos);
}

// Templates saved without a final line end: the header's last line still ends before the first entity, and
// the footer is copied as it stands.
TEST_F(ConvertCommandTest, TemplatesWithoutAFinalLineEndDrawAsWithOne) {
    const std::string nc = folder.write("PART.NC", "G00 X1.\n");
    ASSERT_EQ(run({"-o", folder.file("whole.dxf"), nc}).status, 0);
    const std::string header = ReadBytes(TEMPLATE_DIR "/Hedder.dat"),
                      footer = ReadBytes(TEMPLATE_DIR "/Footer.dat");
    folder.write("h.dat", header.substr(0, header.size() - 2));
    folder.write("f.dat", footer.substr(0, footer.size() - 2));
    ASSERT_EQ(run({"--header", folder.file("h.dat"), "--footer", folder.file("f.dat"), nc}).status, 0);
    const std::string whole = ReadBytes(folder.file("whole.dxf"));
    EXPECT_EQ(ReadBytes(folder.file("PART.DXF")), whole.substr(0, whole.size() - 2));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 7);
}

// A hand-edited layer table with numbers beyond int: the colour reads without overflow (white, as no index
// does), and the huge group code does not end the record before its line type.
TEST_F(ConvertCommandTest, LayerNumbersBeyondTheIntRangeReadWithoutOverflow) {
    const std::string header = folder.write("h.dat",
                                            "0\nTABLE\n2\nLAYER\n0\nLAYER\n2\n\x91\x81\x91\x97\x82\xE8\n"
                                            "99999999999\nx\n62\n-2147483648\n6\nDASHED\n0\nENDTAB\n0\n");
    ASSERT_EQ(run({"--header", header, "--svg", folder.file("P.svg"), folder.write("P.NC", "")}).status, 0);
    EXPECT_NE(ReadBytes(folder.file("P.svg")).find(".rapid{stroke:#ffffff;stroke-dasharray:"),
              std::string::npos);
}

TEST_F(ConvertCommandTest, QuietRunPrintsNoCompletionMessage) {
    const std::string nc = folder.write("PART1.NC", "");
    const Result result = run({"-q", "-o", folder.file("named.dxf"), nc});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(std::filesystem::exists(folder.file("named.dxf")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("PART1.DXF")));
}

TEST_F(ConvertCommandTest, OneBadFileFailsTheBatchButTheOthersConvert) {
    const std::string good = folder.write("GOOD.NC", "G00 X1.\n");
    const Result result = run({folder.file("MISSING.NC"), good});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("No Open " + folder.file("MISSING.NC")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(folder.file("GOOD.DXF")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("MISSING.DXF")));
}

struct FailureCase {
    const char* label;
    std::vector<std::string> arguments;  // "@" stands for the folder
    int status;
    const char* message;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.label;
}

class ConvertFailureTest : public ConvertCommandTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ConvertFailureTest, GivesOneClearMessageAndKeepsExistingFiles) {
    folder.write("PART.NC", "G00 X1.\n");
    folder.write("PART.DXF", "old drawing");
    std::filesystem::create_directories(folder.file("DIR.NC"));
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        arguments.push_back(argument[0] == '@' ? folder.file(argument.substr(1)) : argument);
    }
    const Result result = run(arguments);
    EXPECT_EQ(result.status, GetParam().status);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_EQ(ReadBytes(folder.file("PART.DXF")), "old drawing");
    EXPECT_EQ(ReadBytes(folder.file("PART.NC")), "G00 X1.\n");
}

INSTANTIATE_TEST_SUITE_P(
    BadInput, ConvertFailureTest,
    ::testing::Values(
        FailureCase{"NoArguments", {}, 2, "Usage:"},
        FailureCase{"OutputWithTwoFiles", {"-o", "@X.DXF", "@PART.NC", "@PART.NC"}, 2, "Usage:"},
        FailureCase{"EmptyName", {""}, 1, "ファイル名を入力してください。"},
        FailureCase{"NcIsAFolder", {"@DIR.NC"}, 1, "No Open"},
        FailureCase{"OutputIsTheInput",
                    {"-o", "@PART.NC", "@PART.NC"},
                    1,
                    "出力ファイル名が入力ファイルと同じです。"},
        FailureCase{"PictureIsTheInput",
                    {"--svg", "@PART.NC", "@PART.NC"},
                    1,
                    "出力ファイル名が入力ファイルと同じです。"},
        FailureCase{"PictureIsTheDrawing",
                    {"--svg", "@PART.DXF", "@PART.NC"},
                    1,
                    "出力ファイル名が入力ファイルと同じです。"},
        FailureCase{"MissingHeader", {"--header", "@none.dat", "@PART.NC"}, 1, "No Open"},
        FailureCase{"MissingFooter", {"--footer", "@none.dat", "@PART.NC"}, 1, "No Open"},
        FailureCase{"MissingOutputFolder", {"-o", "@nowhere/PART.DXF", "@PART.NC"}, 1, "No Open"},
        FailureCase{"MissingLibrary", {"--library", "@nowhere", "@PART.NC"}, 2, "--library"},
        FailureCase{"NoBlocks", {"--max-blocks", "0", "@PART.NC"}, 2, "Usage:"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConvertCommandTest, FailedRunKeepsAnEarlierPictureAndLeavesNothingElse) {
    const std::string picture = folder.write("PART.svg", "old picture");
    const Result result = run({"--svg", picture, folder.file("MISSING.NC")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(ReadBytes(picture), "old picture");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.file(""))) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"PART.svg", "stderr", "stdout"}));
}

TEST_F(ConvertCommandTest, PictureNamedByALinkReplacesTheLinksTarget) {
    const std::string nc = folder.write("PART.NC", "G00 X1.\n");
    const std::string target = folder.write("pictures.svg", "old picture");
    std::filesystem::create_symlink("pictures.svg", folder.file("link.svg"));
    ASSERT_EQ(run({"--svg", folder.file("link.svg"), nc}).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("link.svg")));
    EXPECT_EQ(ReadBytes(target).rfind("<?xml", 0), 0u);
}

// O9000 returns to the caller's N1, which calls it again, for ever: the sixth block is the last that runs,
// and the seventh, line 2 of the library's file, is named.
TEST_F(ConvertCommandTest, ProgramFromALibraryLoopsUntilTheBlockLimit) {
    std::filesystem::create_directories(folder.file("lib"));
    folder.write("lib/O9000.nc", "G91 X1.\nG90 M99 P1\n");
    const std::string nc = folder.write("LOOP.NC", "G01 X0 Y0 Z0 F100\nN1 M98 P9000\nM30\n");
    const Result result = run({"--library", folder.file("lib"), "--max-blocks", "6", nc});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("\n    実行ブロック数の上限で停止 ×1 (最初: O9000.nc 2行目)\n"),
              std::string::npos)
        << result.out;
    EXPECT_NE(ReadBytes(folder.file("LOOP.DXF")).find("Xmin:0 Xmax:2"), std::string::npos);
}

TEST_F(ConvertCommandTest, HelpAndVersionExitZero) {
    EXPECT_EQ(run({"--help"}).status, 0);
    const Result version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("plotra-convert ", 0), 0u);
}

TEST_F(ConvertCommandTest, PublicProgramsConvertToTheEnd) {
    const std::filesystem::path samples = SAMPLES_DIR;
    if (!std::filesystem::is_directory(samples)) {
        GTEST_SKIP() << "no sample programs at " << samples;
    }
    int converted = 0;
    for (const auto& entry : std::filesystem::directory_iterator(samples)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".nc" && extension != ".ngc") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        const std::string dxf = folder.file(entry.path().stem().string() + ".dxf");
        const Result result = run({"-q", "-o", dxf, entry.path().string()});
        EXPECT_EQ(result.status, 0) << result.err;
        const std::string drawing = ReadBytes(dxf);
        EXPECT_EQ(drawing.substr(drawing.size() - 16), "ENDSEC\r\n0\r\nEOF\r\n");
        ++converted;
    }
    EXPECT_GE(converted, 5);
}

}  // namespace
