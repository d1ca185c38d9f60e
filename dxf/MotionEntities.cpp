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

bool WriteCycleMarks(const NcAnalyzer& analyzer, EntitySink& sink, std::int64_t fileLine) {
    const double x = analyzer.holeX();
    const double y = analyzer.holeY();
    const Point3 bottom{x, y, analyzer.holeZ()};
    const Point3 rLevel{x, y, analyzer.rLevel()};
    const Point3 returnLevel{x, y, analyzer.returnLevel()};
    double radius = analyzer.toolDiameter() * 0.5;
    if (IsDrillingCycle(analyzer.cycleCode())) {
        radius = MinOf(radius, std::fabs(bottom.z) * kDrillPointSlope);
    }
    // The DXF file has always carried both hole lines with the R level as their first point.
    const bool rapid = sink.add(Line(DrawingLayer::Rapid, fileLine, returnLevel, rLevel));
    const bool feed = sink.add(Line(DrawingLayer::CannedCycle, fileLine, bottom, rLevel));
    return sink.add(Circle(DrawingLayer::CannedCycle, fileLine, bottom, radius)) && rapid && feed;
}
