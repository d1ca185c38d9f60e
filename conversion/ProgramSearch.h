// Where a called program number is found: in the file of the calling program, in the NC file, then folder by
// folder (the NC file's own, then the library folders), first a file named after the number (O1234.nc,
// 1234.tap, o01234: leading zeros and the case of O do not count), then a file whose first O line within its
// first 20 lines has the number. A folder is listed, and the files of a folder are read for their O lines,
// at most once per run, and each number is looked for in the folders once.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "conversion/NcLines.h"
#include "conversion/ProgramFile.h"

class ProgramSearch {
public:
    ProgramSearch(ProgramFile& nc, const std::vector<std::string>& libraryFolders);

    struct Found {
        ProgramFile* file = nullptr;  // null when the number is found nowhere
        NcLines::Mark body;
        int program = 0;           // the blocks its sequence numbers are looked for in
        std::int64_t opening = 0;  // its O line, or the line it starts at when it has none
    };
    Found find(std::int64_t number, ProgramFile& caller);

private:
    struct Folder {
        explicit Folder(std::string folder) : path(std::move(folder)) {}
        std::string path;
        bool listed = false;
        bool headsRead = false;
        std::vector<std::string> files;                   // plain files, in name order
        std::map<std::int64_t, std::string> byName;       // the first file name in name order per number
        std::map<std::int64_t, std::string> byFirstLine;  // the same for the numbers of first O lines
    };

    ProgramFile* inFolders(std::int64_t number);
    // The file at `path`, loaded on its first call; null when it cannot be read.
    ProgramFile* loaded(const std::string& path);
    static void list(Folder& folder);
    static void readHeads(Folder& folder);

    ProgramFile& nc_;
    std::vector<Folder> folders_;
    std::unordered_map<std::int64_t, ProgramFile*> found_;  // null: in no folder
    std::vector<std::unique_ptr<ProgramFile>> files_;
};
