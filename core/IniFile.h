// Initialisation files: "[section]" lines with "key=value" entries beneath them.
//
// The rules are those of the program's original platform, so a settings file written by hand reads the same:
// section and key names match without regard to ASCII letter case, blanks around "=" and at either end of a
// line are dropped, one pair of enclosing quotes ('...' or "...") is stripped from a value, and a value is
// cut to 1023 bytes. Bytes are kept as they are (code page 932 passes through). Writing changes one entry and
// keeps every other line byte for byte; the lines it adds end in CR LF. A file that already holds the value
// is not written again.
//
// A file that is not a regular file (a symbolic link, a FIFO, a device, a folder) or is larger than 1 MiB is
// treated as missing, without waiting on it and without following it: nothing is read from it and nothing is
// written to it. A changed file is written aside, as ".<name>.plotra-XXXXXX", and renamed into place.
#pragma once

#include <string>
#include <string_view>

inline constexpr std::size_t kMaxIniValue = 1023;

// The value of `key` in the first section named `section`; empty when the file, the section or the key is
// missing.
std::string ReadIniValue(const std::string& file, std::string_view section, std::string_view key);

// Sets `key` in `section` to `value`, creating the file, the section or the entry as needed. False, with the
// file left as it was, when it cannot be read or written.
bool WriteIniValue(const std::string& file, std::string_view section, std::string_view key,
                   std::string_view value);
