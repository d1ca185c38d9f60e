#include "conversion/ConversionRun.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>

#include "conversion/PictureSink.h"
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

// The preview's side of a run: the file line of each entity and tight arc, and the information texts.
class RecordingPicture : public PictureSink {
public:
    bool add(const DrawingEntity& entity) override {
        lines.push_back(entity.fileLine);
        return true;
    }
    void markTightArc(const DrawingEntity& arc) override { tightLines.push_back(arc.fileLine); }
    bool complete(const std::optional<InfoBlockLayout>& info) override {
        if (info) {
            texts.assign(info->texts.begin(), info->texts.end());
        }
        return true;
    }

    std::vector<std::int64_t> lines;
    std::vector<std::int64_t> tightLines;
    std::vector<std::string> texts;
};

// The counter goes up for every piece (the 300-byte line 1 arrives as two) with the button red, while the
// preview keeps every entity under its line in the file: the click on one must show that line.
TEST_F(ConversionRunTest, EveryPieceIsCountedAndEveryEntityKeepsItsFileLine) {
    folder.write("PART.NC", "(" + std::string(298, '-') +
                                ")\n(T1 DIA20.)\nT1 M06\n\nG00 X10. Y0\nG41 D7 G03 X0 Y10. I-10. J0 F100\n"
                                "G03 X0 Y10. I0 J5.\r\nG40 G01 X0 Y0\n");
    RecordingPicture picture;
    EXPECT_EQ(RunConversion(host, files, &picture), RunOutcome::Completed);
    EXPECT_EQ(host.lineCounts, (std::vector<std::int64_t>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    std::vector<std::string> buttonStates(9, "変換中！/255");
    buttonStates.push_back("変換開始/0");
    EXPECT_EQ(host.buttonStates, buttonStates);
    EXPECT_EQ(picture.lines, (std::vector<std::int64_t>{5, 6, 7, 8}));
    // The stretch opened on line 6 closes on line 8; its circle of radius 5 on line 7, inside the G41 turn,
    // is tighter than the tool's radius 10.
    EXPECT_EQ(picture.tightLines, std::vector<std::int64_t>{7});
    // X from the circle's -5 to the start's 10, Y to the circle's 20; scale 150 over the span from -5 to 20.
    EXPECT_EQ(picture.texts,
              (std::vector<std::string>{"Xmin:-5 Xmax:10", "Ymin:0 Ymax:20", "TotalTime:0H0m Scale:6"}));
}

TEST_F(ConversionRunTest, AbortAfterTheTenthLineStopsBeforeTheEleventh) {
    std::string program;
    for (int i = 0; i < 20; ++i) {
        program += "G01 X" + std::to_string(i) + ".\n";
    }
    folder.write("PART.NC", program);
    folder.write("PART.DXF", "old drawing");
    host.onEvents = [](RecordingHost& h) {
        if (h.eventCalls == 11) {
            h.setRunning(false);
        }
    };
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Aborted);
    ASSERT_FALSE(host.lineCounts.empty());
    EXPECT_EQ(host.lineCounts.back(), 10);
    EXPECT_TRUE(host.messages.empty());
    // The run drops the drawing it was writing; the earlier one is all that is left.
    EXPECT_EQ(ReadBytes(files.dxfFile), "old drawing");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 4);
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
    int error;            // the system's reason given with it
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
              (std::vector<ShownMessage>{{"File Open Error", "No Open " + folder.file(GetParam().failing) +
                                                                 ": " + std::strerror(GetParam().error)}}));
    EXPECT_EQ(ReadBytes(files.dxfFile), "old drawing");
    EXPECT_FALSE(host.running());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, BadInputTest,
    ::testing::Values(BadInputCase{"MissingNc", "NONE.NC", "Hedder.dat", "Footer.dat", "NONE.NC", ENOENT},
                      BadInputCase{"NcIsAFolder", "FOLDER.NC", "Hedder.dat", "Footer.dat", "FOLDER.NC",
                                   EISDIR},
                      BadInputCase{"MissingHeader", "PART.NC", "none.dat", "Footer.dat", "none.dat", ENOENT},
                      BadInputCase{"MissingFooter", "PART.NC", "Hedder.dat", "none.dat", "none.dat", ENOENT}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConversionRunTest, NcFileThatFailsWhileReadIsFoundBeforeTheExistingDrawingIsTouched) {
    // Reading /proc/self/mem from its start fails although the file opens.
    folder.write("PART.DXF", "old drawing");
    files.ncFile = "/proc/self/mem";
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages, (std::vector<ShownMessage>{
                                 {"File Read Error", std::string("No Read /proc/self/mem: ") + std::strerror(EIO)}}));
    EXPECT_EQ(ReadBytes(files.dxfFile), "old drawing");
    EXPECT_TRUE(host.lineCounts.empty());
}

TEST_F(ConversionRunTest, OutputInAMissingFolderFailsWithOneMessage) {
    folder.write("PART.NC", "G00 X1.\n");
    files.dxfFile = folder.file("missing/PART.DXF");
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages,
              (std::vector<ShownMessage>{
                  {"File Open Error", "No Open " + files.dxfFile + ": " + std::strerror(ENOENT)}}));
    EXPECT_FALSE(std::filesystem::exists(files.dxfFile));
}

TEST_F(ConversionRunTest, UnwritableOutputIsReportedOnceAndNeverAsSuccess) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full here";
    }
    folder.write("PART.NC", "G00 X1.\n");
    files.dxfFile = "/dev/full";
    EXPECT_EQ(RunConversion(host, files), RunOutcome::Failed);
    EXPECT_EQ(host.messages,
              (std::vector<ShownMessage>{
                  {"File Write Error", "No Write /dev/full: " + std::string(std::strerror(ENOSPC))}}));
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

}  // namespace
