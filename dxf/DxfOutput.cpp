#include "dxf/DxfOutput.h"

#include <string>

#include "core/File.h"
#include "core/MessageSink.h"

namespace {

// How much output is gathered before it is written and the file is checked.
constexpr std::size_t kCheckEvery = std::size_t{64} * 1024;

}  // namespace

void ShowWriteFailure(const std::string& path, int error) {
    CurrentMessageSink().showMessage("File Write Error", "No Write " + path + ": " + FailureReason(error));
}

void ShowOpenFailure(const AsideFile& file, const std::string& path, std::string_view caption,
                     std::string_view failure) {
    const std::string reason = FailureReason(file.error());
    if (!file.refusingFolder().empty()) {
        CurrentMessageSink().showMessage("File Open Error",
                                         file.refusingFolder() + ": フォルダに書き込めません: " + reason);
    } else {
        CurrentMessageSink().showMessage(caption, std::string(failure) + " " + path + ": " + reason);
    }
}

void ShowReadFailure(const std::string& path, int error) {
    CurrentMessageSink().showMessage("File Read Error", "No Read " + path + ": " + FailureReason(error));
}

bool DxfOutput::open() {
    if (failed_) {
        return false;
    }
    if (!file_.open(path_)) {
        failed_ = true;
        ShowOpenFailure(file_, path_, "File Open Error", "No Open");
        return false;
    }
    unchecked_ = 0;
    return true;
}

bool DxfOutput::append(std::string_view lines) {
    if (failed_ || (!file_.isOpen() && !open())) {
        return false;
    }
    TextFile& stream = file_.stream();
    stream.write(lines);
    unchecked_ += lines.size();
    if (unchecked_ >= kCheckEvery) {
        return writeOut();
    }
    return !stream.writeFailed() || fail();
}

bool DxfOutput::commit() {
    if (failed_ || (!file_.isOpen() && !open())) {
        return false;
    }
    return file_.commit() || fail();
}

bool DxfOutput::writeOut() {
    unchecked_ = 0;
    return file_.writeOut() || fail();
}

bool DxfOutput::fail() {
    failed_ = true;
    ShowWriteFailure(path_, file_.error() != 0 ? file_.error() : file_.stream().error());
    file_.discard();
    return false;
}
