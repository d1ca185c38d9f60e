// The DXF file of one conversion run, as the writers see it.
//
// The drawing is written aside, into a new file beside the output name, and put in place under that name
// only when the run commits it after the footer: an earlier drawing under the name stays untouched by a
// failed, aborted or interrupted run, which removes only its own file (core/AsideFile.h).
//
// Every entity is appended as soon as its NC line has been interpreted, but not with a system call of its
// own: the output is gathered and handed to the system in chunks while the file stays open, and at every
// chunk the file is checked to be still the run's own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/AsideFile.h"

// Shows "No Write <path>: <reason>" under "File Write Error".
void ShowWriteFailure(const std::string& path, int error);
// Shows why an output could not be started: "<folder>: フォルダに書き込めません: <reason>" under "File Open
// Error" when its folder took no new file, otherwise "<failure> <path>: <reason>" under `caption`.
void ShowOpenFailure(const AsideFile& file, const std::string& path, std::string_view caption,
                     std::string_view failure);
// Shows "No Read <path>: <reason>" under "File Read Error", for an input that opened but could not be read
// to its end.
void ShowReadFailure(const std::string& path, int error);

class DxfOutput {
public:
    explicit DxfOutput(std::string path) : path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // Creates the file the drawing is written into; false after one "No Open" message.
    bool open();
    // Appends `lines` (line feeds become CR LF in the file), opening the file first if need be. The first
    // failure shows one message; from then on nothing is written and false is returned.
    bool append(std::string_view lines);
    // Puts the complete drawing in place under the output name. False after one message, the earlier file
    // under that name as it was.
    bool commit();
    // Drops the drawing; only the run's own file is removed.
    void discard() { file_.discard(); }
    bool failed() const { return failed_; }

    // A scratch buffer the writers fill with one entity's lines before appending, so that writing an entity
    // allocates nothing once the buffer has grown.
    std::string& scratch() { return scratch_; }

private:
    bool writeOut();
    bool fail();

    std::string path_;
    std::string scratch_;
    AsideFile file_;
    std::size_t unchecked_ = 0;  // bytes appended since the file was last flushed and checked
    bool failed_ = false;
};
