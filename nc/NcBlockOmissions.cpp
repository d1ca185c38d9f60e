// What the block parser notes of a line that is not drawn: codes outside the dialect, and how reading the
// line ended.
#include "nc/NcBlock.h"

void NcBlock::noteGCode(double value) {
    switch (integerPart(value)) {
        case 20:
            omissions_.add(Omission::InchUnits);
            break;
        default:
            break;
    }
}

void NcBlock::noteBlockEnd(BlockEnd end) {
    switch (end) {
        case BlockEnd::Complete:
            break;
        case BlockEnd::UnreadText:
            omissions_.add(Omission::TextAfterUnreadChar);
            break;
        case BlockEnd::MacroVariable:
            omissions_.add(Omission::MacroVariable);
            break;
        case BlockEnd::OWord:
            omissions_.add(Omission::OWordControl);
            break;
        case BlockEnd::PolarWord:
            omissions_.add(Omission::PolarWord);
            break;
        case BlockEnd::NamedParameter:
            omissions_.add(Omission::NamedParameter);
            break;
    }
}
