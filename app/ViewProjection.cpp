#include "app/ViewProjection.h"

#include <cmath>

#include "app/Measurement.h"

ViewProjection::ViewProjection(PreviewView view) : view_(view) {
    switch (view) {
        case PreviewView::Top:
            right_ = {1, 0, 0};
            up_ = {0, 1, 0};
            break;
        case PreviewView::Front:
            right_ = {1, 0, 0};
            up_ = {0, 0, 1};
            break;
        case PreviewView::Side:
            right_ = {0, 1, 0};
            up_ = {0, 0, 1};
            break;
        case PreviewView::Isometric: {
            // Looking from +X -Y +Z at the origin, Z up: X runs to the lower right, Y to the upper right.
            const double r = 1 / std::sqrt(2.0);
            const double u = 1 / std::sqrt(6.0);
            right_ = {r, r, 0};
            up_ = {-u, u, 2 * u};
            break;
        }
    }
}

ScreenMap ViewProjection::onScreen(double left, double top, double scale) const {
    ScreenMap map{};
    for (int axis = 0; axis < 3; ++axis) {
        map.x[axis] = right_[axis] * scale;
        map.y[axis] = -up_[axis] * scale;
    }
    map.x0 = -left * scale;
    map.y0 = top * scale;
    return map;
}

QString ViewProjection::coordinates(PlanePoint at) const {
    const auto text = [](char axis, double value) {
        return QString(QLatin1Char(axis)) + u' ' + DrawingNumber(value);
    };
    switch (view_) {
        case PreviewView::Top:
            return text('X', at.u) + QStringLiteral("  ") + text('Y', at.w);
        case PreviewView::Front:
            return text('X', at.u) + QStringLiteral("  ") + text('Z', at.w);
        case PreviewView::Side:
            return text('Y', at.u) + QStringLiteral("  ") + text('Z', at.w);
        case PreviewView::Isometric:
            break;
    }
    return {};
}
