#include "conversion/ControlWords.h"

#include <algorithm>
#include <cstring>
#include <limits>
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

// The whole number that `text` starts with, digits only; kNoNumber when it starts otherwise or goes on with
// a decimal point.
std::int64_t WholeNumberAt(std::string_view text) {
    std::int64_t value = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
        value = value * 10 + (text[digits] - '0');
        if (value > kMaxNumber) {
            return kNoNumber;
        }
    }
    return digits == 0 || (digits < text.size() && text[digits] == '.') ? kNoNumber : value;
}

// The whole number of the block's first word when that word is `letter`, and, given `among`, one of those.
// Most pieces are told apart by their first character, and a number not among those wanted by reading it,
// without scanning the block.
std::int64_t FirstWordNumber(char letter, const char* piece, std::size_t length, bool startsInComment,
                             const std::unordered_set<std::int64_t>* among = nullptr) {
    const std::string_view line(piece, strnlen(piece, length));
    const std::size_t start = BlockStart(line, startsInComment);
    if (start == line.size()) {
        return kNoNumber;
    }
    const char first = line[start];
    if (first != letter && first != letter + ('a' - 'A') && !(letter == 'O' && first == ':')) {
        return kNoNumber;
    }
    if (among != nullptr) {
        const std::size_t number = line.find_first_not_of(" \t", start + 1);
        if (number == std::string_view::npos || among->count(WholeNumberAt(line.substr(number))) == 0) {
            return kNoNumber;
        }
    }
    ScannedBlock block;
    ScanBlock(line, startsInComment, block);
    if (DropsTheWords(block.end) || block.count == 0) {
        return kNoNumber;
    }
    // The scanned number is [+-]digits[.digits]: a sign or a point makes it no whole number.
    return WholeNumberAt(line.substr(block.words[0].begin, block.words[0].length));
}

}  // namespace

std::int64_t ProgramNumberOf(const char* piece, std::size_t length, bool startsInComment) {
    return FirstWordNumber('O', piece, length, startsInComment);
}

std::int64_t SequenceNumberOf(const char* piece, std::size_t length, bool startsInComment,
                              const std::unordered_set<std::int64_t>& among) {
    return FirstWordNumber('N', piece, length, startsInComment, &among);
}

std::int64_t SequenceNumberOf(const char* piece, std::size_t length, bool startsInComment) {
    return FirstWordNumber('N', piece, length, startsInComment);
}

bool HoldsBlock(const char* piece, std::size_t length, bool startsInComment) {
    const std::string_view line(piece, strnlen(piece, length));
    const std::size_t start = BlockStart(line, startsInComment);
    return start < line.size() && static_cast<unsigned char>(line[start]) > ' ' &&
           std::string_view("%;-").find(line[start]) == std::string_view::npos;
}

std::int64_t RunsOf(double l) {
    constexpr double kMost = static_cast<double>(std::numeric_limits<std::int64_t>::max());
    if (!(l >= 1.0)) {
        return 0;
    }
    return l >= kMost ? std::numeric_limits<std::int64_t>::max() : static_cast<std::int64_t>(l);
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
    return MayHoldCallOrReturn(piece, length) ? parse(piece, length, startsInComment) : ControlWords{};
}

ControlWords ControlWordReader::readWithEnds(char* piece, std::size_t length, bool startsInComment) {
    const bool mayHoldM =
        std::memchr(piece, 'M', length) != nullptr || std::memchr(piece, 'm', length) != nullptr;
    return mayHoldM ? parse(piece, length, startsInComment) : ControlWords{};
}

ControlWords ControlWordReader::parse(char* piece, std::size_t length, bool startsInComment) {
    TrimLine(piece, length);
    block_.setOpenComment(startsInComment);
    block_.load(SString(piece));
    return ControlWordsOf(block_);
}
