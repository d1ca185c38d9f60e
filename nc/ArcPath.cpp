#include "nc/ArcPath.h"

#include <cmath>

namespace {

constexpr double kMostPerSegment = 5.0 * 0.017453292519943295;
constexpr int kFewestSegments = 4;
// A sweep is at most one turn, so this is never reached by a real arc; it bounds what bad numbers can ask.
constexpr int kMostSegments = 72;

// The plane's (u, v, normal) coordinates as a point in space.
Point3 FromPlane(int plane, double u, double v, double normal) {
    if (plane == 18) {
        return {u, normal, v};
    }
    if (plane == 19) {
        return {normal, u, v};
    }
    return {u, v, normal};
}

double NormalOf(int plane, const Point3& point) {
    if (plane == 18) {
        return point.y;
    }
    if (plane == 19) {
        return point.x;
    }
    return point.z;
}

}  // namespace

int PolylineSegments(const ArcPath& path) {
    const double needed = std::ceil(std::fabs(path.sweep) / kMostPerSegment - 1e-9);
    if (!(needed > kFewestSegments)) {
        return kFewestSegments;
    }
    return needed < kMostSegments ? static_cast<int>(needed) : kMostSegments;
}

Point3 PolylineVertex(const ArcPath& path, int index, int segments) {
    if (index <= 0) {
        return path.start;
    }
    if (index >= segments) {
        return path.end;
    }
    const double t = static_cast<double>(index) / segments;
    const double angle = path.startAngle + path.sweep * t;
    const double startNormal = NormalOf(path.plane, path.start);
    const double normal = startNormal + (NormalOf(path.plane, path.end) - startNormal) * t;
    return FromPlane(path.plane, path.centreU + path.radius * std::cos(angle),
                     path.centreV + path.radius * std::sin(angle), normal);
}
