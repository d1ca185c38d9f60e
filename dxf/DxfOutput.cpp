#include "dxf/DxfOutput.h"

#include <string>

#include "core/MessageSink.h"
#include "core/TextFile.h"

void ShowWriteFailure(const std::string& path) {
    CurrentMessageSink().showMessage("File Write Error", "No Write " + path);
}

void ShowReadFailure(const std::string& path) {
    CurrentMessageSink().showMessage("File Read Error", "No Read " + path);
}

bool DxfOutput::append(std::string_view lines) {
    if (failed_) {
        return false;
    }
    TextFile file;
    bool ok = file.open(path_, TextFileMode::AppendExisting);
    if (ok) {
        file.write(lines);
        ok = file.close();
    }
    if (!ok) {
        failed_ = true;
        ShowWriteFailure(path_);
    }
    return ok;
}
