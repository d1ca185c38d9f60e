// The text of one line of an NC file, read back from the file when the user asks for it: the preview keeps
// only line numbers, never the lines themselves.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The line `lineNumber` (counting from 1, lines ended as the run ends them) with its line end, cut to
// `maxLength` bytes; nothing when the file cannot be read or is shorter.
std::optional<std::string> NcLineText(const std::string& path, std::int64_t lineNumber,
                                      std::size_t maxLength = 1000);
