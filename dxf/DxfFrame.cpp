#include "dxf/DxfFrame.h"

#include "core/File.h"
#include "core/TextFile.h"
#include "dxf/DxfOutput.h"

namespace {

// Copies `source` to `target` piece by piece, as text: CR LF read becomes a line feed and every line feed
// written becomes CR LF again, so lines of any length come through unchanged but for their line ends.
CopyOutcome CopyText(TextFile& source, const std::string& sourcePath, TextFile& target,
                     const std::string& targetPath) {
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = source.readPiece(piece)) {
        target.write(std::string_view(piece, length));
    }
    const bool readFailed = source.readFailed();
    source.close();
    if (!target.close()) {
        ShowWriteFailure(targetPath);
        return CopyOutcome::OutputIncomplete;
    }
    if (readFailed) {
        ShowReadFailure(sourcePath);
        return CopyOutcome::OutputIncomplete;
    }
    return CopyOutcome::Copied;
}

}  // namespace

CopyOutcome CopyHeader(const std::string& hedderFile, const std::string& dxfFile) {
    TextFile header;
    if (!OpenReadText(header, hedderFile)) {
        return CopyOutcome::NothingWritten;
    }
    TextFile dxf;
    if (!OpenWriteText(dxf, dxfFile)) {
        return CopyOutcome::NothingWritten;
    }
    return CopyText(header, hedderFile, dxf, dxfFile);
}

CopyOutcome CopyFooter(const std::string& footerFile, const std::string& dxfFile) {
    TextFile footer;
    if (!OpenReadText(footer, footerFile)) {
        return CopyOutcome::NothingWritten;
    }
    TextFile dxf;
    if (!dxf.open(dxfFile, TextFileMode::AppendExisting)) {
        ShowWriteFailure(dxfFile);
        return CopyOutcome::OutputIncomplete;
    }
    return CopyText(footer, footerFile, dxf, dxfFile);
}
