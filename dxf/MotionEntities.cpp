#include "dxf/MotionEntities.h"

#include <cmath>
#include <string>
#include <string_view>
#include <utility>

#include "core/Vemo.h"
#include "dxf/DxfFrame.h"
#include "dxf/EntityText.h"

namespace {

// A twist drill's 118-degree point is |z| x tan 59 degrees wide in radius at the depth |z|, so the hole of a
// drilling cycle is marked no wider than the point that reaches that depth.
constexpr double kDrillPointSlope = 1.6643;

std::string_view CompensationLayer(const NcAnalyzer& analyzer) {
    return analyzer.isCompensationOn() ? DxfLayer::kCompensated : DxfLayer::kUncompensated;
}

bool IsDrillingCycle(int cycleCode) {
    return cycleCode == 81 || cycleCode == 83 || cycleCode == 73;
}

struct Point {
    double x;
    double y;
    double z;
};

void AppendLine(std::string& out, std::string_view layer, Point first, Point second) {
    AppendEntityStart(out, "LINE", layer);
    AppendNumberGroup(out, "10", first.x);
    AppendNumberGroup(out, "20", first.y);
    AppendNumberGroup(out, "30", first.z);
    AppendNumberGroup(out, "11", second.x);
    AppendNumberGroup(out, "21", second.y);
    AppendNumberGroup(out, "31", second.z);
    AppendEntityEnd(out);
}

void AppendCircle(std::string& out, std::string_view layer, Point centre, double radius) {
    AppendEntityStart(out, "CIRCLE", layer);
    AppendNumberGroup(out, "10", centre.x);
    AppendNumberGroup(out, "20", centre.y);
    AppendNumberGroup(out, "30", centre.z);
    AppendNumberGroup(out, "40", radius);
    AppendEntityEnd(out);
}

// Drawings made by this program have always put the end of the move first and its start second.
bool WriteMoveLine(const NcAnalyzer& analyzer, DxfOutput& output, std::string_view layer) {
    const Point start{analyzer.startX(), analyzer.startY(), analyzer.startZ()};
    const Point end{analyzer.endX(), analyzer.endY(), analyzer.endZ()};
    if (start.x == end.x && start.y == end.y && start.z == end.z) {
        return false;
    }
    std::string& out = output.scratch();
    out.clear();
    AppendLine(out, layer, end, start);
    return output.append(out);
}

}  // namespace

bool WriteRapidLine(const NcAnalyzer& analyzer, DxfOutput& output) {
    return WriteMoveLine(analyzer, output, DxfLayer::kRapid);
}

bool WriteFeedLine(const NcAnalyzer& analyzer, DxfOutput& output) {
    return WriteMoveLine(analyzer, output, CompensationLayer(analyzer));
}

bool WriteArc(const NcAnalyzer& analyzer, DxfOutput& output) {
    double startAngle = analyzer.startAngle(false);
    double endAngle = analyzer.endAngle(false);
    // DXF arcs run counter-clockwise from the start angle to the end angle.
    if (analyzer.motionCode() == 2) {
        std::swap(startAngle, endAngle);
    }
    std::string& out = output.scratch();
    out.clear();
    AppendEntityStart(out, "ARC", CompensationLayer(analyzer));
    AppendNumberGroup(out, "10", analyzer.arcCentreX());
    AppendNumberGroup(out, "20", analyzer.arcCentreY());
    AppendNumberGroup(out, "30", analyzer.endZ());
    AppendNumberGroup(out, "40", analyzer.arcRadius());
    AppendNumberGroup(out, "50", startAngle);
    AppendNumberGroup(out, "51", endAngle);
    AppendEntityEnd(out);
    return output.append(out);
}

bool WriteCircle(const NcAnalyzer& analyzer, DxfOutput& output) {
    std::string& out = output.scratch();
    out.clear();
    AppendCircle(out, CompensationLayer(analyzer),
                 {analyzer.arcCentreX(), analyzer.arcCentreY(), analyzer.endZ()}, analyzer.arcRadius());
    return output.append(out);
}

bool WriteCycleMarks(const NcAnalyzer& analyzer, DxfOutput& output) {
    const double x = analyzer.holeX();
    const double y = analyzer.holeY();
    const Point bottom{x, y, analyzer.holeZ()};
    const Point rLevel{x, y, analyzer.rLevel()};
    double radius = analyzer.toolDiameter() * 0.5;
    if (IsDrillingCycle(analyzer.cycleCode())) {
        radius = MinOf(radius, std::fabs(bottom.z) * kDrillPointSlope);
    }
    std::string& out = output.scratch();
    out.clear();
    AppendLine(out, DxfLayer::kRapid, rLevel, {x, y, analyzer.returnLevel()});
    AppendLine(out, DxfLayer::kCannedCycle, rLevel, bottom);
    AppendCircle(out, DxfLayer::kCannedCycle, bottom, radius);
    return output.append(out);
}
