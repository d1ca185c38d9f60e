// Two points picked on the drawing and what lies between them in space, as the measure tool shows it.
#pragma once

#include <QString>
#include <array>

#include "nc/Point3.h"

// A coordinate or length as the preview shows it: in drawing units, to the thousandth.
QString DrawingNumber(double value);

class Measurement {
public:
    void clear() { count_ = 0; }
    // The second point of the begun measurement, or the first of a new one.
    void add(const Point3& point);

    int count() const { return count_; }
    const Point3& operator[](int index) const { return points_[index]; }
    double distance() const;
    // From the first point to the second.
    Point3 delta() const;
    // What the tool has to say: which point to pick next, or the distance and its parts.
    QString text() const;

private:
    std::array<Point3, 2> points_{};
    int count_ = 0;
};
