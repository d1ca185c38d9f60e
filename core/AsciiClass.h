// ASCII character classes for NC text and number text. The C library's classes depend on the locale and
// take negative values of a signed char as undefined, and NC text carries code-page-932 bytes; these never
// look past ASCII.
#pragma once

constexpr bool IsAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

constexpr char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
