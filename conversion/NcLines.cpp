#include "conversion/NcLines.h"

#include <array>
#include <string_view>

#include "nc/BlockScan.h"

namespace {

// Bytes from 128 on are no control characters: they are the lead and trail bytes of code page 932 and UTF-8.
constexpr std::array<bool, 256> ControlCharacters() {
    std::array<bool, 256> control{};
    for (int c = 0; c < 32; ++c) {
        control[static_cast<std::size_t>(c)] = c != '\t' && c != '\r' && c != '\n';
    }
    control[127] = true;
    return control;
}

constexpr std::array<bool, 256> kControlCharacters = ControlCharacters();

std::size_t FirstControl(const char* piece, std::size_t length) {
    std::size_t i = 0;
    while (i < length && !kControlCharacters[static_cast<unsigned char>(piece[i])]) {
        ++i;
    }
    return i;
}

}  // namespace

std::size_t NcLines::next(char (&piece)[TextFile::kMaxPiece + 1]) {
    std::size_t length = file_.readPiece(piece);
    if (length != 0) {
        pieceLine_ = nextLine_;
        pieceInComment_ = nextInComment_;
        pieceContinues_ = nextContinues_;
        nextContinues_ = piece[length - 1] != '\n';
        const std::size_t control = FirstControl(piece, length);
        pieceCut_ = control != length;
        if (pieceCut_) {
            length = cutAtControl(piece, control, nextContinues_);
            nextContinues_ = false;
        }
        if (!nextContinues_) {
            ++nextLine_;
            nextInComment_ = false;
        } else {
            nextInComment_ = CommentOpenAtEnd(std::string_view(piece, length), pieceInComment_);
        }
    }
    return length;
}

std::size_t NcLines::cutAtControl(char (&piece)[TextFile::kMaxPiece + 1], std::size_t at, bool lineGoesOn) {
    char rest[TextFile::kMaxPiece + 1];
    while (lineGoesOn) {
        const std::size_t length = file_.readPiece(rest);
        lineGoesOn = length != 0 && rest[length - 1] != '\n';
    }
    piece[at] = '\n';
    piece[at + 1] = '\0';
    return at + 1;
}

void NcLines::jump(const Mark& to) {
    nextLine_ = to.line;
    nextInComment_ = to.inComment;
    nextContinues_ = false;
    file_.seek(to.at);
}
