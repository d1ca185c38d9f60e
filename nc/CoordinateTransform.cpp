#include "nc/CoordinateTransform.h"

#include <cmath>

#include "nc/Angles.h"

namespace {

// Exact sines and cosines at the quarter turns, so that a rotation by 90 degrees maps whole coordinates onto
// whole coordinates.
void SineAndCosine(double degrees, double& sine, double& cosine) {
    const double turns = std::fmod(degrees, 360.0);
    if (turns == 0.0 || turns == 90.0 || turns == 180.0 || turns == 270.0 || turns == -90.0 ||
        turns == -180.0 || turns == -270.0) {
        const int quarter = static_cast<int>((turns < 0.0 ? turns + 360.0 : turns) / 90.0);
        constexpr double kSines[] = {0.0, 1.0, 0.0, -1.0};
        sine = kSines[quarter];
        cosine = kSines[(quarter + 1) % 4];
        return;
    }
    sine = std::sin(degrees * kRadiansPerDegree);
    cosine = std::cos(degrees * kRadiansPerDegree);
}

}  // namespace

CoordinateTransform CoordinateTransform::shift(const Point3& by) {
    CoordinateTransform transform;
    transform.shift_ = by;
    return transform;
}

CoordinateTransform CoordinateTransform::scaling(const Point3& centre, const Point3& factors) {
    CoordinateTransform transform;
    transform.linear_ = {factors.x, 0.0, 0.0, 0.0, factors.y, 0.0, 0.0, 0.0, factors.z};
    transform.shift_ = {centre.x - factors.x * centre.x, centre.y - factors.y * centre.y,
                        centre.z - factors.z * centre.z};
    return transform;
}

CoordinateTransform CoordinateTransform::rotation(int plane, const Point3& centre, double degrees) {
    double sine = 0.0;
    double cosine = 1.0;
    SineAndCosine(degrees, sine, cosine);
    int u = 0;
    int v = 1;
    planeAxes(plane, u, v);
    CoordinateTransform transform;
    transform.linear_[static_cast<std::size_t>(u * 3 + u)] = cosine;
    transform.linear_[static_cast<std::size_t>(u * 3 + v)] = -sine;
    transform.linear_[static_cast<std::size_t>(v * 3 + u)] = sine;
    transform.linear_[static_cast<std::size_t>(v * 3 + v)] = cosine;
    const Point3 turned = transform.applyToVector(centre);
    transform.shift_ = {centre.x - turned.x, centre.y - turned.y, centre.z - turned.z};
    return transform;
}

CoordinateTransform CoordinateTransform::then(const CoordinateTransform& next) const {
    CoordinateTransform composed;
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            double sum = 0.0;
            for (std::size_t k = 0; k < 3; ++k) {
                sum += next.linear_[row * 3 + k] * linear_[k * 3 + column];
            }
            composed.linear_[row * 3 + column] = sum;
        }
    }
    composed.shift_ = next.apply(shift_);
    return composed;
}

CoordinateTransform CoordinateTransform::inverse() const {
    const std::array<double, 9>& m = linear_;
    const double minor0 = m[4] * m[8] - m[5] * m[7];
    const double minor1 = m[3] * m[8] - m[5] * m[6];
    const double minor2 = m[3] * m[7] - m[4] * m[6];
    const double determinant = m[0] * minor0 - m[1] * minor1 + m[2] * minor2;
    if (determinant == 0.0 || !std::isfinite(determinant)) {
        return {};
    }
    CoordinateTransform inverted;
    std::array<double, 9>& r = inverted.linear_;
    r[0] = minor0 / determinant;
    r[1] = (m[2] * m[7] - m[1] * m[8]) / determinant;
    r[2] = (m[1] * m[5] - m[2] * m[4]) / determinant;
    r[3] = -minor1 / determinant;
    r[4] = (m[0] * m[8] - m[2] * m[6]) / determinant;
    r[5] = (m[2] * m[3] - m[0] * m[5]) / determinant;
    r[6] = minor2 / determinant;
    r[7] = (m[1] * m[6] - m[0] * m[7]) / determinant;
    r[8] = (m[0] * m[4] - m[1] * m[3]) / determinant;
    const Point3 back = inverted.applyToVector(shift_);
    inverted.shift_ = {-back.x, -back.y, -back.z};
    return inverted;
}

Point3 CoordinateTransform::apply(const Point3& point) const {
    const Point3 turned = applyToVector(point);
    return {turned.x + shift_.x, turned.y + shift_.y, turned.z + shift_.z};
}

Point3 CoordinateTransform::applyToVector(const Point3& vector) const {
    const std::array<double, 9>& m = linear_;
    return {m[0] * vector.x + m[1] * vector.y + m[2] * vector.z,
            m[3] * vector.x + m[4] * vector.y + m[5] * vector.z,
            m[6] * vector.x + m[7] * vector.y + m[8] * vector.z};
}

void CoordinateTransform::planeAxes(int plane, int& u, int& v) {
    u = plane == 19 ? 1 : plane == 18 ? 2 : 0;
    v = plane == 19 ? 2 : plane == 18 ? 0 : 1;
}

bool CoordinateTransform::isIdentity() const {
    return linear_ == CoordinateTransform().linear_ && shift_.x == 0.0 && shift_.y == 0.0 && shift_.z == 0.0;
}

bool CoordinateTransform::keepsCircles(int plane) const {
    int u = 0;
    int v = 1;
    planeAxes(plane, u, v);
    const auto unit = [](int axis) {
        return axis == 0 ? Point3{1, 0, 0} : axis == 1 ? Point3{0, 1, 0} : Point3{0, 0, 1};
    };
    const Point3 imageU = applyToVector(unit(u));
    const Point3 imageV = applyToVector(unit(v));
    const double uu = imageU[u] * imageU[u] + imageU[v] * imageU[v];
    const double vv = imageV[u] * imageV[u] + imageV[v] * imageV[v];
    const double uv = imageU[u] * imageV[u] + imageU[v] * imageV[v];
    const double scale = uu > vv ? uu : vv;
    return std::fabs(uu - vv) <= 1e-12 * scale && std::fabs(uv) <= 1e-12 * scale;
}

bool CoordinateTransform::mirrors(int plane) const {
    int u = 0;
    int v = 1;
    planeAxes(plane, u, v);
    const auto m = [this](int row, int column) {
        return linear_[static_cast<std::size_t>(row * 3 + column)];
    };
    return m(u, u) * m(v, v) - m(u, v) * m(v, u) < 0.0;
}

double CoordinateTransform::radiusFactor(int plane) const {
    const int first = plane == 19 ? 1 : 0;
    const Point3 image = applyToVector(first == 0 ? Point3{1, 0, 0} : Point3{0, 1, 0});
    return std::sqrt(image.x * image.x + image.y * image.y + image.z * image.z);
}
