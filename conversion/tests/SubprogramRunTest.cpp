// Calls, returns, jumps and ends, in the NC file and into other files, converted end to end: the moves drawn
// (worked out by hand from the programs below), the blocks counted and what was reported as not carried out.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "conversion/ConversionRun.h"
#include "conversion/PictureSink.h"
#include "conversion/tests/RecordingHost.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kRapidLayer = "\x91\x81\x91\x97\x82\xE8";
const std::string kFeedLayer = "\x95\xE2\x90\xB3\x96\xB3\x82\xB5";

// The rapid and uncompensated feed lines of a drawing, each as "G0 end<-start" or "G1 end<-start" with the
// points as the file writes them (x,y,z); any other entity on those layers by its type name.
std::vector<std::string> MovesOf(const std::string& drawing) {
    std::vector<std::string> lines;
    std::istringstream in(drawing);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    std::vector<std::string> moves;
    std::string type;
    std::string layer;
    std::string values[6];
    const auto flush = [&] {
        if (layer != kRapidLayer && layer != kFeedLayer) {
            return;
        }
        const std::string name = layer == kRapidLayer ? "G0 " : "G1 ";
        if (type != "LINE") {
            moves.push_back(name + type);
            return;
        }
        moves.push_back(name + values[0] + "," + values[1] + "," + values[2] + "<-" + values[3] + "," +
                        values[4] + "," + values[5]);
    };
    const std::vector<std::string> codes{"10", "20", "30", "11", "21", "31"};
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string& code = lines[i];
        const std::string& value = lines[i + 1];
        if (code == "0") {
            flush();
            type = value;
            layer.clear();
        } else if (code == "8") {
            layer = value;
        } else {
            for (std::size_t c = 0; c < codes.size(); ++c) {
                if (code == codes[c]) {
                    values[c] = value;
                }
            }
        }
    }
    return moves;
}

struct SubprogramCase {
    const char* label;
    std::string program;
    std::vector<std::string> moves;
    std::int64_t linesCounted;
    std::vector<std::string> undrawn;  // the lines after "作図していないコード"
    // Files beside the NC file, by name and text: "lib/" names lie in the library folder, a name ending in
    // "/" is a folder, one starting with "|" a FIFO.
    std::vector<std::pair<std::string, std::string>> files = {};
    std::int64_t maxBlocks = kDefaultMaxBlocks;
};

void PrintTo(const SubprogramCase& c, std::ostream* out) {
    *out << c.label;
}

class SubprogramRunTest : public testing::TestWithParam<SubprogramCase> {
protected:
    RunOutcome convert(const std::string& program, const SubprogramCase& c = {}) {
        std::filesystem::create_directory(folder.file("lib"));
        for (const auto& [name, text] : c.files) {
            if (name.back() == '/') {
                std::filesystem::create_directory(folder.file(name));
            } else if (name[0] == '|') {
                ::mkfifo(folder.file(name.substr(1)).c_str(), 0600);
            } else {
                folder.write(name, text);
            }
        }
        files.libraryFolders = {folder.file("lib")};
        files.maxBlocks = c.maxBlocks;
        files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
        files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
        files.ncFile = folder.write("SUB.NC", program);
        files.dxfFile = folder.file("SUB.DXF");
        return RunConversion(host, files);
    }

    std::vector<std::string> undrawnLines() const {
        std::vector<std::string> lines;
        bool after = false;
        for (const std::string& line : host.reportLines) {
            if (after) {
                lines.push_back(line);
            }
            after = after || line == "作図していないコード";
        }
        return lines;
    }

    TempFolder folder;
    ConversionFiles files;
    RecordingHost host;
};

TEST_P(SubprogramRunTest, DrawsTheCalledMovesAndCountsEveryProcessedLine) {
    const SubprogramCase& c = GetParam();
    ASSERT_EQ(convert(c.program, c), RunOutcome::Completed);
    EXPECT_EQ(MovesOf(ReadBytes(files.dxfFile)), c.moves);
    ASSERT_FALSE(host.lineCounts.empty());
    EXPECT_EQ(host.lineCounts.back(), c.linesCounted);
    EXPECT_EQ(undrawnLines(), c.undrawn);
}

INSTANTIATE_TEST_SUITE_P(
    Programs, SubprogramRunTest,
    testing::Values(
        // Lines 1, 2, 6, 7, 3, 4; the definition (5 to 7) is left out where it stands.
        SubprogramCase{"OneCall",
                       "G01 X0 Y0 Z0 F100\n"
                       "M98 P1000\n"
                       "X3.\n"
                       "M30\n"
                       "O1000\n"
                       "G91 X1.\n"
                       "G90 M99\n",
                       {"G1 1,0,0<-0,0,0", "G1 3,0,0<-1,0,0"},
                       6,
                       {}},
        // L3 runs the body three times, P21000 (no O21000) twice, P31000 L1 once, L0 never:
        // lines 1, 2, 3x(8, 9), 3, 2x(8, 9), 4, 8, 9, 5, 6.
        // The same program behind a byte-order mark and with lone CR line ends: the recorded positions lead
        // to the same lines as the run reads them.
        SubprogramCase{"OneCallAfterAByteOrderMark",
                       "\xEF\xBB\xBFG01 X0 Y0 Z0 F100\nM98 P1000\nX3.\nM30\nO1000\nG91 X1.\nG90 M99\n",
                       {"G1 1,0,0<-0,0,0", "G1 3,0,0<-1,0,0"},
                       6,
                       {}},
        SubprogramCase{"OneCallWithLoneCrLineEnds",
                       "G01 X0 Y0 Z0 F100\rM98 P1000\rX3.\rM30\rO1000\rG91 X1.\rG90 M99\r",
                       {"G1 1,0,0<-0,0,0", "G1 3,0,0<-1,0,0"},
                       6,
                       {}},
        SubprogramCase{"RepeatsByLAndByTheDigitsInFrontOfTheLastFourOfP",
                       "G01 X0 Y0 Z0 F100\n"
                       "M98 P1000 L3\n"
                       "M98 P21000\n"
                       "M98 P31000 L1\n"
                       "M98 P1000 L0\n"
                       "M30\n"
                       "O1000\n"
                       "G91 X1.\n"
                       "G90 M99\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0",
                        "G1 5,0,0<-4,0,0", "G1 6,0,0<-5,0,0"},
                       18,
                       {}},
        // O51002 exists, so P51002 is that number; O1002 is named by nothing and runs where it stands:
        // lines 1, 2, 4, 5, 6, 7, 8.
        SubprogramCase{"PAboveFourDigitsNamesItsOwnNumberWhenTheFileHasIt",
                       "G01 X0 Y0 Z0 F100\n"
                       "M98 P51002\n"
                       "O51002\n"
                       "G01 X7.\n"
                       "M99\n"
                       "O1002\n"
                       "G01 X9.\n"
                       "M99\n",
                       {"G1 7,0,0<-0,0,0", "G1 9,0,0<-7,0,0"},
                       7,
                       {}},
        // M98 and M97 share the ten levels: O1 at level 1 calls its own N5 nine times more, the tenth M97
        // (line 6) is refused. Lines 1, 2, 10 x (5, 6), 10 x 7, 3.
        SubprogramCase{
            "M98AndM97NestTenDeep",
            "G01 X0 Y0 Z0 F100\nM98 P1\nM30\nO1\nN5 G91 X1.\nM97 P5\nG90 M99\n",
            {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0", "G1 5,0,0<-4,0,0",
             "G1 6,0,0<-5,0,0", "G1 7,0,0<-6,0,0", "G1 8,0,0<-7,0,0", "G1 9,0,0<-8,0,0", "G1 10,0,0<-9,0,0"},
            33,
            {"    M97 呼び出しの重なり超過 ×1 (最初: 6行目)"}},
        // A missing number and M98 without P are not carried out; O8 calls itself until the eleventh level is
        // refused, and its M99 P100 finds no N100 in the caller, which stops the run. Lines 1, 2, 3, 4,
        // 10 x (7, 8), 9.
        SubprogramCase{
            "RefusedCallsAreReportedWithTheirFileLine",
            "G01 X0 Y0 Z0 F100\n"
            "M98 P7\n"
            "M98\n"
            "M98 P8\n"
            "M30\n"
            "O8\n"
            "G91 X1.\n"
            "M98 P8\n"
            "G90 M99 P100\n",
            {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0", "G1 5,0,0<-4,0,0",
             "G1 6,0,0<-5,0,0", "G1 7,0,0<-6,0,0", "G1 8,0,0<-7,0,0", "G1 9,0,0<-8,0,0", "G1 10,0,0<-9,0,0"},
            25,
            {"    M98 呼び出し先無し ×1 (最初: 2行目)", "    M98 P無し ×1 (最初: 3行目)",
             "    M98 呼び出しの重なり超過 ×1 (最初: 8行目)", "    M99 P 飛び先無し ×1 (最初: 9行目)"}},
        // A definition before the main program and a second one of the same number are both left out; the
        // first one runs, and an M99 in a comment does not end it; the second is listed. Lines 6, 7, 2, 3, 4,
        // 5, 8.
        SubprogramCase{"DefinitionsAreSkippedAndTheFirstOneRuns",
                       "O100\n"
                       "G01 X50. F100\n"
                       "(M99)\n"
                       "G01 Y50.\n"
                       "M99\n"
                       "G01 X0 Y0 Z0 F100\n"
                       "M98 P100\n"
                       "M30\n"
                       "O100\n"
                       "G01 X70. F100\n"
                       "M99\n",
                       {"G1 50,0,0<-0,0,0", "G1 50,50,0<-50,0,0"},
                       7,
                       {"    O番号の重複 ×1 (最初: 9行目)"}},
        // O0001 holds the M30: it is the main program though P1 names it, and O1 is the same number again.
        // P1 calls the main program itself, ten levels deep; at the tenth M98 is refused and M30 ends the
        // run. Lines 1, 11 x (2, 3), 4.
        SubprogramCase{"MainProgramWhoseNumberIsCalledRunsAndIsCalled",
                       "O0001\nG91 G01 X1. F100\nM98 P1\nG90 M30\nO1\nG91 Y1.\nM99\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0",
                        "G1 5,0,0<-4,0,0", "G1 6,0,0<-5,0,0", "G1 7,0,0<-6,0,0", "G1 8,0,0<-7,0,0",
                        "G1 9,0,0<-8,0,0", "G1 10,0,0<-9,0,0", "G1 11,0,0<-10,0,0"},
                       24,
                       {"    O番号の重複 ×1 (最初: 5行目)", "    M98 呼び出しの重なり超過 ×1 (最初: 3行目)"}},
        // O5 before the main program has no M99: it ends at the main program's O line, both where it is left
        // out and where it is called (once, L2 or not). Lines 3, 4, 5, 2, 6, 7.
        SubprogramCase{"DefinitionWithoutM99BeforeTheMainProgramEndsAtItsOLine",
                       "O5\nG91 X1.\nO0001\nG90 G01 X0 Y0 Z0 F100\nM98 P5 L2\nG90 Y3.\nM30\n",
                       {"G1 1,0,0<-0,0,0", "G1 1,3,0<-1,0,0"},
                       6,
                       {"    M99無し ×1 (最初: 1行目)"}},
        // ":" numbers a subprogram, "o1000 sub" does not: it and line 5 are lines after M30 that never run.
        // The M99s in line 7's comment, which runs on into the line's second piece, do not end it. Lines 1,
        // 2, 7 (two pieces), 8, 3.
        SubprogramCase{
            "ColonNumbersAndCommentsAcrossPieces",
            "G01 X0 Y0 Z0 F100\nm98 p1000\nM30\no1000 sub\nG01 X50.\n:1000 (DRILL)\n"
            "G91 X1. (A M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 "
            "M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 "
            "M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 M99 "
            "M99 M99)\nG90 M99\n",
            {"G1 1,0,0<-0,0,0"},
            6,
            {"    M30 以降の行 (実行されない) ×2 (最初: 4行目)"}},
        // Without M99 the subprogram runs to the end of the file and its call then ends, L3 or not, listed
        // at its O line: lines 1, 2, 6, 7, 3, 4.
        SubprogramCase{"SubprogramWithoutM99RunsToTheEndOfTheFile",
                       "G01 X0 Y0 Z0 F100\n"
                       "M98 P5 L3\n"
                       "G01 X9.\n"
                       "M30\n"
                       "O5\n"
                       "G91 X1.\n"
                       "G90\n",
                       {"G1 1,0,0<-0,0,0", "G1 9,0,0<-1,0,0"},
                       6,
                       {"    M99無し ×1 (最初: 5行目)"}},
        // Lower case throughout: no "M" anywhere for the scan for calls to find. Lines 1, 2, 6, 7, 3, 4.
        // The definition stands first, so only a call found in lower case leaves it out there. Lines 4, 5, 2,
        // 3, 6, 7.
        SubprogramCase{"LowerCaseCallAndReturn",
                       "o100\ng91 x1.\ng90 m99\ng01 x0 y0 z0 f100\nm98 p100\nx3.\nm30\n",
                       {"G1 1,0,0<-0,0,0", "G1 3,0,0<-1,0,0"},
                       6,
                       {}},
        // The m in the comment comes after the M98 and has no 9 after it. Lines 1, 2, 5, 6, 3.
        SubprogramCase{"CommentWithAnMAfterTheCall",
                       "G01 X0 Y0 Z0 F100\nM98 P1 (from m)\nM30\nO1\nG91 X1.\nG90 M99\n",
                       {"G1 1,0,0<-0,0,0"},
                       5,
                       {}},
        // Only P21000 names O1000 (twice), so its definition before the main program is still left out.
        // Lines 4, 5, 2, 3, 2, 3, 6.
        SubprogramCase{"CountInFrontOfPNamesTheDefinition",
                       "O1000\nG91 X1.\nG90 M99\nG01 X0 Y0 Z0 F100\nM98 P21000\nM30\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0"},
                       7,
                       {}},
        // O1 has no M99: its call runs on through the O2 line, as its definition does, to the first M99.
        // Lines 1, 2, 6, 7, 8, 9, 3, 8, 9, 4.
        SubprogramCase{"WithoutM99TheCallRunsOnThroughTheNextDefinition",
                       "G01 X0 Y0 Z0 F100\nM98 P1\nM98 P2\nM30\nO1\nG91 X1.\nO2\nG91 Y1.\nG90 M99\n",
                       {"G1 1,0,0<-0,0,0", "G1 1,1,0<-1,0,0", "G1 1,2,0<-1,1,0"},
                       10,
                       {}},
        // No M98: O lines and M99 are ordinary lines, every one of them processed where it stands; M99 P
        // outside a call is ignored.
        SubprogramCase{"ProgramWithoutM98RunsEveryLineInFileOrder",
                       "G00 X1. Y0 Z0\n"
                       "O1000\n"
                       "G01 X2. F100\n"
                       "M99 P3\n"
                       "O2000\n"
                       "G01 X3.\n"
                       "M99\n",
                       {"G0 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0"},
                       7,
                       {"    M99 P (呼び出し外) ×1 (最初: 4行目)"}},
        // Haas: the subprogram after M30 runs twice from M97 and never again on its own; only the line after
        // its M99 is one that never ran. Lines 1, 2, 5, 6, 5, 6, 3, 4.
        SubprogramCase{"M97CallsABlockAfterTheEnd",
                       "G01 X0 Y0 Z0 F100\nM97 P100 L2\nG01 X5.\nM30\nN100 G91 Y1.\nG90 M99\nG01 X500.\n%\n",
                       {"G1 0,1,0<-0,0,0", "G1 0,2,0<-0,1,0", "G1 5,2,0<-0,2,0"},
                       8,
                       {"    M30 以降の行 (実行されない) ×1 (最初: 7行目)"}},
        // N20 stands before and after the call: the one after it is taken. Lines 1, 2, 3, 8, 5, 6.
        SubprogramCase{"M99PReturnsForwardFromTheCallFirst",
                       "G01 X0 Y0 Z0 F100\nN20 G01 X9.\nM98 P1\nG01 X5.\nN20 G01 Y5.\nM30\nO1\nM99 P20\n",
                       {"G1 9,0,0<-0,0,0", "G1 9,5,0<-9,0,0"},
                       6,
                       {}},
        // No N10 after the call: back to the one before it, for ever, until the limit of 10 blocks stops
        // the run before line 2. Lines 1, 2, 3, 6, 2, 3, 6, 2, 3, 6.
        SubprogramCase{"M99PGoesBackToTheStartUntilTheBlockLimit",
                       "G01 X0 Y0 Z0 F100\nN10 G91 X1.\nG90 M98 P1\nM30\nO1\nM99 P10\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0"},
                       10,
                       {"    実行ブロック数の上限で停止 ×1 (最初: 2行目)"},
                       {},
                       10},
        // Lines 5 and 7 (two pieces) count; blank, comment, "%" and ";" lines do not, nor the program
        // after O100. Lines 1, 2.
        SubprogramCase{"LinesAfterM30AreListedOncePerLine",
                       "G01 X0 Y0 Z0 F100\nM30\n\n(NOTE)\nG01 X5.\n%\nG01 Y5." + std::string(300, ' ') +
                           "X1.\n;\nO100\nG01 X7.\n",
                       {},
                       2,
                       {"    M30 以降の行 (実行されない) ×2 (最初: 5行目)"}},
        // Lines 1, 2, 7, 8.
        SubprogramCase{"M02InACallEndsTheRunAndListsNoLineAfterM30",
                       "G01 X0 Y0 Z0 F100\nM98 P1\nG01 X5.\nM30\nG01 Y9.\nO1\nG01 X1.\nM02\nM99\n",
                       {"G1 1,0,0<-0,0,0"},
                       4,
                       {}},
        // O9010.nc has no O line and runs from its start; what it leaves undrawn names it. Lines 1, 2, 3,
        // 2 x (1, 2, 3), 4.
        SubprogramCase{
            "CallsIntoAFileNamedAfterTheNumber",
            "G01 X0 Y0 Z0 F100\nM97 P9\nM98 P9010 L2\nM30\n",
            {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0"},
            10,
            {"    M97 飛び先無し ×1 (最初: 2行目)", "    M98 呼び出し先無し ×2 (最初: O9010.nc 2行目)"},
            {{"O9010.nc", "G91 X1.\nM98 P4444\nG90 M99\n"}}},
        // A file's name comes before another file's O line; :9030 is found as the third line of head.nc.
        // Lines 1, 2, 1, 2, 3, 4, 5, 4.
        SubprogramCase{"ByNameThenByTheFirstOLine",
                       "G01 X0 Y0 Z0 F100\nM98 P9020\nM98 P9030\nM30\n",
                       {"G1 0,1,0<-0,0,0", "G1 1,1,0<-0,1,0"},
                       8,
                       {},
                       {{"O9020.nc", "G91 Y1.\nG90 M99\n"},
                        {"other.nc", "O9020\nG91 X100.\nG90 M99\n"},
                        {"head.nc", "%\n(HEAD)\n:9030\nG91 X1.\nG90 M99\n"}}},
        // 9040 only in the library; 9041 in both, and the NC file's folder comes first. Lines 1, 2, 1, 2,
        // 3, 1, 2, 4.
        SubprogramCase{"LibraryFolderAfterTheNcFilesFolder",
                       "G01 X0 Y0 Z0 F100\nM98 P9040\nM98 P9041\nM30\n",
                       {"G1 2,0,0<-0,0,0", "G1 2,3,0<-2,0,0"},
                       8,
                       {},
                       {{"lib/O9040.nc", "G91 X2.\nG90 M99\n"},
                        {"O9041.nc", "G91 Y3.\nG90 M99\n"},
                        {"lib/9041.nc", "G91 X100.\nG90 M99\n"}}},
        // The called file's second O9060 is listed under its name when the call enters it. Lines 1, 2, 2, 3,
        // 3.
        SubprogramCase{"DuplicateNumberInACalledFile",
                       "G01 X0 Y0 Z0 F100\nM98 P9060\nM30\n",
                       {"G1 1,0,0<-0,0,0"},
                       5,
                       {"    O番号の重複 ×1 (最初: O9060.nc 4行目)"},
                       {{"O9060.nc", "O9060\nG91 X1.\nG90 M99\nO9060\nG91 X5.\nG90 M99\n"}}},
        SubprogramCase{"FolderAndFifoAreNoPrograms",
                       "G01 X0 Y0 Z0 F100\nM98 P9050\nM98 P9051\nM98 P9052\nM30\n",
                       {},
                       5,
                       {"    M98 呼び出し先無し ×3 (最初: 2行目)"},
                       {{"O9050.nc/", ""}, {"|O9051.nc", ""}}}),
    [](const testing::TestParamInfo<SubprogramCase>& info) { return std::string(info.param.label); });

TEST_F(SubprogramRunTest, AbortStopsAHugeRepeatCount) {
    host.onEvents = [](RecordingHost& h) {
        if (h.eventCalls == 1000) {
            h.setRunning(false);
        }
    };
    ASSERT_EQ(convert("G01 X0 Y0 Z0 F100\nM98 P1 L1000000000000\nM30\nO1\nG91 X1.\nG90 M99\n"),
              RunOutcome::Aborted);
    EXPECT_EQ(host.lineCounts.back(), 999);
}

// An entity drawn in another file names the line of the NC file's call that led there, whatever the level.
TEST_F(SubprogramRunTest, EntitiesNameALineOfTheNcFile) {
    struct Lines : PictureSink {
        bool add(const DrawingEntity& entity) override {
            lines.push_back(entity.fileLine);
            return true;
        }
        void markTightArc(const DrawingEntity&) override {}
        bool complete(const std::optional<InfoBlockLayout>&) override { return true; }
        std::vector<std::int64_t> lines;
    } picture;
    folder.write("O9010.nc", "G91 X1.\nM98 P9011\nG90 M99\n");
    folder.write("O9011.nc", "G91 Y1.\nG90 M99\n");
    files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
    files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
    files.ncFile = folder.write("SUB.NC", "G01 X0 Y0 Z0 F100\nM98 P9010\nG01 Y5.\nM30\n");
    files.dxfFile = folder.file("SUB.DXF");
    ASSERT_EQ(RunConversion(host, files, &picture), RunOutcome::Completed);
    EXPECT_EQ(picture.lines, (std::vector<std::int64_t>{2, 2, 3}));
}

// The scan for calls reads the file in 64 KiB chunks: an M98 line that starts at, or a byte or three before,
// a chunk's end is still found.
TEST_F(SubprogramRunTest, CallAtA64KiBChunkEndIsFollowed) {
    const std::string start = "G01 X0 Y0 Z0 F100\n(";
    for (const std::size_t at : {65533u, 65534u, 65535u, 65536u}) {
        const std::string padding = start + std::string(at - start.size() - 2, 'A') + ")\n";
        ASSERT_EQ(convert(padding + "M98 P1\nG90 X5.\nM30\nO1\nG91 X1.\n"), RunOutcome::Completed);
        EXPECT_EQ(MovesOf(ReadBytes(files.dxfFile)),
                  (std::vector<std::string>{"G1 1,0,0<-0,0,0", "G1 5,0,0<-1,0,0"}))
            << at;
    }
}

// The file is rewritten under the running conversion, after the index pass has recorded where O1 starts:
// the run goes on with whatever it then reads and completes.
TEST_F(SubprogramRunTest, FileRewrittenAfterTheIndexPassStillCompletes) {
    for (const std::string& replacement :
         {std::string(), std::string("M98 P1 L5\n"), std::string(100000, 'O') + "\nM98 P1 L3\nM99\n"}) {
        bool rewritten = false;
        host.onEvents = [&](RecordingHost&) {
            if (!rewritten) {
                WriteBytes(files.ncFile, replacement);
                rewritten = true;
            }
        };
        EXPECT_EQ(convert("G01 X0 Y0 Z0 F100\nM98 P1 L3\nM98 P1\nM30\nO1\nG91 X1.\nG90 M99\n"),
                  RunOutcome::Completed)
            << replacement.size();
    }
}

// Another file is renamed over the NC file again and again while it is converted: whenever that happens
// between the run's open and its index pass, the index must still be the open file's, so every drawing is
// the one of either program, never a mix.
TEST_F(SubprogramRunTest, FileReplacedByNameWhileConvertingIsNeverMixed) {
    // Comment lines at the end make the reading long enough for the renames to fall in between.
    std::string comments;
    for (int line = 0; line < 1000; ++line) {
        comments += "(" + std::string(100, 'C') + ")\n";
    }
    const std::string callAfter = "G01 X0 Y0 Z0 F100\nM98 P1\nM30\nO1\nG91 X1.\nG90 M99\n" + comments;
    const std::string callBefore = "O1\nG91 Y2.\nG90 M99\nG01 X0 Y0 Z0 F100\nM98 P1\nM30\n" + comments;
    const std::vector<std::string> after{"G1 1,0,0<-0,0,0"};
    const std::vector<std::string> before{"G1 0,2,0<-0,0,0"};
    const std::string sources[] = {folder.write("A.src", callAfter), folder.write("B.src", callBefore)};
    files.hedderFile = folder.write("Hedder.dat", "0\nSECTION\n2\nENTITIES\n0\n");
    files.footerFile = folder.write("Footer.dat", "ENDSEC\n0\nEOF\n");
    files.ncFile = folder.write("SUB.NC", callAfter);
    files.dxfFile = folder.file("SUB.DXF");
    std::atomic<bool> stop{false};
    std::thread replacer([&] {
        const std::string link = folder.file("next.NC");
        for (std::size_t turn = 0; !stop; ++turn) {
            ::link(sources[turn % 2].c_str(), link.c_str());
            ::rename(link.c_str(), files.ncFile.c_str());
        }
    });
    for (int run = 0; run < 300; ++run) {
        ASSERT_EQ(RunConversion(host, files), RunOutcome::Completed);
        const std::vector<std::string> moves = MovesOf(ReadBytes(files.dxfFile));
        EXPECT_TRUE(moves == after || moves == before) << run << ": " << testing::PrintToString(moves);
    }
    stop = true;
    replacer.join();
}

// Macro statements between the lines: every line reached counts, the WHILE line on every pass.
INSTANTIATE_TEST_SUITE_P(
    Macros, SubprogramRunTest,
    testing::Values(
        // Lines 1 to 3, three passes of 4 to 6 each with the WHILE tested again, then 7.
        SubprogramCase{"WhileLoopDrawsEveryPass",
                       "G01 X0 Y0 Z0 F100\n#1=1\nWHILE [#1 LE 3] DO1\nX#1\n#1=#1+1\nEND1\nM30\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0"},
                       16,
                       {}},
        // Three nested loops of two passes each, left by GOTO after the outer loop's first pass. Lines: 1-2;
        // the DO3 loop is its WHILE, two passes of 8-10 and two tests again at END3: 9; a DO2 pass is 6, DO3,
        // 11 and 12: 12, so the DO2 loop is 1 + 12 + 1 + 12 + 1 = 27; the DO1 pass 3, 4, DO2, 13 and 14: 31;
        // then 16 and 17.
        SubprogramCase{
            "NestedLoopsLeftByGoto",
            "G01 X0 Y0 Z0 F100\n#1=0\nWHILE [#1 LT 2] DO1\n#2=0\nWHILE [#2 LT 2] DO2\n#3=0\n"
            "WHILE [#3 LT 2] DO3\nG91 X1.\n#3=#3+1\nEND3\n#2=#2+1\nEND2\n#1=#1+1\n"
            "IF [#1 EQ 1] GOTO 20\nEND1\nN20 G90 Y#1\nM30\n",
            {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0", "G1 4,1,0<-4,0,0"},
            35,
            {}},
        SubprogramCase{"GotoBackAndIfThen",
                       "G01 X0 Y0 Z0 F100\n#2=3\nN10 G91 X1.\n#2=#2-1\nIF [#2 GT 0] GOTO 10\n"
                       "IF [#2 EQ 0] THEN #3=5.\nG90 Y#3\nM30\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 3,5,0<-3,0,0"},
                       14,
                       {}},
        SubprogramCase{
            "NullValueIsLeftOut", "G01 X0 Y0 Z0 F100\nG01 X#30 Y5.\nM30\n", {"G1 0,5,0<-0,0,0"}, 3, {}},
        // Lines 1-3, the call's 2-3, then 4-5. A1 is in thousandths, D7 as written; the caller's #1 is back
        // after M99.
        SubprogramCase{"G65ArgumentsAreTheCallsLocals",
                       "G01 X0 Y0 Z0 F100\n#1=5.\nG65 P9010 X10. Y2. A1 D7\nG01 Y#1\nM30\n",
                       {"G1 17,3,0<-0,0,0", "G1 17,5,0<-17,3,0"},
                       7,
                       {},
                       {{"lib/O9010.nc", "O9010\nG01 X[#24+#7] Y[#25+#1*1000]\nM99\n"}}},
        // List II: I J K triples from #4 on; a J after K opens the next triple, and D (#7) given after the
        // second triple's I wins. Z#9 is null in the second call and left out.
        SubprogramCase{
            "G65ArgumentListTwo",
            "G01 X0 Y0 Z0 F100\nG65 P9011 I1. J2. K3. I4. J5. K6.\nG65 P9011 I7. K8. J9. D10.\nM30\n"
            "O9011\nG01 X#4 Y#7 Z#9\nM99\n",
            {"G1 1,4,6<-0,0,0", "G1 7,10,6<-1,4,6"},
            8,
            {}},
        // Each of the three runs starts from the argument X1. again: three steps of 2.
        SubprogramCase{"G65RepeatStartsFromTheArguments",
                       "G01 X0 Y0 Z0 F100\nG65 P9012 L3 X1.\nM30\nO9012\n#24=#24+1.\nG91 G01 X#24\nM99\n",
                       {"G1 2,0,0<-0,0,0", "G1 4,0,0<-2,0,0", "G1 6,0,0<-4,0,0"},
                       12,
                       {}},
        // M98 inside a G65 call reads the call's locals; a common written there is the main program's too.
        SubprogramCase{"M98SharesTheMacrosLocalsAndCommonsAreShared",
                       "G01 X0 Y0 Z0 F100\nG65 P9016 X4.\nG01 Y#100\nM30\nO9016\nM98 P9017\nM99\n"
                       "O9017\nG01 X#24\n#100=#24*2\nM99\n",
                       {"G1 4,0,0<-0,0,0", "G1 4,8,0<-4,0,0"},
                       9,
                       {}},
        // After each move until G67 the macro runs; its own moves call nothing.
        SubprogramCase{"G66CallsAfterEachMoveUntilG67",
                       "G01 X0 Y0 Z0 F100\nG66 P9013 Z-1.\nG00 X10.\nX20.\nG67\nX30.\nM30\n"
                       "O9013\nG01 Z#26\nG00 Z0\nM99\n",
                       {"G0 10,0,0<-0,0,0", "G1 10,0,-1<-10,0,0", "G0 10,0,0<-10,0,-1", "G0 20,0,0<-10,0,0",
                        "G1 20,0,-1<-20,0,0", "G0 20,0,0<-20,0,-1", "G0 30,0,0<-20,0,0"},
                       13,
                       {}},
        // Five G65 levels run; the sixth call is refused and each level returns.
        SubprogramCase{
            "G65NestsFiveDeep",
            "G01 X0 Y0 Z0 F100\nG65 P9014\nM30\nO9014\nG91 G01 X1.\nG65 P9014\nM99\n",
            {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0", "G1 5,0,0<-4,0,0"},
            18,
            {"    G65 呼び出しの重なり超過 ×1 (最初: 6行目)"}},
        // A definition before the main program that only G65 names is left out where it stands.
        SubprogramCase{"G65TargetBeforeTheMainProgram",
                       "O9015\nG01 X9.\nM99\nO0001\nG01 X0 Y0 Z0 F100\nG65 P9015\nM30\n",
                       {"G1 9,0,0<-0,0,0"},
                       6,
                       {}},
        SubprogramCase{"G65WithoutTarget",
                       "G01 X0 Y0 Z0 F100\nG65 P9999 X1.\nG65 X1.\nG01 Y5.\nM30\n",
                       {"G1 0,5,0<-0,0,0"},
                       5,
                       {"    G65 呼び出し先無し ×1 (最初: 2行目)", "    G65 P無し ×1 (最初: 3行目)"}},
        SubprogramCase{"ValueNamesTheCall",
                       "#1=1000\nG01 X0 Y0 Z0 F100\nM98 P#1\nM30\nO1000\nX2.\nM99\n",
                       {"G1 2,0,0<-0,0,0"},
                       6,
                       {}},
        SubprogramCase{"MissingJumpTargetStops",
                       "G01 X0 Y0 Z0 F100\nGOTO 99\nX5.\nM30\n",
                       {},
                       2,
                       {"    GOTO 飛び先無し ×1 (最初: 2行目)"}},
        SubprogramCase{"AlarmStops",
                       "G01 X0 Y0 Z0 F100\n#3000=1 (TOOL BROKEN)\nX5.\n",
                       {},
                       2,
                       {"    #3000 アラーム: 1 (TOOL BROKEN) ×1 (最初: 2行目)"}},
        SubprogramCase{"EndWithoutDoIsPassed",
                       "G01 X1. Y0 Z0 F100\nEND2\nM30\n",
                       {"G1 1,0,0<-0,0,0"},
                       3,
                       {"    END2 対応するDO無し ×1 (最初: 2行目)"}},
        SubprogramCase{"FailedWhileWithoutEndStops",
                       "G01 X0 Y0 Z0 F100\nWHILE [1 EQ 2] DO1\nX5.\nM30\n",
                       {},
                       2,
                       {"    DO1 対応するEND無し ×1 (最初: 2行目)"}},
        SubprogramCase{"HeldWhileWithoutEndStops",
                       "G01 X1. Y0 Z0 F100\n#1=0\nWHILE [#1 LT 1] DO1\nG01 Y5.\nM30\n",
                       {"G1 1,0,0<-0,0,0"},
                       3,
                       {"    DO1 対応するEND無し ×1 (最初: 3行目)"}},
        // 1, 2, then X and END1 by turns until ten blocks have run.
        SubprogramCase{"EndlessDoLoopStopsAtTheLimit",
                       "G01 X0 Y0 Z0 F100\nDO1\nG91 X1.\nEND1\n",
                       {"G1 1,0,0<-0,0,0", "G1 2,0,0<-1,0,0", "G1 3,0,0<-2,0,0", "G1 4,0,0<-3,0,0"},
                       10,
                       {"    実行ブロック数の上限で停止 ×1 (最初: 3行目)"},
                       {},
                       10}),
    [](const testing::TestParamInfo<SubprogramCase>& info) { return std::string(info.param.label); });

}  // namespace
