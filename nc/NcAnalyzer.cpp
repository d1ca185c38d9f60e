#include "nc/NcAnalyzer.h"

#include <cmath>

#include "nc/FiniteArithmetic.h"

NcAnalyzer& NcAnalyzer::load(const SString& text) {
    NcBlock::load(text);
    interpret();
    return *this;
}

bool NcAnalyzer::isFullCircle() const {
    return motionCode() > 1 && !isMoveSkipped_ && wordValue(Slot::X) == previousValue(Slot::X) &&
           wordValue(Slot::Y) == previousValue(Slot::Y);
}

bool NcAnalyzer::isPartialArc() const {
    return motionCode() > 1 && !isMoveSkipped_ &&
           (wordValue(Slot::X) != previousValue(Slot::X) || wordValue(Slot::Y) != previousValue(Slot::Y));
}

void NcAnalyzer::interpret() {
    // The order matters: a hole is counted (5) before an F of the same block is taken (8), and the nested
    // block of step 10 re-enters this function and runs completely before this block's move (11) and
    // extents (12).
    // 1 tool diameter, 2 cycle flag, 3 initial level, 4 return level, 5 hole, 6 tool number, 7 tool change,
    // 8 feed, 9 cutter compensation, 10 non-modal X, 11 motion, 12 extents.
    takeToolDiameter();
    followCycleSlot();
    recordInitialLevel();
    if (isCycleActive_) {
        updateReturnLevel();
        countHole();
    }
    selectTool();
    changeTool();
    takeFeed();
    followCompensation();
    restoreNonModalX();
    move();
    foldBlockIntoExtents();
}

void NcAnalyzer::takeToolDiameter() {
    // Only the very first character counts: a comment indented by spaces is not looked at.
    const char first = blockText().str()[0];
    if (first == '(' || first == '*') {
        static const SString kDiameterKey("DIA");
        toolDiameter_ = blockText().readNumber(kDiameterKey);
    }
}

void NcAnalyzer::followCycleSlot() {
    if (isPresent(Slot::Cycle)) {
        isCycleActive_ = wordValue(Slot::Cycle) != 80.0;
    }
}

void NcAnalyzer::recordInitialLevel() {
    if (!isCycleActive_ && isPresent(Slot::Z)) {
        initialLevel_ = wordValue(Slot::Z);
    }
}

void NcAnalyzer::updateReturnLevel() {
    const double mode = wordValue(Slot::ReturnMode);
    if (mode == 99.0) {
        returnLevel_ = wordValue(Slot::R);
    } else if (mode == 98.0) {
        returnLevel_ = initialLevel_;
    }
}

void NcAnalyzer::countHole() {
    holeX_ = wordValue(Slot::X);
    holeY_ = wordValue(Slot::Y);
    holeZ_ = wordValue(Slot::Z);
    if (hasLastHole_ && holeX_ == lastHoleX_ && holeY_ == lastHoleY_) {
        return;
    }
    rLevel_ = wordValue(Slot::R);
    peckDepth_ = wordValue(Slot::Q);
    cycleCode_ = integerPart(wordValue(Slot::Cycle));
    hasLastHole_ = true;
    lastHoleX_ = holeX_;
    lastHoleY_ = holeY_;
    chargeHoleDepth();
    // Without a peck depth there are no pecks; the depth alone has been charged.
    if (cycleCode_ == 83 && peckDepth_ != 0.0) {
        chargePecks();
    }
}

void NcAnalyzer::chargeHoleDepth() {
    moveLength_ = std::fabs(holeZ_ - rLevel_);
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

void NcAnalyzer::chargePecks() {
    // Every peck retracts and comes back at the rapid rate; the count of pecks is not made whole.
    moveLength_ = std::fabs(holeZ_ - rLevel_) / peckDepth_ * peckAllowance_;
    if (!std::isfinite(moveLength_)) {
        const long double depth = std::fabs(static_cast<long double>(holeZ_) - rLevel_);
        moveLength_ = NarrowedToDouble(depth / peckDepth_ * peckAllowance_);
    }
    moveTime_ = moveLength_ / rapidRate_;
    totalTime_ = Saturated(totalTime_ + moveTime_);
}

void NcAnalyzer::selectTool() {
    if (isPresent(Slot::T)) {
        selectedTool_ = integerPart(wordValue(Slot::T));
    }
}

void NcAnalyzer::changeTool() {
    if (isPresent(Slot::M) && wordValue(Slot::M) == 6.0) {
        toolInSpindle_ = selectedTool_;
    }
}

void NcAnalyzer::takeFeed() {
    if (isPresent(Slot::F)) {
        feedRate_ = wordValue(Slot::F);
    }
}

void NcAnalyzer::followCompensation() {
    if (!isPresent(Slot::CutterComp)) {
        return;
    }
    const double code = wordValue(Slot::CutterComp);
    if (code == 40.0) {
        // The code of the last G41 or G42 stays for the tool report.
        isCompensationOn_ = false;
        compensationD_ = 0;
    } else {
        isCompensationOn_ = true;
        compensationD_ = integerPart(wordValue(Slot::D));
        compensationCode_ = integerPart(code);
    }
}

void NcAnalyzer::restoreNonModalX() {
    if (!isPresent(Slot::NonModalG) || !isPresent(Slot::X)) {
        return;
    }
    // X of a G92, G28 or similar block is no target. Loading a block of X alone at the former X makes the
    // previous values of all words equal to their current ones, so neither block moves.
    const double formerX = previousValue(Slot::X);
    setWord(Slot::X, formerX);
    // Under G91 the parser adds the former X to the nested X, which would double it; an increment of 0 keeps
    // X where it was.
    const double nestedX = wordValue(Slot::Distance) == 91.0 ? 0.0 : formerX;
    interpretNestedBlock(SString("X") + SString(nestedX, 5));
}

void NcAnalyzer::interpretNestedBlock(const SString& text) {
    // The nested block holds only an X the current block already had, so what the current block left
    // undrawn is all there is to keep of it.
    const OmissionList current = omissions_;
    NcBlock::load(text);
    interpret();
    omissions_ = current;
}

void NcAnalyzer::move() {
    isMoveSkipped_ = false;
    const double motion = wordValue(Slot::Motion);
    if (isPresent(Slot::Motion)) {
        isRapidMove_ = motion == 0.0;
        // A rapid move is made even under a canned cycle: it positions over the hole and down to its bottom.
        if (isRapidMove_) {
            linearMove();
        }
    }
    if (motion == 1.0 && !isCycleActive_) {
        linearMove();
    }
    if (motion > 1.0 && !isCycleActive_) {
        circularMove();
    }
}

void NcAnalyzer::foldBlockIntoExtents() {
    if (isPresent(Slot::X) && !isPresent(Slot::NonModalG)) {
        updateExtentX(wordValue(Slot::X));
    }
    if (isPresent(Slot::Y)) {
        updateExtentY(wordValue(Slot::Y));
    }
}

void NcAnalyzer::chargeMoveTime() {
    // Moves before the first F are charged at one length unit per minute rather than dividing by zero.
    double rate = isRapidMove_ ? rapidRate_ : feedRate_;
    if (rate == 0.0) {
        rate = 1.0;
    }
    moveTime_ = Saturated(moveLength_ / rate);
    totalTime_ = Saturated(totalTime_ + moveTime_);
}
