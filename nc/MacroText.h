// Reading the tokens of macro text: runs of letters and digits, keywords in either case.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/AsciiClass.h"

inline std::size_t LetterRunEnd(std::string_view text, std::size_t i) {
    while (i < text.size() && IsAsciiLetter(text[i])) {
        ++i;
    }
    return i;
}

inline std::size_t DigitsEnd(std::string_view text, std::size_t i) {
    while (i < text.size() && IsAsciiDigit(text[i])) {
        ++i;
    }
    return i;
}

// Whether `word` is the upper-case `keyword` written in either case.
inline bool IsKeyword(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (AsciiUpper(word[i]) != keyword[i]) {
            return false;
        }
    }
    return true;
}
