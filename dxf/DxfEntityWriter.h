// The DXF file as a taker of the entity stream: every entity becomes its group lines in the output.
#pragma once

#include <string_view>

#include "dxf/DrawingEntity.h"
#include "dxf/DxfOutput.h"

// The layer's name as the code-page-932 bytes the file carries.
std::string_view DxfLayerName(DrawingLayer layer);

class DxfEntityWriter final : public EntitySink {
public:
    explicit DxfEntityWriter(DxfOutput& output) : output_(output) {}

    bool add(const DrawingEntity& entity) override;

private:
    DxfOutput& output_;
};
