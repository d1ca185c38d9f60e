#include "core/RealText.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

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

// Reads "d.ddde-XX" (or "de-XX") into its digits without trailing zeros and its decimal exponent; returns
// the count of digits.
int ReadScientific(const char* text, const char* end, char (&digits)[kSignificantDigits], int& exponent) {
    int count = 0;
    const char* p = text;
    for (; p != end && *p != 'e'; ++p) {
        if (*p != '.' && count < kSignificantDigits) {
            digits[count++] = *p;
        }
    }
    ++p;  // the 'e'
    if (p != end && *p == '+') {
        ++p;
    }
    std::from_chars(p, end, exponent);
    while (count > 1 && digits[count - 1] == '0') {
        --count;
    }
    return count;
}

// The digits of a positive finite `x` rounded to 15 significant digits, whatever the locale.
int SignificantDigits(double x, char (&digits)[kSignificantDigits], int& exponent) {
    char text[kMaxTextLength];
    // The shortest text that reads back as `x` is cheap to find. When it has at most 15 digits it is also
    // the rounding to 15 digits: 15-digit decimals lie further apart than a normal double's half step, so
    // no other one can be as close to `x`. Subnormal doubles have fewer bits and always take the long way.
    std::to_chars_result result{text, {}};
    long shortestDigits = kSignificantDigits + 1;
    if (x >= std::numeric_limits<double>::min()) {
        result = std::to_chars(text, text + sizeof text, x, std::chars_format::scientific);
        const auto mantissa =
            static_cast<const char*>(std::memchr(text, 'e', static_cast<std::size_t>(result.ptr - text))) -
            text;
        shortestDigits = mantissa > 1 ? mantissa - 1 : 1;
    }
    if (shortestDigits > kSignificantDigits) {
        result =
            std::to_chars(text, text + sizeof text, x, std::chars_format::scientific, kSignificantDigits - 1);
    }
    return ReadScientific(text, result.ptr, digits, exponent);
}

// Writes the text of `x` and returns one past its last character.
char* WriteRealText(char* out, double x) {
    // Callers never pass infinity or NaN; "0" keeps the output a number all the same.
    if (x == 0.0 || !std::isfinite(x)) {
        *out++ = '0';
        return out;
    }
    char digits[kSignificantDigits];
    int exponent = 0;
    const int count = SignificantDigits(std::fabs(x), digits, exponent);
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
