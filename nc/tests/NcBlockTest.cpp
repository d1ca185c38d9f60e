#include "nc/NcBlock.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace {

// Exposes the result of parse(), which load() drops.
class ReadableBlock : public NcBlock {
public:
    int read(const std::string& line) {
        text_ = SString(line);
        return parse();
    }
};

struct SlotValue {
    int slot;
    double value;
};

struct LineCase {
    const char* name;
    std::vector<std::string> before;  // loaded first, in order
    std::string line;
    int parsed;
    std::vector<SlotValue> values;
    std::vector<int> present;  // exactly these slots
    int motionCode;
};

std::vector<int> PresentSlots(const NcBlock& block) {
    std::vector<int> slots;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (block.isPresent(slot)) {
            slots.push_back(slot);
        }
    }
    return slots;
}

void Check(const LineCase& c) {
    SCOPED_TRACE(c.name);
    ReadableBlock block;
    for (const std::string& line : c.before) {
        block.load(SString(line));
    }
    EXPECT_EQ(block.read(c.line), c.parsed);
    for (const SlotValue& expected : c.values) {
        EXPECT_EQ(block.wordValue(expected.slot), expected.value) << "slot " << expected.slot;
    }
    EXPECT_EQ(PresentSlots(block), c.present);
    EXPECT_EQ(block.motionCode(), c.motionCode);
}

using namespace Slot;
constexpr double kUnset = -99999.0;

TEST(NcBlockTest, Defaults) {
    const NcBlock block;
    const double values[Count] = {0, 92, 0, 17, 90, 40, 49, 80, 98, 54, 1000, 1, kUnset, kUnset, kUnset, 0,
                                  0, 0,  0, 0,  0,  10, 10, 0,  0,  0,  9,    5, 1,      2000,   1};
    const char letters[] = "NGGGGGGGGGONXYZABCIJKFSTHDMRQPL";
    for (int slot = 0; slot < Count; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(block.wordValue(slot), values[slot]);
        EXPECT_EQ(block.previousValue(slot), values[slot]);
        EXPECT_EQ(block.word(slot).letter(), letters[slot]);
        EXPECT_EQ(block.word(slot).decimals(), NcBlock::isIntegerSlot(slot) ? -1 : 3);
        EXPECT_FALSE(block.isPresent(slot));
        EXPECT_FALSE(block.wasPresent(slot));
    }
    EXPECT_STREQ(block.text().str(), "%");
    EXPECT_EQ(block.motionCode(), 0);
    EXPECT_EQ(block.previousMotionCode(), 0);
    EXPECT_FALSE(block.isCommentLine());
}

TEST(NcBlockTest, StartWordsKeepTheirTextUntilChanged) {
    const NcBlock block;
    EXPECT_STREQ(block.word(NonModalG).text().str(), "G92.000");
    EXPECT_STREQ(block.word(OtherG).text().str(), "N0.000");
    EXPECT_STREQ(block.word(X).text().str(), "X-99999.000");
    EXPECT_STREQ(block.word(F).text().str(), "F10.000");
    EXPECT_STREQ(block.previousWord(O).text().str(), "O1000.000");
}

TEST(NcBlockTest, WordsAndImpliedDecimals) {
    const LineCase cases[] = {
        {"points",
         {},
         "G01X10.Y20.",
         1,
         {{Motion, 1}, {X, 10}, {Y, 20}, {Cycle, 80}},
         {Motion, Cycle, X, Y},
         1},
        {"thousandths", {}, "G1 X1000 Y-500", 1, {{X, 1.0}, {Y, -0.5}}, {Motion, Cycle, X, Y}, 1},
        {"feed as written", {}, "F100", 1, {{F, 100}}, {F}, 0},
        {"R and Q scaled", {}, "R5 Q2", 1, {{R, 0.005}, {Q, 0.002}}, {R, Q}, 0},
        {"spaces between words",
         {},
         "N10 G00 X0 Y0 Z100.",
         1,
         {{N, 10}, {Motion, 0}, {X, 0}, {Y, 0}, {Z, 100}},
         {Motion, Cycle, N, X, Y, Z},
         0},
        {"extended product", {}, "X9Y13Z-1234", 1, {{X, 0.009}, {Y, 0.013}, {Z, -1.234}}, {X, Y, Z}, 0},
        {"leading zeros", {}, "X007", 1, {{X, 0.007}}, {X}, 0},
        {"point first", {}, "X-.5B.25", 1, {{X, -0.5}, {B, 0.25}}, {X, B}, 0},
        {"trailing point", {}, "X10.", 1, {{X, 10.0}}, {X}, 0},
        {"integer letter keeps fraction", {}, "F1.5S1200", 1, {{F, 1.5}, {S, 1200}}, {F, S}, 0},
        {"every letter",
         {},
         "O12N3G0X1.Y2.Z3.A4.B5.C6.I7.J8.K9.F10S11T12H13D14M15R16.Q17.P18L19",
         1,
         {{O, 12}, {N, 3},  {X, 1},  {Y, 2},  {Z, 3},  {A, 4},  {B, 5},  {C, 6},  {I, 7},  {J, 8}, {K, 9},
          {F, 10}, {S, 11}, {T, 12}, {H, 13}, {D, 14}, {M, 15}, {R, 16}, {Q, 17}, {P, 18}, {L, 19}},
         {Motion, Cycle, O, N, X, Y, Z, A, B, C, I, J, K, F, S, T, H, D, M, R, Q, P, L},
         0},
        {"lone point", {}, "X.Y-.Z1.", 1, {{X, 0.0}, {Y, 0.0}, {Z, 1.0}}, {X, Y, Z}, 0},
        {"repeated letter keeps the later", {}, "X1.X2.", 1, {{X, 2}}, {X}, 0},
        {"repeated group keeps the later",
         {},
         "G00 G01 X1.",
         1,
         {{Motion, 1}, {X, 1}},
         {Motion, Cycle, X},
         1},
        {"non-modal dwell", {}, "G04 P2000", 1, {{NonModalG, 4}, {P, 2000}, {Q, 1.0}}, {NonModalG, P}, 0},
        {"leading spaces skipped", {}, "   X1.", 1, {{X, 1}}, {X}, 0},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, GCodesByGroup) {
    const LineCase cases[] = {
        {"plane, distance, compensation, length",
         {},
         "G18G91G41G43",
         1,
         {{Plane, 18}, {Distance, 91}, {CutterComp, 41}, {ToolLength, 43}},
         {Plane, Distance, CutterComp, ToolLength},
         0},
        {"cycle, return, work coordinates",
         {},
         "G83G99G59",
         1,
         {{Cycle, 83}, {ReturnMode, 99}, {WorkCoords, 59}},
         {Cycle, ReturnMode, WorkCoords},
         0},
        {"unlisted codes", {}, "G21", 1, {{OtherG, 21}}, {OtherG}, 0},
        {"negative code", {}, "G-1", 1, {{OtherG, -1}, {Motion, 0}}, {OtherG}, 0},
        {"fraction truncated", {}, "G01.5", 1, {{Motion, 1.5}, {Cycle, 80}}, {Motion, Cycle}, 1},
        {"thread cutting is motion", {}, "G33", 1, {{Motion, 33}}, {Motion, Cycle}, 33},
        {"motion cancels a cycle",
         {"G81 X1. Y1. Z-5. R2."},
         "G00 X10",
         1,
         {{Cycle, 80}, {X, 0.010}},
         {Motion, Cycle, X},
         0},
        {"cycle after motion in one block", {}, "G01 G81", 1, {{Cycle, 81}}, {Motion, Cycle}, 1},
        {"code beyond 32 bits does not wrap", {}, "G4294967298", 1, {{OtherG, 4294967298.0}}, {OtherG}, 0},
        {"negative beyond 32 bits", {}, "G-4294967295", 1, {{OtherG, -4294967295.0}}, {OtherG}, 0},
        {"many leading zeros", {}, "G" + std::string(200, '0') + "1", 1, {{Motion, 1}}, {Motion, Cycle}, 1},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, WhereReadingStops) {
    const LineCase cases[] = {
        {"blanks before numbers", {}, "X 10 Y\t-20", 1, {{X, 0.010}, {Y, -0.020}}, {X, Y}, 0},
        {"lower case", {}, "g1x10.y-5.", 1, {{X, 10}, {Y, -5}}, {Motion, Cycle, X, Y}, 1},
        {"tabs", {}, "\tG01\tX10", 1, {{X, 0.010}}, {Motion, Cycle, X}, 1},
        {"E after a space", {}, "G01 E5 X1.", 1, {{X, kUnset}}, {Motion, Cycle}, 1},
        {"E directly", {}, "G01E5", 1, {}, {Motion, Cycle}, 1},
        {"E alone", {}, "E5", 0, {}, {}, 0},
        {"U, V, W", {}, "u1V2W3", 0, {}, {}, 0},
        {"letter without number", {}, "XY10", 0, {{Y, kUnset}}, {}, 0},
        {"letter at the end", {}, "G01 M", 1, {{M, 9}}, {Motion, Cycle}, 1},
        {"no number further on", {}, "N1 GOTO0003", 1, {{N, 1}}, {N}, 0},
        {"macro variable", {}, "G01 X#1 Y2.", 1, {{Y, kUnset}}, {Motion, Cycle}, 1},
        {"sign without digits", {}, "X-Y5", 0, {{X, kUnset}, {Y, kUnset}}, {}, 0},
        {"blank after a sign", {}, "X- 5", 0, {{X, kUnset}}, {}, 0},
        {"sign after sign", {}, "X+-5Y1.", 0, {{Y, kUnset}}, {}, 0},
        {"second point", {}, "X5.5.5Y1.", 1, {{X, 5.5}, {Y, kUnset}}, {X}, 0},
        {"exponent", {}, "X1E3", 1, {{X, 0.001}}, {X}, 0},
        {"digits after a word", {}, "G01 123", 1, {{N, 1}}, {Motion, Cycle}, 1},
        {"semicolon", {}, "X1.;Y2.", 1, {{Y, kUnset}}, {X}, 0},
        {"colon is O", {}, ":1234", 1, {{O, 1234}}, {O}, 0},
        {"block skip", {}, " /N10 X5.", 1, {{N, 10}, {X, 5}}, {N, X}, 0},
        {"block skip number", {}, "(A) /9 X5.", 1, {{X, 5}}, {X}, 0},
        {"slash inside", {}, "X5. /Y1.", 1, {{Y, kUnset}}, {X}, 0},
        {"comment between words", {}, "G01X10.(DEPTH 5)Y3.", 1, {{N, 1}, {Y, 3}}, {Motion, Cycle, X, Y}, 1},
        {"comment first", {}, "(T1 DIA=10.) ((B) X1.", 1, {{X, 1}}, {X}, 0},
        {"semicolon inside a comment", {}, "G01 X1. (5 ;7) Z4.", 1, {{Z, 4}}, {Motion, Cycle, X, Z}, 1},
        {"comment never closed", {}, "X1. (Y2.", 1, {{Y, kUnset}}, {X}, 0},
        {"closing parenthesis alone", {}, ") X1.", 0, {{X, kUnset}}, {}, 0},
        {"comment after a letter", {}, "X(A)1.", 0, {{X, kUnset}}, {}, 0},
        {"o-word", {"X5."}, "o100 sub", 0, {{O, 1000}}, {}, 0},
        {"named o-word", {}, "O<loop> WHILE [1]", 0, {}, {}, 0},
        {"program number and comment", {}, "O100 (SUB)", 1, {{O, 100}}, {O}, 0},
        {"polar words", {}, "G01 X1. @5. ^90.", 0, {{X, kUnset}}, {}, 0},
        {"named parameter", {}, "G01 X#<x>", 0, {}, {}, 0},
        {"spaces at the end", {}, "X1.   ", 1, {{X, 1}}, {X}, 0},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, PieceStartingInsideAComment) {
    const struct {
        const char* piece;
        std::vector<int> present;
    } cases[] = {{"X1. Y2.", {}}, {"DEPTH 5) X1. (Y2.", {X}}, {"%) /1 X1.", {X}}};
    for (const auto& c : cases) {
        NcBlock block;
        block.setOpenComment(true);
        block.load(c.piece);
        EXPECT_EQ(PresentSlots(block), c.present) << c.piece;
        block.load("Y1.");
        EXPECT_TRUE(block.isPresent(Y)) << "only one load";
    }
}

TEST(NcBlockTest, LinesWithoutWords) {
    const LineCase cases[] = {
        {"empty", {}, "", 0, {}, {}, 0},
        {"blank", {}, "  \t  ", 0, {}, {}, 0},
        {"comment", {}, "(T1 DIA=10.)", 0, {}, {}, 0},
        {"minus", {}, "-X1.", 0, {{X, kUnset}}, {}, 0},
        {"percent", {}, "%", 0, {}, {}, 0},
        {"semicolon", {}, ";X1.", 0, {}, {}, 0},
        {"digit", {}, "5X1.", 0, {{X, kUnset}}, {}, 0},
        {"byte above 0x7F", {}, "\x82\x60X1.", 0, {{X, kUnset}}, {}, 0},
        {"comment keeps the motion flag", {"G01X1."}, "(NEXT)", 0, {{X, 1}}, {Motion}, 1},
        {"words after a comment", {"(NEXT)"}, "X1.", 1, {{X, 1}}, {X}, 0},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, CommentLineFlag) {
    const struct {
        std::vector<std::string> lines;
        bool comment;
    } cases[] = {
        {{"(A)"}, true},         {{"-1"}, true},        {{"   (A)"}, true},
        {{"(A)", "X1."}, false}, {{"(A)", "%"}, false}, {{"(A)", ""}, true},
        {{"(A)", "  "}, true},   {{"X1. (A)"}, false},  {{"\t(A) X1."}, true},
    };
    for (const auto& c : cases) {
        NcBlock block;
        for (const std::string& line : c.lines) {
            block.load(SString(line));
        }
        EXPECT_EQ(block.isCommentLine(), c.comment) << c.lines.back();
    }
}

TEST(NcBlockTest, EmptyLineClosesTheBlockBefore) {
    NcBlock block;
    block.load("G02 X10. Y0 I5.");
    block.load("");
    EXPECT_EQ(PresentSlots(block), std::vector<int>{Motion});
    EXPECT_EQ(block.previousValue(X), 10.0);
    EXPECT_EQ(block.previousValue(Y), 0.0);
    EXPECT_EQ(block.wordValue(X), 10.0);
    EXPECT_EQ(block.wordValue(I), 0.0);
    // I is back to 0 before the words are carried over.
    EXPECT_EQ(block.previousValue(I), 0.0);
    EXPECT_TRUE(block.wasPresent(I));
    EXPECT_TRUE(block.wasPresent(Cycle));
    EXPECT_EQ(block.motionCode(), 2);
    EXPECT_EQ(block.previousMotionCode(), 2);
}

TEST(NcBlockTest, IJKResetOnEveryLine) {
    const char* const nextLines[] = {"X2.", "", "(C)", "%", "E1"};
    for (const char* next : nextLines) {
        NcBlock block;
        block.load("G02 X1. Y1. I5. J6. K7.");
        block.load(next);
        EXPECT_EQ(block.wordValue(I), 0.0) << next;
        EXPECT_EQ(block.wordValue(J), 0.0) << next;
        EXPECT_EQ(block.wordValue(K), 0.0) << next;
        EXPECT_FALSE(block.isPresent(I)) << next;
        EXPECT_EQ(block.previousValue(K), 0.0) << next;
    }
}

TEST(NcBlockTest, ResetDoesNotTouchPresence) {
    NcBlock block;
    block.load("I5.");
    EXPECT_TRUE(block.isPresent(I));
    EXPECT_EQ(block.wordValue(I), 5.0);
}

TEST(NcBlockTest, PreviousWordsFollowPresence) {
    NcBlock block;
    block.load("G02X1.Y2.F100");
    block.load("G01X3.");
    EXPECT_EQ(block.previousValue(X), 1.0);
    EXPECT_EQ(block.previousValue(Y), 2.0);
    EXPECT_EQ(block.previousValue(Motion), 2.0);
    EXPECT_EQ(block.previousMotionCode(), 2);
    EXPECT_EQ(block.motionCode(), 1);
    EXPECT_TRUE(block.wasPresent(F));
    EXPECT_FALSE(block.wasPresent(Z));
    block.load("Z1.");
    // Y was not written by the block before, so its previous word stays as it was.
    EXPECT_EQ(block.previousValue(Y), 2.0);
    EXPECT_EQ(block.previousValue(X), 3.0);
    EXPECT_EQ(block.previousValue(F), 100.0);
    EXPECT_EQ(block.wordValue(F), 100.0);
    EXPECT_EQ(PresentSlots(block), (std::vector<int>{Motion, Z}));
}

TEST(NcBlockTest, PreviousWordOfUnwrittenSlotIsUntouched) {
    NcBlock block;
    block.load("X1.");
    block.load("X2.");
    block.load("Y1.");
    block.load("Y2.");
    EXPECT_EQ(block.previousValue(X), 2.0);
    EXPECT_EQ(block.previousValue(Y), 1.0);
}

TEST(NcBlockTest, IncrementalCoordinates) {
    const LineCase cases[] = {
        {"X and Y", {"X100. Y50."}, "G91 X10. Y5.", 1, {{X, 110}, {Y, 55}}, {Distance, X, Y}, 0},
        {"Z in thousandths", {"Z5."}, "G91 Z-1", 1, {{Z, 5.0 + -0.001}}, {Distance, Z}, 0},
        {"first block", {}, "G91 X1.", 1, {{X, -99998}}, {Distance, X}, 0},
        {"word before G91 stays absolute",
         {"X100. Y50."},
         "X10. G91 Y5.",
         1,
         {{X, 10}, {Y, 55}},
         {Distance, X, Y},
         0},
        {"mode carries on", {"X5.", "G91 X1."}, "X1.", 1, {{X, 7}}, {X}, 0},
        {"G90 ends it", {"X5.", "G91 X1."}, "G90 X1.", 1, {{X, 1}}, {Distance, X}, 0},
        {"A, B and C too",
         {"A10. B20. C30."},
         "G91 A1. B1. C1.",
         1,
         {{A, 11}, {B, 21}, {C, 31}},
         {Distance, A, B, C},
         0},
        {"I, J, K, R and Q not",
         {"R3. Q4."},
         "G91 I2. J3. K4. R1. Q1.",
         1,
         {{I, 2}, {J, 3}, {K, 4}, {R, 1}, {Q, 1}},
         {Distance, I, J, K, R, Q},
         0},
        {"repeated word adds the previous value once", {"X5."}, "G91 X1. X2.", 1, {{X, 7}}, {Distance, X}, 0},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, MotionFlagCarriesOver) {
    NcBlock block;
    block.load("X1.");
    EXPECT_FALSE(block.isPresent(Motion));
    block.load("G01 X2.");
    const char* const later[] = {"F100", "", "(C)", "%", "X3."};
    for (const char* line : later) {
        block.load(line);
        EXPECT_TRUE(block.isPresent(Motion)) << line;
        EXPECT_FALSE(block.isPresent(Cycle)) << line;
    }
}

TEST(NcBlockTest, DisplayTextsOfParsedWords) {
    NcBlock block;
    block.load("X10.5G01N5");
    EXPECT_STREQ(block.word(X).text().str(), "X10.500");
    EXPECT_STREQ(block.word(Motion).text().str(), "G1");
    EXPECT_STREQ(block.word(N).text().str(), "N5");
    EXPECT_STREQ(block.word(Cycle).text().str(), "G80.000");
    // The scratch word keeps the integer form of G for the X that follows it.
    block.load("G01X10.5");
    EXPECT_STREQ(block.word(X).text().str(), "X10");
    EXPECT_EQ(block.word(X).decimals(), -1);
    EXPECT_EQ(block.wordValue(X), 10.5);
    block.load("Y1.");
    EXPECT_EQ(block.word(Motion).decimals(), -1);
    EXPECT_EQ(block.word(Cycle).decimals(), -1);
    EXPECT_STREQ(block.word(Cycle).text().str(), "G80.000");
}

TEST(NcBlockTest, SetWordMarksPresent) {
    NcBlock block;
    block.load("X5.");
    block.load("Y1.");
    block.setWord(X, 8.0);
    EXPECT_TRUE(block.isPresent(X));
    EXPECT_EQ(block.wordValue(X), 8.0);
    EXPECT_EQ(block.word(X).formerValue(), 5.0);
    block.load("Z1.");
    EXPECT_EQ(block.previousValue(X), 8.0);
    EXPECT_FALSE(block.isPresent(X));
}

TEST(NcBlockTest, LoadKeepsTheWholeText) {
    NcBlock block;
    const std::string longLine = "X1." + std::string(297, '0');
    EXPECT_EQ(&block.load(SString(longLine)), &block);
    EXPECT_EQ(block.text().length(), 300);
    EXPECT_STREQ(block.blockText().str(), longLine.c_str());
    block.load("g01 x1.");
    EXPECT_STREQ(block.text().str(), "g01 x1.");
}

TEST(NcBlockTest, ReadsAtMost255Characters) {
    NcBlock block;
    block.load(SString(std::string(251, ' ') + "X1.5"));
    EXPECT_EQ(block.wordValue(X), 1.5);
    block.load(SString(std::string(252, ' ') + "X1.5"));
    EXPECT_EQ(block.wordValue(X), 1.0);
    block.load(SString(std::string(253, ' ') + "X1.5"));
    EXPECT_EQ(block.wordValue(X), 0.001);
    block.load(SString(std::string(255, ' ') + "X1.5"));
    EXPECT_FALSE(block.isPresent(X));
}

TEST(NcBlockTest, HugeNumbers) {
    NcBlock block;
    block.load(SString("F" + std::string(300, '9')));
    // Cut to 254 nines: just below 1E254.
    EXPECT_TRUE(std::isfinite(block.wordValue(F)));
    EXPECT_NEAR(block.wordValue(F) / 1e254, 1.0, 1e-15);

    // A length beyond eight digits leaves the block out whole, its F too.
    block.load(SString("F1. X1" + std::string(249, '0')));
    EXPECT_FALSE(block.isPresent(X));
    EXPECT_FALSE(block.isPresent(F));
    EXPECT_TRUE(block.omissions().has(Omission::NumberOutOfRange));

    block.load(SString("G" + std::string(254, '7')));
    EXPECT_TRUE(block.isPresent(OtherG));
    EXPECT_EQ(block.motionCode(), 0);

    block.load(SString("X" + std::string(254, '.')));
    EXPECT_EQ(block.wordValue(X), 0.0);
}

// Eight digits at most: 99,999.999 mm, 9,999.9999 inch, or 99,999,999 least increments without a point.
TEST(NcBlockTest, LengthsBeyondEightDigitsLeaveTheBlockOut) {
    const struct {
        const char* text;
        bool leftOut;
    } cases[] = {
        {"X99999.999", false},   {"X-99999.9991", true},   {"R99999999", false},   {"Q100000000", true},
        {"G20 Y9999.9999", false}, {"G20 Y-10000.", true}, {"G20 Z99999999", false}, {"I0000099999.9", false},
        {"G81 Z-1. K100000000", false}, {"G80 K100000000", true}, {"F100000000. G04 P100000000", false},
    };
    for (const auto& c : cases) {
        NcBlock block;
        block.load(SString(c.text));
        EXPECT_EQ(block.omissions().has(Omission::NumberOutOfRange), c.leftOut) << c.text;
        bool anyWord = false;
        for (int slot = 0; slot < Count; ++slot) {
            anyWord = anyWord || block.isPresent(slot);
        }
        EXPECT_EQ(anyWord, !c.leftOut) << c.text;
    }
}

// Under calculator-type input a number without a point is whole mm or inches: 100000 mm and 10000 inches
// are beyond, in five and six digits.
TEST(NcBlockTest, CalculatorInputLengthsBeyondRangeLeaveTheBlockOut) {
    const struct {
        const char* text;
        bool leftOut;
    } cases[] = {{"X99999", false}, {"X100000", true}, {"G20 Y9999", false}, {"G20 Y10000", true}};
    for (const auto& c : cases) {
        NcBlock block;
        block.setUnitOptions(UnitOptions{false, true});
        block.load(SString(c.text));
        EXPECT_EQ(block.omissions().has(Omission::NumberOutOfRange), c.leftOut) << c.text;
    }
}

TEST(NcBlockTest, OddBytesGiveSomeState) {
    const LineCase cases[] = {
        {"NUL ends the text", {}, std::string("X1.\0Y2.", 7), 1, {{X, 1}, {Y, kUnset}}, {X}, 0},
        {"byte above 0x7F stops", {}, "X1.\x82\xA0Y2.", 1, {{X, 1}, {Y, kUnset}}, {X}, 0},
        {"byte above 0x7F after a space", {}, "G01 \x82\x60", 1, {{N, 1}}, {Motion, Cycle}, 1},
        {"code-page-932 comment", {}, "G01 (\x83\x65\x83\x58 5)X1.", 1, {{X, 1}}, {Motion, Cycle, X}, 1},
        {"code-page-932 comment line", {}, "(\x83\x65\x83\x58\x83\x67 DIA10.)", 0, {}, {}, 0},
        {"255 digits", {}, std::string(255, '7'), 0, {}, {}, 0},
    };
    for (const LineCase& c : cases) {
        Check(c);
    }
}

TEST(NcBlockTest, GroupOfEveryListedCode) {
    const struct {
        int slot;
        std::vector<int> codes;
    } groups[] = {
        {NonModalG, {4, 28, 29, 30, 52, 53, 92}},
        {Motion, {0, 1, 2, 3, 33}},
        {Plane, {17, 18, 19}},
        {Distance, {90, 91}},
        {CutterComp, {40, 41, 42}},
        {ToolLength, {43, 44, 49}},
        {Cycle, {73, 74, 76, 80, 81, 82, 83, 84, 85, 86, 87, 88, 89}},
        {ReturnMode, {98, 99}},
        {WorkCoords, {54, 55, 56, 57, 58, 59}},
        {OtherG, {5,  10, 20, 21, 31, 32, 34, 45,  50, 60,  61,      64,
                  65, 72, 75, 77, 79, 93, 94, 100, -1, -33, INT_MAX, INT_MIN}},
    };
    for (const auto& group : groups) {
        for (int code : group.codes) {
            EXPECT_EQ(NcBlock::gGroupOf(code), group.slot) << code;
        }
    }
}

TEST(NcBlockTest, IntegerLettersAndSlots) {
    for (char c : std::string("ABCIJKQRXYZ")) {
        EXPECT_FALSE(NcBlock::isIntegerLetter(c)) << c;
    }
    for (char c : std::string("GONFSTHDMPLEUVW(x5")) {
        EXPECT_TRUE(NcBlock::isIntegerLetter(c)) << c;
    }
    for (int slot = 0; slot < Count; ++slot) {
        const bool coordinate = (slot >= X && slot <= K) || slot == R || slot == Q;
        EXPECT_EQ(NcBlock::isIntegerSlot(slot), !coordinate) << slot;
    }
}

TEST(NcBlockTest, IntegerPartSaturates) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double value;
        int integer;
    } cases[] = {
        {3.9, 3},
        {-3.9, -3},
        {-0.5, 0},
        {2147483647.9, INT_MAX},
        {2147483648.0, INT_MAX},
        {1e300, INT_MAX},
        {inf, INT_MAX},
        {-2147483648.9, INT_MIN},
        {-2147483649.0, INT_MIN},
        {-inf, INT_MIN},
        {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NcBlock::integerPart(c.value), c.integer) << c.value;
    }
}

}  // namespace
