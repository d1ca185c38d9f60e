// The macro call of a block: G65 (a call of its own), G66 (a call after every later move, until G67) and
// G67, with the program P, the repeat count L and the other words as arguments. The block reaches here with
// its values already in place, so it holds plain words.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "nc/MacroValue.h"

// The locals #1-#33 that a call starts with: the arguments, null where none was given.
using MacroLocals = std::array<MacroValue, 33>;

enum class MacroCallKind : std::uint8_t { None, Call, ModalCall, ModalCancel };

struct MacroCall {
    MacroCallKind kind = MacroCallKind::None;
    bool hasP = false;
    double p = 0.0;
    bool hasL = false;
    double l = 0.0;
    // More than ten I J K triples: the rest have no variable and are lost.
    bool argumentsLost = false;
    MacroLocals arguments{};
};

// True when the block may hold G65, G66 or G67: a cheap test that passes over most blocks unread. `goesOn`:
// the text is a chunk of a file read on past it, so a G too near its end to be told counts as a call.
bool MayHoldMacroCall(std::string_view block, bool goesOn = false);

// Whether the block moves an axis as G66 counts it: it names X, Y, Z, A, B or C, and is no dwell, data
// setting, G52 or G92, which write axis words without moving.
bool MovesAnAxis(std::string_view block, bool inComment);

// Reads the block's call. Argument list I gives each letter its own local (A #1, B #2, C #3, I #4, J #5,
// K #6, D #7, E #8, F #9, H #11, M #13, Q #17, R #18, S #19, T #20, U #21, V #22, W #23, X #24, Y #25, Z #26);
// list II numbers repeated I J K triples on from #4, three locals a triple. Both are one rule: a triple is
// filled in the order I J K, and a letter that cannot follow the last one placed opens the next triple. A word
// given later wins where two name the same local (D and the third triple's I are both #7). A number without
// a decimal point is in thousandths for the letters read so in a block (A B C I J K Q R X Y Z) and for U V W,
// in ten-thousandths under G20, the least increment of an inch program, and whole under calculator-type
// decimal point input; arguments keep the program's unit.
struct ArgumentUnits {
    bool inch = false;
    bool calculatorDecimals = false;
};
void ReadMacroCall(std::string_view block, bool inComment, ArgumentUnits units, MacroCall& call);
