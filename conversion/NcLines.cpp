#include "conversion/NcLines.h"

std::size_t NcLines::next(char (&piece)[TextFile::kMaxPiece + 1]) {
    const std::size_t length = file_.readPiece(piece);
    if (length != 0) {
        pieceLine_ = nextLine_;
        if (piece[length - 1] == '\n') {
            ++nextLine_;
        }
    }
    return length;
}

void NcLines::jump(const Mark& to) {
    nextLine_ = to.line;
    file_.seek(to.at);
}
