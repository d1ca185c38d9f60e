#include "conversion/ConversionRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>

#include "conversion/tests/RecordingHost.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kHeader = "0\nSECTION\n2\nENTITIES\n0\n";
const std::string kFooter = "ENDSEC\n0\nEOF\n";
const std::string kHeaderCrLf = "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\n";
const std::string kFooterCrLf = "ENDSEC\r\n0\r\nEOF\r\n";

const ShownMessage kCompleted{"メッセージ", "正常に終了しました。"};

class ConversionRunTest : public ::testing::Test {
protected:
    ConversionRunTest() {
        files.hedderFile = folder.write("Hedder.dat", kHeader);
        files.footerFile = folder.write("Footer.dat", kFooter);
        files.ncFile = folder.file("PART.NC");
        files.dxfFile = folder.file("PART.DXF");
    }

    TempFolder folder;
    ConversionFiles files;
    RecordingHost host;
};

TEST_F(ConversionRunTest, EmptyProgramGivesHeaderThenFooterWithCrLf) {
    folder.write("PART.NC", "");
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Completed);
    EXPECT_EQ(ReadBytes(files.dxfFile), kHeaderCrLf + kFooterCrLf);
    EXPECT_EQ(host.messages, std::vector<ShownMessage>{kCompleted});
    EXPECT_TRUE(host.lineCounts.empty());
    EXPECT_EQ(host.buttonStates, std::vector<std::string>{"変換開始/0"});
    EXPECT_FALSE(host.running());
}

TEST_F(ConversionRunTest, CrLfTemplatesStayCrLf) {
    folder.write("Hedder.dat", kHeaderCrLf);
    folder.write("Footer.dat", kFooterCrLf);
    folder.write("PART.NC", "");
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Completed);
    EXPECT_EQ(ReadBytes(files.dxfFile), kHeaderCrLf + kFooterCrLf);
}

TEST_F(ConversionRunTest, EveryPieceIsCountedAndShowsTheRunningButtonFirst) {
    // A 300-byte line arrives as two pieces; empty and comment lines count like any other.
    folder.write("PART.NC", "G00 X0\n" + std::string(300, 'X') + "\n\n(COMMENT)\r\n");
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Completed);
    EXPECT_EQ(host.lineCounts, (std::vector<std::int64_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(host.eventCalls, 5);
    ASSERT_EQ(host.buttonStates.size(), 6u);
    EXPECT_EQ(host.buttonStates.front(), "変換中！/255");
    EXPECT_EQ(host.buttonStates.back(), "変換開始/0");
}

TEST_F(ConversionRunTest, AbortAfterTheTenthLineStopsBeforeTheEleventh) {
    std::string program;
    for (int i = 0; i < 20; ++i) {
        program += "G01 X" + std::to_string(i) + ".\n";
    }
    folder.write("PART.NC", program);
    host.onEvents = [this](RecordingHost& h) {
        if (h.eventCalls == 11) {
            h.setRunning(false);
            std::filesystem::remove(files.dxfFile);
        }
    };
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Aborted);
    ASSERT_FALSE(host.lineCounts.empty());
    EXPECT_EQ(host.lineCounts.back(), 10);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(files.dxfFile));
}

struct MissingNameCase {
    const char* label;
    bool emptyNc;
    bool emptyDxf;
};

void PrintTo(const MissingNameCase& c, std::ostream* os) {
    *os << c.label;
}

class MissingNameTest : public ConversionRunTest, public ::testing::WithParamInterface<MissingNameCase> {};

TEST_P(MissingNameTest, OnlyAsksForTheNameAndTouchesNothing) {
    folder.write("PART.NC", "G00 X1.\n");
    folder.write("PART.DXF", "old drawing");
    if (GetParam().emptyNc) {
        files.ncFile.clear();
    }
    if (GetParam().emptyDxf) {
        files.dxfFile.clear();
    }
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{{"メッセージ", "ファイル名を入力してください。"}}));
    EXPECT_TRUE(host.buttonStates.empty());
    EXPECT_TRUE(host.lineCounts.empty());
    EXPECT_EQ(ReadBytes(folder.file("PART.DXF")), "old drawing");
}

INSTANTIATE_TEST_SUITE_P(Names, MissingNameTest,
                         ::testing::Values(MissingNameCase{"nc", true, false},
                                           MissingNameCase{"dxf", false, true},
                                           MissingNameCase{"both", true, true}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConversionRunTest, OutputNamingAnInputIsRefusedBeforeAnythingIsWritten) {
    const std::string program = "G00 X1.\n";
    folder.write("PART.NC", program);
    const std::string folderName = std::filesystem::path(files.ncFile).parent_path().filename().string();
    const std::string spellings[] = {
        files.ncFile,
        folder.file("sub/../PART.NC"),
        folder.file("") + "../" + folderName + "/PART.NC",
        files.hedderFile,
        files.footerFile,
    };
    std::filesystem::create_directories(folder.file("sub"));
    for (const std::string& dxf : spellings) {
        SCOPED_TRACE(dxf);
        RecordingHost run;
        ConversionFiles same = files;
        same.dxfFile = dxf;
        EXPECT_EQ(RunConversion(run, same), RunOutcome::Failed);
        EXPECT_EQ(run.messages,
                  (std::vector<ShownMessage>{{"メッセージ", "出力ファイル名が入力ファイルと同じです。"}}));
    }
    EXPECT_EQ(ReadBytes(files.ncFile), program);
    EXPECT_EQ(ReadBytes(files.hedderFile), kHeader);
    EXPECT_EQ(ReadBytes(files.footerFile), kFooter);
}

struct BadInputCase {
    const char* label;
    const char* nc;      // name of the NC file inside the folder
    const char* header;  // name of the header template inside the folder
    const char* footer;
    const char* failing;  // the file named in the message
};

void PrintTo(const BadInputCase& c, std::ostream* os) {
    *os << c.label;
}

class BadInputTest : public ConversionRunTest, public ::testing::WithParamInterface<BadInputCase> {};

TEST_P(BadInputTest, OneOpenMessageAndTheExistingDrawingSurvives) {
    folder.write("PART.NC", "G00 X1.\n");
    std::filesystem::create_directories(folder.file("FOLDER.NC"));
    folder.write("PART.DXF", "old drawing");
    files.ncFile = folder.file(GetParam().nc);
    files.hedderFile = folder.file(GetParam().header);
    files.footerFile = folder.file(GetParam().footer);
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages,
              (std::vector<ShownMessage>{{"File Open Error", "No Open " + folder.file(GetParam().failing)}}));
    EXPECT_EQ(ReadBytes(files.dxfFile), "old drawing");
    EXPECT_FALSE(host.running());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(BadInputCase{"MissingNc", "NONE.NC", "Hedder.dat", "Footer.dat", "NONE.NC"},
                      BadInputCase{"NcIsAFolder", "FOLDER.NC", "Hedder.dat", "Footer.dat", "FOLDER.NC"},
                      BadInputCase{"MissingHeader", "PART.NC", "none.dat", "Footer.dat", "none.dat"},
                      BadInputCase{"MissingFooter", "PART.NC", "Hedder.dat", "none.dat", "none.dat"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConversionRunTest, NcFileThatFailsWhileReadIsFoundBeforeTheExistingDrawingIsTouched) {
    // Reading /proc/self/mem from its start fails although the file opens.
    folder.write("PART.DXF", "old drawing");
    files.ncFile = "/proc/self/mem";
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{{"File Read Error", "No Read /proc/self/mem"}}));
    EXPECT_EQ(ReadBytes(files.dxfFile), "old drawing");
    EXPECT_TRUE(host.lineCounts.empty());
}

TEST_F(ConversionRunTest, OutputInAMissingFolderFailsWithOneMessage) {
    folder.write("PART.NC", "G00 X1.\n");
    files.dxfFile = folder.file("missing/PART.DXF");
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{{"File Open Error", "No Open " + files.dxfFile}}));
    EXPECT_FALSE(std::filesystem::exists(files.dxfFile));
}

TEST_F(ConversionRunTest, UnwritableOutputIsReportedOnceAndNeverAsSuccess) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    folder.write("PART.NC", "G00 X1.\n");
    files.dxfFile = "/dev/full";
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{{"File Write Error", "No Write /dev/full"}}));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

TEST_F(ConversionRunTest, OutputRemovedDuringTheRunIsAFailedWriteNotANewFile) {
    folder.write("PART.NC", "G00 X1.\nG00 X2.\nG00 X3.\n");
    host.onEvents = [this](RecordingHost& h) {
        if (h.eventCalls == 2) {
            std::filesystem::remove(files.dxfFile);
        }
    };
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{{"File Write Error", "No Write " + files.dxfFile}}));
    EXPECT_FALSE(std::filesystem::exists(files.dxfFile));
    EXPECT_EQ(host.buttonStates.back(), "変換開始/0");
    EXPECT_FALSE(host.running());
}

}  // namespace
