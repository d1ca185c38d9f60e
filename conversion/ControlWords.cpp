#include "conversion/ControlWords.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "conversion/BlockDispatch.h"
#include "nc/BlockScan.h"

namespace {

// A value of 97, 98 or 99 needs an M or m and a 9 somewhere after it, also when written as 98.0, 098 or
// 97.9999999999999999. Most lines have neither and are never parsed.
bool MayHoldCallOrReturn(const char* piece, std::size_t length) {
    const auto* upper = static_cast<const char*>(std::memchr(piece, 'M', length));
    const auto* lower = static_cast<const char*>(std::memchr(piece, 'm', length));
    const char* m = upper == nullptr ? lower : lower == nullptr ? upper : std::min(upper, lower);
    return m != nullptr && std::memchr(m, '9', static_cast<std::size_t>(piece + length - m)) != nullptr;
}

// The whole number of the block's first word when that word is `letter`; most pieces are told apart by
// their first character, without scanning them.
std::int64_t FirstWordNumber(char letter, const char* piece, std::size_t length, bool startsInComment) {
    const std::string_view line(piece, strnlen(piece, length));
    const std::size_t start = BlockStart(line, startsInComment);
    if (start == line.size()) {
        return kNoNumber;
    }
    const char first = line[start];
    if (first != letter && first != letter + ('a' - 'A') && !(letter == 'O' && first == ':')) {
        return kNoNumber;
    }
    ScannedBlock block;
    ScanBlock(line, startsInComment, block);
    if (DropsTheWords(block.end) || block.count == 0) {
        return kNoNumber;
    }
    const std::string_view number = line.substr(block.words[0].begin, block.words[0].length);
    std::int64_t value = 0;
    for (const char digit : number) {
        if (digit < '0' || digit > '9') {
            return kNoNumber;
        }
        value = value * 10 + (digit - '0');
        if (value > kMaxNumber) {
            return kNoNumber;
        }
    }
    return value;
}

}  // namespace

std::int64_t ProgramNumberOf(const char* piece, std::size_t length, bool startsInComment) {
    return FirstWordNumber('O', piece, length, startsInComment);
}

std::int64_t SequenceNumberOf(const char* piece, std::size_t length, bool startsInComment) {
    return FirstWordNumber('N', piece, length, startsInComment);
}

std::int64_t WholeNumberOf(double value) {
    if (!(value >= 0.0 && value <= static_cast<double>(kMaxNumber))) {
        return kNoNumber;
    }
    return static_cast<std::int64_t>(value);
}

ControlWords ControlWordsOf(const NcBlock& block) {
    if (!block.isPresent(Slot::M)) {
        return {};
    }
    const double m = block.wordValue(Slot::M);
    if (m != 2.0 && m != 30.0 && m != 97.0 && m != 98.0 && m != 99.0) {
        return {};
    }
    return ControlWords{static_cast<int>(m), block.isPresent(Slot::P), block.wordValue(Slot::P),
                        block.isPresent(Slot::L), block.wordValue(Slot::L)};
}

ControlWords ControlWordReader::read(char* piece, std::size_t length, bool startsInComment) {
    if (!MayHoldCallOrReturn(piece, length)) {
        return {};
    }
    TrimLine(piece, length);
    block_.setOpenComment(startsInComment);
    block_.load(SString(piece));
    return ControlWordsOf(block_);
}
