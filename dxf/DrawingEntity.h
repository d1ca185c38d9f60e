// One entity of the drawing as the motion writers produce it, before anyone turns it into DXF text or a
// picture, and the interface of whoever takes the stream of them. The DXF file is one taker; the window's
// preview and the SVG picture are others, so all of them show exactly the same drawing.
#pragma once

#include <cstdint>

#include "nc/ArcPath.h"
#include "nc/Point3.h"

// The six layers of the drawing, in the order of the header template's layer table.
enum class DrawingLayer : std::uint8_t {
    Rapid,
    Compensated,
    Uncompensated,
    CannedCycle,
    CentreLine,
    Information
};
inline constexpr int kDrawingLayerCount = 6;

// A polyline is an arc out of the XY plane or a helix, drawn through its vertices where the machine moves.
enum class EntityKind : std::uint8_t { Line, Arc, Circle, Polyline };

struct DrawingEntity {
    EntityKind kind;
    DrawingLayer layer;
    // The NC line whose block drew the entity: its line in the file, counting from 1.
    std::int64_t fileLine;
    // A line runs from `start` to `end`.
    Point3 start;
    Point3 end;
    // An arc or circle: its centre (Z where it lies), radius, and for an arc the angles in degrees, the arc
    // running counter-clockwise from `startAngle` to `endAngle`.
    Point3 centre;
    double radius;
    double startAngle;
    double endAngle;
    // A polyline: its arc; `start`, `end` and `radius` are also set, to the arc's ends and radius.
    ArcPath path;
};

class EntitySink {
public:
    virtual ~EntitySink() = default;
    // False when the entity could not be kept (the taker has reported why).
    virtual bool add(const DrawingEntity& entity) = 0;
};
