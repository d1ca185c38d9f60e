#include "nc/MacroAddressText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace {

enum class Form { Integer, Tenths, Thousandths };

Form FormOf(char letter, bool repeatCount) {
    if (letter == 'G') {
        return Form::Tenths;
    }
    if (letter == 'K') {
        return repeatCount ? Form::Integer : Form::Thousandths;
    }
    return std::string_view("DHLMNOPST").find(letter) != std::string_view::npos ? Form::Integer
                                                                                : Form::Thousandths;
}

}  // namespace

// The value is scaled to a whole number of its last digit and written as digits, the point inserted.
std::size_t AddressValueText(char letter, double value, bool repeatCount, char* out, bool inch) {
    if (!(std::fabs(value) < kMaxAddressValue)) {
        return 0;
    }
    const Form form = FormOf(letter, repeatCount);
    const int decimals = form == Form::Integer ? 0 : form == Form::Tenths ? 1 : inch ? 4 : 3;
    const double scale = form == Form::Integer ? 1.0 : form == Form::Tenths ? 10.0 : inch ? 10000.0 : 1000.0;
    const auto scaled = static_cast<std::int64_t>(std::round(value * scale));
    const std::int64_t magnitude = scaled < 0 ? -scaled : scaled;
    std::int64_t unit = 1;
    for (int d = 0; d < decimals; ++d) {
        unit *= 10;
    }
    char* p = out;
    if (scaled < 0) {
        *p++ = '-';
    }
    p = std::to_chars(p, out + kAddressTextCapacity, magnitude / unit).ptr;
    std::int64_t fraction = magnitude % unit;
    if (form == Form::Thousandths || fraction != 0) {
        *p++ = '.';
    }
    for (; fraction != 0; fraction %= unit) {
        unit /= 10;
        *p++ = static_cast<char>('0' + fraction / unit);
    }
    return static_cast<std::size_t>(p - out);
}
