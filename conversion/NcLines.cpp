#include "conversion/NcLines.h"

#include <array>
#include <cstdint>
#include <cstring>
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

// Eight bytes at a time, as every line is looked at: a block of eight without a byte below 32 or DEL is
// passed at once, and only one that has one (a tab, a CR) is looked at byte by byte.
constexpr std::uint64_t kEveryByte = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

bool MayHoldControl(std::uint64_t bytes) {
    const std::uint64_t below32 = (bytes - 0x20 * kEveryByte) & ~bytes & kHighBits;
    const std::uint64_t notDel = bytes ^ (0x7F * kEveryByte);
    const std::uint64_t del = (notDel - kEveryByte) & ~notDel & kHighBits;
    return (below32 | del) != 0;
}

std::size_t FirstControlFrom(const char* piece, std::size_t i, std::size_t end) {
    while (i < end && !kControlCharacters[static_cast<unsigned char>(piece[i])]) {
        ++i;
    }
    return i;
}

// The line feed that ends most pieces needs no look.
std::size_t FirstControl(const char* piece, std::size_t length) {
    const std::size_t end = piece[length - 1] == '\n' ? length - 1 : length;
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= end; i += sizeof(std::uint64_t)) {
        std::uint64_t bytes;
        std::memcpy(&bytes, piece + i, sizeof bytes);
        if (MayHoldControl(bytes)) {
            const std::size_t found = FirstControlFrom(piece, i, i + sizeof bytes);
            if (found != i + sizeof bytes) {
                return found;
            }
        }
    }
    const std::size_t found = FirstControlFrom(piece, i, end);
    return found == end ? length : found;
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
            length = endPieceAt(piece, control, nextContinues_);
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

std::size_t NcLines::endPieceAt(char (&piece)[TextFile::kMaxPiece + 1], std::size_t at, bool lineGoesOn) {
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
