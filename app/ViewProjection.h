// Which side the preview looks at the drawing from, and where that puts a point of the drawing: on the view
// plane (u to the right, w up, in drawing units) and on the screen. Everything the preview draws, picks and
// fits goes through one of these, so all four views behave alike.
#pragma once

#include <QPointF>
#include <QString>
#include <array>
#include <cstdint>

enum class PreviewView : std::uint8_t { Top, Front, Side, Isometric };
inline constexpr int kPreviewViewCount = 4;

struct PlanePoint {
    double u;
    double w;
};

// The affine map from drawing coordinates to screen pixels of one view at one zoom and pan.
struct ScreenMap {
    // Pixels along the screen's x and y per drawing unit of X, Y and Z, and the pixels of the origin.
    std::array<double, 3> x;
    std::array<double, 3> y;
    double x0;
    double y0;

    double screenX(double px, double py, double pz) const { return x[0] * px + x[1] * py + x[2] * pz + x0; }
    double screenY(double px, double py, double pz) const { return y[0] * px + y[1] * py + y[2] * pz + y0; }
    QPointF operator()(double px, double py, double pz) const {
        return {screenX(px, py, pz), screenY(px, py, pz)};
    }
    // The screen vector of a drawing vector.
    QPointF along(double dx, double dy, double dz) const {
        return {x[0] * dx + x[1] * dy + x[2] * dz, y[0] * dx + y[1] * dy + y[2] * dz};
    }
};

class ViewProjection {
public:
    explicit ViewProjection(PreviewView view = PreviewView::Top);

    PreviewView view() const { return view_; }
    PlanePoint project(double x, double y, double z) const {
        return {right_[0] * x + right_[1] * y + right_[2] * z, up_[0] * x + up_[1] * y + up_[2] * z};
    }
    // The screen map when the plane point (left, top) is at the top-left corner and a drawing unit is
    // `scale` pixels.
    ScreenMap onScreen(double left, double top, double scale) const;
    // The cursor's place in the drawing's axes that the view shows head-on ("X 1.000  Y 2.000" from above),
    // or nothing where no drawing axis runs along the screen's.
    QString coordinates(PlanePoint at) const;

private:
    PreviewView view_;
    // The drawing directions of the screen's right and up: unit vectors, square to each other.
    std::array<double, 3> right_;
    std::array<double, 3> up_;
};
