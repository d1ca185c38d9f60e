// The XY rectangle a drawing covers in the top view, as pictures of it need it to fit their view: lines by
// their ends, arcs by their ends and the quadrant points they pass, circles whole, polylines by every vertex. Points are taken as
// PictureCoordinate makes them.
#pragma once

#include "dxf/DrawingEntity.h"

// Pictures show coordinates up to a million kilometres in millimetres; anything beyond (a program whose
// numbers saturated) is drawn at that limit, so that no picture has to handle infinities.
inline constexpr double kPictureLimit = 1e12;
double PictureCoordinate(double value);

struct DrawingExtents {
    double minX = 0.0;
    double minY = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
    bool empty = true;

    void add(double x, double y);
    void add(const DrawingEntity& entity);
    void add(const DrawingExtents& other);
};

// The counter-clockwise sweep of an arc from `startAngle` to `endAngle` in degrees, in (0, 360]: equal
// angles make a whole turn.
double ArcSweep(double startAngle, double endAngle);
