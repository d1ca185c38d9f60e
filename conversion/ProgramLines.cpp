#include "conversion/ProgramLines.h"

#include <algorithm>

ProgramLines::ProgramLines(ProgramFile& nc, ProgramSearch& search) : nc_(nc), search_(search) {
    levels_[0].file = &nc;
    levels_[0].program = kMainProgram;
    levels_[0].stretchFrom = 1;
}

std::size_t ProgramLines::next(char (&piece)[TextFile::kMaxPiece + 1], UndrawnCodes& undrawn) {
    while (!stopped_) {
        NcLines& lines = current().lines();
        std::size_t length = lines.next(piece);
        if (length == 0) {
            if (lines.readFailed()) {
                failed_ = &current();
                stopped_ = true;
            } else if (depth_ == 0) {
                stopped_ = true;
            } else {
                endCallWithoutReturn(undrawn);
            }
            continue;
        }
        // Inside a call any other O line is an ordinary line: the call runs to the first M99, as its
        // definition does.
        if (depth_ == 0 && leavesOut(piece, length)) {
            length = skipDefinition(piece);
        } else if (depth_ != 0 && reachesMainProgram(piece, length)) {
            endCallWithoutReturn(undrawn);
            continue;
        }
        if (length != 0) {
            return length;
        }
    }
    return 0;
}

bool ProgramLines::leavesOut(const char* piece, std::size_t length) const {
    const SubprogramIndex& index = nc_.index();
    return index.hasCalls() && nc_.lines().lineNumber() != index.mainProgramLine() &&
           index.isNamed(ProgramNumberOf(piece, length, nc_.lines().startsInComment()));
}

bool ProgramLines::reachesMainProgram(const char* piece, std::size_t length) const {
    return &current() == &nc_ && nc_.lines().lineNumber() == nc_.index().mainProgramLine() &&
           ProgramNumberOf(piece, length, nc_.lines().startsInComment()) != kNoNumber;
}

void ProgramLines::jump(const NcLines::Mark& to) {
    noteStretch();
    current().lines().jump(to);
    levels_[depth_].stretchFrom = to.line;
}

bool ProgramLines::jumpToSequence(std::int64_t number) {
    const NcLines::Mark* target = current().findSequence(number, levels_[depth_].program, lineNumber());
    if (target == nullptr) {
        return false;
    }
    jump(*target);
    return true;
}

// Passes over a definition to its M99; 0 then, or the main program's O line where the definition ends
// without one.
std::size_t ProgramLines::skipDefinition(char (&piece)[TextFile::kMaxPiece + 1]) {
    NcLines& lines = nc_.lines();
    while (std::size_t length = lines.next(piece)) {
        if (reachesMainProgram(piece, length)) {
            return length;
        }
        if (reader_.read(piece, length, lines.startsInComment()).mCode == 99) {
            return 0;
        }
    }
    return 0;
}

void ProgramLines::carryOut(const ControlWords& words, UndrawnCodes& undrawn) {
    switch (words.mCode) {
        case 2:
        case 30:
            end();
            break;
        case 97:
            callSequence(words, undrawn);
            break;
        case 98:
            callProgram(words, undrawn);
            break;
        case 99:
            returnFromCall(words, undrawn);
            break;
        default:
            break;
    }
}

void ProgramLines::end() {
    noteStretch();
    mainEnded_ = depth_ == 0;
    endLine_ = lineNumber();
    stopped_ = true;
}

void ProgramLines::callProgram(const ControlWords& words, UndrawnCodes& undrawn) {
    ProgramFile& caller = current();
    const std::int64_t line = lineNumber();
    if (!words.hasP) {
        undrawn.note("M98 P無し", line);
        return;
    }
    const SubprogramIndex::Target target = caller.index().target(words.p);
    const ProgramSearch::Found found = search_.find(target.number, caller);
    if (found.file == nullptr) {
        undrawn.note("M98 呼び出し先無し", line);
        return;
    }
    if (depth_ == kMaxDepth) {
        undrawn.note("M98 呼び出しの重なり超過", line);
        return;
    }
    const std::int64_t runs = words.hasL ? RunsOf(words.l) : target.count;
    if (runs > 0) {
        enter(Level{found.file, found.program, runs - 1, found.body, caller.lines().mark(), line,
                    found.body.line, found.opening, false},
              undrawn);
    }
}

ProgramLines::MacroCallResult ProgramLines::callMacro(double number, std::int64_t runs,
                                                      UndrawnCodes& undrawn) {
    ProgramFile& caller = current();
    const ProgramSearch::Found found = search_.find(WholeNumberOf(number), caller);
    if (found.file == nullptr) {
        return MacroCallResult::NoTarget;
    }
    if (depth_ == kMaxDepth || macroCalls() == kMaxMacroCalls) {
        return MacroCallResult::TooDeep;
    }
    if (runs <= 0) {
        return MacroCallResult::NoRuns;
    }
    enter(Level{found.file, found.program, runs - 1, found.body, caller.lines().mark(), lineNumber(),
                found.body.line, found.opening, true},
          undrawn);
    return MacroCallResult::Entered;
}

int ProgramLines::macroCalls() const {
    int calls = 0;
    for (int level = 1; level <= depth_; ++level) {
        calls += levels_[level].macroCall ? 1 : 0;
    }
    return calls;
}

void ProgramLines::callSequence(const ControlWords& words, UndrawnCodes& undrawn) {
    ProgramFile& file = current();
    const std::int64_t line = lineNumber();
    if (!words.hasP) {
        undrawn.note("M97 P無し", line);
        return;
    }
    const NcLines::Mark back = file.lines().mark();
    const NcLines::Mark* target = file.findSequence(WholeNumberOf(words.p), levels_[depth_].program, line);
    if (target == nullptr) {
        undrawn.note("M97 飛び先無し", line);
        return;
    }
    if (depth_ == kMaxDepth) {
        undrawn.note("M97 呼び出しの重なり超過", line);
        return;
    }
    const std::int64_t runs = words.hasL ? RunsOf(words.l) : 1;
    if (runs > 0) {
        enter(Level{&file, levels_[depth_].program, runs - 1, *target, back, line, target->line, target->line,
                    false},
              undrawn);
    }
}

void ProgramLines::returnFromCall(const ControlWords& words, UndrawnCodes& undrawn) {
    if (depth_ == 0) {
        if (words.hasP) {
            undrawn.note("M99 P (呼び出し外)", lineNumber());
        }
        return;
    }
    if (!words.hasP) {
        endRun();
        return;
    }
    // M99 P goes back to a block of the caller at once, whatever runs of the call were left.
    const std::int64_t line = lineNumber();
    noteStretch();
    Level& caller = levels_[depth_ - 1];
    const NcLines::Mark* target =
        caller.file->findSequence(WholeNumberOf(words.p), caller.program, levels_[depth_].callLine);
    if (target == nullptr) {
        undrawn.note("M99 P 飛び先無し", line);
        stopped_ = true;
        return;
    }
    leaveCall();
    caller.file->lines().jump(*target);
    caller.stretchFrom = target->line;
}

// A file's duplicate program numbers are listed when a call first enters it, under its name.
void ProgramLines::enter(const Level& callee, UndrawnCodes& undrawn) {
    undrawn.setFile(callee.file->name());
    callee.file->index().noteDuplicates(undrawn);
    undrawn.setFile(current().name());
    noteStretch();
    levels_[++depth_] = callee;
    callee.file->lines().jump(callee.body);
    if (observer_ != nullptr) {
        observer_->callStarted(depth_, callee.macroCall);
    }
}

void ProgramLines::endRun() {
    Level& level = levels_[depth_];
    noteStretch();
    if (level.runsLeft == 0) {
        endCall();
        return;
    }
    --level.runsLeft;
    level.file->lines().jump(level.body);
    level.stretchFrom = level.body.line;
    if (observer_ != nullptr) {
        observer_->runRepeated(depth_, level.macroCall);
    }
}

// The call's program ended without M99: at the end of its file, or at the main program's O line. The call
// then ends, whatever runs of it were left.
void ProgramLines::endCallWithoutReturn(UndrawnCodes& undrawn) {
    undrawn.setFile(current().name());
    undrawn.note("M99無し", levels_[depth_].opening);
    noteStretch();
    endCall();
}

void ProgramLines::endCall() {
    const NcLines::Mark back = levels_[depth_].back;
    leaveCall();
    current().lines().jump(back);
}

void ProgramLines::leaveCall() {
    if (observer_ != nullptr) {
        observer_->callEnded(depth_, levels_[depth_].macroCall);
    }
    --depth_;
}

// Called as the reading of the current level leaves its stretch of lines. Only the NC file's stretches are
// kept: they tell which lines after the main program's end ran.
void ProgramLines::noteStretch() {
    const Level& level = levels_[depth_];
    if (level.file != &nc_) {
        return;
    }
    std::int64_t& last = stretches_[level.stretchFrom];
    last = std::max(last, nc_.lines().lineNumber());
}

std::vector<std::pair<std::int64_t, std::int64_t>> ProgramLines::stretchesRun() const {
    std::vector<std::pair<std::int64_t, std::int64_t>> run(stretches_.begin(), stretches_.end());
    std::sort(run.begin(), run.end());
    return run;
}
