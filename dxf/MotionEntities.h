// The entities of one interpreted NC block: rapid and feed lines, arcs, full circles, the polylines of helices
// and of arcs out of the XY plane, and canned-cycle holes. Each writer reads the analyzer's state after the
// block and hands its entities to the sink, tagged with the block's line in the NC file; which writers run for a block is the
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

// A helix or an arc out of the XY plane, as the polyline the machine follows.
bool WritePolyline(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// The holes of a canned-cycle block, four entities each: the positioning rapid (left out when the tool is
// already over the hole), the rapid between the current Z and the R level, the feed line from the R level to
// the bottom and the circle at the bottom.
bool WriteHoles(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine);

// The entities WriteArc and WriteCircle hand over, for those who look at arcs apart from the stream.
DrawingEntity ArcEntity(const NcAnalyzer& analyzer, std::int64_t fileLine);
DrawingEntity CircleEntity(const NcAnalyzer& analyzer, std::int64_t fileLine);
// Whichever of arc, circle or polyline the block's arc move drew.
DrawingEntity ArcMoveEntity(const NcAnalyzer& analyzer, std::int64_t fileLine);
