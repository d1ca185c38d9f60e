#include "nc/NumberText.h"

#include "core/AsciiClass.h"

namespace {

constexpr std::string_view kNoNumber = "0.0";

bool IsSign(char c) {
    return c == '-' || c == '+';
}

bool StartsNumber(char c) {
    return IsSign(c) || c == '.' || IsAsciiDigit(c);
}

}  // namespace

std::string_view FindNumberText(std::string_view line, int position) {
    const std::size_t end = line.size();
    std::size_t i = position < 0 ? 0 : static_cast<std::size_t>(position);
    while (i < end && !StartsNumber(line[i])) {
        ++i;
    }
    if (i >= end) {
        return kNoNumber;
    }
    const std::size_t begin = i;
    if (IsSign(line[i])) {
        ++i;
        if (i == end) {
            return line.substr(begin, 1);
        }
    }
    // The character after a sign is taken whatever it is.
    const bool pointTaken = line[i] == '.';
    ++i;
    while (i < end && IsAsciiDigit(line[i])) {
        ++i;
    }
    if (!pointTaken && i < end && line[i] == '.') {
        ++i;
        while (i < end && IsAsciiDigit(line[i])) {
            ++i;
        }
    }
    return line.substr(begin, i - begin);
}
