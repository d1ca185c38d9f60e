// The pieces of the program in the order the machine runs them. The main program is read from the start of
// the NC file; every definition of a subprogram that some call of the file names is left out where it
// stands, from its O line through its M99, but never the main program's own O line (SubprogramIndex), where
// a definition before the main program without M99 ends. A call ends where its definition does: at its
// M99, or without one at the main program's O line or the end of its file, listed "M99無し". After a block
// has been processed, its control code is carried out:
// M30 or M02 ends the run; M98 calls a program of this or another file (L times), M97 calls a block of the
// same program by its sequence number; M99 returns, M99 P to a sequence number of the caller. Calls nest up
// to ten deep, a program calling itself included. What cannot be carried out is noted as a code not drawn.
//
// A sequence number is looked for forward from where the search starts, then from the start of the program
// it belongs to (SequenceNumbers). Each call level keeps its file, its program, where its runs start and
// where its caller goes on, so a jump or a call is a seek in one file, whatever the files and levels.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "conversion/ControlWords.h"
#include "conversion/NcLines.h"
#include "conversion/ProgramFile.h"
#include "conversion/ProgramSearch.h"
#include "conversion/UndrawnCodes.h"
#include "nc/NcBlock.h"

// Told as call levels come and go, so that what belongs to a level (a G65 call's locals, the loops of a
// program) starts afresh with each call and each repeated run.
class CallLevelObserver {
public:
    virtual void callStarted(int depth, bool macroCall) = 0;
    virtual void runRepeated(int depth, bool macroCall) = 0;
    virtual void callEnded(int depth, bool macroCall) = 0;

protected:
    ~CallLevelObserver() = default;
};

class ProgramLines {
    static constexpr int kMaxDepth = 10;
    static constexpr int kMaxMacroCalls = 5;

public:
    // The main program and up to ten calls nested in it.
    static constexpr int kLevels = kMaxDepth + 1;

    ProgramLines(ProgramFile& nc, ProgramSearch& search);

    // The next piece to process and its length; 0 when the run is over or a file cannot be read.
    std::size_t next(char (&piece)[TextFile::kMaxPiece + 1], UndrawnCodes& undrawn);
    // The line, in its file, of the piece last handed out.
    std::int64_t lineNumber() const { return current().lines().lineNumber(); }
    // Whether the piece last handed out starts inside a comment left open by the piece before it.
    bool startsInComment() const { return current().lines().startsInComment(); }
    bool continuesLine() const { return current().lines().continuesLine(); }
    bool cutAtControl() const { return current().lines().cutAtControl(); }
    // The line of the NC file that the piece last handed out stands for: its own, or for a piece of another
    // file the line of the NC file's call that led there.
    std::int64_t ncLine() const {
        int level = depth_;
        while (levels_[level].file != &nc_) {
            --level;
        }
        return level == depth_ ? lineNumber() : levels_[level + 1].callLine;
    }
    // How the report names the file of the piece last handed out: empty for the NC file.
    const std::string& fileName() const { return current().name(); }
    const std::string& filePath() const { return current().path(); }
    // The file whose reading failed and ended the run, or null.
    ProgramFile* failedFile() const { return failed_; }

    // Carries out the end, call or return code of the block just processed. Most blocks hold no M word and
    // cost one test.
    void follow(const NcBlock& block, UndrawnCodes& undrawn) {
        if (block.isPresent(Slot::M)) {
            carryOut(ControlWordsOf(block), undrawn);
        }
    }

    void observeCalls(CallLevelObserver* observer) { observer_ = observer; }

    enum class MacroCallResult : std::uint8_t { Entered, NoTarget, TooDeep, NoRuns };
    // A G65 or G66 call of program `number`, `runs` times, at a level of its own (five such levels at most
    // among the ten). Unlike M98, the number is the program itself: P9010 never means a count.
    MacroCallResult callMacro(double number, std::int64_t runs, UndrawnCodes& undrawn);
    // Whether program `number` can be called from the program being read.
    bool findsProgram(double number) {
        return search_.find(WholeNumberOf(number), current()).file != nullptr;
    }

    // For the macro statements of the program being read, at its own call level. `depth()` tells the levels
    // apart; a mark is valid within its level.
    int depth() const { return depth_; }
    NcLines::Mark mark() const { return current().lines().mark(); }
    void jump(const NcLines::Mark& to);
    // Goes to block N`number` of the program being read, searched forward from the current line, then from
    // the program's start; false when there is none.
    bool jumpToSequence(std::int64_t number);
    // The next piece of the level's own file, with nothing carried out: for passing over a loop's lines.
    std::size_t nextInLevel(char (&piece)[TextFile::kMaxPiece + 1]) { return current().lines().next(piece); }
    // Goes back to `to` after a look ahead with nextInLevel: nothing was run in between.
    void rewind(const NcLines::Mark& to) { current().lines().jump(to); }

    // True when M30 or M02 of the main program itself ended the run, at endLine() of the NC file. The NC file
    // is then read on from there by no one else.
    bool mainProgramEnded() const { return mainEnded_; }
    std::int64_t endLine() const { return endLine_; }
    // The stretches of the NC file that ran, each as its first and last line, by first line.
    std::vector<std::pair<std::int64_t, std::int64_t>> stretchesRun() const;

private:
    struct Level {
        ProgramFile* file;
        int program;               // the blocks its sequence numbers are looked for in
        std::int64_t runsLeft;     // runs of the call still to come after this one
        NcLines::Mark body;        // where each run starts
        NcLines::Mark back;        // the caller's next piece
        std::int64_t callLine;     // the caller's line of the call
        std::int64_t stretchFrom;  // the line this level's reading last jumped to
        std::int64_t opening;      // the called program's O line, or the block M97 calls
        bool macroCall;            // a G65 or G66 call, with locals of its own
    };

    ProgramFile& current() const { return *levels_[depth_].file; }
    void carryOut(const ControlWords& words, UndrawnCodes& undrawn);
    void end();
    void callProgram(const ControlWords& words, UndrawnCodes& undrawn);
    void callSequence(const ControlWords& words, UndrawnCodes& undrawn);
    void returnFromCall(const ControlWords& words, UndrawnCodes& undrawn);
    void enter(const Level& callee, UndrawnCodes& undrawn);
    void endRun();
    void endCall();
    void endCallWithoutReturn(UndrawnCodes& undrawn);
    bool leavesOut(const char* piece, std::size_t length) const;
    bool reachesMainProgram(const char* piece, std::size_t length) const;
    void leaveCall();
    int macroCalls() const;
    void noteStretch();
    std::size_t skipDefinition(char (&piece)[TextFile::kMaxPiece + 1]);

    ProgramFile& nc_;
    ProgramSearch& search_;
    ControlWordReader reader_;
    std::array<Level, kMaxDepth + 1> levels_{};
    int depth_ = 0;
    bool stopped_ = false;
    bool mainEnded_ = false;
    std::int64_t endLine_ = 0;
    ProgramFile* failed_ = nullptr;
    CallLevelObserver* observer_ = nullptr;
    std::unordered_map<std::int64_t, std::int64_t> stretches_;  // first line -> last line run, NC file only
};
