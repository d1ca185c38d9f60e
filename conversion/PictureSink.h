// A picture of the drawing that a run draws beside the DXF file: it takes the same entity stream, learns
// which inside arcs the tool does not fit, and gets the information block when the run completes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "dxf/DrawingEntity.h"
#include "dxf/InfoBlock.h"

class PictureSink : public EntitySink {
public:
    // An arc or circle already added that lies on the inside of a compensated stretch and is tighter than
    // the tool's radius: one of those behind the report's "確認！工具φ".
    virtual void markTightArc(const DrawingEntity& arc) = 0;
    // After the last NC line of a completed run, with the information block of the DXF file (nothing for a
    // program that never left the origin). False when the picture could not be completed, after its one
    // message.
    virtual bool complete(const std::optional<InfoBlockLayout>& info) = 0;
    // Before every block of another file than the NC file, and before the first block back in the NC file:
    // where the entities it draws come from, since they name the NC file's line. `otherFile` is the path of
    // the block's file, empty for the NC file; `fileLine` the block's line in it. A picture that shows no
    // sources ignores it.
    virtual void setSource(std::string_view /*otherFile*/, std::int64_t /*fileLine*/) {}
};
