// NcAnalyzer: the modal interpreter of an NC program.
//
// Every line handed to `load` is split into words by the block parser, then interpreted: the modal state, the
// move the block commands (a line, or an arc in G17, G18 or G19), the canned-cycle hole, the
// cutter-compensation state, the machining time and the drawing extents. The readers (dispatch, tool report,
// DXF writers) see the results through the accessors after each line. No input is rejected and nothing is
// reported; what a block holds that is not drawn is only recorded (`omissions()`), and drawing and reporting
// are left to the readers. One analyzer serves one conversion run.
#pragma once

#include "core/SString.h"
#include "nc/NcBlock.h"

class NcAnalyzer : public NcBlock {
public:
    // Multiply radians by this to get degrees.
    static constexpr double kDegreesPerRadian = 57.29577951308232;
    // Multiply degrees by this to get radians.
    static constexpr double kRadiansPerDegree = 0.017453292519943295;

    NcAnalyzer() = default;

    // Parses the line, then interprets it.
    NcAnalyzer& load(const SString& text) override;

    // The quadrant 1 to 4 of an angle in radians; 4 also for 360 degrees and beyond, and for negative angles.
    static int quadrantOf(double angle);

    bool isRapidMode() const { return motionCode() == 0; }
    bool isFeedMode() const { return motionCode() == 1; }
    // An arc whose end X and Y equal its start, whatever the plane.
    bool isFullCircle() const;
    bool isPartialArc() const;
    // The block was an R arc that ends where it starts: no move, nothing to draw, no time.
    bool isMoveSkipped() const { return isMoveSkipped_; }
    bool isRapidMove() const { return isRapidMove_; }
    bool isCycleActive() const { return isCycleActive_; }
    bool isCompensationOn() const { return isCompensationOn_; }

    int toolInSpindle() const { return toolInSpindle_; }
    int compensationD() const { return compensationD_; }
    int compensationCode() const { return compensationCode_; }
    int cycleCode() const { return cycleCode_; }

    double returnLevel() const { return returnLevel_; }
    double rLevel() const { return rLevel_; }
    double toolDiameter() const { return toolDiameter_; }
    double feedRate() const { return feedRate_; }
    double rapidRate() const { return rapidRate_; }
    // Machining time in minutes since the analyzer was made.
    double totalTime() const { return totalTime_; }
    // Length and time of the last move, or of the last hole's depth or pecks.
    double moveLength() const { return moveLength_; }
    double moveTime() const { return moveTime_; }

    double holeX() const { return holeX_; }
    double holeY() const { return holeY_; }
    // The hole bottom.
    double holeZ() const { return holeZ_; }

    // Start and end of the last move; for an arc, in the coordinates of its plane, Z left at the last line.
    double startX() const { return startX_; }
    double startY() const { return startY_; }
    double startZ() const { return startZ_; }
    double endX() const { return endX_; }
    double endY() const { return endY_; }
    double endZ() const { return endZ_; }

    double arcCentreX() const { return arcCentreX_; }
    double arcCentreY() const { return arcCentreY_; }
    // 0 after every linear move.
    double arcRadius() const { return arcRadius_; }
    // Angles from the arc centre to its start and end, in radians when asked, else in degrees; exchanged
    // under G18.
    double startAngle(bool radians) const { return radians ? startAngle_ : startAngle_ * kDegreesPerRadian; }
    double endAngle(bool radians) const { return radians ? endAngle_ : endAngle_ * kDegreesPerRadian; }

    double minX() const { return minX_; }
    double minY() const { return minY_; }
    double maxX() const { return maxX_; }
    double maxY() const { return maxY_; }

private:
    void interpret();

    void takeToolDiameter();
    void followCycleSlot();
    void recordInitialLevel();
    void updateReturnLevel();
    void countHole();
    void selectTool();
    void changeTool();
    void takeFeed();
    void followCompensation();
    void restoreNonModalX();
    // Re-enters the interpretation: parses and interprets `text` as a block of its own in the middle of the
    // current block, whose remaining steps then see the nested block's words.
    void interpretNestedBlock(const SString& text);
    void move();
    void foldBlockIntoExtents();

    void chargeHoleDepth();
    void chargePecks();
    void chargeMoveTime();

    void linearMove();
    void circularMove();
    // The centre offsets of an arc given by R. False when the arc ends where it starts.
    bool centreOffsetsFromR(double uStart, double vStart, double uEnd, double vEnd, bool counterClockwise,
                            double& i, double& j);
    void widenExtentsByArc(unsigned boundariesPassed, int plane);
    // The plane distance between two points; sets lineAngle_ to the direction from the first to the second.
    double directionOf(double x0, double y0, double x1, double y1);
    void updateExtentX(double value);
    void updateExtentY(double value);

    double homeX_ = 0.0;
    double homeY_ = 0.0;
    double homeZ_ = 200.0;
    double returnLevel_ = 0.0;
    double rLevel_ = 0.0;
    double peckDepth_ = 1.0;
    double peckAllowance_ = 0.2;
    int toolInSpindle_ = 0;
    int selectedTool_ = 1;
    int compensationD_ = 0;
    int cycleCode_ = 0;
    int compensationCode_ = 0;
    double toolDiameter_ = 0.0;
    double feedRate_ = 0.0;
    double rapidRate_ = 5000.0;
    double totalTime_ = 0.0;
    double moveLength_ = 0.0;
    double moveTime_ = 0.0;
    double lineAngle_ = 0.0;
    // Until the first hole there is no last hole, so the first one always counts as new.
    bool hasLastHole_ = false;
    double lastHoleX_ = 0.0;
    double lastHoleY_ = 0.0;
    double holeX_ = 0.0;
    double holeY_ = 0.0;
    double holeZ_ = 0.0;
    double startX_ = 0.0;
    double startY_ = 0.0;
    double startZ_ = 0.0;
    double endX_ = 0.0;
    double endY_ = 0.0;
    double endZ_ = 0.0;
    double arcCentreX_ = 0.0;
    double arcCentreY_ = 0.0;
    double arcRadius_ = 0.0;
    double startAngle_ = 0.0;
    double endAngle_ = 0.0;
    double minX_ = 9999.0;
    double minY_ = 9999.0;
    double maxX_ = -9999.0;
    double maxY_ = -9999.0;
    bool isCycleActive_ = false;
    bool isCompensationOn_ = false;
    bool isRapidMove_ = true;
    bool isMoveSkipped_ = false;
    // The Z level recorded while no cycle is active, and a hole depth held back while F is 0. Both belong to
    // this run alone: a batch of files gives each file the time it would get on its own.
    double initialLevel_ = 0.0;
    double pendingHoleDepth_ = 0.0;
};
