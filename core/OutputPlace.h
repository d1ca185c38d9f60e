// Where an output name leads, worked out before anything is written, and which file a name stands for.
//
// A name may lead, through links such as /dev/stdout, /dev/fd/3 or /proc/self/fd/1, to a descriptor the
// program already has open: the shell's `>> log.txt`. Such a name is no file to be replaced; output goes
// into the descriptor as the program's own writes to it would, so that nothing is renamed over the file
// behind it and what the descriptor already holds stays.
#pragma once

#include <string>

struct OutputPlace {
    enum class Kind {
        File,        // a regular file to be replaced or created under `path`
        Stream,      // a device, FIFO or socket, or another program's descriptor: written straight into
        Descriptor,  // one of the program's own open descriptors, written into through a duplicate
    };
    Kind kind = Kind::File;
    // File: the name with its links followed, also when the last one leads to no file yet. Stream: the name.
    std::string path;
    int descriptor = -1;
    int error = 0;  // the errno of a name that leads nowhere usable (a folder, a loop of links)
};

OutputPlace FindOutputPlace(const std::string& name);

// One text per file, equal for two names of the same file however they are spelled (relative, "..", links,
// hard links), also for a file that does not exist yet.
std::string FileIdentity(const std::string& name);
