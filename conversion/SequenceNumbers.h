// Where the blocks that jumps name by sequence number (M97 P, M99 P) stand in one file, found by reading the
// file once more. Only numbers that some jump names are recorded, so a program numbered on every line costs
// no memory per line.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "conversion/NcLines.h"

// The blocks a program is searched in: those of the definition that starts at the file's O line number
// `segment` (counting from 1) up to the next O line; for kMainProgram every block outside the definitions
// that calls name (the main program's own O line is none), and those after a definition's first M99 or
// from the main program's O line on, where reading the main program goes on.
inline constexpr int kMainProgram = -1;

class SequenceNumbers {
public:
    bool recorded(std::int64_t number) const { return recorded_.count(number) != 0; }
    // Reads the file from the start at `lines` and records the blocks of those `numbers` not recorded yet.
    // `named`: the numbers whose definitions the main program leaves out; `mainProgramLine`: the main
    // program's O line, or 0.
    void record(NcLines& lines, const std::unordered_set<std::int64_t>& numbers,
                const std::unordered_set<std::int64_t>& named, std::int64_t mainProgramLine);

    // Block N`number` of `program`: the first after `afterLine`, else the program's first; null when none.
    const NcLines::Mark* find(std::int64_t number, int program, std::int64_t afterLine) const;

private:
    struct Entry {
        std::int64_t number;
        int segment;
        bool inMain;
        NcLines::Mark at;
    };
    std::vector<Entry> entries_;  // by number, then by line
    std::unordered_set<std::int64_t> recorded_;
};
