// How a macro value is written back into an NC address, so that the block parser reads it as the control
// would: lengths (A B C E F I J K Q R U V W X Y Z) with a point, rounded half away from zero to 0.001, or
// 0.0001 in inch (the double value × 1000 is rounded, so 1.0005 gives 1.001) and trailing zeros dropped; G
// to one decimal; the other letters and a repeat count K to an integer.
#pragma once

#include <cstddef>

// A value of 1e15 or more in size has more digits than any address holds.
inline constexpr double kMaxAddressValue = 1e15;
inline constexpr std::size_t kAddressTextCapacity = 24;

// Writes the text of `value` after the upper-case `letter` into `out`, which holds kAddressTextCapacity
// characters, and gives its length; 0 when the value is out of range.
std::size_t AddressValueText(char letter, double value, bool repeatCount, char* out, bool inch);
