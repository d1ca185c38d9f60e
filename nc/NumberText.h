// Where the number of an address word ends, found without allocating; core/DecimalNumber.h reads its value.
#pragma once

#include <cstddef>
#include <string_view>

// The length of the number at the very start of `text`: an optional sign, digits, and a point with digits
// after it, holding at least one digit or the point ("." and "-." are numbers of value 0). 0 when no number
// starts there ("-", "-Y5", "E3").
std::size_t NumberLength(std::string_view text);
