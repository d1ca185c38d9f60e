// The coordinate systems of one run: the work offsets (external, G54-G59, G54.1 P1-P48), the local shift of
// G52, and the modal transforms (mirror G51.1, scaling G51, rotation G68). A point of the work system in force
// is drawn at shape(point) + local shift + offset(current) - offset(G54), so a program that uses one system
// draws as written. The transform in force is composed when something changes, never per block.
#pragma once

#include <array>

#include "nc/CoordinateTransform.h"
#include "nc/Point3.h"

class CoordinateFrames {
public:
    static constexpr int kExternal = 0;  // G10 L2 P0: added to every system
    static constexpr int kG54 = 1;       // G54 to G59 are 1 to 6
    static constexpr int kExtended = 6;  // G54.1 Pn is kExtended + n
    static constexpr int kExtendedCount = 48;
    static constexpr int kSystems = kExtended + kExtendedCount + 1;

    // A system's own offset; the external one for kExternal.
    const Point3& offset(int system) const { return offsets_[static_cast<std::size_t>(system)]; }
    void setOffset(int system, const Point3& value);
    int selected() const { return selected_; }
    void select(int system);
    const Point3& localShift() const { return localShift_; }
    void setLocalShift(const Point3& shift);
    // Whether G54's own or the external offset is set: machine points are then drawn where they really lie.
    bool machineOffsetsSet() const;
    // Where a point in machine coordinates is drawn.
    Point3 drawnFromMachine(const Point3& machine) const;

    // Each transform's centre is given in program coordinates and passes through the transforms before it.
    // A mirror is set and cancelled axis by axis; the other axis keeps its own.
    void setMirror(int axis, double position);
    void cancelMirror(int axis);
    void setScaling(const Point3& centre, const Point3& factors);
    void cancelScaling();
    void setRotation(int plane, const Point3& centre, double degrees);
    void cancelRotation();
    double rotationAngle() const { return angle_; }

    const CoordinateTransform& transform() const { return transform_; }
    // Mirror, scaling and rotation without the shifts.
    const CoordinateTransform& shape() const { return shape_; }
    // The mirror and scaling factors of each axis, multiplied.
    const Point3& factors() const { return factors_; }
    const CoordinateTransform& rotation() const { return rotation_; }
    bool isIdentity() const { return identity_; }

private:
    void compose();

    std::array<Point3, kSystems> offsets_{};
    int selected_ = kG54;
    Point3 localShift_{0.0, 0.0, 0.0};
    CoordinateTransform mirror_;
    Point3 mirrorLines_{0.0, 0.0, 0.0};  // the position of each axis' mirror line
    CoordinateTransform scaling_;
    CoordinateTransform rotation_;
    Point3 mirrorFactors_{1.0, 1.0, 1.0};
    Point3 scalingFactors_{1.0, 1.0, 1.0};
    Point3 factors_{1.0, 1.0, 1.0};
    double angle_ = 0.0;
    CoordinateTransform shape_;
    CoordinateTransform transform_;
    bool identity_ = true;
};
