// A point in space, in the program's length unit.
#pragma once

struct Point3 {
    double x;
    double y;
    double z;
};
