// A text file that takes the place of another only once it is complete.
//
// It is written under a temporary name in the folder of the file it replaces (".<name>.plotra-" and six
// letters), created exclusively so that two writers never share one, and renamed over the final name at
// commit. Until then the file under the final name is not touched, and whatever goes wrong (a failed write,
// an abort, an interrupt) removes only the temporary file: nothing is ever deleted by the final name. A
// final name that is a symbolic link is followed, so its target is replaced and the link stays. A final
// name that is a device or a FIFO (/dev/null), or that leads to an open descriptor (/dev/stdout), cannot be
// replaced by a rename; it is written straight into (core/OutputPlace.h).
#pragma once

#include <string>

#include "core/TextFile.h"

// The name of a file written aside for `path` without its six random letters: the folder part of `path`
// with its separator, a dot, the last component cut to leave room for the rest, and ".plotra-".
std::string AsideStem(const std::string& path);

class AsideFile {
public:
    AsideFile() = default;
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;
    ~AsideFile() { discard(); }

    // Creates the file that will become `finalPath`; false with error() set. An existing final file must be
    // writable, as it would have to be to be overwritten in place; the new one gets its permissions.
    bool open(const std::string& finalPath);
    bool isOpen() const { return stream_.isOpen(); }
    TextFile& stream() { return stream_; }

    // Hands the pending output to the system and makes sure the temporary file is still the one being
    // written (nobody removed or replaced it); false with error() set.
    bool writeOut();
    // Writes out, closes and renames the file over the final name; false with error() set and the
    // temporary file removed.
    bool commit();
    // Closes and removes the temporary file.
    void discard();

    // The errno of the first failure.
    int error() const { return error_; }
    // The folder that took no new file, when that was why open() failed; empty otherwise.
    const std::string& refusingFolder() const { return refusingFolder_; }

private:
    bool fail(int error);

    TextFile stream_;
    std::string target_;     // the final name with its links followed
    std::string temporary_;  // empty while writing straight into a device
    std::string refusingFolder_;
    int error_ = 0;
};
