#include "dxf/DrawingExtents.h"

#include <algorithm>
#include <cmath>
#include <numbers>

double PictureCoordinate(double value) {
    if (std::isnan(value)) {
        return 0.0;
    }
    return std::clamp(value, -kPictureLimit, kPictureLimit);
}

void DrawingExtents::add(double x, double y) {
    x = PictureCoordinate(x);
    y = PictureCoordinate(y);
    if (empty) {
        minX = maxX = x;
        minY = maxY = y;
        empty = false;
        return;
    }
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
}

void DrawingExtents::add(const DrawingExtents& other) {
    if (!other.empty) {
        add(other.minX, other.minY);
        add(other.maxX, other.maxY);
    }
}

double ArcSweep(double startAngle, double endAngle) {
    const double sweep = std::fmod(endAngle - startAngle, 360.0);
    if (!std::isfinite(sweep)) {
        return 360.0;
    }
    return sweep > 0.0 ? sweep : sweep + 360.0;
}

void DrawingExtents::add(const DrawingEntity& entity) {
    const Point3& c = entity.centre;
    const double r = std::fabs(entity.radius);
    switch (entity.kind) {
        case EntityKind::Line:
            add(entity.start.x, entity.start.y);
            add(entity.end.x, entity.end.y);
            return;
        case EntityKind::Circle:
            add(c.x - r, c.y - r);
            add(c.x + r, c.y + r);
            return;
        case EntityKind::Polyline: {
            const int segments = PolylineSegments(entity.path);
            for (int index = 0; index <= segments; ++index) {
                const Point3 vertex = PolylineVertex(entity.path, index, segments);
                add(vertex.x, vertex.y);
            }
            return;
        }
        case EntityKind::Arc:
            break;
    }
    constexpr double kDegree = std::numbers::pi / 180.0;
    const double sweep = ArcSweep(entity.startAngle, entity.endAngle);
    add(c.x + r * std::cos(entity.startAngle * kDegree), c.y + r * std::sin(entity.startAngle * kDegree));
    add(c.x + r * std::cos(entity.endAngle * kDegree), c.y + r * std::sin(entity.endAngle * kDegree));
    // The quadrant points at 0, 90, 180 and 270 degrees that the arc passes.
    const double start = std::fmod(entity.startAngle, 360.0);
    if (!std::isfinite(start)) {
        add(c.x - r, c.y - r);
        add(c.x + r, c.y + r);
        return;
    }
    const int firstQuadrant = static_cast<int>(std::ceil(start / 90.0));
    for (int quadrant = firstQuadrant; quadrant < firstQuadrant + 4 && quadrant * 90.0 < start + sweep;
         ++quadrant) {
        constexpr double kCos[] = {1, 0, -1, 0};
        constexpr double kSin[] = {0, 1, 0, -1};
        const int index = (quadrant % 4 + 4) % 4;
        add(c.x + r * kCos[index], c.y + r * kSin[index]);
    }
}
