// Where the programs of one file start, which of them its M98, G65 and G66 blocks call, which program the run
// starts in, and where the blocks that its jumps name by sequence number stand, found by reading the file
// before the run reads its lines. It keeps one entry per program number, per called number and per block a
// jump names, never anything per line, so its memory does not grow with the length of the file.
//
// The main program is where the run starts: the lines before the first O line when one of them holds a
// block, else the first program that is not a subprogram placed before it. A program is such a subprogram
// when some call names its number and it reaches no M30 or M02 before its M99 or the next O line; so
// "O0001 ... M98 P1 ... M30" is the main program although P1 names it, and runs where it stands.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "conversion/ControlWords.h"
#include "conversion/NcLines.h"
#include "conversion/SequenceNumbers.h"
#include "conversion/UndrawnCodes.h"
#include "core/TextFile.h"

class SubprogramIndex {
public:
    // False when the open file certainly holds no call, return or jump: no M with a 9 after it on its line,
    // no G65 or G66. Most programs call nothing, and this raw look through the file proves it at little more
    // than the cost of reading it. The file's reading position does not move.
    static bool mayHoldCalls(const TextFile& file);
    // Reads the file from the start at `lines`, which is left at its end.
    void read(NcLines& lines);

    // True when the file holds an M98, G65 or G66 block at all; without one the main program leaves out no
    // definition.
    bool hasCalls() const { return hasCalls_; }
    // True when some M98, G65 or G66 block names `number`: its definitions are left out where they stand.
    bool isNamed(std::int64_t number) const { return named_.count(number) != 0; }
    // The line of the main program's O line, 0 when the main program has none. Its O line is never left
    // out, and a definition before it ends there at the latest.
    std::int64_t mainProgramLine() const { return mainProgramLine_; }
    // Lists the O lines whose number an earlier O line of the file already has ("O番号の重複": the first
    // definition is the one called), once per file.
    void noteDuplicates(UndrawnCodes& undrawn);

    struct Body {
        NcLines::Mark at;      // the line after the O line
        int program;           // the definition's blocks, as SequenceNumbers counts them
        std::int64_t opening;  // the O line
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
        sequences_.record(lines, {number}, named_, mainProgramLine_);
    }

private:
    std::unordered_map<std::int64_t, Body> bodies_;
    std::unordered_set<std::int64_t> named_;
    SequenceNumbers sequences_;
    bool hasCalls_ = false;
    std::int64_t mainProgramLine_ = 0;
    std::int64_t duplicates_ = 0;
    std::int64_t firstDuplicateLine_ = 0;
};
