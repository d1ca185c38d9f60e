#include "conversion/BlockLimit.h"

#include <charconv>
#include <system_error>

std::optional<std::int64_t> ParseBlockLimit(std::string_view text) {
    // from_chars takes a leading '-', which the check for at least 1 then refuses.
    std::int64_t limit = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, limit);
    if (error != std::errc() || stop != end || limit < 1) {
        return std::nullopt;
    }
    return limit;
}
