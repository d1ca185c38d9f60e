// The information block written once after the last NC line: the two axes through the program origin across
// the drawing's extents, and below the drawing three texts with the X extents, the Y extents, and the total
// machining time with a scale figure that sets the text height.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "dxf/DxfOutput.h"
#include "nc/NcAnalyzer.h"

// Where the block's entities go, for the DXF file and for pictures of the same drawing.
struct InfoBlockLayout {
    // The extents of the tool path; the X axis runs from xmin to xmax at Y 0, the Y axis from ymin to ymax.
    double xmin;
    double ymin;
    double xmax;
    double ymax;
    double textHeight;  // a whole number, at least 1
    // The three texts in their order, each starting at X xmin and Y textY[i].
    std::array<std::string, 3> texts;
    std::array<double, 3> textY;
};

// Nothing for a program that never left the origin.
std::optional<InfoBlockLayout> LayOutInfoBlock(const NcAnalyzer& analyzer);

// Appends the two centre lines and the three texts with one append. Writes nothing and returns false for a
// program that never left the origin; otherwise returns whether the append succeeded.
bool WriteInfoBlock(const NcAnalyzer& analyzer, DxfOutput& output);
bool WriteInfoBlock(const std::optional<InfoBlockLayout>& block, DxfOutput& output);
