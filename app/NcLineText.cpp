#include "app/NcLineText.h"

#include <algorithm>

#include "core/TextFile.h"

std::optional<std::string> NcLineText(const std::string& path, std::int64_t lineNumber,
                                      std::size_t maxLength) {
    TextFile file;
    if (lineNumber < 1 || !file.open(path, TextFileMode::Read)) {
        return std::nullopt;
    }
    file.recogniseEncoding();
    char piece[TextFile::kMaxPiece + 1];
    std::int64_t line = 1;
    std::string text;
    bool found = false;
    while (std::size_t length = file.readPiece(piece)) {
        const bool endsLine = piece[length - 1] == '\n';
        if (line == lineNumber) {
            found = true;
            if (text.size() < maxLength) {
                text.append(piece, std::min(length, maxLength - text.size()));
            }
        }
        if (endsLine && ++line > lineNumber) {
            break;
        }
    }
    if (!found) {
        return std::nullopt;
    }
    return text;
}
