// What the order of the blocks is found by, read from one line piece or block: the number of an O line, the
// sequence number of a block, and its end, call or return code (M02, M30, M97, M98, M99) with P and L. The
// index pass and the run read them with these same functions, so both see the same programs and calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_set>

#include "nc/NcBlock.h"

// Numbers above this are never recorded, and a P above it names nothing: up to here a double holds every
// whole number exactly.
inline constexpr std::int64_t kMaxNumber = 999'999'999'999'999;
inline constexpr std::int64_t kNoNumber = -1;

// The number of an O line, whose first word is O (or ":", "o") with a whole number: O1000, O01000, :1000 and
// "(MAIN) O 1000" are all 1000. kNoNumber for every other piece, LinuxCNC's "o100 sub" included.
// `startsInComment`: the piece continues a comment left open by the piece before it.
std::int64_t ProgramNumberOf(const char* piece, std::size_t length, bool startsInComment);
// The sequence number of a block whose first word is N with a whole number (N0003 is 3) among `among`;
// kNoNumber otherwise. Blocks of other numbers cost no scan of the block.
std::int64_t SequenceNumberOf(const char* piece, std::size_t length, bool startsInComment,
                              const std::unordered_set<std::int64_t>& among);
// The sequence number of a block whose first word is N with a whole number, any number; kNoNumber otherwise.
std::int64_t SequenceNumberOf(const char* piece, std::size_t length, bool startsInComment);
// Whether the piece holds a block: blank lines, comments, "%" and the comment lines starting with "-" hold
// none, and neither does a lone ";".
bool HoldsBlock(const char* piece, std::size_t length, bool startsInComment);
// A P value as a program or sequence number: its whole part from 0 to kMaxNumber, else kNoNumber.
std::int64_t WholeNumberOf(double value);
// L as a count of runs: whole runs only; zero, negative and NaN run nothing, and a huge L stays huge.
std::int64_t RunsOf(double l);

struct ControlWords {
    int mCode = 0;  // 2, 30, 97, 98 or 99; 0 when the block holds none of them
    bool hasP = false;
    double p = 0.0;
    bool hasL = false;
    double l = 0.0;
};

// The control code of a block just parsed: the interpreter's own block during the run.
ControlWords ControlWordsOf(const NcBlock& block);

class ControlWordReader {
public:
    // The M97, M98 or M99 of the block in the piece, as the NC parser reads it, so one inside a comment does
    // not count. Only pieces that can hold one are parsed. The piece is trimmed in place first, as the run
    // does.
    ControlWords read(char* piece, std::size_t length, bool startsInComment);
    // As read, M02 and M30 included: every piece with an M is parsed.
    ControlWords readWithEnds(char* piece, std::size_t length, bool startsInComment);

private:
    ControlWords parse(char* piece, std::size_t length, bool startsInComment);

    // A block of its own: parsing here must never touch the interpreter's words.
    NcBlock block_;
};
