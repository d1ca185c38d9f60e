// Where the subprograms of an NC file start and which of them M98 blocks call, found in one pass over the
// file before the run reads its lines. It keeps one entry per program number and per called number, never
// anything per line, so its memory does not grow with the length of the file.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "conversion/NcLines.h"
#include "conversion/SubprogramWords.h"

class SubprogramIndex {
public:
    // Reads the NC file once; false after its one message when the file cannot be opened or read.
    bool build(const std::string& ncFile);

    // True when the file holds an M98 block at all; without one the run follows no calls.
    bool hasCalls() const { return hasCalls_; }
    // True when some M98 block names `number`: its definitions are left out where they stand.
    bool isNamed(std::int64_t number) const { return named_.count(number) != 0; }
    // The line after the O line of the number's first definition, or null when the file has none.
    const NcLines::Mark* bodyOf(std::int64_t number) const;

    struct Target {
        std::int64_t number = kNoProgramNumber;
        std::int64_t count = 1;  // how often P alone asks for the subprogram
    };
    // The subprogram a P value names. Above 9999, when the file has no subprogram of that whole number, the
    // digits in front of the last four are the count: P51002 is O1002 five times.
    Target target(double p) const;

private:
    void index(NcLines& lines);

    std::unordered_map<std::int64_t, NcLines::Mark> bodies_;
    std::unordered_set<std::int64_t> named_;
    bool hasCalls_ = false;
};
