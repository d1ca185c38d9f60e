#include "conversion/SubprogramWords.h"

#include <algorithm>
#include <cstring>

#include "conversion/BlockDispatch.h"

namespace {

// A value of 98 or 99 needs an M (the parser upper-cases a leading m) and a 9 somewhere after it, also when
// written as 98.0, 098 or 97.9999999999999999. Most lines have neither and are never parsed.
bool MayHoldM98OrM99(const char* piece, std::size_t length) {
    const auto* upper = static_cast<const char*>(std::memchr(piece, 'M', length));
    const auto* lower = static_cast<const char*>(std::memchr(piece, 'm', length));
    const char* m = upper == nullptr ? lower : lower == nullptr ? upper : std::min(upper, lower);
    return m != nullptr && std::memchr(m, '9', static_cast<std::size_t>(piece + length - m)) != nullptr;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::int64_t ProgramNumberOf(const char* piece, std::size_t length) {
    std::size_t i = 0;
    while (i < length && (piece[i] == ' ' || piece[i] == '\t')) {
        ++i;
    }
    if (i + 1 >= length || (piece[i] != 'O' && piece[i] != 'o') || !IsDigit(piece[i + 1])) {
        return kNoProgramNumber;
    }
    std::int64_t number = 0;
    for (++i; i < length && IsDigit(piece[i]); ++i) {
        number = number * 10 + (piece[i] - '0');
        if (number > kMaxProgramNumber) {
            return kNoProgramNumber;
        }
    }
    return number;
}

SubprogramWords SubprogramWordReader::read(char* piece, std::size_t length) {
    if (!MayHoldM98OrM99(piece, length)) {
        return {};
    }
    TrimLine(piece, length);
    block_.load(SString(piece));
    if (!block_.isPresent(Slot::M)) {
        return {};
    }
    const double m = block_.wordValue(Slot::M);
    if (m != 98.0 && m != 99.0) {
        return {};
    }
    return SubprogramWords{m == 98.0 ? 98 : 99, block_.isPresent(Slot::P), block_.wordValue(Slot::P),
                           block_.isPresent(Slot::L), block_.wordValue(Slot::L)};
}
