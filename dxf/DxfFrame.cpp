#include "dxf/DxfFrame.h"

#include "core/File.h"
#include "core/TextFile.h"
#include "dxf/DxfOutput.h"

namespace {

enum class LastLine { AsItStands, Ended };

bool CopyTemplate(const std::string& templateFile, DxfOutput& output, LastLine lastLine) {
    TextFile source;
    if (!OpenReadText(source, templateFile)) {
        return false;
    }
    char piece[TextFile::kMaxPiece + 1];
    bool lineOpen = false;
    while (std::size_t length = source.readPiece(piece)) {
        if (!output.append(std::string_view(piece, length))) {
            return false;
        }
        lineOpen = piece[length - 1] != '\n';
    }
    if (source.readFailed()) {
        ShowReadFailure(templateFile, source.error());
        return false;
    }
    return lastLine == LastLine::AsItStands || !lineOpen || output.append("\n");
}

}  // namespace

// Editors often save a file without ending its last line. The header's last line is the group code 0 that
// introduces the first entity, so it is ended here; otherwise it would run into the entity's type ("0LINE")
// and no DXF reader could open the drawing. The footer ends the file and is left as the user saved it.
bool CopyHeader(const std::string& hedderFile, DxfOutput& output) {
    return CopyTemplate(hedderFile, output, LastLine::Ended);
}

bool CopyFooter(const std::string& footerFile, DxfOutput& output) {
    return CopyTemplate(footerFile, output, LastLine::AsItStands);
}
