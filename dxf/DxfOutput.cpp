#include "dxf/DxfOutput.h"

#include <string>

#include "core/MessageSink.h"

namespace {

// How much output is gathered before it is written and the file is checked.
constexpr std::size_t kCheckEvery = std::size_t{64} * 1024;

}  // namespace

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
    if (!file_.isOpen() && !file_.open(path_, TextFileMode::AppendExisting)) {
        return fail();
    }
    file_.write(lines);
    unchecked_ += lines.size();
    if (unchecked_ >= kCheckEvery) {
        return writeOut();
    }
    return !file_.writeFailed() || fail();
}

bool DxfOutput::close() {
    if (failed_) {
        return false;
    }
    if (!file_.isOpen()) {
        return true;
    }
    if (!writeOut()) {
        return false;
    }
    return file_.close() || fail();
}

bool DxfOutput::writeOut() {
    unchecked_ = 0;
    if (!file_.flush() || !file_.isStillAt(path_)) {
        return fail();
    }
    return true;
}

bool DxfOutput::fail() {
    failed_ = true;
    ShowWriteFailure(path_);
    return false;
}
