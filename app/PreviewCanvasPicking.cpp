// Finding what lies under the cursor: the entity a click picks and the point the measure tool snaps to, in
// whatever view is shown.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/PreviewCanvas.h"

namespace {

constexpr double kPickDistance = 6.0;
constexpr double kSnapDistance = 8.0;
constexpr double kDegree = std::numbers::pi / 180.0;

double DistanceToSegment(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const double length2 = QPointF::dotProduct(ab, ab);
    double t = length2 > 0.0 ? QPointF::dotProduct(p - a, ab) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const QPointF nearest = a + t * ab;
    return std::hypot(p.x() - nearest.x(), p.y() - nearest.y());
}

double Distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

// A point of an arc entity `degrees` round from X.
Point3 ArcPoint(const PreviewEntity& arc, double degrees) {
    return {arc.v[0] + arc.v[3] * std::cos(degrees * kDegree),
            arc.v[1] + arc.v[3] * std::sin(degrees * kDegree), arc.v[2]};
}

}  // namespace

std::optional<std::size_t> PreviewCanvas::entityAt(QPointF position) const {
    const ScreenMap map = screenMap();
    std::optional<std::size_t> nearest;
    double best = kPickDistance;
    for (std::size_t i = 0; i < model_.size(); ++i) {
        const PreviewEntity& e = model_[i];
        if (!visible_[static_cast<int>(e.layer)]) {
            continue;
        }
        const double distance = distanceTo(e, map, position);
        if (distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

double PreviewCanvas::distanceTo(const PreviewEntity& e, const ScreenMap& map, QPointF position) const {
    if (e.kind == EntityKind::Line) {
        return DistanceToSegment(position, map(e.v[0], e.v[1], e.v[2]), map(e.v[3], e.v[4], e.v[5]));
    }
    // Most curves are far from the click; their steps are made only for those near it.
    std::vector<QPointF> points;
    if (e.kind == EntityKind::Polyline) {
        const auto [left, top, right, bottom] = screenBox(e, map);
        if (position.x() < left - kPickDistance || position.x() > right + kPickDistance ||
            position.y() < top - kPickDistance || position.y() > bottom + kPickDistance) {
            return INFINITY;
        }
        points = polylinePoints(e, map);
    } else {
        if (Distance(position, map(e.v[0], e.v[1], e.v[2])) > e.v[3] * scale_ + kPickDistance) {
            return INFINITY;
        }
        points = curvePoints(e, map);
    }
    double distance = INFINITY;
    for (std::size_t k = 1; k < points.size(); ++k) {
        distance = std::min(distance, DistanceToSegment(position, points[k - 1], points[k]));
    }
    return distance;
}

std::optional<Point3> PreviewCanvas::snapAt(QPointF position) const {
    const ScreenMap map = screenMap();
    std::optional<Point3> nearest;
    double best = kSnapDistance;
    const auto consider = [&](const Point3& p) {
        const double distance = Distance(position, map(p.x, p.y, p.z));
        if (distance <= best) {
            best = distance;
            nearest = p;
        }
    };
    for (std::size_t i = 0; i < model_.size(); ++i) {
        const PreviewEntity& e = model_[i];
        if (!visible_[static_cast<int>(e.layer)]) {
            continue;
        }
        switch (e.kind) {
            case EntityKind::Line:
                consider({e.v[0], e.v[1], e.v[2]});
                consider({e.v[3], e.v[4], e.v[5]});
                break;
            case EntityKind::Arc:
                if (Distance(position, map(e.v[0], e.v[1], e.v[2])) <= e.v[3] * scale_ + kSnapDistance) {
                    consider(ArcPoint(e, e.v[4]));
                    consider(ArcPoint(e, double{e.v[4]} + e.v[5]));
                }
                [[fallthrough]];
            case EntityKind::Circle:
                consider({e.v[0], e.v[1], e.v[2]});
                break;
            case EntityKind::Polyline:
                consider(model_.polyline(e).arc.start);
                consider(model_.polyline(e).arc.end);
                break;
        }
    }
    return nearest;
}
