// Pixels written straight into a picture: the preview's cache of a million entities is drawn this way, as
// painting them through QPainter would take far longer than a redraw may.
#pragma once

#include <QImage>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <vector>

class PixelRaster {
public:
    explicit PixelRaster(QImage& image)
        : bits_(reinterpret_cast<QRgb*>(image.bits())),
          stride_(image.bytesPerLine() / 4),
          width_(image.width()),
          height_(image.height()) {}

    void pixel(double x, double y, QRgb colour) {
        if (x >= 0.0 && y >= 0.0 && x < width_ && y < height_) {
            bits_[static_cast<int>(y) * stride_ + static_cast<int>(x)] = colour;
        }
    }

    // A line clipped to the picture (Liang-Barsky), then stepped pixel by pixel.
    void line(double x0, double y0, double x1, double y1, QRgb colour, bool dashed) {
        // Most lines of a big drawing are short and wholly inside; clipping would cost them four divisions.
        if (std::min({x0, y0, x1, y1}) >= 0.0 && std::max(x0, x1) <= width_ - 1.0 &&
            std::max(y0, y1) <= height_ - 1.0) {
            stepped(x0, y0, x1, y1, colour, dashed);
            return;
        }
        double t0 = 0.0;
        double t1 = 1.0;
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        const double p[] = {-dx, dx, -dy, dy};
        const double q[] = {x0, width_ - 1.0 - x0, y0, height_ - 1.0 - y0};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0) {
                    return;
                }
            } else {
                const double t = q[i] / p[i];
                if (p[i] < 0.0) {
                    t0 = std::max(t0, t);
                } else {
                    t1 = std::min(t1, t);
                }
            }
        }
        if (!(t0 <= t1)) {
            return;
        }
        stepped(x0 + t0 * dx, y0 + t0 * dy, x0 + t1 * dx, y0 + t1 * dy, colour, dashed);
    }

    // Solid lines from point to point.
    void steps(const std::vector<QPointF>& points, QRgb colour) {
        for (std::size_t k = 1; k < points.size(); ++k) {
            line(points[k - 1].x(), points[k - 1].y(), points[k].x(), points[k].y(), colour, false);
        }
    }

    int width() const { return width_; }
    int height() const { return height_; }

private:
    // Pixels on, then off, along a dashed line.
    static constexpr int kDashOn = 6;
    static constexpr int kDashPeriod = 9;

    // A line within the picture, so that its pixels need no bounds checks.
    void stepped(double ax, double ay, double bx, double by, QRgb colour, bool dashed) {
        // Steps of at most a pixel, so that the short chords of a polyline leave no gaps; counted without
        // std::ceil, which is a call on the plain x86-64 target and the most of what a short line costs.
        const int steps = static_cast<int>(std::max(std::fabs(bx - ax), std::fabs(by - ay))) + 1;
        const double sx = (bx - ax) / steps;
        const double sy = (by - ay) / steps;
        // Half a pixel on, truncation rounds: the coordinates are not negative.
        const double x = ax + 0.5;
        const double y = ay + 0.5;
        for (int i = 0; i <= steps; ++i) {
            if (!dashed || i % kDashPeriod < kDashOn) {
                bits_[static_cast<int>(y + sy * i) * stride_ + static_cast<int>(x + sx * i)] = colour;
            }
        }
    }

    QRgb* bits_;
    int stride_;
    int width_;
    int height_;
};
