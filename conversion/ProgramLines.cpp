#include "conversion/ProgramLines.h"

#include <algorithm>
#include <limits>

std::int64_t ProgramLines::runsOf(double l) {
    constexpr double kMost = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (!(l >= 1.0)) {
        return 0;
    }
    return l >= kMost ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(l);
}

ProgramLines::ProgramLines(ProgramFile& nc, ProgramSearch& search) : nc_(nc), search_(search) {
    levels_[0].file = &nc;
    levels_[0].program = kMainProgram;
    levels_[0].stretchFrom = 1;
}

std::size_t ProgramLines::next(char (&piece)[TextFile::kMaxPiece + 1]) {
    while (!stopped_) {
        NcLines& lines = current().lines();
        const std::size_t length = lines.next(piece);
        if (length == 0) {
            if (lines.readFailed()) {
                failed_ = &current();
                stopped_ = true;
            } else if (depth_ == 0) {
                stopped_ = true;
            } else {
                // A subprogram without M99 runs to the end of its file, and its call then ends.
                noteStretch();
                endCall();
            }
            continue;
        }
        // Inside a call an O line is an ordinary line: the call runs to the first M99, as its definition
        // does.
        if (depth_ == 0 && nc_.index().hasCalls() &&
            nc_.index().isNamed(ProgramNumberOf(piece, length, lines.startsInComment()))) {
            skipDefinition(piece);
            continue;
        }
        return length;
    }
    return 0;
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

void ProgramLines::skipDefinition(char (&piece)[TextFile::kMaxPiece + 1]) {
    NcLines& lines = nc_.lines();
    while (std::size_t length = lines.next(piece)) {
        if (reader_.read(piece, length, lines.startsInComment()).mCode == 99) {
            return;
        }
    }
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
    const std::int64_t runs = words.hasL ? runsOf(words.l) : target.count;
    if (runs > 0) {
        enter(Level{found.file, found.program, runs - 1, found.body, caller.lines().mark(), line,
                    found.body.line, false});
    }
}

ProgramLines::MacroCallResult ProgramLines::callMacro(double number, std::int64_t runs) {
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
                found.body.line, true});
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
    const std::int64_t runs = words.hasL ? runsOf(words.l) : 1;
    if (runs > 0) {
        enter(Level{&file, levels_[depth_].program, runs - 1, *target, back, line, target->line, false});
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

void ProgramLines::enter(const Level& callee) {
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
