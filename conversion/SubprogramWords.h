// What subprograms are found by, read from one line piece: the number of an O line, and the M98 or M99 of a
// block with its P and L. The index pass and the run read pieces with these same functions, so both see the
// same subprograms and calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "nc/NcBlock.h"

// Program numbers above this are never recorded, and a P above it names nothing: up to here a double holds
// every whole number exactly.
inline constexpr std::int64_t kMaxProgramNumber = 999'999'999'999'999;
inline constexpr std::int64_t kNoProgramNumber = -1;

// The number of an O line, whose first word is O (or ":", "o") with a whole number: O1000, O01000, :1000 and
// "(MAIN) O 1000" are all 1000. kNoProgramNumber for every other piece, LinuxCNC's "o100 sub" included.
// `startsInComment`: the piece continues a comment left open by the piece before it.
std::int64_t ProgramNumberOf(const char* piece, std::size_t length, bool startsInComment);

struct SubprogramWords {
    int mCode = 0;  // 98 or 99; 0 when the block holds neither
    bool hasP = false;
    double p = 0.0;
    bool hasL = false;
    double l = 0.0;
};

class SubprogramWordReader {
public:
    // The M98 or M99 of the block in the piece, as the NC parser reads it, so one inside a comment does not
    // count. Only pieces that can hold one are parsed. The piece is trimmed in place first, as the run does.
    SubprogramWords read(char* piece, std::size_t length, bool startsInComment);

private:
    // A block of its own: parsing here must never touch the interpreter's words.
    NcBlock block_;
};
