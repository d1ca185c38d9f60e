// The numbers a control takes. A Fanuc control reads at most eight digits for a coordinate: ±99,999.999 mm in
// thousandths, ±9,999.9999 inch in ten-thousandths. A block with a larger number stops the machine with an
// alarm, so its words mean nothing: the block parser leaves such a block out whole, as a program that never
// ran, instead of drawing an arc of radius 1e53 whose size swamps the drawing's extents, scale and time.
#pragma once

#include <string_view>

#include "nc/BlockScan.h"

// How the numbers of a block are read before its own G codes: the unit in force, calculator-type decimal
// point input, and whether a canned cycle is in force (where K is a repeat count, not a length).
struct NumberReading {
    bool inch;
    bool calculatorDecimals;
    bool cycleInForce;
};

// Whether a length word of the scanned `line` is beyond the eight digits, in the unit the block's own G20 or
// G21 leaves in force: a number without a point beyond 99,999,999 least increments, one with a point (or any
// under calculator-type input) beyond 99,999.999 mm or 9,999.9999 inch. Only a block whose scan found a long
// length word (`longLength`) can hold one.
bool HoldsNumberBeyondRange(std::string_view line, const ScannedBlock& block, const NumberReading& reading);
