// The number text that follows an address letter, found without allocating; core/DecimalNumber.h reads its
// value.
#pragma once

#include <string_view>

// The number text at `position` of `line`: after spaces and any other characters up to the first sign, point
// or digit, an optional sign, one character whatever it is, digits, and a point with digits when the
// character after the sign was not a point. "0.0" when the line ends before a sign, point or digit.
std::string_view FindNumberText(std::string_view line, int position);
