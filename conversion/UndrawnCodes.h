// What a run met in the program but did not draw: codes outside the dialect (inch mode, coordinate
// rotation, macros, ...), arcs whose R could not be honoured, calls and jumps that were not carried out,
// lines that never ran, and text the parser never reached. A checker of NC programs must never draw a wrong
// path silently, so after a completed run these are listed at the end of the report, one line per kind in
// the order first met. A program that draws completely lists nothing, and its report is unchanged.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/RunHost.h"

inline constexpr std::string_view kUndrawnHeading = "作図していないコード";

// Where a line of the list says its kind was first met: the file as the list names it (empty for the NC
// file) and the line in it.
struct FirstMet {
    std::string file;
    std::int64_t line;
};
// Read back from a line of the report, for a window that goes where a listed line points; nothing for any
// other line.
std::optional<FirstMet> FirstMetIn(std::string_view reportLine);

class UndrawnCodes {
public:
    // The file of the lines noted from now on: empty for the NC file, else its name as the report shows it.
    void setFile(std::string_view name) { file_ = name; }
    // One more occurrence of `kind` at line `lineNumber` (in its file, counting from 1).
    void note(std::string_view kind, std::int64_t lineNumber);
    bool empty() const { return kinds_.empty(); }
    void clear() { kinds_.clear(); }

    // The heading, then "    <kind> ×<count> (最初: <line>行目)" per kind, "(最初: <file> <line>行目)" for a
    // kind first met in another file than the NC file; nothing when empty.
    void report(RunHost& host) const;

private:
    struct Kind {
        std::string name;
        std::int64_t count;
        std::int64_t firstLine;
        std::string firstFile;
    };
    // Few kinds exist, so a linear search beats any map.
    std::vector<Kind> kinds_;
    std::string_view file_;
};
