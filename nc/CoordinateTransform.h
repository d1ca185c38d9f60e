// A map from program coordinates to drawing coordinates: a linear part and a shift, p' = L p + t. Mirror,
// scaling, rotation and the shifts of local and work coordinate systems are each one of these, and the
// transform in force is their composition, worked out when one of them changes rather than per block.
#pragma once

#include <array>

#include "nc/Point3.h"

class CoordinateTransform {
public:
    // The identity.
    CoordinateTransform() = default;

    static CoordinateTransform shift(const Point3& by);
    // Scaling about `centre` by a factor per axis; a negative factor mirrors that axis.
    static CoordinateTransform scaling(const Point3& centre, const Point3& factors);
    // Rotation about `centre` by `degrees` in the plane of G17, G18 or G19, counter-clockwise seen from the
    // positive end of the plane's normal (in G18 the turn from Z toward X).
    static CoordinateTransform rotation(int plane, const Point3& centre, double degrees);

    // This transform, then `next`.
    CoordinateTransform then(const CoordinateTransform& next) const;
    // The transform that undoes this one; the identity when this one cannot be undone (a factor of 0).
    CoordinateTransform inverse() const;

    Point3 apply(const Point3& point) const;
    // A difference of two points: the linear part alone.
    Point3 applyToVector(const Point3& vector) const;

    bool isIdentity() const;
    // The axes of the plane of G17, G18 or G19 as 0 to 2 (X, Y, Z), in the order that turns counter-clockwise
    // seen from the positive end of its normal: X-Y, Z-X, Y-Z.
    static void planeAxes(int plane, int& u, int& v);
    // In the plane of G17, G18 or G19: whether the transform turns a circle into a circle, whether it swaps
    // the turning of arcs, and the factor of the plane's first axis (X in G17 and G18, Y in G19), by which a
    // radius is drawn.
    bool keepsCircles(int plane) const;
    bool mirrors(int plane) const;
    double radiusFactor(int plane) const;

private:
    std::array<double, 9> linear_{1.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 1.0};  // row by row
    Point3 shift_{0.0, 0.0, 0.0};
};
