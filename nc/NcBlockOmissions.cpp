// What the block parser notes of a line that is not drawn: codes outside the dialect, macro variables, and
// the text after the point where reading stopped.
#include "core/AsciiClass.h"
#include "nc/NcBlock.h"

void NcBlock::noteGCode(double value) {
    switch (integerPart(value)) {
        case 10:
            omissions_.add(Omission::DataSetting);
            break;
        case 16:
            omissions_.add(Omission::PolarCoordinates);
            break;
        case 20:
            omissions_.add(Omission::InchUnits);
            break;
        case 51:
            omissions_.add(value == 51.1 ? Omission::Mirroring : Omission::Scaling);
            break;
        case 52:
            omissions_.add(Omission::LocalCoordinates);
            break;
        case 65:
            omissions_.add(Omission::MacroCall);
            break;
        case 66:
            omissions_.add(Omission::ModalMacroCall);
            break;
        case 68:
            omissions_.add(Omission::Rotation);
            break;
        default:
            break;
    }
}

// A "#" inside a comment is text, as in "(T4 #4 TAP DRILL)"; after a ";" the rest of the line is a comment.
void NcBlock::noteMacroVariable(int position) {
    bool inComment = false;
    for (int i = position; i < lineLength_; ++i) {
        const char c = line_[i];
        if (inComment) {
            inComment = c != ')';
        } else if (c == '(') {
            inComment = true;
        } else if (c == ';') {
            return;
        } else if (c == '#') {
            omissions_.add(Omission::MacroVariable);
            return;
        }
    }
}

// Reading stopped at `stop` before the end of the line. What follows is lost unless it is only blanks and
// comments: a comment that runs to the end of the line, or a ";" or "%" after which nothing is read anyway.
// A block with macro variables is already listed for them, which is why its words went unread.
void NcBlock::noteUnreadText(int stop) {
    if (omissions_.has(Omission::MacroVariable)) {
        return;
    }
    // Digits where reading stopped are the rest of the number just read, as its blanks in front ("I -20")
    // were not stepped over, or a line's leading number: no word of their own.
    while (stop < lineLength_ && (IsAsciiDigit(line_[stop]) || line_[stop] == '.')) {
        ++stop;
    }
    // Reading may stop inside a comment: "(" or ";" after a blank is read as a letter, and its number is
    // taken from inside the comment.
    bool inComment = false;
    for (int i = 0; i < stop; ++i) {
        if (line_[i] == '(') {
            inComment = true;
        } else if (line_[i] == ')') {
            inComment = false;
        } else if (line_[i] == ';' && !inComment) {
            return;
        }
    }
    const bool stoppedAtComment = inComment || line_[stop] == '(';
    for (int i = stop; i < lineLength_; ++i) {
        const char c = line_[i];
        if (inComment) {
            inComment = c != ')';
        } else if (c == '(') {
            inComment = true;
        } else if (c == ';' || c == '%') {
            return;
        } else if (c != ' ' && c != '\t') {
            omissions_.add(stoppedAtComment ? Omission::TextAfterComment : Omission::TextAfterUnreadChar);
            return;
        }
    }
}
