#include "nc/NcBlock.h"

#include <array>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/DecimalNumber.h"
#include "nc/Angles.h"
#include "nc/CoordinateTransform.h"
#include "nc/NumberRange.h"

namespace {

constexpr int kNoSlot = -1;

// Below these whole digits no number comes near a control's limits: 9,999.9999 inch and 99,999.999 mm with
// a point (four digits can pass the first), 99,999,999 least increments without one, or as whole mm and
// inches under calculator-type input (10000 inches passes the limit).
bool MayBeBeyondRange(const ScannedBlock& scanned, bool calculatorDecimals) {
    return scanned.mostPointedDigits >= 4 || scanned.mostUnpointedDigits >= (calculatorDecimals ? 5 : 9);
}

// G10, G28, G30, G50 to G59, G68 and G69: the codes whose whole part sets, selects or leaves a coordinate
// system. Only these are kept for the interpreter's frame step, so that a block of G01 costs it nothing.
bool ActsOnFrames(int code) {
    return code == 10 || code == 28 || code == 30 || (code >= 50 && code <= 59) || code == 68 || code == 69;
}

// What the parser knows of each slot: the address letter that writes it (G for the groups of G codes), its
// start word, and whether its values are whole numbers (only the display text depends on that).
struct SlotFacts {
    char letter;
    const char* startWord;
    bool integer;
};

constexpr SlotFacts kSlots[Slot::Count] = {
    {'G', nullptr, true},    {'G', "G92", true},      {'G', "G00", true},      {'G', "G17", true},
    {'G', "G90", true},      {'G', "G40", true},      {'G', "G49", true},      {'G', "G80", true},
    {'G', "G98", true},      {'G', "G54", true},      {'O', "O1000", true},    {'N', "N0001", true},
    {'X', "X-99999", false}, {'Y', "Y-99999", false}, {'Z', "Z-99999", false}, {'A', "A0.0", false},
    {'B', "B0.0", false},    {'C', "C0.0", false},    {'I', "I0.0", false},    {'J', "J0.0", false},
    {'K', "K0.0", false},    {'F', "F10.0", true},    {'S', "S10", true},      {'T', "T00", true},
    {'H', "H00", true},      {'D', "D00", true},      {'M', "M09", true},      {'R', "R5.0", false},
    {'Q', "Q1.0", false},    {'P', "P2000", true},    {'L', "L1", true},
};

// The slot of every letter A to Z but G, which goes by its group; E, U, V and W have none.
constexpr std::array<int, 26> LetterSlots() {
    std::array<int, 26> slots{};
    slots.fill(kNoSlot);
    for (int slot = Slot::O; slot < Slot::Count; ++slot) {
        slots[static_cast<std::size_t>(kSlots[slot].letter - 'A')] = slot;
    }
    return slots;
}

constexpr std::array<int, 26> kLetterSlots = LetterSlots();

// Words the parser writes as texts on every line, built once.
struct ResetWords {
    NcWord zeroI;
    NcWord zeroJ;
    NcWord zeroK;
    NcWord cycleCancel;
};

const ResetWords& Resets() {
    static const ResetWords words{
        NcWord(SString(kSlots[Slot::I].startWord), 3),
        NcWord(SString(kSlots[Slot::J].startWord), 3),
        NcWord(SString(kSlots[Slot::K].startWord), 3),
        NcWord(SString(kSlots[Slot::Cycle].startWord), 3),
    };
    return words;
}

constexpr long double kMmPerInch = 25.4L;

// A coordinate written without a point counts in thousandths of a mm, or ten-thousandths of an inch. The
// product is formed in extended precision, so X1 gives the double nearest to 0.001 rather than 1 times the
// double nearest to it.
double LeastIncrements(double value, bool inch) {
    return static_cast<double>(static_cast<long double>(value) * (inch ? 0.0001L * kMmPerInch : 0.001L));
}

}  // namespace

NcBlock::NcBlock()
    : present_{},
      presentBefore_{},
      written_{},
      writtenNumber_{},
      motionCode_(0),
      previousMotionCode_(0),
      commentLine_(false),
      openComment_(false) {
    setDefaults();
}

void NcBlock::setDefaults() {
    for (int slot = 1; slot < Slot::Count; ++slot) {
        words_[slot] = SString(kSlots[slot].startWord);
    }
    text_ = "%";
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (isIntegerSlot(slot)) {
            words_[slot].setDecimals(-1);
        }
        previousWords_[slot] = words_[slot];
        present_[slot] = false;
        presentBefore_[slot] = false;
    }
    motionCode_ = 0;
    previousMotionCode_ = 0;
    everWritten_ = 0;
    for (int axis = 0; axis < 3; ++axis) {
        program_[axis] = words_[Slot::X + axis].value();
    }
}

void NcBlock::setUnitOptions(const UnitOptions& options) {
    inch_ = options.inchByDefault;
    calculatorDecimals_ = options.calculatorDecimals;
}

NcBlock& NcBlock::load(const SString& text) {
    text_ = text;
    parse();
    return *this;
}

SString NcBlock::text() const {
    return text_;
}

// 1. I, J and K back to 0, even for a line without words.
// 2. At most 255 characters are read, and the words of the block before become the previous words, whatever
//    this line holds.
// 3. A blank line, a "%" line and a comment line that starts with "-" carry no words. A line that starts
//    with "(" is a comment line as well, but reading goes on after its comment.
// 4. The words are scanned first and taken only when the line is not LinuxCNC's, which is never half-read,
//    and holds no number beyond what a control takes.
// Along the way, what the line holds that is not drawn is noted: codes outside the dialect, macro variables,
// LinuxCNC syntax, and whatever follows the point where reading stopped.
int NcBlock::parse() {
    omissions_.clear();
    words_[Slot::I] = Resets().zeroI;
    words_[Slot::J] = Resets().zeroJ;
    words_[Slot::K] = Resets().zeroK;
    const bool inComment = openComment_;
    openComment_ = false;

    const char* source = text_.str();
    const std::string_view line(source, strnlen(source, kMaxLineLength));
    closePreviousBlock();
    frameCodeCount_ = 0;
    motionWritten_ = false;
    writtenPoints_ = 0;
    for (int axis = 0; axis < 3; ++axis) {
        programBefore_[axis] = program_[axis];
    }
    std::size_t first = 0;
    while (first < line.size() && (line[first] == ' ' || line[first] == '\t')) {
        ++first;
    }
    if (first == line.size()) {
        return 0;
    }
    commentLine_ = line[first] == '(' || line[first] == '-';
    if (!inComment && (line[first] == '-' || line[first] == '%')) {
        return 0;
    }

    ScanBlock(line, inComment, scanned_);
    bool takesWords = !DropsTheWords(scanned_.end);
    if (takesWords && MayBeBeyondRange(scanned_, calculatorDecimals_) &&
        HoldsNumberBeyondRange(line, scanned_,
                               NumberReading{inch_, calculatorDecimals_, words_[Slot::Cycle].value() != 80.0})) {
        omissions_.add(Omission::NumberOutOfRange);
        takesWords = false;
    }
    if (takesWords) {
        followModes();
        NcWord scratch(3);
        for (int i = 0; i < scanned_.count; ++i) {
            const ScannedWord& word = scanned_.words[i];
            takeWord(scratch, word, line.substr(word.begin, word.length));
        }
        if (polar_.active) {
            placePolarPoint();
        }
        for (int axis = 0; axis < 3; ++axis) {
            if (present_[Slot::X + axis]) {
                program_[axis] = words_[Slot::X + axis].value();
            }
        }
    }
    noteBlockEnd(scanned_.end);
    return takesWords && scanned_.count > 0 ? 1 : 0;
}

// The words the last block wrote become the previous words and lose their presence, except the motion group's
// flag, which carries over once a motion word has been read.
void NcBlock::closePreviousBlock() {
    previousMotionCode_ = motionCode_;
    for (int slot = 0; slot < Slot::Count; ++slot) {
        presentBefore_[slot] = present_[slot];
        if (present_[slot]) {
            if (isIntegerSlot(slot)) {
                words_[slot].setDecimals(-1);
            }
            previousWords_[slot] = words_[slot];
            present_[slot] = false;
            everWritten_ |= 1u << slot;
        }
    }
    present_[Slot::Motion] = presentBefore_[Slot::Motion];
}

void NcBlock::takeWord(NcWord& scratch, const ScannedWord& word, std::string_view number) {
    const char letter = word.letter;
    scratch.setLetter(letter);
    double value = ReadDecimalNumber(number);
    const double asWritten = value;
    if (isIntegerLetter(letter)) {
        scratch.setDecimals(-1);
        // A feed in inch per minute is kept in mm per minute, so the times stay right.
        if (inch_ && letter == 'F') {
            value = static_cast<double>(value * kMmPerInch);
        }
    } else {
        value = lengthOf(letter, value, word.point);
    }
    scratch.setValue(value);

    const int slot = letter == 'G' ? gGroupOf(integerPart(value)) : kLetterSlots[letter - 'A'];
    if (letter == 'G' && ActsOnFrames(integerPart(value)) && frameCodeCount_ < kMaxFrameCodes) {
        frameCodes_[frameCodeCount_++] = value;
    }
    if (word.point) {
        writtenPoints_ |= 1u << slot;
    }
    // Every code outside the drawn dialect falls in one of the first two G slots.
    if (slot <= Slot::NonModalG) {
        noteGCode(value);
    }
    if (slot == Slot::Motion) {
        motionWritten_ = true;
        words_[Slot::Cycle] = Resets().cycleCancel;
        present_[Slot::Cycle] = true;
        motionCode_ = integerPart(value);
    }
    words_[slot] = scratch;
    present_[slot] = true;
    written_[slot] = value;
    writtenNumber_[slot] = asWritten;
    // G91 counts from the moment it is read: in "X10. G91" the X is absolute, in "G91 X10." it is not. X, Y
    // and Z count from where the program has the tool, which is where it is drawn unless a transform is in
    // force. Under G16 the plane's axis words are a radius and an angle, placed once the block is read.
    if (polar_.active && slot >= Slot::X && slot <= Slot::Z) {
        int radius = 0;
        int angle = 0;
        polarSlots(radius, angle);
        if (slot == radius || slot == angle) {
            return;
        }
    }
    if (words_[Slot::Distance].value() == 91.0 && slot >= Slot::X && slot <= Slot::C) {
        words_[slot].addValue(slot <= Slot::Z ? program_[slot - Slot::X] : previousWords_[slot].value());
    }
}

// G20 and G21, G16 and G15 count for the whole block they stand in, words before them included.
void NcBlock::followModes() {
    for (int i = 0; i < scanned_.count; ++i) {
        const ScannedWord& word = scanned_.words[i];
        if (word.letter == 'G') {
            const double code = ReadDecimalNumber(std::string_view(text_.str() + word.begin, word.length));
            if (code == 20.0 || code == 21.0) {
                inch_ = code == 20.0;
            } else if (code == 16.0 && !polar_.active) {
                startPolar();
            } else if (code == 15.0) {
                polar_.active = false;
            }
        }
    }
}

// The plane's first axis word is the radius, the second the angle: X and Y in G17, Z and X in G18, Y and Z in
// G19.
void NcBlock::polarSlots(int& radius, int& angle) const {
    CoordinateTransform::planeAxes(static_cast<int>(words_[Slot::Plane].value()), radius, angle);
    radius += Slot::X;
    angle += Slot::X;
}

// Until a radius is written, the tool's own radius and angle about the work origin stand.
void NcBlock::startPolar() {
    int radius = 0;
    int angle = 0;
    polarSlots(radius, angle);
    const double u = program_[radius - Slot::X];
    const double v = program_[angle - Slot::X];
    const bool set = u != kUnsetCoordinate && v != kUnsetCoordinate;
    polar_ = PolarState{true, set ? std::hypot(u, v) : 0.0, set ? std::atan2(v, u) * kDegreesPerRadian : 0.0,
                        0.0, 0.0};
}

// The radius is about the work origin, or about the tool when written under G91; a block without it keeps
// the last radius and centre. An angle under G91 adds to the last one.
void NcBlock::placePolarPoint() {
    int radius = 0;
    int angle = 0;
    polarSlots(radius, angle);
    polar_.angleStep = 0.0;
    if (!present_[radius] && !present_[angle]) {
        return;
    }
    const bool incremental = words_[Slot::Distance].value() == 91.0;
    if (present_[radius]) {
        polar_.centreU = incremental ? programBefore_[radius - Slot::X] : 0.0;
        polar_.centreV = incremental ? programBefore_[angle - Slot::X] : 0.0;
        polar_.radius = written_[radius];
    }
    if (present_[angle]) {
        const double degrees = plainNumber(angle);
        polar_.angle = incremental ? polar_.angle + degrees : degrees;
        polar_.angleStep = incremental ? degrees : 0.0;
    }
    const double turn = polar_.angle / kDegreesPerRadian;
    words_[radius].setValue(polar_.centreU + polar_.radius * std::cos(turn));
    words_[angle].setValue(polar_.centreV + polar_.radius * std::sin(turn));
    present_[radius] = true;
    present_[angle] = true;
}

// The value of a coordinate letter: lengths in mm whatever the program's unit; angles and factors as written.
double NcBlock::lengthOf(char letter, double value, bool point) const {
    const bool length = IsLengthLetter(letter);
    if (!point && !calculatorDecimals_) {
        return LeastIncrements(value, inch_ && length);
    }
    return inch_ && length ? static_cast<double>(value * kMmPerInch) : value;
}

double NcBlock::plainNumber(int slot) const {
    const double number = writtenNumber_[slot];
    return (writtenPoints_ & (1u << slot)) != 0 || calculatorDecimals_ ? number : LeastIncrements(number, false);
}

void NcBlock::setWord(int slot, double value) {
    words_[slot].setValue(value);
    present_[slot] = true;
}

int NcBlock::gGroupOf(int code) {
    switch (code) {
        case 4:
        case 28:
        case 29:
        case 30:
        case 52:
        case 53:
        case 92:
            return Slot::NonModalG;
        case 0:
        case 1:
        case 2:
        case 3:
        case 33:
            return Slot::Motion;
        case 17:
        case 18:
        case 19:
            return Slot::Plane;
        case 90:
        case 91:
            return Slot::Distance;
        case 40:
        case 41:
        case 42:
            return Slot::CutterComp;
        case 43:
        case 44:
        case 49:
            return Slot::ToolLength;
        case 73:
        case 74:
        case 76:
        case 80:
        case 81:
        case 82:
        case 83:
        case 84:
        case 85:
        case 86:
        case 87:
        case 88:
        case 89:
            return Slot::Cycle;
        case 98:
        case 99:
            return Slot::ReturnMode;
        case 54:
        case 55:
        case 56:
        case 57:
        case 58:
        case 59:
            return Slot::WorkCoords;
        default:
            return Slot::OtherG;
    }
}

bool NcBlock::isIntegerLetter(char c) {
    if (c == 'G') {
        return true;
    }
    const int slot = slotOfLetter(c);
    return slot == kNoSlot || kSlots[slot].integer;
}

int NcBlock::slotOfLetter(char c) {
    return c >= 'A' && c <= 'Z' ? kLetterSlots[c - 'A'] : kNoSlot;
}

bool NcBlock::isIntegerSlot(int slot) {
    return kSlots[slot].integer;
}

int NcBlock::integerPart(double value) {
    constexpr int kMin = std::numeric_limits<int>::min();
    constexpr int kMax = std::numeric_limits<int>::max();
    if (value != value) {
        return 0;
    }
    if (value <= static_cast<double>(kMin)) {
        return kMin;
    }
    if (value >= static_cast<double>(kMax)) {
        return kMax;
    }
    return static_cast<int>(value);
}
