#include "dxf/DxfFrame.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "dxf/DxfOutput.h"
#include "tests/support/RecordingSink.h"
#include "tests/support/TempFolder.h"

namespace {

class DxfFrameTest : public ::testing::Test {
protected:
    // The files in the folder other than `dxf` and the templates: the drawing while it is written aside.
    std::vector<std::string> asideFiles() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            if (name != "OUT.DXF" && name.find(".dat") == std::string::npos) {
                found.push_back(entry.path().string());
            }
        }
        return found;
    }

    TempFolder folder;
    RecordingSink sink;
    std::string dxf = folder.file("OUT.DXF");
};

TEST_F(DxfFrameTest, EntitiesSitBetweenTheHeadersZeroAndTheFootersFirstLine) {
    const std::string header = folder.write("Hedder.dat", "2\nENTITIES\n0\n");
    const std::string footer = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
    DxfOutput output(dxf);
    ASSERT_TRUE(CopyHeader(header, output));
    EXPECT_TRUE(output.append("LINE\n8\nA\n0\n"));
    ASSERT_TRUE(CopyFooter(footer, output));
    EXPECT_TRUE(output.commit());
    EXPECT_EQ(ReadBytes(dxf), "2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\nA\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
    EXPECT_TRUE(sink.shown.empty());
}

struct CopyCase {
    const char* label;
    std::string templateBytes;
    std::string expected;
};

void PrintTo(const CopyCase& c, std::ostream* os) {
    *os << c.label;
}

class TemplateCopyTest : public DxfFrameTest, public ::testing::WithParamInterface<CopyCase> {};

TEST_P(TemplateCopyTest, CopiesUnchangedButForLineEnds) {
    const std::string header = folder.write("Hedder.dat", GetParam().templateBytes);
    const std::string footer = folder.write("Footer.dat", GetParam().templateBytes);
    DxfOutput output(dxf);
    ASSERT_TRUE(CopyHeader(header, output));
    ASSERT_TRUE(CopyFooter(footer, output));
    ASSERT_TRUE(output.commit());
    EXPECT_EQ(ReadBytes(dxf), GetParam().expected + GetParam().expected);
}

const std::string kLongLine(600, 'A');

INSTANTIATE_TEST_SUITE_P(
    Templates, TemplateCopyTest,
    ::testing::Values(CopyCase{"Empty", "", ""}, CopyCase{"LfEnds", "0\nSECTION\n", "0\r\nSECTION\r\n"},
                      CopyCase{"CrLfEnds", "0\r\nSECTION\r\n", "0\r\nSECTION\r\n"},
                      CopyCase{"LongLine", kLongLine + "\n" + kLongLine + "\n",
                               kLongLine + "\r\n" + kLongLine + "\r\n"},
                      CopyCase{"CodePage932", "\x8F\xEE\x95\xF1\n", "\x8F\xEE\x95\xF1\r\n"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(DxfFrameTest, UnreadableHeaderLeavesTheExistingDrawingAlone) {
    WriteBytes(dxf, "old drawing");
    DxfOutput output(dxf);
    EXPECT_FALSE(CopyHeader(folder.file("none.dat"), output));
    EXPECT_EQ(ReadBytes(dxf), "old drawing");
    EXPECT_EQ(sink.shown,
              (std::vector<ShownMessage>{
                  {"File Open Error", "No Open " + folder.file("none.dat") + ": " + std::strerror(ENOENT)}}));
}

TEST_F(DxfFrameTest, OutputThatCannotBeCreatedIsShownOnceAndStopsLaterAppends) {
    DxfOutput output(folder.file("missing/OUT.DXF"));
    EXPECT_FALSE(output.append("LINE\n"));
    EXPECT_FALSE(output.append("ARC\n"));
    EXPECT_FALSE(output.commit());
    EXPECT_TRUE(output.failed());
    EXPECT_EQ(sink.shown,
              (std::vector<ShownMessage>{{"File Open Error", "No Open " + folder.file("missing/OUT.DXF") +
                                                                 ": " + std::strerror(ENOENT)}}));
}

// Until the commit the output name is left to whoever else uses it; the commit puts the complete drawing
// there and nothing else stays behind.
TEST_F(DxfFrameTest, OutputNameChangesOnlyAtTheCommit) {
    WriteBytes(dxf, "old drawing");
    DxfOutput output(dxf);
    EXPECT_TRUE(output.append("LINE\n"));
    std::filesystem::remove(dxf);
    WriteBytes(dxf, "another program's file");
    EXPECT_EQ(asideFiles().size(), 1u);
    EXPECT_EQ(ReadBytes(dxf), "another program's file");
    EXPECT_TRUE(output.commit());
    EXPECT_EQ(ReadBytes(dxf), "LINE\r\n");
    EXPECT_TRUE(asideFiles().empty());
    EXPECT_TRUE(sink.shown.empty());
}

TEST_F(DxfFrameTest, DiscardedDrawingLeavesTheEarlierFileAndNothingElse) {
    WriteBytes(dxf, "old drawing");
    {
        DxfOutput output(dxf);
        EXPECT_TRUE(output.append("LINE\n"));
        output.discard();
        EXPECT_TRUE(output.append("LINE\n"));  // a later append starts a new file, which the end drops too
    }
    EXPECT_EQ(ReadBytes(dxf), "old drawing");
    EXPECT_TRUE(asideFiles().empty());
}

TEST_F(DxfFrameTest, LongOutputReachesTheFileWhileTheRunGoesOn) {
    DxfOutput output(dxf);
    const std::string entity = "LINE\n8\nA\n0\n";
    std::size_t appended = 0;
    while (appended < 200 * 1024) {
        ASSERT_TRUE(output.append(entity));
        appended += entity.size();
    }
    // Most of it is on disk already, aside, with CR LF line ends; the rest follows at the commit.
    ASSERT_EQ(asideFiles().size(), 1u);
    EXPECT_GT(std::filesystem::file_size(asideFiles()[0]), 128u * 1024u);
    EXPECT_FALSE(std::filesystem::exists(dxf));
    ASSERT_TRUE(output.commit());
    EXPECT_EQ(std::filesystem::file_size(dxf), appended + appended / entity.size() * 4);
    // A file removed during the run is found out at the next chunk, not only at the end, and the earlier
    // drawing stays.
    DxfOutput vanishing(dxf);
    ASSERT_TRUE(vanishing.append(entity));
    std::filesystem::remove(asideFiles().at(0));
    bool failed = false;
    for (std::size_t i = 0; i < 128 * 1024 / entity.size() && !failed; ++i) {
        failed = !vanishing.append(entity);
    }
    EXPECT_TRUE(failed);
    EXPECT_FALSE(vanishing.commit());
    EXPECT_EQ(std::filesystem::file_size(dxf), appended + appended / entity.size() * 4);
    EXPECT_EQ(
        sink.shown,
        (std::vector<ShownMessage>{{"File Write Error", "No Write " + dxf + ": " + std::strerror(ENOENT)}}));
}

TEST_F(DxfFrameTest, ShippedTemplatesFrameAnEntitiesSection) {
    const std::string header = ReadBytes(TEMPLATE_DIR "/Hedder.dat");
    const std::string footer = ReadBytes(TEMPLATE_DIR "/Footer.dat");
    ASSERT_FALSE(header.empty());
    // The header ends inside ENTITIES on a line holding only the group code 0; the footer closes that
    // section.
    EXPECT_NE(header.find("ENTITIES\r\n"), std::string::npos);
    EXPECT_EQ(header.substr(header.size() - 5), "\r\n0\r\n");
    EXPECT_EQ(footer.substr(0, 8), "ENDSEC\r\n");
    EXPECT_NE(header.find("$DWGCODEPAGE\r\n3\r\nANSI_932\r\n"), std::string::npos);
    for (std::string_view layer : {DxfLayer::kRapid, DxfLayer::kCompensated, DxfLayer::kUncompensated,
                                   DxfLayer::kCannedCycle, DxfLayer::kCentreLine, DxfLayer::kInformation}) {
        EXPECT_NE(header.find("LAYER\r\n2\r\n" + std::string(layer) + "\r\n"), std::string::npos);
    }
}

}  // namespace
