#include "app/NcFileIndex.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "conversion/ControlWords.h"
#include "core/TextFile.h"

namespace {

// Hands `take` every line from `offset` on, without its end and cut to `maxBytes`, until it returns false or
// the file ends. A last line without an end counts.
template <class Take>
void ForEachLine(const TextFile& file, std::uint64_t offset, std::size_t maxBytes, char end, Take take) {
    const auto buffer = std::make_unique_for_overwrite<char[]>(TextFile::kChunk);
    std::string line;
    bool started = false;
    std::int64_t got;
    while ((got = file.readRawAt(offset, buffer.get(), TextFile::kChunk)) > 0) {
        offset += static_cast<std::uint64_t>(got);
        const char* at = buffer.get();
        const char* const stop = at + got;
        while (at < stop) {
            const auto* found =
                static_cast<const char*>(std::memchr(at, end, static_cast<std::size_t>(stop - at)));
            const char* segmentEnd = found != nullptr ? found : stop;
            const std::size_t room = maxBytes - line.size();
            line.append(at, std::min(room, static_cast<std::size_t>(segmentEnd - at)));
            started = true;
            if (found == nullptr) {
                break;
            }
            at = found + 1;
            if (!take(line)) {
                return;
            }
            line.clear();
            started = false;
        }
    }
    if (started) {
        take(line);
    }
}

}  // namespace

bool NcFileIndex::build(const std::string& path) {
    clear();
    // Taken before the file is opened: a file put in its place meanwhile then counts as changed.
    const std::optional<Stamp> stamp = stampOf(path);
    TextFile file;
    if (!stamp || !file.open(path, TextFileMode::Read)) {
        return false;
    }
    // Lines end as the run ends them.
    file.recogniseEncoding();
    crLines_ = file.crLines();
    const auto buffer = std::make_unique_for_overwrite<char[]>(TextFile::kChunk);
    std::uint64_t offset = 0;
    std::int64_t ends = 0;
    char last = '\n';
    std::int64_t got;
    while ((got = file.readRawAt(offset, buffer.get(), TextFile::kChunk)) > 0) {
        const char* at = buffer.get();
        const char* const stop = at + got;
        if (offset == 0) {
            // A UTF-8 byte-order mark is not part of the first block.
            marks_.push_back(got >= 3 && std::memcmp(at, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0);
        }
        while (const void* found = std::memchr(at, lineEnd(), static_cast<std::size_t>(stop - at))) {
            at = static_cast<const char*>(found) + 1;
            if (++ends % kLinesPerMark == 0) {
                marks_.push_back(offset + static_cast<std::uint64_t>(at - buffer.get()));
            }
        }
        last = buffer[static_cast<std::size_t>(got) - 1];
        offset += static_cast<std::uint64_t>(got);
    }
    if (got < 0) {
        clear();
        return false;
    }
    path_ = path;
    lineCount_ = ends + (last != lineEnd() ? 1 : 0);
    stamp_ = *stamp;
    marks_.shrink_to_fit();
    return true;
}

void NcFileIndex::clear() {
    path_.clear();
    marks_.clear();
    lineCount_ = 0;
    crLines_ = false;
    stamp_ = {};
}

std::vector<std::string> NcFileIndex::read(std::int64_t first, std::int64_t count,
                                           std::size_t maxBytes) const {
    std::vector<std::string> lines;
    if (first < 1 || first > lineCount_ || count <= 0) {
        return lines;
    }
    TextFile file;
    if (!file.open(path_, TextFileMode::Read)) {
        return lines;
    }
    const auto mark = static_cast<std::size_t>((first - 1) / kLinesPerMark);
    std::int64_t skip = (first - 1) % kLinesPerMark;
    lines.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, 1024)));
    ForEachLine(file, marks_[mark], maxBytes, lineEnd(), [&](std::string& line) {
        if (skip > 0) {
            --skip;
            return true;
        }
        if (!crLines_ && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
        return static_cast<std::int64_t>(lines.size()) < count;
    });
    return lines;
}

std::optional<std::string> NcFileIndex::line(std::int64_t number, std::size_t maxBytes) const {
    std::vector<std::string> lines = read(number, 1, maxBytes);
    if (lines.empty()) {
        return std::nullopt;
    }
    return std::move(lines.front());
}

std::optional<std::int64_t> NcFileIndex::findSequence(std::int64_t number) const {
    TextFile file;
    if (marks_.empty() || !file.open(path_, TextFileMode::Read)) {
        return std::nullopt;
    }
    std::optional<std::int64_t> found;
    std::int64_t line = 0;
    ForEachLine(file, marks_.front(), TextFile::kMaxPiece, lineEnd(), [&](const std::string& head) {
        ++line;
        if (SequenceNumberOf(head.data(), head.size(), false) == number) {
            found = line;
        }
        return !found;
    });
    return found;
}

std::optional<NcFileIndex::Stamp> NcFileIndex::stampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return Stamp{status.st_dev, status.st_ino, status.st_size, status.st_mtim};
}

bool NcFileIndex::changedOnDisk() const {
    if (path_.empty()) {
        return false;
    }
    const std::optional<Stamp> now = stampOf(path_);
    return !now || now->device != stamp_.device || now->inode != stamp_.inode || now->size != stamp_.size ||
           now->modified.tv_sec != stamp_.modified.tv_sec || now->modified.tv_nsec != stamp_.modified.tv_nsec;
}
