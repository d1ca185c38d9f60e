// The moves of NcAnalyzer: straight lines, arcs in the three planes, their directions and the drawing
// extents.
#include <cmath>

#include "core/Vemo.h"
#include "nc/FiniteArithmetic.h"
#include "nc/NcAnalyzer.h"

namespace {

constexpr double kDegree = kRadiansPerDegree;
constexpr double kFullTurn = 360.0 * kDegree;
constexpr double kPi = 3.141592653589793;

// A coordinate no block has set yet counts as the home position for straight moves.
double HomeIfUnset(double value, double home) {
    return value == kUnsetCoordinate ? home : value;
}

// The direction from a point to another one dx, dy away; `unchanged` when they coincide.
double DirectionAngle(double dx, double dy, double unchanged) {
    if (dx > 0.0 && dy == 0.0) {
        return 0.0;
    }
    if (dx < 0.0 && dy == 0.0) {
        return 180.0 * kDegree;
    }
    if (dx == 0.0 && dy > 0.0) {
        return 90.0 * kDegree;
    }
    if (dx == 0.0 && dy < 0.0) {
        return 270.0 * kDegree;
    }
    if (dx > 0.0 && dy > 0.0) {
        return std::atan(dy / dx);
    }
    if (dx < 0.0 && dy != 0.0) {
        return 180.0 * kDegree + std::atan(dy / dx);
    }
    if (dx > 0.0 && dy < 0.0) {
        return 360.0 * kDegree + std::atan(dy / dx);
    }
    return unchanged;
}

enum class Turning { Clockwise, CounterClockwise, None };

// The G18 plane is seen with X to the right and Z up, the view in which a G02 turns counter-clockwise.
Turning TurningOf(int motionCode, bool isG18) {
    if (isG18) {
        return motionCode == 2 ? Turning::CounterClockwise : Turning::Clockwise;
    }
    if (motionCode == 2) {
        return Turning::Clockwise;
    }
    if (motionCode == 3) {
        return Turning::CounterClockwise;
    }
    return Turning::None;
}

// Bits 0 to 3 stand for the quadrant boundaries at 0, 90, 180 and 270 degrees.
constexpr unsigned kAllBoundaries = 0b1111;

unsigned LowerBoundary(int quadrant) {
    return 1u << (quadrant - 1);
}

// The upper boundary of quadrant 4 is 360 degrees, the same point as 0.
unsigned UpperBoundary(int quadrant) {
    return 1u << (quadrant % 4);
}

// The boundaries an arc passes between its start and end angles.
unsigned BoundariesPassed(Turning turning, double startAngle, double endAngle) {
    if (turning == Turning::None) {
        return 0;
    }
    const bool clockwise = turning == Turning::Clockwise;
    int quadrant = NcAnalyzer::quadrantOf(startAngle);
    const int endQuadrant = NcAnalyzer::quadrantOf(endAngle);
    if (quadrant == endQuadrant) {
        const bool goesRound = clockwise ? endAngle >= startAngle : startAngle >= endAngle;
        return goesRound ? kAllBoundaries : 0;
    }
    unsigned passed = 0;
    while (quadrant != endQuadrant) {
        if (clockwise) {
            passed |= LowerBoundary(quadrant);
            quadrant = quadrant == 1 ? 4 : quadrant - 1;
        } else {
            passed |= UpperBoundary(quadrant);
            quadrant = quadrant == 4 ? 1 : quadrant + 1;
        }
    }
    return passed;
}

// The axes and centre offsets of an arc's plane.
struct ArcPlane {
    int u;
    int v;
    int i;
    int j;
};

ArcPlane ArcPlaneOf(int plane) {
    if (plane == 18) {
        return {Slot::X, Slot::Z, Slot::I, Slot::K};
    }
    if (plane == 19) {
        return {Slot::Y, Slot::Z, Slot::J, Slot::K};
    }
    return {Slot::X, Slot::Y, Slot::I, Slot::J};
}

// The centre of an arc given by its radius R, in the plane's own u-v axes. The arithmetic and its order are
// fixed so that every run draws the same arc.
template <typename Real>
struct RadiusCentre {
    Real u;
    Real v;
    bool radiusTooShort;
    bool finite;
};

template <typename Real>
RadiusCentre<Real> CentreFromRadius(Real u0, Real v0, Real u1, Real v1, Real radius, bool counterClockwise) {
    const Real du = u1 - u0;
    const Real dv = v1 - v0;
    const Real r = std::fabs(radius);
    const Real d = std::sqrt(du * du + dv * dv);
    const Real h2 = r * r - (d / 2) * (d / 2);
    const Real h = h2 > 0 ? std::sqrt(h2) : 0;
    // Left of the chord for a counter-clockwise turn with R > 0 or a clockwise one with R < 0: the short arc
    // for R > 0, the long one for R < 0.
    const Real s = (counterClockwise && radius > 0) || (!counterClockwise && radius < 0) ? 1 : -1;
    RadiusCentre<Real> centre;
    centre.u = u0 + du / 2 - s * h * dv / d;
    centre.v = v0 + dv / 2 + s * h * du / d;
    centre.radiusTooShort = r < d / 2 - static_cast<Real>(0.001);
    centre.finite =
        std::isfinite(d) && std::isfinite(h2) && std::isfinite(centre.u) && std::isfinite(centre.v);
    return centre;
}

}  // namespace

bool NcAnalyzer::endsWhereItStarts(double uStart, double vStart, double uEnd, double vEnd) {
    return std::fabs(uEnd - uStart) < kHalfIncrement && std::fabs(vEnd - vStart) < kHalfIncrement;
}

int NcAnalyzer::quadrantOf(double angle) {
    const double degrees = angle * kDegreesPerRadian;
    if (degrees >= 0.0 && degrees < 90.0) {
        return 1;
    }
    if (degrees >= 90.0 && degrees < 180.0) {
        return 2;
    }
    if (degrees >= 180.0 && degrees < 270.0) {
        return 3;
    }
    return 4;
}

double NcAnalyzer::directionOf(double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    lineAngle_ = DirectionAngle(dx, dy, lineAngle_);
    return RootOfSquares(dx, dy);
}

void NcAnalyzer::linearMove() {
    arcRadius_ = 0.0;
    startX_ = HomeIfUnset(previousValue(Slot::X), homeX_);
    startY_ = HomeIfUnset(previousValue(Slot::Y), homeY_);
    startZ_ = HomeIfUnset(previousValue(Slot::Z), homeZ_);
    endX_ = HomeIfUnset(wordValue(Slot::X), homeX_);
    endY_ = HomeIfUnset(wordValue(Slot::Y), homeY_);
    endZ_ = HomeIfUnset(wordValue(Slot::Z), homeZ_);
    moveLength_ = directionOf(startX_, startY_, endX_, endY_);
    moveLength_ = RootOfSquares(moveLength_, startZ_ - endZ_);
    chargeMoveTime();
}

void NcAnalyzer::circularMove() {
    // G33 cuts a thread, which the drawing has always shown as an arc; only G02 and G03 turn about a centre.
    const bool turns = motionCode() == 2 || motionCode() == 3;
    // A G02 or G03 block that names no axis and no centre (an M code, a comment, an empty line) moves
    // nothing.
    if (turns && !isPresent(Slot::X) && !isPresent(Slot::Y) && !isPresent(Slot::Z) && !isPresent(Slot::I) &&
        !isPresent(Slot::J) && !isPresent(Slot::K) && !isPresent(Slot::R)) {
        isMoveSkipped_ = true;
        return;
    }
    const int plane = integerPart(wordValue(Slot::Plane));
    const bool isG18 = plane == 18;
    const ArcPlane axes = ArcPlaneOf(plane);
    // Unset coordinates stay as they are. R gives the centre only when the block has neither centre word of
    // the plane: the centre words win.
    const double uStart = previousValue(axes.u);
    const double vStart = previousValue(axes.v);
    const double uEnd = wordValue(axes.u);
    const double vEnd = wordValue(axes.v);
    double i = wordValue(axes.i);
    double j = wordValue(axes.j);
    const int code = motionCode();
    if ((code == 2 || code == 3) && isPresent(Slot::R) && !isPresent(axes.i) && !isPresent(axes.j)) {
        const bool counterClockwise = TurningOf(code, isG18) == Turning::CounterClockwise;
        if (!centreOffsetsFromR(uStart, vStart, uEnd, vEnd, counterClockwise, i, j)) {
            isMoveSkipped_ = true;
            return;
        }
    }
    startX_ = uStart;
    startY_ = vStart;
    endX_ = uEnd;
    endY_ = vEnd;
    arcCentreX_ = startX_ + i;
    arcCentreY_ = startY_ + j;
    arcRadius_ = RootOfSquares(i, j);
    directionOf(arcCentreX_, arcCentreY_, startX_, startY_);
    startAngle_ = lineAngle_;
    directionOf(arcCentreX_, arcCentreY_, endX_, endY_);
    endAngle_ = lineAngle_ == 0.0 ? kFullTurn : lineAngle_;

    // An arc out of the XY plane, or one that climbs along Z, is drawn through the points the machine passes.
    isArcMove_ = true;
    isPolylineArc_ = turns && (plane != 17 || previousValue(Slot::Z) != wordValue(Slot::Z));
    const Turning turning = TurningOf(motionCode(), isG18);
    if (!isPolylineArc_ && turns && isFullCircle()) {
        widenExtentsByCircle();
    } else if (!isPolylineArc_) {
        widenExtentsByArc(BoundariesPassed(turning, startAngle_, endAngle_), plane);
    }
    const double centreToStart = startAngle_;
    if (isG18) {
        SwapValues(startAngle_, endAngle_);
    }

    const double turn = endAngle_ - startAngle_;
    const int direction = motionCode() == 2 ? -1 : 1;
    double sweep = Sign(turn) == direction ? std::fabs(turn) : kFullTurn - std::fabs(turn);
    if (sweep == 0.0 || endsWhereItStarts(uStart, vStart, uEnd, vEnd)) {
        sweep = kFullTurn;
    }
    moveLength_ = std::fabs(2.0 * arcRadius_ * kPi * sweep / (2.0 * kPi));
    if (isPolylineArc_) {
        makeArcPath(plane, centreToStart, turning == Turning::Clockwise ? -sweep : sweep);
        widenExtentsByPolyline();
    }
    chargeMoveTime();
}

void NcAnalyzer::makeArcPath(int plane, double startAngle, double sweep) {
    arcPath_.plane = plane;
    arcPath_.start = {previousValue(Slot::X), previousValue(Slot::Y), previousValue(Slot::Z)};
    arcPath_.end = {wordValue(Slot::X), wordValue(Slot::Y), wordValue(Slot::Z)};
    arcPath_.centreU = arcCentreX_;
    arcPath_.centreV = arcCentreY_;
    arcPath_.radius = arcRadius_;
    arcPath_.startAngle = startAngle;
    arcPath_.sweep = sweep;
    // A flat arc after this one lies at the Z where this one ended.
    startZ_ = arcPath_.start.z;
    endZ_ = arcPath_.end.z;
}

bool NcAnalyzer::centreOffsetsFromR(double uStart, double vStart, double uEnd, double vEnd,
                                    bool counterClockwise, double& i, double& j) {
    if (uEnd - uStart == 0.0 && vEnd - vStart == 0.0) {
        omissions_.add(Omission::RArcStartIsEnd);
        return false;
    }
    const double radius = wordValue(Slot::R);
    RadiusCentre<double> centre = CentreFromRadius(uStart, vStart, uEnd, vEnd, radius, counterClockwise);
    if (!centre.finite) {
        // Squares of coordinates near the limits of a line overflow or underflow a double, not a long double.
        const RadiusCentre<long double> wide =
            CentreFromRadius<long double>(uStart, vStart, uEnd, vEnd, radius, counterClockwise);
        centre = {NarrowedToDouble(wide.u), NarrowedToDouble(wide.v), wide.radiusTooShort, true};
    }
    if (centre.radiusTooShort) {
        omissions_.add(Omission::RArcRadiusTooShort);
    }
    i = centre.u - uStart;
    j = centre.v - vStart;
    return true;
}

void NcAnalyzer::widenExtentsByArc(unsigned boundariesPassed, int plane) {
    // Start and end coordinates give way to the circle's extreme points at the boundaries the arc passes.
    double uStart = startX_;
    double uEnd = endX_;
    double vStart = startY_;
    double vEnd = endY_;
    if ((boundariesPassed & 0b0001) != 0) {
        uStart = arcCentreX_ + arcRadius_;
    }
    if ((boundariesPassed & 0b0010) != 0) {
        vStart = arcCentreY_ + arcRadius_;
    }
    if ((boundariesPassed & 0b0100) != 0) {
        uEnd = arcCentreX_ - arcRadius_;
    }
    if ((boundariesPassed & 0b1000) != 0) {
        vEnd = arcCentreY_ - arcRadius_;
    }
    // The drawing keeps no Z extents: G18 gives X alone, G19 Y alone.
    if (plane == 19) {
        updateExtentY(MaxOf(uStart, uEnd));
        updateExtentY(MinOf(uStart, uEnd));
        return;
    }
    updateExtentX(MaxOf(uStart, uEnd));
    updateExtentX(MinOf(uStart, uEnd));
    if (plane != 18) {
        updateExtentY(MaxOf(vStart, vEnd));
        updateExtentY(MinOf(vStart, vEnd));
    }
}

void NcAnalyzer::widenExtentsByCircle() {
    // Whichever way it turns and wherever it starts, a full circle passes all of its extreme points.
    updateExtentX(arcCentreX_ + arcRadius_);
    updateExtentX(arcCentreX_ - arcRadius_);
    updateExtentY(arcCentreY_ + arcRadius_);
    updateExtentY(arcCentreY_ - arcRadius_);
}

void NcAnalyzer::widenExtentsByPolyline() {
    const int segments = PolylineSegments(arcPath_);
    for (int index = 0; index <= segments; ++index) {
        const Point3 vertex = PolylineVertex(arcPath_, index, segments);
        updateExtentX(vertex.x);
        updateExtentY(vertex.y);
    }
}

namespace {

// Folds `value` into one axis' extents. An extent that reaches the unset coordinate in magnitude is flipped,
// so an unset X or Y stays out of the drawing's range instead of stretching it to -99999.
void FoldIntoExtent(double value, double& low, double& high) {
    if (low > value) {
        low = value;
    }
    if (high < value) {
        high = value;
    }
    if (std::fabs(low) == 99999.0) {
        low = 99999.0;
    }
    if (std::fabs(high) == 99999.0) {
        high = -99999.0;
    }
}

}  // namespace

void NcAnalyzer::updateExtentX(double value) {
    FoldIntoExtent(value, minX_, maxX_);
}

void NcAnalyzer::updateExtentY(double value) {
    FoldIntoExtent(value, minY_, maxY_);
}
