// One file the run reads programs from: the NC file, or a file where a call found its program. Every program
// of the file is read through one handle, with the file's own line numbers and index, and the index is read
// through that same handle: a file put in its place by name in the meantime is never read at the positions
// of the other.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "conversion/NcLines.h"
#include "conversion/SubprogramIndex.h"
#include "core/TextFile.h"

class ProgramFile {
public:
    // `name`: how the report names the file, empty for the NC file.
    ProgramFile(std::string path, std::string name) : path_(std::move(path)), name_(std::move(name)) {}
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;

    // For a file just opened: finds its encoding, and its first piece becomes its start.
    TextEncoding recogniseEncoding();
    // Opens a called file without waiting and without a message, and reads its index: false when it is not a
    // readable file of single bytes (a folder, a FIFO, UTF-16 text, a read error).
    bool load();
    // Reads the index of the file just opened and goes back to its start; false when the file cannot be read.
    bool readIndex();

    // Block N`number` of `program`, as SubprogramIndex::findSequence. A number that no jump of this file
    // names is recorded first, by reading the file once more.
    const NcLines::Mark* findSequence(std::int64_t number, int program, std::int64_t afterLine);

    const std::string& path() const { return path_; }
    const std::string& name() const { return name_; }
    TextFile& text() { return file_; }
    NcLines& lines() { return lines_; }
    SubprogramIndex& index() { return index_; }
    const NcLines::Mark& start() const { return start_; }

private:
    std::string path_;
    std::string name_;
    TextFile file_;
    NcLines lines_{file_};
    SubprogramIndex index_;
    NcLines::Mark start_;
};
