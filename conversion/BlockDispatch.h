// What happens to every block after the run has read, counted and cleaned it: it is interpreted, the tool
// report looks at the new state, and every entity writer whose predicate holds hands
// its entities to the sink. This is the one place where the interpreter and the writers meet.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion/ToolReport.h"
#include "conversion/UndrawnCodes.h"
#include "dxf/DrawingEntity.h"
#include "nc/NcAnalyzer.h"

// `block` is a cleaned line (TrimLine), ended by a NUL byte. `startsInComment`: the piece continues a comment
// that the piece before it, of the same line, left open. `fileLine` is the piece's line in its file, counting
// from 1 (the pieces of a long line share it); what the block leaves undrawn is noted under it. The entities
// name `ncLine`, the line of the NC file that the block stands for: `fileLine` itself, or for a block of
// another file the line of the call that led there.
void ProcessLine(NcAnalyzer& analyzer, ToolReport& report, EntitySink& sink, const char* block,
                 bool startsInComment, std::int64_t fileLine, std::int64_t ncLine, UndrawnCodes& undrawn);

// The text step alone: drops every trailing byte whose unsigned code is 32 or less (blanks, tabs, line ends)
// and ends the text with a NUL byte. Leading blanks stay. Returns the new length. The pieces of NcLines hold
// no control character, so the text ends where the NUL is put.
std::size_t TrimLine(char* piece, std::size_t length);
