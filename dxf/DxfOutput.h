// The DXF file of one conversion run, as the writers see it.
//
// The file is never held open between two pieces of output: every append opens it by name, writes and
// closes it, so that the window's Abort can delete it between two NC lines. A file that vanished meanwhile
// is a failed write, never a reason to start a new file without its header.
#pragma once

#include <string>
#include <string_view>

// Shows "No Write <path>" under "File Write Error".
void ShowWriteFailure(const std::string& path);
// Shows "No Read <path>" under "File Read Error", for an input that opened but could not be read to its end.
void ShowReadFailure(const std::string& path);

class DxfOutput {
public:
    explicit DxfOutput(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Appends `lines` (line feeds become CR LF in the file) with one open, one write and one close.
    // The first failure shows one message; from then on nothing is written and false is returned.
    bool append(std::string_view lines);
    bool failed() const { return failed_; }

    // A scratch buffer the writers fill with one entity's lines before appending, so that writing an entity
    // allocates nothing once the buffer has grown.
    std::string& scratch() { return scratch_; }

private:
    std::string path_;
    std::string scratch_;
    bool failed_ = false;
};
