// The DXF entities of one interpreted NC block: rapid and feed lines, arcs, full circles and the marks of a
// canned-cycle hole. Each writer reads the analyzer's state after the block and appends one entity (three for
// a hole) to the output with a single append; which writers run for a block is the caller's choice.
//
// Every writer returns true when its entities reached the file, false when it had nothing to write or the
// append failed (the output then reports the failure itself).
#pragma once

#include "dxf/DxfOutput.h"
#include "nc/NcAnalyzer.h"

// A LINE on the rapid layer from the end of the move back to its start; nothing for a move of zero length.
bool WriteRapidLine(const NcAnalyzer& analyzer, DxfOutput& output);

// The same for a feed move, on the layer of the compensation state.
bool WriteFeedLine(const NcAnalyzer& analyzer, DxfOutput& output);

// An ARC at the Z of the last linear move, its angles in counter-clockwise order.
bool WriteArc(const NcAnalyzer& analyzer, DxfOutput& output);

// A CIRCLE at the Z of the last linear move.
bool WriteCircle(const NcAnalyzer& analyzer, DxfOutput& output);

// The hole: a rapid LINE between the R level and the return level, a LINE from the R level to the bottom
// and a CIRCLE at the bottom.
bool WriteCycleMarks(const NcAnalyzer& analyzer, DxfOutput& output);
