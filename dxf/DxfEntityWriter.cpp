#include "dxf/DxfEntityWriter.h"

#include <string>
#include <string_view>

#include "dxf/DxfFrame.h"
#include "dxf/EntityText.h"

namespace {

// The group codes come as views, so their lengths are known where the literals stand rather than counted for
// every point written.
void AppendPoint(std::string& out, std::string_view x, std::string_view y, std::string_view z,
                 const Point3& point) {
    AppendNumberGroup(out, x, point.x);
    AppendNumberGroup(out, y, point.y);
    AppendNumberGroup(out, z, point.z);
}

// A 3D polyline (flag 8) whose vertices (flag 32) follow it as entities of their own, closed by SEQEND. Its
// own point only carries the elevation, which a 3D polyline does not use.
void AppendPolyline(std::string& out, std::string_view layer, const ArcPath& path) {
    AppendEntityStart(out, "POLYLINE", layer);
    AppendIntegerGroup(out, "66", 1);
    AppendPoint(out, "10", "20", "30", Point3{0.0, 0.0, 0.0});
    AppendIntegerGroup(out, "70", 8);
    const int segments = PolylineSegments(path);
    for (int index = 0; index <= segments; ++index) {
        AppendEntityEnd(out);
        AppendEntityStart(out, "VERTEX", layer);
        AppendPoint(out, "10", "20", "30", PolylineVertex(path, index, segments));
        AppendIntegerGroup(out, "70", 32);
    }
    AppendEntityEnd(out);
    AppendEntityStart(out, "SEQEND", layer);
}

}  // namespace

std::string_view DxfLayerName(DrawingLayer layer) {
    static constexpr std::string_view kNames[kDrawingLayerCount] = {
        DxfLayer::kRapid,       DxfLayer::kCompensated, DxfLayer::kUncompensated,
        DxfLayer::kCannedCycle, DxfLayer::kCentreLine,  DxfLayer::kInformation,
    };
    return kNames[static_cast<int>(layer)];
}

// Drawings made by this program have always put the end of a line first and its start second.
bool DxfEntityWriter::add(const DrawingEntity& entity) {
    std::string& out = output_.scratch();
    out.clear();
    switch (entity.kind) {
        case EntityKind::Line:
            AppendEntityStart(out, "LINE", DxfLayerName(entity.layer));
            AppendPoint(out, "10", "20", "30", entity.end);
            AppendPoint(out, "11", "21", "31", entity.start);
            break;
        case EntityKind::Arc:
            AppendEntityStart(out, "ARC", DxfLayerName(entity.layer));
            AppendPoint(out, "10", "20", "30", entity.centre);
            AppendNumberGroup(out, "40", entity.radius);
            AppendNumberGroup(out, "50", entity.startAngle);
            AppendNumberGroup(out, "51", entity.endAngle);
            break;
        case EntityKind::Circle:
            AppendEntityStart(out, "CIRCLE", DxfLayerName(entity.layer));
            AppendPoint(out, "10", "20", "30", entity.centre);
            AppendNumberGroup(out, "40", entity.radius);
            break;
        case EntityKind::Polyline:
            AppendPolyline(out, DxfLayerName(entity.layer), entity.path);
            break;
    }
    AppendEntityEnd(out);
    return output_.append(out);
}
