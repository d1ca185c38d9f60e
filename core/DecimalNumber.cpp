#include "core/DecimalNumber.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

#include "core/AsciiClass.h"

namespace {

bool StartsNumber(char c) {
    return c == '+' || c == '-' || c == '.' || IsAsciiDigit(c);
}

// The span of a number: sign, digits with an optional point, optional exponent.
struct NumberSpan {
    const char* digits = nullptr;  // after the sign; null when the text holds no number
    const char* end = nullptr;     // one past the last character that belongs to the number
    bool negative = false;
    std::int64_t decimalMagnitude = 0;  // about log10 of the value, only used to tell overflow from underflow
};

const char* SkipDigits(const char* p, const char* end) {
    while (p != end && IsAsciiDigit(*p)) {
        ++p;
    }
    return p;
}

std::int64_t SaturatedExponent(const char* digits, const char* end, bool negative) {
    constexpr std::int64_t kLimit = 1'000'000'000;
    std::int64_t value = 0;
    for (const char* p = digits; p != end && value < kLimit; ++p) {
        value = value * 10 + (*p - '0');
    }
    return negative ? -value : value;
}

// The exponent part at `p`, when there is one with digits; `p` is moved past it.
std::int64_t ScanExponent(const char*& p, const char* end) {
    if (p == end || (*p != 'e' && *p != 'E')) {
        return 0;
    }
    const char* q = p + 1;
    bool negative = false;
    if (q != end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    const char* digitsEnd = SkipDigits(q, end);
    if (digitsEnd == q) {
        return 0;
    }
    p = digitsEnd;
    return SaturatedExponent(q, digitsEnd, negative);
}

// The longest prefix of [text, end) that forms a number.
NumberSpan ScanNumber(const char* text, const char* end) {
    NumberSpan span;
    const char* p = text;
    if (p != end && (*p == '+' || *p == '-')) {
        span.negative = *p == '-';
        ++p;
    }
    const char* integerBegin = p;
    const char* integerEnd = SkipDigits(p, end);
    const char* fractionBegin = integerEnd;
    const char* fractionEnd = integerEnd;
    if (integerEnd != end && *integerEnd == '.') {
        fractionBegin = integerEnd + 1;
        fractionEnd = SkipDigits(fractionBegin, end);
    }
    if (integerBegin == integerEnd && fractionBegin == fractionEnd) {
        return span;
    }
    p = fractionEnd;
    const std::int64_t exponent = ScanExponent(p, end);

    const char* firstSignificant = integerBegin;
    while (firstSignificant != integerEnd && *firstSignificant == '0') {
        ++firstSignificant;
    }
    std::int64_t magnitude = integerEnd - firstSignificant;
    if (magnitude == 0) {
        const char* q = fractionBegin;
        while (q != fractionEnd && *q == '0') {
            ++q;
        }
        magnitude = -(q - fractionBegin);
    }
    span.digits = integerBegin;
    span.end = p;
    span.decimalMagnitude = magnitude + exponent;
    return span;
}

}  // namespace

double ReadDecimalNumber(std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && !StartsNumber(*p)) {
        ++p;
    }
    const NumberSpan span = ScanNumber(p, end);
    if (span.digits == nullptr) {
        return 0.0;
    }
    // from_chars takes no sign of its own here and would read "inf" or hex on its own, so it only ever sees
    // the scanned digits.
    double value = 0.0;
    const auto result = std::from_chars(span.digits, span.end, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        value = span.decimalMagnitude > 0 ? std::numeric_limits<double>::max() : 0.0;
    }
    return span.negative ? -value : value;
}
