// What happens to every line piece after the run has read and counted it: the text is cleaned and
// interpreted, the tool report looks at the new state, and every DXF writer whose predicate holds draws.
// This is the one place where the interpreter and the writers meet.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion/ToolReport.h"
#include "conversion/UndrawnCodes.h"
#include "dxf/DxfOutput.h"
#include "nc/NcAnalyzer.h"

// `piece` holds `length` bytes and one more writable byte after them; the text is cut in place. What the
// block leaves undrawn is noted under `fileLine`, the piece's line in the NC file counting from 1.
void ProcessLine(NcAnalyzer& analyzer, ToolReport& report, DxfOutput& output, char* piece, std::size_t length,
                 std::int64_t fileLine, UndrawnCodes& undrawn);

// The text step alone: cuts the piece at its first NUL byte and drops every trailing byte whose unsigned code
// is 32 or less (blanks, tabs, line ends, control characters). Leading blanks stay. Returns the new length.
std::size_t TrimLine(char* piece, std::size_t length);
