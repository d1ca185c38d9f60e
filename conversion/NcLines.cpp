#include "conversion/NcLines.h"

#include <cstring>
#include <string_view>

#include "nc/BlockScan.h"

std::size_t NcLines::next(char (&piece)[TextFile::kMaxPiece + 1]) {
    const std::size_t length = file_.readPiece(piece);
    if (length != 0) {
        pieceLine_ = nextLine_;
        pieceInComment_ = nextInComment_;
        pieceContinues_ = nextContinues_;
        nextContinues_ = piece[length - 1] != '\n';
        if (!nextContinues_) {
            ++nextLine_;
            nextInComment_ = false;
        } else {
            // The parser reads a piece up to its first NUL byte.
            nextInComment_ =
                CommentOpenAtEnd(std::string_view(piece, strnlen(piece, length)), pieceInComment_);
        }
    }
    return length;
}

void NcLines::jump(const Mark& to) {
    nextLine_ = to.line;
    nextInComment_ = to.inComment;
    nextContinues_ = false;
    file_.seek(to.at);
}
