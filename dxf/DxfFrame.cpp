#include "dxf/DxfFrame.h"

#include "core/File.h"
#include "core/TextFile.h"
#include "dxf/DxfOutput.h"

namespace {

bool CopyTemplate(const std::string& templateFile, DxfOutput& output) {
    TextFile source;
    if (!OpenReadText(source, templateFile)) {
        return false;
    }
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = source.readPiece(piece)) {
        if (!output.append(std::string_view(piece, length))) {
            return false;
        }
    }
    if (source.readFailed()) {
        ShowReadFailure(templateFile, source.error());
        return false;
    }
    return true;
}

}  // namespace

bool CopyHeader(const std::string& hedderFile, DxfOutput& output) {
    return CopyTemplate(hedderFile, output);
}

bool CopyFooter(const std::string& footerFile, DxfOutput& output) {
    return CopyTemplate(footerFile, output);
}
