// An arc as the machine moves along it: in the plane of G17, G18 or G19 it turns about a centre from its start
// point to its end point, while the axis normal to the plane moves evenly with the angle (a helix when the two
// ends differ along that axis). A drawing shows such an arc as a polyline of vertices evenly spaced in angle,
// from the exact start point to the exact end point, so that the next move starts where the polyline ends.
#pragma once

#include "nc/Point3.h"

struct ArcPath {
    // 17, 18 or 19. The plane's axes (u, v) are (X, Y), (X, Z) and (Y, Z), its normal Z, Y and X.
    int plane;
    Point3 start;
    Point3 end;
    // The centre in the plane's (u, v) axes.
    double centreU;
    double centreV;
    double radius;
    // Radians in the (u, v) axes: the direction from the centre to the start, and the angle turned, positive
    // counter-clockwise from u toward v, at most one whole turn either way.
    double startAngle;
    double sweep;
};

// Neighbouring vertices lie at most 5 degrees apart, and there are at least 4 segments.
int PolylineSegments(const ArcPath& path);

// Vertex `index` of `segments`: 0 is the start point, `segments` the end point, the others lie on the circle.
Point3 PolylineVertex(const ArcPath& path, int index, int segments);
