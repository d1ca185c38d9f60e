// The holes one canned-cycle block drills. A repeat count drills the row's holes one after the other: under
// G91 each further hole lies one step (the block's X and Y increments) beyond the one before, or, for an angle
// increment under G16, turned on by that angle about the centre of the polar coordinates; under G90 the step
// is 0 and the same hole is drilled again.
#pragma once

#include <cmath>

struct HoleRow {
    int count = 0;
    // Where the tool stands when the block begins; it reaches the first hole at this Z.
    double fromX = 0.0;
    double fromY = 0.0;
    double fromZ = 0.0;
    double firstX = 0.0;
    double firstY = 0.0;
    double stepX = 0.0;
    double stepY = 0.0;
    double rLevel = 0.0;
    double bottom = 0.0;
    // Where the tool goes after each hole: the initial level under G98, the R level under G99.
    double returnLevel = 0.0;
    int cycleCode = 0;
    double turn = 0.0;  // radians a hole
    double centreX = 0.0;
    double centreY = 0.0;

    double x(int index) const {
        if (turn == 0.0) {
            return firstX + stepX * index;
        }
        return centreX + (firstX - centreX) * std::cos(turn * index) - (firstY - centreY) * std::sin(turn * index);
    }
    double y(int index) const {
        if (turn == 0.0) {
            return firstY + stepY * index;
        }
        return centreY + (firstX - centreX) * std::sin(turn * index) + (firstY - centreY) * std::cos(turn * index);
    }
};
