// NcWord: one address word of an NC block, an upper-case letter with its value and display text.
//
// A word knows nothing of slots, modal groups or implied decimals; the block parser owns those rules. A word
// made from text reads its number as written, without scaling.
#pragma once

#include "core/SString.h"

// The value of a coordinate that no block has set yet.
inline constexpr double kUnsetCoordinate = -99999.0;

class NcWord {
public:
    // Letter N, value 0, former value unset, 3 decimals: reads N0.000.
    NcWord();
    explicit NcWord(int decimals);
    // The first ASCII letter of `text` upper-cased (N when there is none) and the first number of `text`.
    NcWord(const SString& text, int decimals);

    // Replaces every field by those of NcWord(text, 3).
    NcWord& operator=(const SString& text);

    // Upper-cases an ASCII letter; any other character gives N.
    void setLetter(char c);
    // The current value becomes the former value.
    void setValue(double value);
    void addValue(double delta);
    // Takes effect on the display text only at the next change of letter or value.
    void setDecimals(int decimals);
    // Makes the display text follow the current decimals count.
    void rebuildText();

    char letter() const { return letter_; }
    double value() const { return value_; }
    double formerValue() const { return formerValue_; }
    int decimals() const { return decimals_; }
    // The letter followed by the value with the decimals of the last change; a negative count drops the
    // point.
    SString text() const;

private:
    // The display text is written only when asked, so the word keeps what it needs to write it: the
    // decimals count as it stood at the last change.
    int textDecimals_;
    char letter_;
    double value_;
    double formerValue_;
    int decimals_;
};
