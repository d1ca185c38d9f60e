#include "conversion/UnreachedLines.h"

#include <algorithm>

#include "conversion/ControlWords.h"

std::int64_t UnreachedLines::next() {
    char piece[TextFile::kMaxPiece + 1];
    while (const std::size_t length = done_ ? 0 : lines_.next(piece)) {
        const std::int64_t line = lines_.lineNumber();
        if (line == lastLine_) {
            continue;
        }
        if (ProgramNumberOf(piece, length, lines_.startsInComment()) != kNoNumber) {
            done_ = true;
            break;
        }
        if (!ran(line) && HoldsBlock(piece, length, lines_.startsInComment())) {
            lastLine_ = line;
            return line;
        }
    }
    return 0;
}

// Lines are asked in ascending order, so the stretches are passed once.
bool UnreachedLines::ran(std::int64_t line) {
    for (; stretchesBefore_ < run_.size() && run_[stretchesBefore_].first <= line; ++stretchesBefore_) {
        lastRun_ = std::max(lastRun_, run_[stretchesBefore_].second);
    }
    return line <= lastRun_;
}
