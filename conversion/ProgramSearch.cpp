#include "conversion/ProgramSearch.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "conversion/ControlWords.h"
#include "conversion/SequenceNumbers.h"

namespace {

constexpr std::int64_t kHeadLines = 20;

// 1234 for the names O1234.nc, o01234, 1234.tap and 0001234.NC; kNoNumber for every other name.
std::int64_t NumberOfName(const std::string& name) {
    const std::size_t dot = name.rfind('.');
    std::string_view stem(name.data(), dot == std::string::npos || dot == 0 ? name.size() : dot);
    if (!stem.empty() && (stem[0] == 'O' || stem[0] == 'o')) {
        stem.remove_prefix(1);
    }
    if (stem.empty()) {
        return kNoNumber;
    }
    std::int64_t value = 0;
    for (const char digit : stem) {
        if (digit < '0' || digit > '9') {
            return kNoNumber;
        }
        value = value * 10 + (digit - '0');
        if (value > kMaxNumber) {
            return kNoNumber;
        }
    }
    return value;
}

// The number of the file's first O line within its first lines; kNoNumber when there is none or the file
// cannot be read. Opening never waits, so a FIFO put there in the meantime is refused.
std::int64_t FirstProgramNumber(const std::string& path) {
    TextFile file;
    if (!file.open(path, TextFileMode::Read) || file.recogniseEncoding() != TextEncoding::Bytes) {
        return kNoNumber;
    }
    NcLines lines(file);
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = lines.next(piece)) {
        if (lines.lineNumber() > kHeadLines) {
            break;
        }
        const std::int64_t number = ProgramNumberOf(piece, length, lines.startsInComment());
        if (number != kNoNumber) {
            return number;
        }
    }
    return kNoNumber;
}

std::string FolderOf(const std::string& file) {
    const std::string folder = std::filesystem::path(file).parent_path().string();
    return folder.empty() ? "." : folder;
}

}  // namespace

ProgramSearch::ProgramSearch(ProgramFile& nc, const std::vector<std::string>& libraryFolders) : nc_(nc) {
    folders_.emplace_back(FolderOf(nc.path()));
    for (const std::string& folder : libraryFolders) {
        folders_.emplace_back(folder);
    }
}

ProgramSearch::Found ProgramSearch::find(std::int64_t number, ProgramFile& caller) {
    if (number == kNoNumber) {
        return {};
    }
    for (ProgramFile* file : {&caller, &nc_}) {
        if (const SubprogramIndex::Body* body = file->index().bodyOf(number)) {
            return Found{file, body->at, body->program, body->opening};
        }
    }
    ProgramFile* file = inFolders(number);
    if (file == nullptr) {
        return {};
    }
    if (const SubprogramIndex::Body* body = file->index().bodyOf(number)) {
        return Found{file, body->at, body->program, body->opening};
    }
    // A file named after the number may hold the program without its O line.
    return Found{file, file->start(), kMainProgram, file->start().line};
}

ProgramFile* ProgramSearch::inFolders(std::int64_t number) {
    const auto [known, fresh] = found_.try_emplace(number, nullptr);
    if (!fresh) {
        return known->second;
    }
    for (Folder& folder : folders_) {
        list(folder);
        const auto named = folder.byName.find(number);
        if (named != folder.byName.end() && (known->second = loaded(named->second)) != nullptr) {
            return known->second;
        }
        readHeads(folder);
        // The file is opened again to be loaded: one put in its place in the meantime must still hold the
        // program, or it is not the file found.
        const auto headed = folder.byFirstLine.find(number);
        ProgramFile* file = headed == folder.byFirstLine.end() ? nullptr : loaded(headed->second);
        if (file != nullptr && file->index().bodyOf(number) != nullptr) {
            return known->second = file;
        }
    }
    return nullptr;
}

ProgramFile* ProgramSearch::loaded(const std::string& path) {
    for (const std::unique_ptr<ProgramFile>& file : files_) {
        if (file->path() == path) {
            return file.get();
        }
    }
    auto file = std::make_unique<ProgramFile>(path, std::filesystem::path(path).filename().string());
    if (!file->load()) {
        return nullptr;
    }
    files_.push_back(std::move(file));
    return files_.back().get();
}

// Only plain files (or links to them) take part: a folder or a FIFO of the right name is not a program.
void ProgramSearch::list(Folder& folder) {
    if (folder.listed) {
        return;
    }
    folder.listed = true;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder.path, error), end; !error && entry != end;
         entry.increment(error)) {
        std::error_code typeError;
        if (entry->is_regular_file(typeError)) {
            folder.files.push_back(entry->path().filename().string());
        }
    }
    std::sort(folder.files.begin(), folder.files.end());
    for (const std::string& name : folder.files) {
        const std::int64_t number = NumberOfName(name);
        if (number != kNoNumber) {
            folder.byName.try_emplace(number, folder.path + "/" + name);
        }
    }
}

void ProgramSearch::readHeads(Folder& folder) {
    if (folder.headsRead) {
        return;
    }
    folder.headsRead = true;
    for (const std::string& name : folder.files) {
        const std::string path = folder.path + "/" + name;
        const std::int64_t number = FirstProgramNumber(path);
        if (number != kNoNumber) {
            folder.byFirstLine.try_emplace(number, path);
        }
    }
}
