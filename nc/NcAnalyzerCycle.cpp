// The canned cycles of NcAnalyzer: the initial level, the R level and the hole bottom, which blocks drill,
// repeat counts, and the time of each hole.
#include <cmath>

#include "nc/FiniteArithmetic.h"
#include "nc/NcAnalyzer.h"

namespace {

// Fanuc takes K from 0 to 9999.
constexpr int kMostRepeats = 9999;

}  // namespace

void NcAnalyzer::followCycleSlot() {
    if (!isPresent(Slot::Cycle)) {
        return;
    }
    const bool wasActive = isCycleActive_;
    isCycleActive_ = wordValue(Slot::Cycle) != 80.0;
    if (isCycleActive_ && !wasActive) {
        // The tool's Z as the cycle begins stays the initial level while the cycle lasts; R and Z written
        // before it belong to other blocks.
        initialLevel_ = previousValue(Slot::Z);
        cycleRLevel_ = initialLevel_;
        hasCycleBottom_ = false;
        bottomFollowsR_ = false;
    }
}

// R and Z are worked out as they are written, under the distance mode of their block, and kept: a later
// change between G90 and G91 does not read them again.
void NcAnalyzer::takeCycleLevels() {
    if (isNestedBlock_) {
        return;
    }
    const bool incremental = wordValue(Slot::Distance) == 91.0;
    if (isPresent(Slot::R)) {
        cycleRLevel_ = incremental ? initialLevel_ + writtenValue(Slot::R) : writtenValue(Slot::R);
    }
    if (isPresent(Slot::Z)) {
        hasCycleBottom_ = true;
        bottomFollowsR_ = incremental;
        bottomBelowR_ = writtenValue(Slot::Z);
        cycleBottom_ = writtenValue(Slot::Z);
    }
    if (bottomFollowsR_) {
        cycleBottom_ = cycleRLevel_ + bottomBelowR_;
    }
}

bool NcAnalyzer::drillsHoles() const {
    // A block with a non-modal code (G04, G92, ...) is about that code, not a hole.
    return !isNestedBlock_ && !isPresent(Slot::NonModalG) &&
           (isPresent(Slot::X) || isPresent(Slot::Y) || isPresent(Slot::Z) || isPresent(Slot::R));
}

// K, or L as older programs write it, counts holes as written (no thousandths), rounded half away from zero.
int NcAnalyzer::repeatCount() {
    double count = 1.0;
    if (isPresent(Slot::K)) {
        count = std::round(writtenNumber(Slot::K));
    } else if (isPresent(Slot::L)) {
        count = std::round(wordValue(Slot::L));
    }
    if (count < 0.0) {
        omissions_.add(Omission::NegativeRepeatCount);
        return 0;
    }
    if (count > kMostRepeats) {
        omissions_.add(Omission::RepeatCountOver9999);
        return kMostRepeats;
    }
    return static_cast<int>(count);
}

void NcAnalyzer::drillHoles() {
    if (!drillsHoles()) {
        return;
    }
    const int count = repeatCount();
    if (!hasCycleBottom_) {
        omissions_.add(Omission::CycleWithoutZ);
    }
    if (count == 0 || !hasCycleBottom_) {
        keepToolInPlace();
        return;
    }
    const bool incremental = wordValue(Slot::Distance) == 91.0;
    HoleRow& row = holes_;
    row.count = count;
    row.fromX = previousValue(Slot::X);
    row.fromY = previousValue(Slot::Y);
    row.fromZ = previousValue(Slot::Z);
    row.firstX = wordValue(Slot::X);
    row.firstY = wordValue(Slot::Y);
    // Under G91 every repeat moves by the increments the block wrote; an axis it did not write stays.
    row.stepX = incremental && isPresent(Slot::X) ? writtenValue(Slot::X) : 0.0;
    row.stepY = incremental && isPresent(Slot::Y) ? writtenValue(Slot::Y) : 0.0;
    if (polarAngleStep() != 0.0 && wordValue(Slot::Plane) == 17.0) {
        const Point3 centre = frames_.transform().apply({polarCentreU(), polarCentreV(), 0.0});
        row.turn = polarAngleStep() * kRadiansPerDegree * (frames_.shape().mirrors(17) ? -1.0 : 1.0);
        row.centreX = centre.x;
        row.centreY = centre.y;
    }
    row.rLevel = cycleRLevel_;
    row.bottom = cycleBottom_;
    row.returnLevel = wordValue(Slot::ReturnMode) == 99.0 ? cycleRLevel_ : initialLevel_;
    row.cycleCode = integerPart(wordValue(Slot::Cycle));
    cycleCode_ = row.cycleCode;
    peckDepth_ = std::fabs(wordValue(Slot::Q));

    double x = row.fromX;
    double y = row.fromY;
    for (int index = 0; index < count; ++index) {
        chargeHole(x, y, row.x(index), row.y(index));
        x = row.x(index);
        y = row.y(index);
        updateExtentX(x);
        updateExtentY(y);
    }
    // The tool stands over the last hole at the return level, for the next hole and every move after the
    // cycle.
    setWord(Slot::X, x);
    setWord(Slot::Y, y);
    setWord(Slot::Z, row.returnLevel);
    placeProgramAtDrawnTool();
    startZ_ = row.returnLevel;
    endZ_ = row.returnLevel;
}

void NcAnalyzer::keepToolInPlace() {
    for (const int axis : {Slot::X, Slot::Y, Slot::Z}) {
        if (isPresent(axis)) {
            setWord(axis, previousValue(axis));
            program_[axis - Slot::X] = programBefore_[axis - Slot::X];
        }
    }
}

// The positioning rapid, the depth at the feed rate and the pecks; the return is not charged.
void NcAnalyzer::chargeHole(double fromX, double fromY, double x, double y) {
    moveLength_ = RootOfSquares(x - fromX, y - fromY);
    moveTime_ = moveLength_ / rapidRate_;
    totalTime_ = Saturated(totalTime_ + moveTime_);
    const double depth = std::fabs(holes_.bottom - holes_.rLevel);
    chargeHoleDepth(depth);
    // Without a peck depth there are no pecks; the depth alone has been charged.
    if (holes_.cycleCode == 83 && peckDepth_ != 0.0) {
        chargePecks(depth);
    }
}

void NcAnalyzer::chargeHoleDepth(double depth) {
    moveLength_ = depth;
    // Without a feed rate the depth waits for the next hole drilled at a known rate.
    if (feedRate_ == 0.0) {
        pendingHoleDepth_ = moveLength_;
        return;
    }
    moveLength_ += pendingHoleDepth_;
    pendingHoleDepth_ = 0.0;
    moveTime_ = Saturated(moveLength_ / feedRate_);
    totalTime_ = Saturated(totalTime_ + moveTime_);
}

void NcAnalyzer::chargePecks(double depth) {
    // Every peck retracts and comes back at the rapid rate; the count of pecks is not made whole.
    moveLength_ = depth / peckDepth_ * peckAllowance_;
    if (!std::isfinite(moveLength_)) {
        moveLength_ = NarrowedToDouble(static_cast<long double>(depth) / peckDepth_ * peckAllowance_);
    }
    moveTime_ = moveLength_ / rapidRate_;
    totalTime_ = Saturated(totalTime_ + moveTime_);
}
