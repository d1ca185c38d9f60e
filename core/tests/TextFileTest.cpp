#include "core/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/TempFolder.h"

namespace {

// The reader takes the file in chunks of this many bytes; CR LF pairs that straddle a chunk edge matter.
constexpr std::size_t kReadChunk = std::size_t{64} * 1024;

std::vector<std::string> ReadPieces(TextFile& file) {
    std::vector<std::string> pieces;
    char buffer[TextFile::kMaxPiece + 1];
    while (std::size_t length = file.readPiece(buffer)) {
        EXPECT_LE(length, TextFile::kMaxPiece);
        EXPECT_EQ(buffer[length], '\0');
        pieces.emplace_back(buffer, length);
    }
    return pieces;
}

std::vector<std::string> PiecesOf(const std::string& path) {
    TextFile file;
    EXPECT_TRUE(file.open(path, TextFileMode::Read));
    std::vector<std::string> pieces = ReadPieces(file);
    EXPECT_FALSE(file.readFailed());
    EXPECT_TRUE(file.close());
    return pieces;
}

std::string Joined(const std::vector<std::string>& pieces) {
    std::string all;
    for (const std::string& piece : pieces) {
        all += piece;
    }
    return all;
}

using Pieces = std::vector<std::string>;

struct ReadCase {
    const char* label;
    std::string bytes;
    Pieces pieces;
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.label;
}

class TextFileReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(TextFileReadTest, HandsOutPiecesAsTextModeLinesOf255Bytes) {
    TempFolder folder;
    const std::string path = folder.file("in.txt");
    WriteBytes(path, GetParam().bytes);
    EXPECT_EQ(PiecesOf(path), GetParam().pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFileReadTest,
    testing::Values(ReadCase{"Empty", "", {}},
                    ReadCase{"CrLfBecomesLf", "G00X1\r\nG01Y2\r\n", {"G00X1\n", "G01Y2\n"}},
                    ReadCase{"BareLfStays", "A\nB\n", {"A\n", "B\n"}},
                    ReadCase{"LastLineWithoutBreak", "A\r\nB", {"A\n", "B"}},
                    ReadCase{"LoneCrInsideALineStays", "A\rB\r\n", {"A\rB\n"}},
                    ReadCase{"CrBeforeCrLfStays", "A\r\r\n", {"A\r\n"}},
                    ReadCase{"CrAsLastByteOfFileStays", "A\r", {"A\r"}},
                    ReadCase{"LfCrIsNotAPair", "A\n\rB", {"A\n", "\rB"}},
                    ReadCase{"EmptyLines", "\r\n\n\r\n", {"\n", "\n", "\n"}},
                    ReadCase{"NulBytesPassThrough",
                             std::string("a\0b\r\n\0\n", 7),
                             {std::string("a\0b\n", 4), std::string("\0\n", 2)}},
                    ReadCase{"Line300BytesGivesTwoPieces",
                             std::string(300, 'x') + "\r\n",
                             {std::string(255, 'x'), std::string(45, 'x') + "\n"}},
                    ReadCase{"Line255BytesThenLfGivesALoneLf",
                             std::string(255, 'x') + "\n",
                             {std::string(255, 'x'), "\n"}},
                    ReadCase{"Line255BytesThenCrLfGivesALoneLf",
                             std::string(255, 'x') + "\r\n",
                             {std::string(255, 'x'), "\n"}},
                    ReadCase{"Line254BytesThenCrLfFillsOnePiece",
                             std::string(254, 'x') + "\r\n",
                             {std::string(254, 'x') + "\n"}},
                    ReadCase{"Line510BytesGivesTwoFullPiecesAndALf",
                             std::string(510, 'y') + "\n",
                             {std::string(255, 'y'), std::string(255, 'y'), "\n"}},
                    ReadCase{"CrAt255thByteIsTranslatedBeforeCounting",
                             std::string(254, 'x') + "\r\nZ",
                             {std::string(254, 'x') + "\n", "Z"}}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

// Places a CR (with what follows it) at chosen offsets around the chunk edges and checks that the
// translation does not depend on where the reader's chunks happen to end.
struct BoundaryCase {
    const char* label;
    std::size_t crOffset;  // byte offset of the CR in the file
    const char* raw;       // the bytes from that CR on, up to the tail
    const char* text;      // what they read as
    std::size_t tailBytes;
};

void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << c.label;
}

class TextFileBoundaryTest : public testing::TestWithParam<BoundaryCase> {};

TEST_P(TextFileBoundaryTest, TranslatesTheSameWhereverAChunkEnds) {
    const BoundaryCase& c = GetParam();
    const std::string head(c.crOffset, 'a');
    const std::string tail(c.tailBytes, 'z');
    TempFolder folder;
    const std::string path = folder.file("edge.txt");
    WriteBytes(path, head + c.raw + tail);

    const Pieces pieces = PiecesOf(path);
    EXPECT_EQ(Joined(pieces), head + c.text + tail);
    // Every piece that does not end a line is a full one, except the last piece of the file.
    for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
        if (pieces[i].back() != '\n') {
            EXPECT_EQ(pieces[i].size(), TextFile::kMaxPiece) << "piece " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextFileBoundaryTest,
    testing::Values(BoundaryCase{"CrLfSplitByFirstChunkEdge", kReadChunk - 1, "\r\n", "\n", 10},
                    BoundaryCase{"CrLfJustBeforeEdge", kReadChunk - 2, "\r\n", "\n", 10},
                    BoundaryCase{"CrLfJustAfterEdge", kReadChunk, "\r\n", "\n", 10},
                    BoundaryCase{"CrLfSplitBySecondChunkEdge", 2 * kReadChunk - 1, "\r\n", "\n", 3},
                    BoundaryCase{"LoneCrAtChunkEdge", kReadChunk - 1, "\rQ", "\rQ", 10},
                    BoundaryCase{"CrCrLfAcrossEdge", kReadChunk - 1, "\r\r\n", "\r\n", 10},
                    BoundaryCase{"CrCrLfWithPairAcrossEdge", kReadChunk - 2, "\r\r\n", "\r\n", 10},
                    BoundaryCase{"CrLastByteOfChunkAndOfFile", kReadChunk - 1, "\r", "\r", 0},
                    BoundaryCase{"CrLfEndsFileAtChunkEdge", kReadChunk - 1, "\r\n", "\n", 0}),
    [](const testing::TestParamInfo<BoundaryCase>& info) { return std::string(info.param.label); });

TEST(TextFileReadTest, CrLfAcrossChunkEdgeEndsAPieceWithOneLf) {
    // Lines of 100 bytes plus CR LF, then one line sized so that the first chunk ends between its CR and LF.
    std::string bytes;
    for (std::size_t line = 0; line < (kReadChunk - 1) / 102; ++line) {
        bytes += std::string(100, 'a') + "\r\n";
    }
    const std::size_t pad = kReadChunk - 1 - bytes.size();
    bytes += std::string(pad, 'b') + "\r\n" + "END\r\n";
    ASSERT_EQ(bytes[kReadChunk - 1], '\r');
    ASSERT_EQ(bytes[kReadChunk], '\n');

    TempFolder folder;
    const std::string path = folder.file("lines.txt");
    WriteBytes(path, bytes);
    const Pieces pieces = PiecesOf(path);
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces.back(), "END\n");
    EXPECT_EQ(pieces[pieces.size() - 2], std::string(pad, 'b') + "\n");
}

TEST(TextFileReadTest, ManyLinesKeepCountAndContent) {
    std::string bytes;
    std::string expected;
    for (int i = 0; i < 50000; ++i) {
        const std::string line = "N" + std::string(static_cast<std::size_t>(i % 37), 'x');
        bytes += line + "\r\n";
        expected += line + "\n";
    }
    TempFolder folder;
    const std::string path = folder.file("many.txt");
    WriteBytes(path, bytes);
    const Pieces pieces = PiecesOf(path);
    EXPECT_EQ(pieces.size(), 50000u);
    EXPECT_EQ(Joined(pieces), expected);
}

// Lines of many lengths (300-byte lines among them) with one kind of line end, or all kinds mixed with CR LF
// pairs and held CRs at the first three chunk edges.
std::string SeekTestBytes(const std::string& lineEnd) {
    const bool mixed = lineEnd.empty();
    std::string bytes;
    for (int i = 0; bytes.size() < 3 * kReadChunk + 500; ++i) {
        bytes += std::string(static_cast<std::size_t>(i % 7 == 0 ? 300 : i % 53), 'x');
        bytes += mixed ? std::string(i % 5 == 0 ? "\r" : "") + (i % 3 == 0 ? "\n" : "\r\n") : lineEnd;
    }
    if (mixed) {
        bytes.replace(kReadChunk - 1, 2, "\r\n");
        bytes.replace(2 * kReadChunk - 1, 3, "\r\r\n");
        bytes.replace(3 * kReadChunk - 1, 1, "\r");
    }
    return bytes;
}

class TextFileSeekTest : public testing::TestWithParam<std::string> {};

TEST_P(TextFileSeekTest, EveryRecordedPositionGivesTheSamePiecesAgain) {
    // Wherever a piece starts, reading on from its recorded position repeats the file from there.
    TempFolder folder;
    const std::string path = folder.file("seek.nc");
    WriteBytes(path, SeekTestBytes(GetParam()));

    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    std::vector<TextFile::Position> positions{file.position()};
    Pieces pieces;
    char buffer[TextFile::kMaxPiece + 1];
    while (std::size_t length = file.readPiece(buffer)) {
        pieces.emplace_back(buffer, length);
        positions.push_back(file.position());
    }
    ASSERT_EQ(Joined(pieces), Joined(PiecesOf(path)));
    if (!GetParam().empty()) {
        // With one kind of line end every piece knows its file offset: the bytes of the pieces before it,
        // each line feed counted as the line end it was.
        std::uint64_t offset = 0;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            ASSERT_EQ(positions[i].fileOffset, offset) << i;
            offset += pieces[i].size() + (pieces[i].back() == '\n' ? GetParam().size() - 1 : 0);
        }
    }

    // Every eleventh piece, and every piece beside a chunk edge, in backward order.
    const auto besideEdge = [&](std::size_t i) {
        return positions[i].chunkOffset != positions[i + 1].chunkOffset ||
               (i > 0 && positions[i - 1].chunkOffset != positions[i].chunkOffset);
    };
    for (std::size_t from = pieces.size(); from-- > 0;) {
        if (from % 11 != 0 && !besideEdge(from)) {
            continue;
        }
        file.seek(positions[from]);
        for (std::size_t i = from; i < std::min(from + 3, pieces.size()); ++i) {
            ASSERT_EQ(std::string(buffer, file.readPiece(buffer)), pieces[i]) << from;
            if (positions[i + 1].fileOffset != TextFile::kUnknownOffset &&
                file.position().fileOffset != TextFile::kUnknownOffset) {
                ASSERT_EQ(file.position().fileOffset, positions[i + 1].fileOffset) << from;
            }
        }
    }
    file.seek(positions.back());
    EXPECT_EQ(file.readPiece(buffer), 0u);
    EXPECT_FALSE(file.readFailed());
}

INSTANTIATE_TEST_SUITE_P(LineEnds, TextFileSeekTest, testing::Values("\n", "\r\n", ""),
                         [](const testing::TestParamInfo<std::string>& info) {
                             return info.param == "\n" ? "Lf" : info.param == "\r\n" ? "CrLf" : "Mixed";
                         });

TEST(TextFileSeekTest, PositionBeyondAShortenedFileReadsAsItsEnd) {
    TempFolder folder;
    const std::string path = folder.file("short.nc");
    WriteBytes(path, std::string(2 * kReadChunk, 'x') + "\nEND\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    char buffer[TextFile::kMaxPiece + 1];
    TextFile::Position last;
    while (file.readPiece(buffer) != 0) {
        if (std::string(buffer) != "END\n") {
            last = file.position();
        }
    }
    WriteBytes(path, "G01\n");
    file.seek(last);
    EXPECT_EQ(file.readPiece(buffer), 0u);
    file.seek(TextFile::Position{});
    EXPECT_EQ(std::string(buffer, file.readPiece(buffer)), "G01\n");
}

TEST(TextFileReadTest, EmptyFileEndsAtOnceWithoutFailure) {
    TempFolder folder;
    const std::string path = folder.file("empty.txt");
    WriteBytes(path, "");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    char buffer[TextFile::kMaxPiece + 1] = {'#'};
    EXPECT_EQ(file.readPiece(buffer), 0u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(file.readPiece(buffer), 0u);
    EXPECT_FALSE(file.readFailed());
}

TEST(TextFileOpenTest, FolderCannotBeOpenedForReading) {
    TempFolder folder;
    TextFile file;
    errno = 0;
    EXPECT_FALSE(file.open(folder.path().string(), TextFileMode::Read));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(file.isOpen());
}

TEST(TextFileOpenTest, DeviceCannotBeOpenedForReading) {
    if (!std::filesystem::exists("/dev/null")) {
        GTEST_SKIP() << "no /dev/null";
    }
    TextFile file;
    errno = 0;
    EXPECT_FALSE(file.open("/dev/null", TextFileMode::Read));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(file.isOpen());
}

TEST(TextFileOpenTest, MissingFileCannotBeRead) {
    TempFolder folder;
    TextFile file;
    errno = 0;
    EXPECT_FALSE(file.open(folder.file("missing.nc"), TextFileMode::Read));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(file.isOpen());
}

TEST(TextFileOpenTest, AppendExistingOnMissingFileFailsAndCreatesNothing) {
    TempFolder folder;
    const std::string path = folder.file("gone.dxf");
    TextFile file;
    EXPECT_FALSE(file.open(path, TextFileMode::AppendExisting));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(TextFileOpenTest, WriteIntoMissingFolderFails) {
    TempFolder folder;
    TextFile file;
    EXPECT_FALSE(file.open(folder.file("no/such/out.dxf"), TextFileMode::Write));
    EXPECT_FALSE(file.isOpen());
}

TEST(TextFileWriteTest, LineFeedsBecomeCrLfAndCrStaysAsIs) {
    TempFolder folder;
    const std::string path = folder.file("out.dxf");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Write));
    file.write("LINE\n8\n");
    file.write("");
    file.write("A\r\nB\rC");
    file.write("\n\n");
    EXPECT_TRUE(file.close());
    EXPECT_EQ(ReadBytes(path), "LINE\r\n8\r\nA\r\r\nB\rC\r\n\r\n");
}

TEST(TextFileWriteTest, NulBytesAreWritten) {
    TempFolder folder;
    const std::string path = folder.file("nul.txt");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Write));
    file.write(std::string_view("a\0b\n", 4));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(ReadBytes(path), std::string("a\0b\r\n", 5));
}

TEST(TextFileWriteTest, WriteEmptiesAnExistingFile) {
    TempFolder folder;
    const std::string path = folder.file("out.dxf");
    WriteBytes(path, "old contents that must go\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Write));
    file.write("new\n");
    EXPECT_TRUE(file.close());
    EXPECT_EQ(ReadBytes(path), "new\r\n");
}

TEST(TextFileWriteTest, AppendCreatesAMissingFileAndThenAddsAtTheEnd) {
    TempFolder folder;
    const std::string path = folder.file("out.dxf");
    for (const char* text : {"0\n", "LINE\n"}) {
        TextFile file;
        ASSERT_TRUE(file.open(path, TextFileMode::Append));
        file.write(text);
        EXPECT_TRUE(file.close());
    }
    EXPECT_EQ(ReadBytes(path), "0\r\nLINE\r\n");
}

TEST(TextFileWriteTest, AppendExistingAddsToAnExistingFile) {
    TempFolder folder;
    const std::string path = folder.file("out.dxf");
    WriteBytes(path, "HEADER\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::AppendExisting));
    file.write("ENDSEC\n");
    EXPECT_TRUE(file.close());
    EXPECT_EQ(ReadBytes(path), "HEADER\r\nENDSEC\r\n");
}

TEST(TextFileWriteTest, OutputLargerThanTheBufferArrivesWhole) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 30000; ++i) {
        const std::string line = "10\n" + std::string(static_cast<std::size_t>(i % 11), '7');
        text += line + "\n";
        expected += "10\r\n" + std::string(static_cast<std::size_t>(i % 11), '7') + "\r\n";
    }
    TempFolder folder;
    const std::string path = folder.file("big.dxf");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Write));
    file.write(text.substr(0, 12345));
    file.write(text.substr(12345));
    EXPECT_TRUE(file.close());
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(TextFileWriteTest, DestructorFlushes) {
    TempFolder folder;
    const std::string path = folder.file("out.dxf");
    {
        TextFile file;
        ASSERT_TRUE(file.open(path, TextFileMode::Write));
        file.write("EOF\n");
    }
    EXPECT_EQ(ReadBytes(path), "EOF\r\n");
}

TEST(TextFileWriteTest, FailedWriteIsReportedByClose) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    TextFile file;
    ASSERT_TRUE(file.open("/dev/full", TextFileMode::Write));
    file.write("LINE\n");
    EXPECT_FALSE(file.close());
    EXPECT_FALSE(file.isOpen());
}

TEST(TextFileWriteTest, FailedLargeWriteIsReportedByClose) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    TextFile file;
    ASSERT_TRUE(file.open("/dev/full", TextFileMode::Append));
    file.write(std::string(3 * kReadChunk, 'x'));
    file.write("more\n");
    EXPECT_FALSE(file.close());
}

TEST(TextFileWriteTest, WritingToAFileOpenForReadingIsAFailure) {
    TempFolder folder;
    const std::string path = folder.file("in.txt");
    WriteBytes(path, "A\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    file.write("B\n");
    EXPECT_FALSE(file.close());
    EXPECT_EQ(ReadBytes(path), "A\r\n");
}

TEST(TextFileTest, SixHundredByteLineIsCopiedUnchangedButForLineEnds) {
    const std::string line(600, 'L');
    TempFolder folder;
    const std::string source = folder.file("template.dat");
    const std::string target = folder.file("out.dxf");
    WriteBytes(source, "0\n" + line + "\nEOF");

    TextFile in;
    TextFile out;
    ASSERT_TRUE(in.open(source, TextFileMode::Read));
    ASSERT_TRUE(out.open(target, TextFileMode::Write));
    char piece[TextFile::kMaxPiece + 1];
    int pieces = 0;
    while (std::size_t length = in.readPiece(piece)) {
        out.write(std::string_view(piece, length));
        ++pieces;
    }
    EXPECT_EQ(pieces, 5);  // "0\n", 255 + 255 + 90 bytes of the long line, "EOF"
    EXPECT_TRUE(in.close());
    EXPECT_TRUE(out.close());
    EXPECT_EQ(ReadBytes(target), "0\r\n" + line + "\r\nEOF");
}

TEST(TextFileTest, ClosingTwiceIsHarmlessAndAClosedFileGivesNothing) {
    TempFolder folder;
    const std::string path = folder.file("in.txt");
    WriteBytes(path, "A\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    EXPECT_TRUE(file.close());
    EXPECT_TRUE(file.close());
    char buffer[TextFile::kMaxPiece + 1];
    EXPECT_EQ(file.readPiece(buffer), 0u);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(TextFileTest, MovedFileGoesOnReadingWhereItStopped) {
    TempFolder folder;
    const std::string path = folder.file("in.txt");
    WriteBytes(path, "A\r\nB\r\nC\r\n");
    TextFile first;
    ASSERT_TRUE(first.open(path, TextFileMode::Read));
    char buffer[TextFile::kMaxPiece + 1];
    ASSERT_EQ(first.readPiece(buffer), 2u);

    TextFile second(std::move(first));
    EXPECT_FALSE(first.isOpen());  // NOLINT(bugprone-use-after-move): the moved-from file must be closed
    ASSERT_TRUE(second.isOpen());
    ASSERT_EQ(second.readPiece(buffer), 2u);
    EXPECT_STREQ(buffer, "B\n");

    TextFile third;
    third = std::move(second);
    EXPECT_FALSE(second.isOpen());  // NOLINT(bugprone-use-after-move)
    EXPECT_EQ(ReadPieces(third), Pieces({"C\n"}));
}

TEST(TextFileTest, MovedFileKeepsItsPendingOutput) {
    TempFolder folder;
    const std::string path = folder.file("out.txt");
    TextFile first;
    ASSERT_TRUE(first.open(path, TextFileMode::Write));
    first.write("A\n");
    TextFile second(std::move(first));
    second.write("B\n");
    EXPECT_TRUE(first.close());  // NOLINT(bugprone-use-after-move): closing a moved-from file writes nothing
    EXPECT_TRUE(second.close());
    EXPECT_EQ(ReadBytes(path), "A\r\nB\r\n");
}

TEST(TextFileTest, ReopeningStartsAfresh) {
    TempFolder folder;
    const std::string path = folder.file("in.txt");
    WriteBytes(path, "A\r\nB\r\n");
    TextFile file;
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    char buffer[TextFile::kMaxPiece + 1];
    ASSERT_EQ(file.readPiece(buffer), 2u);
    ASSERT_TRUE(file.open(path, TextFileMode::Read));
    EXPECT_EQ(ReadPieces(file), Pieces({"A\n", "B\n"}));
}

}  // namespace
