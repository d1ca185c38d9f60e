// The information block written once after the last NC line: the two axes through the program origin across
// the drawing's extents, and below the drawing three texts with the X extents, the Y extents, and the total
// machining time with a scale figure that sets the text height.
#pragma once

#include "dxf/DxfOutput.h"
#include "nc/NcAnalyzer.h"

// Appends the two centre lines and the three texts with one append. Writes nothing and returns false for a
// program that never left the origin; otherwise returns whether the append succeeded.
bool WriteInfoBlock(const NcAnalyzer& analyzer, DxfOutput& output);
