// NcBlock: one NC line split into address words, kept in a fixed table of word slots.
//
// There is one slot per address letter and one per modal group of G codes. Words persist from block to block,
// so the table always holds the modal state of every address. The parser never reports an error: it reads
// words until the first character it does not take, and notes what it left unread (`omissions()`).
// Coordinates without a point are taken in thousandths, and under G91 coordinates are made absolute here, so
// the interpreter only ever sees absolute values.
#pragma once

#include <cstdint>

#include <string_view>

#include "core/SString.h"
#include "nc/BlockScan.h"
#include "nc/NcWord.h"
#include "nc/Omission.h"
#include "nc/Point3.h"

namespace Slot {
constexpr int OtherG = 0;      // G codes of no listed group
constexpr int NonModalG = 1;   // G04, G28, G29, G30, G52, G53, G92
constexpr int Motion = 2;      // G00, G01, G02, G03, G33
constexpr int Plane = 3;       // G17, G18, G19
constexpr int Distance = 4;    // G90, G91
constexpr int CutterComp = 5;  // G40, G41, G42
constexpr int ToolLength = 6;  // G43, G44, G49
constexpr int Cycle = 7;       // G73, G74, G76, G80 to G89
constexpr int ReturnMode = 8;  // G98, G99
constexpr int WorkCoords = 9;  // G54 to G59
constexpr int O = 10;
constexpr int N = 11;
constexpr int X = 12;
constexpr int Y = 13;
constexpr int Z = 14;
constexpr int A = 15;
constexpr int B = 16;
constexpr int C = 17;
constexpr int I = 18;
constexpr int J = 19;
constexpr int K = 20;
constexpr int F = 21;
constexpr int S = 22;
constexpr int T = 23;
constexpr int H = 24;
constexpr int D = 25;
constexpr int M = 26;
constexpr int R = 27;
constexpr int Q = 28;
constexpr int P = 29;
constexpr int L = 30;
constexpr int Count = 31;
}  // namespace Slot

// How numbers are read into lengths: a control set to inch (until the program says G20 or G21), and
// calculator-type decimal point input, where a number without a point is a whole number of its unit.
struct UnitOptions {
    bool inchByDefault = false;
    bool calculatorDecimals = false;

    bool operator==(const UnitOptions&) const = default;
};

class NcBlock {
public:
    // The longest line the parser reads; the rest of a longer text is ignored.
    static constexpr int kMaxLineLength = static_cast<int>(ScannedBlock::kMaxLength);

    NcBlock();

    // The start words, the text "%", no slot present, motion code 0.
    void setDefaults();
    // Set before the first block of a run.
    void setUnitOptions(const UnitOptions& options);
    // G20 is in force: lengths and feeds are read in inch and kept in mm.
    bool isInch() const { return inch_; }
    bool readsCalculatorDecimals() const { return calculatorDecimals_; }
    // Under G16, the angle the block added under G91 (0 otherwise) and the centre of the polar coordinates in
    // the plane: what a repeat count turns further holes by.
    double polarAngleStep() const { return polar_.active ? polar_.angleStep : 0.0; }
    double polarCentreU() const { return polar_.centreU; }
    double polarCentreV() const { return polar_.centreV; }

    // Where the program has the tool in its own coordinates (X, Y, Z) after the block: the words of X, Y and Z
    // hold where it is drawn, which differs under a coordinate transform.
    const Point3& programPosition() const { return program_; }
    // The block's codes that set, select or leave a coordinate system (G10, G28, G30, G50 to G59, G68,
    // G69) in the order written, up to kMaxFrameCodes of them: what the interpreter's frame step acts on.
    static constexpr int kMaxFrameCodes = 8;
    int frameCodeCount() const { return frameCodeCount_; }
    double frameCode(int index) const { return frameCodes_[index]; }
    // Whether the block itself wrote a motion code (the motion group's presence carries over).
    bool wroteMotionCode() const { return motionWritten_; }
    // A number that is no length (an angle, a factor) as the block wrote it in a present slot: in thousandths
    // when written without a point, unless numbers are read as calculator decimals.
    double plainNumber(int slot) const;

    // Stores the text and parses it.
    virtual NcBlock& load(const SString& text);
    virtual SString text() const;
    virtual ~NcBlock() = default;

    // Whether the next text loaded begins inside a comment that the piece before it, of the same long line,
    // left open. Holds for one load.
    void setOpenComment(bool open) { openComment_ = open; }

    // Reads the words of the stored text: 1 when the block holds a word, 0 when it holds none.
    int parse();

    // The stored text without a copy; same content as text().
    const SString& blockText() const { return text_; }

    double wordValue(int slot) const { return words_[slot].value(); }
    double previousValue(int slot) const { return previousWords_[slot].value(); }
    // Gives the slot's word a new value (the old one becoming its former value) and marks the slot present.
    // For X, Y and Z the caller keeps `program_` in step.
    void setWord(int slot, double value);
    bool isPresent(int slot) const { return present_[slot]; }
    // Some block since the start has written the slot (the start words do not count).
    bool everWritten(int slot) const { return present_[slot] || (everWritten_ & (1u << slot)) != 0; }
    bool wasPresent(int slot) const { return presentBefore_[slot]; }
    const NcWord& word(int slot) const { return words_[slot]; }
    const NcWord& previousWord(int slot) const { return previousWords_[slot]; }
    // What the current block wrote in a present slot: the value before G91 made a coordinate absolute (an
    // increment under G91), and the number as written, before a letter read in thousandths was scaled.
    double writtenValue(int slot) const { return written_[slot]; }
    double writtenNumber(int slot) const { return writtenNumber_[slot]; }
    int motionCode() const { return motionCode_; }
    int previousMotionCode() const { return previousMotionCode_; }
    bool isCommentLine() const { return commentLine_; }
    // What the last block held that is not drawn, in the order met.
    const OmissionList& omissions() const { return omissions_; }

    // The slot 0 to 9 of an integer G number.
    static int gGroupOf(int code);
    // False for the coordinate letters A, B, C, I, J, K, Q, R, X, Y and Z, true for every other character.
    static bool isIntegerLetter(char c);
    // The slot of an upper-case address letter other than G; -1 for G, E, U, V, W and any other character.
    static int slotOfLetter(char c);
    // False for the slots of the coordinate letters.
    static bool isIntegerSlot(int slot);
    // The integer part of a value, truncated toward zero and held within the 32-bit range (NaN gives 0).
    static int integerPart(double value);

protected:
    SString text_;
    NcWord words_[Slot::Count];
    NcWord previousWords_[Slot::Count];
    bool present_[Slot::Count];
    bool presentBefore_[Slot::Count];
    static_assert(Slot::Count <= 32, "one bit per slot");
    std::uint32_t everWritten_ = 0;
    double written_[Slot::Count];
    double writtenNumber_[Slot::Count];
    std::uint32_t writtenPoints_ = 0;  // one bit per slot: the number was written with a point
    Point3 program_{kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate};
    Point3 programBefore_{kUnsetCoordinate, kUnsetCoordinate, kUnsetCoordinate};
    double frameCodes_[kMaxFrameCodes] = {};
    int frameCodeCount_ = 0;
    bool motionWritten_ = false;
    int motionCode_;
    int previousMotionCode_;
    bool commentLine_;
    OmissionList omissions_;

private:
    void closePreviousBlock();
    void takeWord(NcWord& scratch, const ScannedWord& word, std::string_view number);
    void noteGCode(double value);
    void noteBlockEnd(BlockEnd end);
    void followModes();
    void polarSlots(int& radius, int& angle) const;
    void startPolar();
    void placePolarPoint();
    double lengthOf(char letter, double value, bool point) const;

    bool openComment_;
    bool inch_ = false;
    // G16: the radius and angle last written, and the centre the radius is about.
    struct PolarState {
        bool active = false;
        double radius = 0.0;
        double angle = 0.0;
        double centreU = 0.0;
        double centreV = 0.0;
        double angleStep = 0.0;
    };
    PolarState polar_;
    bool calculatorDecimals_ = false;
    ScannedBlock scanned_;
};
