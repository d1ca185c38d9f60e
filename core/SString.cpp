#include "core/SString.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "core/DecimalNumber.h"

namespace {

// A moved-from text points here instead of owning an array, so moving never allocates and never throws.
char movedFromText[1] = {'\0'};

void FreeText(char* chars) {
    if (chars != movedFromText) {
        delete[] chars;
    }
}

char* CopyText(const char* text, std::size_t length) {
    char* chars = new char[length + 1];
    std::memcpy(chars, text, length);
    chars[length] = '\0';
    return chars;
}

char* CopyText(const char* text) {
    return text == nullptr ? CopyText("", 0) : CopyText(text, std::strlen(text));
}

// The first occurrence of `key` in `text`, or null. An empty key matches at the start.
const char* FindKey(const char* text, const char* key) {
    return std::strstr(text, key);
}

// The decimal digits of a rounded magnitude: at most 19 significant ones, then zeros up to `count`.
struct IntegerDigits {
    char significant[19] = {};
    std::size_t count = 0;  // all digits of the integer
    char at(std::size_t i) const { return i < sizeof significant ? significant[i] : '0'; }
};

// 19 significant digits of `value` times ten to the power `shift`, for an integral result of 1 or more.
IntegerDigits DigitsOf(long double value, std::int64_t shift) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 18);
    // buffer holds "d.dddddddddddddddddde+X"
    IntegerDigits digits;
    digits.significant[0] = buffer[0];
    std::memcpy(digits.significant + 1, buffer + 2, 18);
    const char* exponentText = buffer + 2 + 18 + 1;
    if (*exponentText == '+') {
        ++exponentText;
    }
    int exponent = 0;
    std::from_chars(exponentText, result.ptr, exponent);
    digits.count = static_cast<std::size_t>(exponent + shift + 1);
    return digits;
}

// Ten to the power n in extended precision; exact up to 10^27, from a table because powl is slow.
long double PowerOfTen(std::size_t n) {
    static constexpr auto kExact = [] {
        std::array<long double, 28> powers{};
        long double power = 1.0L;
        for (long double& p : powers) {
            p = power;
            power *= 10.0L;
        }
        return powers;
    }();
    return n < kExact.size() ? kExact[n] : std::pow(10.0L, static_cast<long double>(n));
}

// Writes `value` with `decimals` digits after the point into a new exact-size array.
char* FixedDecimalText(double value, int decimals) {
    const std::size_t n = decimals > 0 ? static_cast<std::size_t>(decimals) : 0;
    // Infinity is written as the largest finite double so that the text still reads back as a number; NaN as
    // zero. The NC side never produces either.
    if (std::isnan(value)) {
        value = 0.0;
    } else if (std::isinf(value)) {
        value = std::copysign(std::numeric_limits<double>::max(), value);
    }
    const std::size_t sign = std::signbit(value) ? 1 : 0;
    const double magnitude = std::fabs(value);
    // Extended precision with the default rounding mode: a tie goes to the even integer.
    const long double scaled =
        magnitude == 0.0 ? 0.0L : std::nearbyint(static_cast<long double>(magnitude) * PowerOfTen(n));
    IntegerDigits digits;
    if (scaled == 0.0L) {
        digits.count = 0;
    } else if (scaled < 1e19L) {
        // The usual case, and exact: an integral long double below 10^19 fits in 64 bits.
        const auto end = std::to_chars(digits.significant, digits.significant + sizeof digits.significant,
                                       static_cast<std::uint64_t>(scaled));
        digits.count = static_cast<std::size_t>(end.ptr - digits.significant);
    } else if (std::isinf(scaled)) {
        // Too large for long double: the significant digits are those of the value itself, shifted.
        digits = DigitsOf(magnitude, static_cast<std::int64_t>(n));
    } else {
        digits = DigitsOf(scaled, 0);
    }
    const std::size_t integerDigits = digits.count == 0 ? 1 : (digits.count > n ? digits.count - n : 0);
    const std::size_t size = sign + integerDigits + 1 + n;
    char* chars = new char[size + 1];
    char* out = chars;
    if (sign != 0) {
        *out++ = '-';
    }
    if (digits.count == 0) {
        *out++ = '0';
        *out++ = '.';
        std::memset(out, '0', n);
    } else {
        const std::size_t leadingZeros = digits.count < n ? n - digits.count : 0;
        std::size_t next = 0;
        for (std::size_t i = 0; i < integerDigits; ++i) {
            *out++ = digits.at(next++);
        }
        *out++ = '.';
        std::memset(out, '0', leadingZeros);
        out += leadingZeros;
        while (next < digits.count) {
            *out++ = digits.at(next++);
        }
    }
    chars[size] = '\0';
    return chars;
}

}  // namespace

SString::SString() : chars_(CopyText("", 0)) {}

SString::SString(const char* text) : chars_(CopyText(text)) {}

SString::SString(const char* text, int width, char fill) {
    const std::size_t length = text == nullptr ? 0 : std::strlen(text);
    if (width <= 0 || static_cast<std::size_t>(width) <= length) {
        chars_ = CopyText(text);
        return;
    }
    const std::size_t size = static_cast<std::size_t>(width);
    chars_ = new char[size + 1];
    if (length > 0) {
        std::memcpy(chars_, text, length);
    }
    std::memset(chars_ + length, fill, size - length);
    chars_[size] = '\0';
}

SString::SString(const std::string& text) : chars_(CopyText(text.c_str())) {}

SString::SString(double value, int decimals) : chars_(FixedDecimalText(value, decimals)) {}

SString::SString(const SString& other) : chars_(CopyText(other.chars_)) {}

SString::SString(SString&& other) noexcept : chars_(std::exchange(other.chars_, movedFromText)) {}

SString::~SString() {
    FreeText(chars_);
}

SString& SString::operator=(const SString& other) {
    assign(other);
    return *this;
}

SString& SString::operator=(SString&& other) noexcept {
    std::swap(chars_, other.chars_);
    return *this;
}

SString& SString::operator=(const char* text) {
    assign(text);
    return *this;
}

void SString::assign(const char* text) {
    // The copy is made first: `text` may point into our own characters.
    char* chars = CopyText(text);
    FreeText(chars_);
    chars_ = chars;
}

void SString::assign(const SString& other) {
    if (&other != this) {
        assign(other.chars_);
    }
}

int SString::length() const {
    return static_cast<int>(std::strlen(chars_));
}

SString operator+(const SString& left, const SString& right) {
    const std::size_t leftLength = std::strlen(left.chars_);
    const std::size_t rightLength = std::strlen(right.chars_);
    SString result;
    char* chars = new char[leftLength + rightLength + 1];
    std::memcpy(chars, left.chars_, leftLength);
    std::memcpy(chars + leftLength, right.chars_, rightLength + 1);
    FreeText(std::exchange(result.chars_, chars));
    return result;
}

SString operator-(const SString& left, const SString& right) {
    return left - right.chars_;
}

SString operator-(const SString& left, const char* right) {
    const char* found = right == nullptr || *right == '\0' ? nullptr : FindKey(left.chars_, right);
    if (found == nullptr) {
        return left;
    }
    const std::size_t before = static_cast<std::size_t>(found - left.chars_);
    const char* after = found + std::strlen(right);
    const std::size_t afterLength = std::strlen(after);
    SString result;
    char* chars = new char[before + afterLength + 1];
    std::memcpy(chars, left.chars_, before);
    std::memcpy(chars + before, after, afterLength + 1);
    FreeText(std::exchange(result.chars_, chars));
    return result;
}

SString& SString::operator-=(const char* text) {
    *this = *this - text;
    return *this;
}

SString SString::ofChar(char c) {
    const char text[2] = {c, '\0'};
    return SString(text);
}

SString SString::mid(int start, int count) const {
    const std::int64_t length = std::strlen(chars_);
    std::int64_t first = start;
    std::int64_t size = count;
    if (first > length) {
        return SString();
    }
    if (first < 1) {
        first = 1;
    }
    if (size > length) {
        size = length;
    }
    if (first + size > length) {
        size = length - first + 1;
    }
    if (size <= 0) {
        return SString();
    }
    SString result;
    FreeText(std::exchange(result.chars_, CopyText(chars_ + first - 1, static_cast<std::size_t>(size))));
    return result;
}

SString SString::from(const SString& key, int count) const {
    const char* found = FindKey(chars_, key.chars_);
    if (found == nullptr) {
        return SString();
    }
    const std::int64_t length = std::strlen(chars_);
    const std::int64_t position = found - chars_ + 1;
    std::int64_t size = count;
    if (position + size > length) {
        size = length - position + 1;
    }
    return mid(static_cast<int>(position), static_cast<int>(size));
}

double SString::readNumber(const SString& key) const {
    // Reading from the key to the end needs no copy of that tail.
    const char* p = FindKey(chars_, key.chars_);
    return p == nullptr ? 0.0 : ReadDecimalNumber(p);
}
