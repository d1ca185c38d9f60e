// A picture of the drawing that a run draws beside the DXF file: it takes the same entity stream, learns
// which inside arcs the tool does not fit, and gets the information block when the run completes.
#pragma once

#include <optional>

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
};
