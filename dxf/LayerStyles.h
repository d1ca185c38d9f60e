// How pictures of the drawing show the six layers: the colour and line type that the header template's
// layer table gives each of them, so that a picture looks like the DXF file in a CAD program.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dxf/DrawingEntity.h"

struct LayerStyle {
    std::uint32_t rgb;  // 0xRRGGBB
    bool dashed;
};

using LayerStyles = std::array<LayerStyle, kDrawingLayerCount>;

// The styles of the bundled header template: rapid moves red and dashed, compensated cutting magenta,
// uncompensated cutting green, canned cycles blue, the axes grey, the texts cyan.
LayerStyles DefaultLayerStyles();

// The styles the template's LAYER table declares; a layer it leaves out (or a template that cannot be read)
// keeps its default style. Nothing is reported: the run reports an unreadable template itself.
LayerStyles ReadLayerStyles(const std::string& hedderFile);

// The RGB value of an AutoCAD colour index as seen on a dark background (7 is white). A negative index,
// which marks a layer switched off, gives the colour of its absolute value.
std::uint32_t AciColour(int index);
