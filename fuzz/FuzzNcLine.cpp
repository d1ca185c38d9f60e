// Feeds arbitrary bytes to the NC block parser as the conversion run would: split at line feeds into pieces
// of at most 255 bytes, each piece one load.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/SString.h"
#include "nc/NcBlock.h"

namespace {

constexpr std::size_t kPieceLength = 255;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NcBlock block;
    std::string piece;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            block.load(SString(piece));
            piece.clear();
            continue;
        }
        piece += c;
        if (piece.size() == kPieceLength) {
            block.load(SString(piece));
            piece.clear();
        }
    }
    if (!piece.empty()) {
        block.load(SString(piece));
    }
    // The display texts are written only when asked; ask for all of them once.
    for (int slot = 0; slot < Slot::Count; ++slot) {
        block.word(slot).text();
        block.previousWord(slot).text();
    }
    return 0;
}
