#include "nc/NumberText.h"

#include "core/AsciiClass.h"

namespace {

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsAsciiDigit(text[i])) {
        ++i;
    }
    return i;
}

}  // namespace

std::size_t NumberLength(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        ++i;
    }
    const std::size_t digitsBegin = i;
    i = SkipDigits(text, i);
    bool point = false;
    if (i < text.size() && text[i] == '.') {
        point = true;
        i = SkipDigits(text, i + 1);
    }
    return point || i > digitsBegin ? i : 0;
}
