// Reading a decimal number out of text as the C library's conversion would, but whatever the process locale
// says, and without the hexadecimal and infinity forms that NC text never means.
#pragma once

#include <string_view>

// Skips everything before the first sign, point or digit, then reads the longest prefix that forms a decimal
// number: optional sign, digits with an optional point, optional exponent. 0.0 when there is none ("-",
// ".", "-Y5"). Text out of the double range never gives infinity: an overflow becomes the largest finite
// double of its sign, an underflow below the smallest denormal becomes zero.
double ReadDecimalNumber(std::string_view text);
