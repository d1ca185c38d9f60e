// The entities of one interpreted NC block: rapid and feed lines, arcs, full circles and the marks of a
// canned-cycle hole. Each writer reads the analyzer's state after the block and hands its entity (three for a
// hole) to the sink, tagged with the block's line in the NC file; which writers run for a block is the
// caller's choice.
//
// Every writer returns true when the sink took its entities, false when it had nothing to hand over or the
// sink refused (the sink then reports why itself).
#pragma once

#include <cstdint>

#include "dxf/DrawingEntity.h"
#include "nc/NcAnalyzer.h"

// A line on the rapid layer; nothing for a move of zero length.
bool WriteRapidLine(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// The same for a feed move, on the layer of the compensation state.
bool WriteFeedLine(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// An arc at the Z of the last linear move, its angles in counter-clockwise order.
bool WriteArc(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// A full circle at the Z of the last linear move.
bool WriteCircle(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// The hole: a rapid line between the R level and the return level, a line from the R level to the bottom
// and a circle at the bottom.
bool WriteCycleMarks(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// The entities WriteArc and WriteCircle hand over, for those who look at arcs apart from the stream.
DrawingEntity ArcEntity(const NcAnalyzer& analyzer, std::int64_t fileLine);
DrawingEntity CircleEntity(const NcAnalyzer& analyzer, std::int64_t fileLine);
