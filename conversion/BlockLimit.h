// A block limit as the user writes it, on the command line or in the window's settings alike.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The limit that `text` gives: decimal digits only, at least 1. Nothing for a sign, a blank, any other
// character, 0 or a number beyond the 64-bit range.
std::optional<std::int64_t> ParseBlockLimit(std::string_view text);
