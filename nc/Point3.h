// A point in space, in the program's length unit.
#pragma once

struct Point3 {
    double x;
    double y;
    double z;

    // The coordinate along axis 0 (X), 1 (Y) or 2 (Z).
    double operator[](int axis) const { return axis == 0 ? x : axis == 1 ? y : z; }
    double& operator[](int axis) { return axis == 0 ? x : axis == 1 ? y : z; }
};
