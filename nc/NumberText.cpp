#include "nc/NumberText.h"

#include <charconv>

#include "nc/AsciiClass.h"

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

double NumberTextValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && !StartsNumber(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && IsSign(text[i])) {
        negative = text[i] == '-';
        ++i;
    }
    // A number needs a digit right here or right after a point: "-", "." and "-Y5" read as 0.
    const bool digitFirst = i < text.size() && IsAsciiDigit(text[i]);
    const bool pointFirst = i + 1 < text.size() && text[i] == '.' && IsAsciiDigit(text[i + 1]);
    if (!digitFirst && !pointFirst) {
        return 0.0;
    }
    // Number texts of a line hold at most 255 characters, well inside the range of a double.
    double value = 0.0;
    std::from_chars(text.data() + i, text.data() + text.size(), value, std::chars_format::fixed);
    return negative ? -value : value;
}
