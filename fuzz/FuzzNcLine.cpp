// Feeds arbitrary bytes to the NC interpreter as the conversion run would: split at line feeds into pieces of
// at most 255 bytes, each piece one load, a comment left open carried into the next piece of its line. After
// every piece the whole state must still be finite.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/SString.h"
#include "nc/BlockScan.h"
#include "nc/NcAnalyzer.h"

namespace {

constexpr std::size_t kPieceLength = 255;

bool IsStateFinite(const NcAnalyzer& a) {
    const HoleRow& holes = a.holes();
    const ArcPath& path = a.arcPath();
    for (const double value : {holes.returnLevel,
                               holes.rLevel,
                               holes.bottom,
                               holes.x(holes.count),
                               holes.y(holes.count),
                               path.end.z,
                               path.startAngle,
                               path.sweep,
                               a.toolDiameter(),
                               a.feedRate(),
                               a.rapidRate(),
                               a.totalTime(),
                               a.moveLength(),
                               a.moveTime(),
                               a.startX(),
                               a.startY(),
                               a.startZ(),
                               a.endX(),
                               a.endY(),
                               a.endZ(),
                               a.arcCentreX(),
                               a.arcCentreY(),
                               a.arcRadius(),
                               a.startAngle(true),
                               a.endAngle(true),
                               a.startAngle(false),
                               a.endAngle(false),
                               a.minX(),
                               a.minY(),
                               a.maxX(),
                               a.maxY()}) {
        if (!std::isfinite(value)) {
            return false;
        }
    }
    for (int slot = 0; slot < Slot::Count; ++slot) {
        if (!std::isfinite(a.wordValue(slot)) || !std::isfinite(a.previousValue(slot))) {
            return false;
        }
    }
    return true;
}

void Load(NcAnalyzer& analyzer, const std::string& piece, bool inComment) {
    analyzer.setOpenComment(inComment);
    analyzer.load(SString(piece));
    if (!IsStateFinite(analyzer)) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NcAnalyzer analyzer;
    std::string piece;
    bool inComment = false;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            Load(analyzer, piece, inComment);
            piece.clear();
            inComment = false;
            continue;
        }
        piece += c;
        if (piece.size() == kPieceLength) {
            Load(analyzer, piece, inComment);
            inComment =
                CommentOpenAtEnd(std::string_view(piece.c_str(), std::strlen(piece.c_str())), inComment);
            piece.clear();
        }
    }
    if (!piece.empty()) {
        Load(analyzer, piece, inComment);
    }
    // The display texts are written only when asked; ask for all of them once.
    for (int slot = 0; slot < Slot::Count; ++slot) {
        analyzer.word(slot).text();
        analyzer.previousWord(slot).text();
    }
    return 0;
}
