// NcAnalyzer: the modal interpreter of an NC program.
//
// Every line handed to `load` is split into words by the block parser, then interpreted: the modal state, the
// move the block commands (a line, an arc, or a helix or an arc out of the XY plane, which is drawn as a
// polyline), the canned-cycle holes, the cutter-compensation state, the machining time and the drawing
// extents. The readers (dispatch, tool report, DXF writers) see the results through the accessors after each
// line. No input is rejected and nothing is reported; what a block holds that is not drawn is only recorded
// (`omissions()`), and drawing and reporting are left to the readers. One analyzer serves one conversion run.
#pragma once

#include "core/SString.h"
#include "nc/Angles.h"
#include "nc/ArcPath.h"
#include "nc/CoordinateFrames.h"
#include "nc/HoleRow.h"
#include "nc/NcBlock.h"

class NcAnalyzer : public NcBlock {
public:
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
    // A control reads coordinates in whole thousandths, so an arc whose end lies within half of one of its
    // start makes a whole turn there; sums of G91 increments in doubles miss the start by far less.
    static constexpr double kHalfIncrement = 0.0005;
    static bool endsWhereItStarts(double uStart, double vStart, double uEnd, double vEnd);
    bool endsWhereItStarts() const;
    // The block in arc mode moved nothing: it named no axis nor centre, or it was an R arc that ends where it
    // starts. Nothing to draw, no time.
    bool isMoveSkipped() const { return isMoveSkipped_; }
    // The block made an arc, full circle or helix (outside a canned cycle).
    bool isArcMove() const { return isArcMove_; }
    // The arc made was a helix or lies in G18 or G19: it is drawn as the polyline of `arcPath()`.
    bool isPolylineArc() const { return isArcMove_ && isPolylineArc_; }
    const ArcPath& arcPath() const { return arcPath_; }
    bool isRapidMove() const { return isRapidMove_; }
    bool isCycleActive() const { return isCycleActive_; }
    bool isCompensationOn() const { return isCompensationOn_; }

    int toolInSpindle() const { return toolInSpindle_; }
    int compensationD() const { return compensationD_; }
    int compensationCode() const { return compensationCode_; }
    int cycleCode() const { return cycleCode_; }

    // The holes the block drilled; a count of 0 when it drilled none.
    const HoleRow& holes() const { return holes_; }
    double toolDiameter() const { return toolDiameter_; }
    double feedRate() const { return feedRate_; }
    double rapidRate() const { return rapidRate_; }
    // Machining time in minutes since the analyzer was made.
    double totalTime() const { return totalTime_; }
    // Length and time of the last move, or of the last hole's positioning, depth or pecks.
    double moveLength() const { return moveLength_; }
    double moveTime() const { return moveTime_; }

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

    // The work systems and transforms in force.
    const CoordinateFrames& frames() const { return frames_; }
    // A work offset written by a macro between blocks: as G10 sets it.
    void setWorkOffset(int system, int axis, double value);

    double minX() const { return minX_; }
    double minY() const { return minY_; }
    double maxX() const { return maxX_; }
    double maxY() const { return maxY_; }

private:
    void interpret();

    // Coordinate systems (NcAnalyzerFrames.cpp): the block's frame codes are carried out and its words
    // turned into drawing coordinates.
    void followFrames();
    void restoreProgramMotion();
    void placeAtReference();
    // Returns whether the block's axis words are the code's parameters rather than a move.
    bool followFrameCode(double code, bool& reexpress, double& special);
    void selectWorkSystem(double code);
    void setOffsetFromBlock(bool& reexpress);
    void setLocalShiftFromBlock();
    void setRotationFromBlock();
    void setScalingFromBlock();
    void setMirrorFromBlock(bool set);
    void dropAxisWords();
    void reexpressProgramPosition();
    void moveInMachineCoordinates();
    void returnToReference();
    void mapBlock();
    void mapArc();
    void mapCycleWords();
    void overrideMotion(int code);
    void setProgramPoint(const Point3& point);
    void setDrawnAxis(int axis, double value);
    // The program's position after the interpreter placed the tool (over the last hole of a cycle).
    void placeProgramAtDrawnTool();
    bool offsetMovesProgram(int system) const;

    void takeToolDiameter();
    void followCycleSlot();
    void takeCycleLevels();
    void drillHoles();
    int repeatCount();
    bool drillsHoles() const;
    // Leaves the tool where the block found it, whatever X, Y and Z the block wrote.
    void keepToolInPlace();
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

    void chargeHole(double fromX, double fromY, double x, double y);
    void chargeHoleDepth(double depth);
    void chargePecks(double depth);
    void chargeMoveTime();

    void linearMove();
    void circularMove();
    // The centre offsets of an arc given by R. False when the arc ends where it starts.
    bool centreOffsetsFromR(double uStart, double vStart, double uEnd, double vEnd, bool counterClockwise,
                            double& i, double& j);
    void widenExtentsByArc(unsigned boundariesPassed, int plane);
    void widenExtentsByCircle();
    void widenExtentsByPolyline();
    // The polyline of the arc just worked out, from its centre-to-start angle and its signed sweep.
    void makeArcPath(int plane, double startAngle, double sweep);
    // The plane distance between two points; sets lineAngle_ to the direction from the first to the second.
    double directionOf(double x0, double y0, double x1, double y1);
    void updateExtentX(double value);
    void updateExtentY(double value);

    double homeX_ = 0.0;
    double homeY_ = 0.0;
    double homeZ_ = 200.0;
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
    // The levels of the canned cycle in force. Only R and Z written since the cycle began count; until then
    // the R level is the initial level and there is no bottom. A bottom written under G91 is an increment
    // from the R level and follows a later R.
    double cycleRLevel_ = 0.0;
    bool hasCycleBottom_ = false;
    bool bottomFollowsR_ = false;
    double cycleBottom_ = 0.0;
    double bottomBelowR_ = 0.0;
    HoleRow holes_;
    // The block being interpreted is the one nested in a non-modal block: it drills nothing.
    bool isNestedBlock_ = false;
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
    bool isArcMove_ = false;
    bool isPolylineArc_ = false;
    ArcPath arcPath_{};
    // The tool's Z when the canned cycle in force began, and a hole depth held back while F is 0. Both belong
    // to this run alone: a batch of files gives each file the time it would get on its own.
    double initialLevel_ = 0.0;
    double pendingHoleDepth_ = 0.0;
    CoordinateFrames frames_;
    // The words of X, Y and Z may differ from the program's position: each move is mapped until they agree.
    bool wordsDrawn_ = false;
    // A block drawn with another motion code than the program's (a mirrored arc, a G53 or G28 rapid); the
    // program's code is back for the next block.
    bool motionOverridden_ = false;
    int programMotion_ = 0;
    // After G28 or G30 the named axes stand at the reference point, drawn at `reference_`, once the
    // intermediate move has been drawn.
    bool referenceAxes_[3] = {false, false, false};
    bool referencePending_ = false;
    Point3 reference_{0.0, 0.0, 0.0};
};
