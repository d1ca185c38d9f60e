#include "nc/CoordinateFrames.h"

namespace {

Point3 Plus(const Point3& a, const Point3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Point3 Minus(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Point3 Times(const Point3& a, const Point3& b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

}  // namespace

void CoordinateFrames::setOffset(int system, const Point3& value) {
    offsets_[static_cast<std::size_t>(system)] = value;
    compose();
}

void CoordinateFrames::select(int system) {
    selected_ = system;
    compose();
}

void CoordinateFrames::setLocalShift(const Point3& shift) {
    localShift_ = shift;
    compose();
}

bool CoordinateFrames::machineOffsetsSet() const {
    for (const Point3& offset : {offsets_[kExternal], offsets_[kG54]}) {
        if (offset.x != 0.0 || offset.y != 0.0 || offset.z != 0.0) {
            return true;
        }
    }
    return false;
}

Point3 CoordinateFrames::drawnFromMachine(const Point3& machine) const {
    return Minus(machine, Plus(offsets_[kExternal], offsets_[kG54]));
}

void CoordinateFrames::setMirror(int axis, double position) {
    mirrorFactors_[axis] = -1.0;
    mirrorLines_[axis] = position;
    mirror_ = CoordinateTransform::scaling(mirrorLines_, mirrorFactors_);
    compose();
}

void CoordinateFrames::cancelMirror(int axis) {
    mirrorFactors_[axis] = 1.0;
    mirror_ = CoordinateTransform::scaling(mirrorLines_, mirrorFactors_);
    compose();
}

void CoordinateFrames::setScaling(const Point3& centre, const Point3& factors) {
    scalingFactors_ = factors;
    scaling_ = CoordinateTransform::scaling(mirror_.apply(centre), factors);
    compose();
}

void CoordinateFrames::cancelScaling() {
    scalingFactors_ = {1.0, 1.0, 1.0};
    scaling_ = {};
    compose();
}

void CoordinateFrames::setRotation(int plane, const Point3& centre, double degrees) {
    angle_ = degrees;
    rotation_ = CoordinateTransform::rotation(plane, mirror_.then(scaling_).apply(centre), degrees);
    compose();
}

void CoordinateFrames::cancelRotation() {
    angle_ = 0.0;
    rotation_ = {};
    compose();
}

// offset(current) - offset(G54): the external offset, part of both, drops out.
void CoordinateFrames::compose() {
    factors_ = Times(mirrorFactors_, scalingFactors_);
    shape_ = mirror_.then(scaling_).then(rotation_);
    const Point3 shift =
        Plus(localShift_, Minus(offsets_[static_cast<std::size_t>(selected_)], offsets_[kG54]));
    transform_ = shape_.then(CoordinateTransform::shift(shift));
    identity_ = transform_.isIdentity();
}
