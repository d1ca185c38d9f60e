#include "conversion/SubprogramWords.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "conversion/BlockDispatch.h"
#include "nc/BlockScan.h"

namespace {

// A value of 98 or 99 needs an M or m and a 9 somewhere after it, also when written as 98.0, 098 or
// 97.9999999999999999. Most lines have neither and are never parsed.
bool MayHoldM98OrM99(const char* piece, std::size_t length) {
    const auto* upper = static_cast<const char*>(std::memchr(piece, 'M', length));
    const auto* lower = static_cast<const char*>(std::memchr(piece, 'm', length));
    const char* m = upper == nullptr ? lower : lower == nullptr ? upper : std::min(upper, lower);
    return m != nullptr && std::memchr(m, '9', static_cast<std::size_t>(piece + length - m)) != nullptr;
}

}  // namespace

std::int64_t ProgramNumberOf(const char* piece, std::size_t length, bool startsInComment) {
    const std::string_view line(piece, strnlen(piece, length));
    const std::size_t start = BlockStart(line, startsInComment);
    // Most pieces are told apart by their first character, without scanning them.
    if (start == line.size() || (line[start] != 'O' && line[start] != 'o' && line[start] != ':')) {
        return kNoProgramNumber;
    }
    ScannedBlock block;
    ScanBlock(line, startsInComment, block);
    if (DropsTheWords(block.end) || block.count == 0) {
        return kNoProgramNumber;
    }
    const std::string_view number = line.substr(block.words[0].begin, block.words[0].length);
    std::int64_t value = 0;
    for (const char digit : number) {
        if (digit < '0' || digit > '9') {
            return kNoProgramNumber;
        }
        value = value * 10 + (digit - '0');
        if (value > kMaxProgramNumber) {
            return kNoProgramNumber;
        }
    }
    return value;
}

SubprogramWords SubprogramWordReader::read(char* piece, std::size_t length, bool startsInComment) {
    if (!MayHoldM98OrM99(piece, length)) {
        return {};
    }
    TrimLine(piece, length);
    block_.setOpenComment(startsInComment);
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
