#include "dxf/MotionEntities.h"

#include <cmath>
#include <utility>

#include "core/Vemo.h"

namespace {

// A twist drill's 118-degree point is |z| x tan 59 degrees wide in radius at the depth |z|, so the hole of a
// drilling cycle is marked no wider than the point that reaches that depth.
constexpr double kDrillPointSlope = 1.6643;

DrawingLayer CompensationLayer(const NcAnalyzer& analyzer) {
    return analyzer.isCompensationOn() ? DrawingLayer::Compensated : DrawingLayer::Uncompensated;
}

bool IsDrillingCycle(int cycleCode) {
    return cycleCode == 81 || cycleCode == 83 || cycleCode == 73;
}

DrawingEntity Line(DrawingLayer layer, std::int64_t fileLine, Point3 start, Point3 end) {
    DrawingEntity line{};
    line.kind = EntityKind::Line;
    line.layer = layer;
    line.fileLine = fileLine;
    line.start = start;
    line.end = end;
    return line;
}

DrawingEntity Circle(DrawingLayer layer, std::int64_t fileLine, Point3 centre, double radius) {
    DrawingEntity circle{};
    circle.kind = EntityKind::Circle;
    circle.layer = layer;
    circle.fileLine = fileLine;
    circle.centre = centre;
    circle.radius = radius;
    return circle;
}

bool WriteMoveLine(const NcAnalyzer& analyzer, EntitySink& sink, DrawingLayer layer, std::int64_t fileLine) {
    const Point3 start{analyzer.startX(), analyzer.startY(), analyzer.startZ()};
    const Point3 end{analyzer.endX(), analyzer.endY(), analyzer.endZ()};
    if (start.x == end.x && start.y == end.y && start.z == end.z) {
        return false;
    }
    return sink.add(Line(layer, fileLine, start, end));
}

}  // namespace

bool WriteRapidLine(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    return WriteMoveLine(analyzer, sink, DrawingLayer::Rapid, fileLine);
}

bool WriteFeedLine(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    return WriteMoveLine(analyzer, sink, CompensationLayer(analyzer), fileLine);
}

DrawingEntity ArcEntity(const NcAnalyzer& analyzer, std::int64_t fileLine) {
    DrawingEntity arc =
        Circle(CompensationLayer(analyzer), fileLine,
               {analyzer.arcCentreX(), analyzer.arcCentreY(), analyzer.endZ()}, analyzer.arcRadius());
    arc.kind = EntityKind::Arc;
    arc.startAngle = analyzer.startAngle(false);
    arc.endAngle = analyzer.endAngle(false);
    // DXF arcs run counter-clockwise from the start angle to the end angle.
    if (analyzer.motionCode() == 2) {
        std::swap(arc.startAngle, arc.endAngle);
    }
    return arc;
}

DrawingEntity CircleEntity(const NcAnalyzer& analyzer, std::int64_t fileLine) {
    return Circle(CompensationLayer(analyzer), fileLine,
                  {analyzer.arcCentreX(), analyzer.arcCentreY(), analyzer.endZ()}, analyzer.arcRadius());
}

bool WriteArc(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    return sink.add(ArcEntity(analyzer, fileLine));
}

bool WriteCircle(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    return sink.add(CircleEntity(analyzer, fileLine));
}

DrawingEntity PolylineEntity(const NcAnalyzer& analyzer, std::int64_t fileLine) {
    const ArcPath& path = analyzer.arcPath();
    DrawingEntity polyline = Line(CompensationLayer(analyzer), fileLine, path.start, path.end);
    polyline.kind = EntityKind::Polyline;
    polyline.radius = path.radius;
    polyline.path = path;
    return polyline;
}

DrawingEntity ArcMoveEntity(const NcAnalyzer& analyzer, std::int64_t fileLine) {
    if (analyzer.isPolylineArc()) {
        return PolylineEntity(analyzer, fileLine);
    }
    return analyzer.isPartialArc() ? ArcEntity(analyzer, fileLine) : CircleEntity(analyzer, fileLine);
}

bool WritePolyline(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    return sink.add(PolylineEntity(analyzer, fileLine));
}

// Each hole: the rapid to it at the current Z, the rapid between the current Z and the R level, the feed from
// the R level to the bottom and the circle at the bottom. The tool then waits at the return level.
bool WriteHoles(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    const HoleRow& row = analyzer.holes();
    double radius = analyzer.toolDiameter() * 0.5;
    if (IsDrillingCycle(row.cycleCode)) {
        radius = MinOf(radius, std::fabs(row.bottom) * kDrillPointSlope);
    }
    Point3 at{row.fromX, row.fromY, row.fromZ};
    bool written = true;
    for (int index = 0; index < row.count; ++index) {
        const double x = row.x(index);
        const double y = row.y(index);
        if (at.x != x || at.y != y) {
            written = sink.add(Line(DrawingLayer::Rapid, fileLine, at, {x, y, at.z})) && written;
        }
        // The DXF file has always carried both hole lines with the R level as their first point.
        const Point3 rLevel{x, y, row.rLevel};
        const Point3 bottom{x, y, row.bottom};
        written = sink.add(Line(DrawingLayer::Rapid, fileLine, {x, y, at.z}, rLevel)) && written;
        written = sink.add(Line(DrawingLayer::CannedCycle, fileLine, bottom, rLevel)) && written;
        written = sink.add(Circle(DrawingLayer::CannedCycle, fileLine, bottom, radius)) && written;
        if (!written) {
            return false;
        }
        at = {x, y, row.returnLevel};
    }
    return written;
}
