// The DXF file of one conversion run, as the writers see it.
//
// Every entity is appended as soon as its NC line has been interpreted, but not with a system call of its
// own: opening, writing and closing the file per entity costs several microseconds, more than interpreting
// the line, so the output is gathered and handed to the system in chunks while the file stays open. The file
// is still never created here: a DXF file that vanished or was replaced during the run is a failed write,
// never a reason to start a new file without its header. An abort deletes the file by name; the run then
// stops and what was pending is dropped with it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/TextFile.h"

// Shows "No Write <path>" under "File Write Error".
void ShowWriteFailure(const std::string& path);
// Shows "No Read <path>" under "File Read Error", for an input that opened but could not be read to its end.
void ShowReadFailure(const std::string& path);

class DxfOutput {
public:
    explicit DxfOutput(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Appends `lines` (line feeds become CR LF in the file). The first failure shows one message; from then
    // on nothing is written and false is returned.
    bool append(std::string_view lines);
    // Writes what is pending, checks that the file is still the run's own, and closes it, so that the footer
    // can be appended by name. False after one message.
    bool close();
    bool failed() const { return failed_; }

    // A scratch buffer the writers fill with one entity's lines before appending, so that writing an entity
    // allocates nothing once the buffer has grown.
    std::string& scratch() { return scratch_; }

private:
    bool writeOut();
    bool fail();

    std::string path_;
    std::string scratch_;
    TextFile file_;
    std::size_t unchecked_ = 0;  // bytes appended since the file was last flushed and checked
    bool failed_ = false;
};
