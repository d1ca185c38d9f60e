#include "conversion/ProgramLines.h"

#include <limits>

namespace {

// L as a count of runs: whole runs only; zero, negative and NaN run nothing, and a huge L stays huge.
std::int64_t RunsOf(double l) {
    constexpr double kMost = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (!(l >= 1.0)) {
        return 0;
    }
    return l >= kMost ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(l);
}

}  // namespace

std::size_t ProgramLines::next(char (&piece)[TextFile::kMaxPiece + 1]) {
    for (;;) {
        const std::size_t length = lines_.next(piece);
        if (length == 0) {
            // A subprogram without M99 runs to the end of the file, and its call then ends.
            if (depth_ == 0 || lines_.readFailed()) {
                return 0;
            }
            endCall();
            continue;
        }
        // Inside a call an O line is an ordinary line: the call runs to the first M99, as its definition
        // does.
        if (depth_ == 0 && index_.hasCalls() &&
            index_.isNamed(ProgramNumberOf(piece, length, lines_.startsInComment()))) {
            skipDefinition(piece);
            continue;
        }
        return length;
    }
}

void ProgramLines::skipDefinition(char (&piece)[TextFile::kMaxPiece + 1]) {
    while (std::size_t length = lines_.next(piece)) {
        if (reader_.read(piece, length, lines_.startsInComment()).mCode == 99) {
            return;
        }
    }
}

void ProgramLines::follow(char* piece, std::size_t length, UndrawnCodes& undrawn) {
    if (!index_.hasCalls()) {
        return;
    }
    const SubprogramWords words = reader_.read(piece, length, lines_.startsInComment());
    if (words.mCode == 98) {
        call(words, undrawn);
    } else if (words.mCode == 99 && depth_ > 0) {
        if (words.hasP) {
            undrawn.note("M99 P", lines_.lineNumber());
        }
        endRepeat();
    }
}

void ProgramLines::call(const SubprogramWords& words, UndrawnCodes& undrawn) {
    const std::int64_t line = lines_.lineNumber();
    if (!words.hasP) {
        undrawn.note("M98 P無し", line);
        return;
    }
    const SubprogramIndex::Target target = index_.target(words.p);
    const NcLines::Mark* body = index_.bodyOf(target.number);
    if (body == nullptr) {
        undrawn.note("M98 呼び出し先無し", line);
        return;
    }
    if (depth_ > 0 && calls_[depth_ - 1].number == target.number) {
        undrawn.note("M98 自己呼び出し", line);
        return;
    }
    if (depth_ == kMaxDepth) {
        undrawn.note("M98 5重以上", line);
        return;
    }
    const std::int64_t runs = words.hasL ? RunsOf(words.l) : target.count;
    if (runs == 0) {
        return;
    }
    calls_[depth_++] = Call{target.number, runs - 1, *body, lines_.mark()};
    lines_.jump(*body);
}

void ProgramLines::endRepeat() {
    Call& innermost = calls_[depth_ - 1];
    if (innermost.repeatsLeft == 0) {
        endCall();
        return;
    }
    --innermost.repeatsLeft;
    lines_.jump(innermost.body);
}

void ProgramLines::endCall() {
    --depth_;
    lines_.jump(calls_[depth_].back);
}
