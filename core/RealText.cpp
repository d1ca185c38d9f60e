#include "core/RealText.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr int kSignificantDigits = 15;
// Longest text: "-0.000" and 15 digits, or "-d.ddddddddddddddE-308".
constexpr std::size_t kMaxTextLength = 32;

char* WriteExponent(char* out, int exponent) {
    if (exponent < 0) {
        *out++ = '-';
        exponent = -exponent;
    }
    return std::to_chars(out, out + 4, exponent).ptr;
}

// Writes the text of `x` and returns one past its last character.
char* WriteRealText(char* out, double x) {
    // Callers never pass infinity or NaN; "0" keeps the output a number all the same.
    if (x == 0.0 || !std::isfinite(x)) {
        *out++ = '0';
        return out;
    }
    // "d.dddddddddddddde-XXX": the 15 significant digits correctly rounded, whatever the locale.
    char scientific[kMaxTextLength];
    const auto result = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(x),
                                      std::chars_format::scientific, kSignificantDigits - 1);
    char digits[kSignificantDigits];
    digits[0] = scientific[0];
    std::memcpy(digits + 1, scientific + 2, kSignificantDigits - 1);
    const char* exponentText = scientific + 2 + (kSignificantDigits - 1) + 1;
    if (*exponentText == '+') {
        ++exponentText;
    }
    int exponent = 0;
    std::from_chars(exponentText, result.ptr, exponent);

    int count = kSignificantDigits;
    while (digits[count - 1] == '0') {
        --count;
    }
    // With x = 0.d1d2...dn times 10 to the power e, fixed notation covers e from -3 to 15.
    const int e = exponent + 1;
    if (x < 0) {
        *out++ = '-';
    }
    if (e > 15 || e < -3) {
        *out++ = digits[0];
        if (count > 1) {
            *out++ = '.';
            std::memcpy(out, digits + 1, static_cast<std::size_t>(count - 1));
            out += count - 1;
        }
        *out++ = 'E';
        return WriteExponent(out, exponent);
    }
    if (e <= 0) {
        *out++ = '0';
        *out++ = '.';
        std::memset(out, '0', static_cast<std::size_t>(-e));
        out += -e;
        std::memcpy(out, digits, static_cast<std::size_t>(count));
        return out + count;
    }
    if (count <= e) {
        std::memcpy(out, digits, static_cast<std::size_t>(count));
        out += count;
        std::memset(out, '0', static_cast<std::size_t>(e - count));
        return out + (e - count);
    }
    std::memcpy(out, digits, static_cast<std::size_t>(e));
    out += e;
    *out++ = '.';
    std::memcpy(out, digits + e, static_cast<std::size_t>(count - e));
    return out + (count - e);
}

}  // namespace

std::string RealText(double x) {
    std::string text;
    AppendRealText(text, x);
    return text;
}

void AppendRealText(std::string& out, double x) {
    char text[kMaxTextLength];
    const char* end = WriteRealText(text, x);
    out.append(text, static_cast<std::size_t>(end - text));
}
