// Where the programs of one file start, which of them its M98, G65 and G66 blocks call, and where the blocks that its
// jumps name by sequence number stand, found by reading the file before the run reads its lines. It keeps one
// entry per program number, per called number and per block a jump names, never anything per line, so its
// memory does not grow with the length of the file.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "conversion/ControlWords.h"
#include "conversion/NcLines.h"
#include "conversion/SequenceNumbers.h"

class SubprogramIndex {
public:
    // Reads the NC file; false after its one message when the file cannot be opened or read. A file without
    // an M and a 9 on one line holds no call, return or jump and is not read at all.
    bool build(const std::string& ncFile);
    // Reads the file from the start at `lines`, which is left at its end.
    void read(NcLines& lines);

    // True when the file holds an M98, G65 or G66 block at all; without one the main program leaves out no
    // definition.
    bool hasCalls() const { return hasCalls_; }
    // True when some M98, G65 or G66 block names `number`: its definitions are left out where they stand.
    bool isNamed(std::int64_t number) const { return named_.count(number) != 0; }

    struct Body {
        NcLines::Mark at;  // the line after the O line
        int program;       // the definition's blocks, as SequenceNumbers counts them
    };
    // The number's first definition, or null when the file has none.
    const Body* bodyOf(std::int64_t number) const;

    struct Target {
        std::int64_t number = kNoNumber;
        std::int64_t count = 1;  // how often P alone asks for the subprogram
    };
    // The subprogram a P value names. Above 9999, when the file has no subprogram of that whole number, the
    // digits in front of the last four are the count: P51002 is O1002 five times.
    Target target(double p) const;

    // Block N`number` of `program`, as SequenceNumbers::find; only numbers that M97 P or M99 P of this file
    // name were recorded by the reading, `recordSequenceNumber` reads the file again for any other.
    const NcLines::Mark* findSequence(std::int64_t number, int program, std::int64_t afterLine) const {
        return sequences_.find(number, program, afterLine);
    }
    bool recorded(std::int64_t number) const { return sequences_.recorded(number); }
    void recordSequenceNumber(NcLines& lines, std::int64_t number) {
        sequences_.record(lines, {number}, named_);
    }

private:
    std::unordered_map<std::int64_t, Body> bodies_;
    std::unordered_set<std::int64_t> named_;
    SequenceNumbers sequences_;
    bool hasCalls_ = false;
};
