#include "nc/NcWord.h"

#include "core/AsciiClass.h"

namespace {

char FirstLetterOf(const SString& text) {
    for (const char* c = text.str(); *c != '\0'; ++c) {
        if (IsAsciiLetter(*c)) {
            return AsciiUpper(*c);
        }
    }
    return 'N';
}

}  // namespace

NcWord::NcWord() : NcWord(3) {}

NcWord::NcWord(int decimals)
    : textDecimals_(decimals),
      letter_('N'),
      value_(0.0),
      formerValue_(kUnsetCoordinate),
      decimals_(decimals) {}

NcWord::NcWord(const SString& text, int decimals)
    : textDecimals_(decimals),
      letter_(FirstLetterOf(text)),
      value_(text.readNumber(text)),
      formerValue_(kUnsetCoordinate),
      decimals_(decimals) {}

NcWord& NcWord::operator=(const SString& text) {
    return *this = NcWord(text, 3);
}

void NcWord::setLetter(char c) {
    letter_ = IsAsciiLetter(c) ? AsciiUpper(c) : 'N';
    rebuildText();
}

void NcWord::setValue(double value) {
    formerValue_ = value_;
    value_ = value;
    rebuildText();
}

void NcWord::addValue(double delta) {
    setValue(value_ + delta);
}

void NcWord::setDecimals(int decimals) {
    decimals_ = decimals;
}

void NcWord::rebuildText() {
    textDecimals_ = decimals_;
}

SString NcWord::text() const {
    SString text = SString::ofChar(letter_) + SString(value_, textDecimals_);
    if (textDecimals_ < 0) {
        text -= ".";
    }
    return text;
}
