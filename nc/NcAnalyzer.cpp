#include "nc/NcAnalyzer.h"

#include <cmath>

#include "nc/FiniteArithmetic.h"

NcAnalyzer& NcAnalyzer::load(const SString& text) {
    NcBlock::load(text);
    interpret();
    return *this;
}

bool NcAnalyzer::isFullCircle() const {
    return motionCode() > 1 && !isMoveSkipped_ && endsWhereItStarts();
}

bool NcAnalyzer::isPartialArc() const {
    return motionCode() > 1 && !isMoveSkipped_ && !endsWhereItStarts();
}

bool NcAnalyzer::endsWhereItStarts() const {
    return endsWhereItStarts(previousValue(Slot::X), previousValue(Slot::Y), wordValue(Slot::X),
                             wordValue(Slot::Y));
}

void NcAnalyzer::interpret() {
    // The order matters: holes are counted (5) before an F of the same block is taken (8), and the nested
    // block of step 10 re-enters this function and runs completely before this block's move (11) and
    // extents (12).
    // 1 tool diameter, 2 cycle flag and initial level, 3 R level and bottom, 4 and 5 holes, 6 tool number,
    // 7 tool change, 8 feed, 9 cutter compensation, 10 non-modal X, 11 motion, 12 extents.
    holes_.count = 0;
    followFrames();
    takeToolDiameter();
    followCycleSlot();
    if (isCycleActive_) {
        takeCycleLevels();
        drillHoles();
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
        // A diameter is a size: "DIA-10." is a slip of the sign, and a negative hole circle has no meaning.
        toolDiameter_ = std::fabs(blockText().readNumber(kDiameterKey)) * (isInch() ? 25.4 : 1.0);
    }
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
        // A feed rate is a speed: a negative F would charge negative machining time.
        feedRate_ = std::fabs(wordValue(Slot::F));
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
        // A mirror in one axis of the plane swaps the side the tool is on.
        compensationCode_ = integerPart(frames_.shape().mirrors(17) ? 83.0 - code : code);
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
    program_[0] = programBefore_[0];
    // Under G91 the parser adds the former X to the nested X, which would double it; an increment of 0 keeps
    // X where it was.
    const double nestedX = wordValue(Slot::Distance) == 91.0 ? 0.0 : formerX;
    interpretNestedBlock(SString("X") + SString(nestedX, 5));
}

void NcAnalyzer::interpretNestedBlock(const SString& text) {
    // The nested block holds only an X the current block already had, so what the current block left
    // undrawn is all there is to keep of it, and it drills no hole.
    const OmissionList current = omissions_;
    const Point3 program = programPosition();
    const Point3 programBefore = programBefore_;
    isNestedBlock_ = true;
    NcBlock::load(text);
    interpret();
    isNestedBlock_ = false;
    omissions_ = current;
    setProgramPoint(program);
    programBefore_ = programBefore;
}

void NcAnalyzer::move() {
    isMoveSkipped_ = false;
    isArcMove_ = false;
    const double motion = wordValue(Slot::Motion);
    if (isPresent(Slot::Motion)) {
        isRapidMove_ = motion == 0.0;
    }
    // In a canned cycle the tool moves only from hole to hole.
    if (isCycleActive_) {
        return;
    }
    if (motion == 0.0 && isPresent(Slot::Motion)) {
        linearMove();
    }
    if (motion == 1.0) {
        linearMove();
    }
    if (motion > 1.0) {
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
