// The coordinate systems of NcAnalyzer: work offsets, the local shift, G53 and the reference return, and the
// mirror, scaling and rotation that turn the program's coordinates into the drawing's. The block parser keeps
// the program's position; the words of X, Y and Z are made to hold the drawn one, so the moves, arcs, holes
// and extents after this step all see drawing coordinates.
#include <cmath>

#include "nc/FiniteArithmetic.h"
#include "nc/NcAnalyzer.h"

namespace {

double SignOf(double value) {
    return value < 0.0 ? -1.0 : 1.0;
}

}  // namespace

void NcAnalyzer::followFrames() {
    if (isNestedBlock_) {
        return;
    }
    restoreProgramMotion();
    placeAtReference();
    if (frameCodeCount() == 0 && frames_.isIdentity() && !wordsDrawn_) {
        return;
    }
    bool reexpress = false;
    bool parameters = false;
    double special = 0.0;
    for (int index = 0; index < frameCodeCount(); ++index) {
        parameters = followFrameCode(frameCode(index), reexpress, special) || parameters;
    }
    if (parameters) {
        dropAxisWords();
    }
    // A change of transform keeps the program's position; a change of system, offset or shift keeps the tool.
    if (reexpress) {
        reexpressProgramPosition();
    }
    if (special == 53.0) {
        moveInMachineCoordinates();
    } else if (special == 28.0 || special == 30.0) {
        returnToReference();
    } else if (isPresent(Slot::X) || isPresent(Slot::Y) || isPresent(Slot::Z) || isPresent(Slot::I) ||
               isPresent(Slot::J) || isPresent(Slot::K) || isPresent(Slot::R)) {
        mapBlock();
    }
}

// A motion code swapped or replaced for one block gives way to the program's own again.
void NcAnalyzer::restoreProgramMotion() {
    if (motionOverridden_ && !wroteMotionCode()) {
        motionCode_ = programMotion_;
        words_[Slot::Motion].setValue(programMotion_);
    }
    motionOverridden_ = false;
    programMotion_ = motionCode_;
}

void NcAnalyzer::overrideMotion(int code) {
    motionOverridden_ = true;
    motionCode_ = code;
    words_[Slot::Motion].setValue(code);
}

// The move to the intermediate point has been drawn; the next one starts from the reference point.
void NcAnalyzer::placeAtReference() {
    if (!referencePending_) {
        return;
    }
    referencePending_ = false;
    // A flat arc lies at the Z the last move left: the reference point's, when Z returned.
    if (referenceAxes_[2]) {
        startZ_ = reference_.z;
        endZ_ = reference_.z;
    }
    for (int axis = 0; axis < 3; ++axis) {
        if (referenceAxes_[axis]) {
            const int slot = Slot::X + axis;
            previousWords_[slot].setValue(reference_[axis]);
            if (!isPresent(slot)) {
                words_[slot].setValue(reference_[axis]);
            }
        }
    }
}

bool NcAnalyzer::followFrameCode(double code, bool& reexpress, double& special) {
    switch (integerPart(code)) {
        case 10:
            setOffsetFromBlock(reexpress);
            return true;
        case 52:
            setLocalShiftFromBlock();
            reexpress = true;
            return true;
        case 28:
        case 30:
        case 53:
            special = code;
            return false;
        case 54:
        case 55:
        case 56:
        case 57:
        case 58:
        case 59:
            selectWorkSystem(code);
            reexpress = true;
            return false;
        case 68:
            setRotationFromBlock();
            return true;
        case 69:
            frames_.cancelRotation();
            return false;
        case 51:
            if (code == 51.1) {
                setMirrorFromBlock(true);
            } else {
                setScalingFromBlock();
            }
            return true;
        case 50:
            if (code == 50.1) {
                setMirrorFromBlock(false);
                return true;
            }
            frames_.cancelScaling();
            return false;
        default:
            return false;
    }
}

void NcAnalyzer::selectWorkSystem(double code) {
    if (code != 54.1) {
        if (code == std::floor(code)) {
            frames_.select(CoordinateFrames::kG54 + integerPart(code) - 54);
        }
        return;
    }
    const int extended = isPresent(Slot::P) ? integerPart(wordValue(Slot::P)) : 0;
    if (extended < 1 || extended > CoordinateFrames::kExtendedCount) {
        omissions_.add(Omission::OffsetNumberOutOfRange);
        return;
    }
    frames_.select(CoordinateFrames::kExtended + extended);
}

void NcAnalyzer::setWorkOffset(int system, int axis, double value) {
    Point3 offset = frames_.offset(system);
    offset[axis] = Saturated(value);
    frames_.setOffset(system, offset);
    if (offsetMovesProgram(system)) {
        placeProgramAtDrawnTool();
        wordsDrawn_ = true;
    }
}

// G54's own and the external offset move the drawing's frame only; the offset of another system in force
// moves where the program has the tool.
bool NcAnalyzer::offsetMovesProgram(int system) const {
    return system == frames_.selected() && system != CoordinateFrames::kG54;
}

// G10 L2 P0-P6 (P0 the external offset) and G10 L20 P1-P48; other G10 data (tool offsets) changes nothing
// that is drawn.
void NcAnalyzer::setOffsetFromBlock(bool& reexpress) {
    const int l = isPresent(Slot::L) ? integerPart(wordValue(Slot::L)) : 0;
    if (l != 2 && l != 20) {
        return;
    }
    const int p = isPresent(Slot::P) ? integerPart(wordValue(Slot::P)) : -1;
    int system = -1;
    if (l == 2 && p >= 0 && p <= 6) {
        system = p;
    } else if (l == 20 && p >= 1 && p <= CoordinateFrames::kExtendedCount) {
        system = CoordinateFrames::kExtended + p;
    }
    if (system < 0) {
        omissions_.add(Omission::OffsetNumberOutOfRange);
        return;
    }
    const bool incremental = wordValue(Slot::Distance) == 91.0;
    Point3 offset = frames_.offset(system);
    for (int axis = 0; axis < 3; ++axis) {
        if (isPresent(Slot::X + axis)) {
            const double written = writtenValue(Slot::X + axis);
            offset[axis] = Saturated(incremental ? offset[axis] + written : written);
        }
    }
    frames_.setOffset(system, offset);
    reexpress = reexpress || offsetMovesProgram(system);
}

// The words are the shift itself under G90 and G91 alike; an axis not named keeps its shift.
void NcAnalyzer::setLocalShiftFromBlock() {
    Point3 shift = frames_.localShift();
    for (int axis = 0; axis < 3; ++axis) {
        if (isPresent(Slot::X + axis)) {
            shift[axis] = writtenValue(Slot::X + axis);
        }
    }
    frames_.setLocalShift(shift);
}

// A centre is in absolute program coordinates even under G91; an axis not named is the tool's.
void NcAnalyzer::setRotationFromBlock() {
    const int plane = integerPart(wordValue(Slot::Plane));
    int u = 0;
    int v = 1;
    CoordinateTransform::planeAxes(plane, u, v);
    Point3 centre = programBefore_;
    for (const int axis : {u, v}) {
        if (isPresent(Slot::X + axis)) {
            centre[axis] = writtenValue(Slot::X + axis);
        }
    }
    double angle = isPresent(Slot::R) ? plainNumber(Slot::R) : 0.0;
    if (wordValue(Slot::Distance) == 91.0) {
        angle += frames_.rotationAngle();
    }
    frames_.setRotation(plane, centre, Saturated(angle));
}

void NcAnalyzer::setScalingFromBlock() {
    Point3 centre = programBefore_;
    const double common = isPresent(Slot::P) ? plainNumber(Slot::P) : 1.0;
    Point3 factors{common, common, common};
    for (int axis = 0; axis < 3; ++axis) {
        if (isPresent(Slot::X + axis)) {
            centre[axis] = writtenValue(Slot::X + axis);
        }
        if (isPresent(Slot::I + axis)) {
            factors[axis] = plainNumber(Slot::I + axis);
        }
    }
    if (factors.x == 0.0 || factors.y == 0.0 || factors.z == 0.0) {
        omissions_.add(Omission::ScaleFactorZero);
        return;
    }
    frames_.setScaling(centre, factors);
}

// G51.1 mirrors about the lines its X and Y name; G50.1 cancels the axes it names, or both when it names
// none.
void NcAnalyzer::setMirrorFromBlock(bool set) {
    const bool named = isPresent(Slot::X) || isPresent(Slot::Y);
    for (int axis = 0; axis < 2; ++axis) {
        if (isPresent(Slot::X + axis)) {
            if (set) {
                frames_.setMirror(axis, writtenValue(Slot::X + axis));
            } else {
                frames_.cancelMirror(axis);
            }
        } else if (!set && !named) {
            frames_.cancelMirror(axis);
        }
    }
}

// The axis words of G10, G52, G68, G51 and G51.1 are their data: the tool stays, and no arc is made of the
// factors I, J and K.
void NcAnalyzer::dropAxisWords() {
    for (const int slot : {Slot::X, Slot::Y, Slot::Z, Slot::R}) {
        if (isPresent(slot)) {
            words_[slot] = previousWords_[slot];
            present_[slot] = false;
        }
    }
    for (const int slot : {Slot::I, Slot::J, Slot::K}) {
        words_[slot].setValue(0.0);
        present_[slot] = false;
    }
    for (int axis = 0; axis < 3; ++axis) {
        program_[axis] = programBefore_[axis];
    }
}

// The tool stays where it is drawn, and the program's position becomes that point in the new system; an
// axis the block names goes from there.
void NcAnalyzer::reexpressProgramPosition() {
    const Point3 drawn{previousValue(Slot::X), previousValue(Slot::Y), previousValue(Slot::Z)};
    const Point3 program = frames_.transform().inverse().apply(drawn);
    const bool incremental = wordValue(Slot::Distance) == 91.0;
    for (int axis = 0; axis < 3; ++axis) {
        const int slot = Slot::X + axis;
        if (!isPresent(slot)) {
            program_[axis] = Saturated(program[axis]);
        } else if (incremental) {
            program_[axis] = Saturated(program[axis] + writtenValue(slot));
        }
    }
    wordsDrawn_ = true;
}

void NcAnalyzer::setProgramPoint(const Point3& point) {
    for (int axis = 0; axis < 3; ++axis) {
        program_[axis] = Saturated(point[axis]);
    }
}

void NcAnalyzer::placeProgramAtDrawnTool() {
    const Point3 drawn{wordValue(Slot::X), wordValue(Slot::Y), wordValue(Slot::Z)};
    setProgramPoint(frames_.isIdentity() ? drawn : frames_.transform().inverse().apply(drawn));
}

void NcAnalyzer::setDrawnAxis(int axis, double value) {
    const int slot = Slot::X + axis;
    if (isPresent(slot) || value != wordValue(slot)) {
        words_[slot].setValue(value);
        present_[slot] = true;
    }
}

// G53: the named axes go to machine coordinates, under G90 and G91 alike, as a rapid.
void NcAnalyzer::moveInMachineCoordinates() {
    if (!frames_.machineOffsetsSet()) {
        omissions_.add(Omission::MachineCoordinates);
    }
    const Point3 drawnOrigin = frames_.drawnFromMachine({0.0, 0.0, 0.0});
    Point3 drawn{previousValue(Slot::X), previousValue(Slot::Y), previousValue(Slot::Z)};
    for (int axis = 0; axis < 3; ++axis) {
        if (isPresent(Slot::X + axis)) {
            drawn[axis] = Saturated(writtenValue(Slot::X + axis) + drawnOrigin[axis]);
        }
    }
    present_[Slot::NonModalG] = false;
    for (int axis = 0; axis < 3; ++axis) {
        setDrawnAxis(axis, drawn[axis]);
    }
    overrideMotion(0);
    setProgramPoint(frames_.transform().inverse().apply(drawn));
    wordsDrawn_ = true;
}

// G28 and G30: a rapid to the intermediate point, drawn; the named axes then stand at the reference point,
// taken as machine 0. The return itself is not drawn.
void NcAnalyzer::returnToReference() {
    bool named[3];
    for (int axis = 0; axis < 3; ++axis) {
        named[axis] = isPresent(Slot::X + axis);
    }
    if (!named[0] && !named[1] && !named[2]) {
        return;
    }
    if (!frames_.machineOffsetsSet()) {
        omissions_.add(Omission::ReferenceReturn);
    }
    present_[Slot::NonModalG] = false;
    const Point3 intermediate = frames_.transform().apply(programPosition());
    const Point3 origin = frames_.drawnFromMachine({0.0, 0.0, 0.0});
    Point3 after{0.0, 0.0, 0.0};
    for (int axis = 0; axis < 3; ++axis) {
        const double drawn = Saturated(intermediate[axis]);
        setDrawnAxis(axis, drawn);
        referenceAxes_[axis] = named[axis];
        after[axis] = named[axis] ? origin[axis] : drawn;
    }
    overrideMotion(0);
    reference_ = after;
    referencePending_ = true;
    setProgramPoint(frames_.transform().inverse().apply(after));
    wordsDrawn_ = true;
}

// Every axis is drawn from the program's whole position, so a move that names X alone may move in Y under a
// rotation; arcs and canned cycles follow.
void NcAnalyzer::mapBlock() {
    if (frames_.isIdentity() && !wordsDrawn_) {
        return;
    }
    const Point3 drawn = frames_.transform().apply(programPosition());
    for (int axis = 0; axis < 3; ++axis) {
        setDrawnAxis(axis, Saturated(drawn[axis]));
    }
    wordsDrawn_ = !frames_.isIdentity();
    if (!wordsDrawn_) {
        return;
    }
    if (wordValue(Slot::Cycle) != 80.0) {
        mapCycleWords();
    } else if (motionCode() == 2 || motionCode() == 3) {
        mapArc();
    }
}

// The centre offsets and the radius scale by the factor of the plane's first axis, each offset keeping the
// sign of its own axis' factor (under equal factors exactly the transform), then turn with the rotation. A
// mirror in one axis of the plane turns the arc the other way.
void NcAnalyzer::mapArc() {
    const int plane = integerPart(wordValue(Slot::Plane));
    const Point3& factors = frames_.factors();
    const double size = std::fabs(plane == 19 ? factors.y : factors.x);
    const Point3 offsets{SignOf(factors.x) * size * wordValue(Slot::I),
                         SignOf(factors.y) * size * wordValue(Slot::J),
                         SignOf(factors.z) * size * wordValue(Slot::K)};
    const Point3 turned = frames_.rotation().applyToVector(offsets);
    for (int axis = 0; axis < 3; ++axis) {
        words_[Slot::I + axis].setValue(Saturated(turned[axis]));
    }
    if (isPresent(Slot::R)) {
        words_[Slot::R].setValue(Saturated(wordValue(Slot::R) * size));
    }
    if (!frames_.shape().keepsCircles(plane)) {
        omissions_.add(Omission::UnequalScaleArc);
    }
    if (frames_.shape().mirrors(plane)) {
        overrideMotion(5 - motionCode());
    }
}

// The levels and increments a canned cycle reads as written: R and Z levels as points on the hole's axis,
// increments under G91 (of a row of holes, of the levels) as distances.
void NcAnalyzer::mapCycleWords() {
    const CoordinateTransform& transform = frames_.transform();
    const bool incremental = wordValue(Slot::Distance) == 91.0;
    for (const int slot : {Slot::R, Slot::Z}) {
        if (!isPresent(slot)) {
            continue;
        }
        const double written = writtenValue(slot);
        const double level = incremental ? transform.applyToVector({0.0, 0.0, written}).z
                                         : transform.apply({program_[0], program_[1], written}).z;
        written_[slot] = Saturated(level);
    }
    if (incremental) {
        const Point3 step = transform.applyToVector({isPresent(Slot::X) ? writtenValue(Slot::X) : 0.0,
                                                     isPresent(Slot::Y) ? writtenValue(Slot::Y) : 0.0, 0.0});
        written_[Slot::X] = Saturated(step.x);
        written_[Slot::Y] = Saturated(step.y);
    }
}
