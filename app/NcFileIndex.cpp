#include "app/NcFileIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "core/TextFile.h"

namespace {

constexpr std::size_t kChunk = 1 << 16;
// Room for blanks, a block-delete slash and the longest sequence number in front of it.
constexpr std::size_t kSequenceHead = 40;

// A regular file opened without waiting: a FIFO put in the file's place is refused, never waited for.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::string& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {
        struct stat status {};
        if (fd_ >= 0 && (::fstat(fd_, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;
    ~ReadOnlyFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int fd() const { return fd_; }

private:
    int fd_;
};

// Hands `take` every line from `offset` on, without its end and cut to `maxBytes`, until it returns false or
// the file ends. A last line without an end counts.
template <class Take>
void ForEachLine(int fd, std::uint64_t offset, std::size_t maxBytes, char end, Take take) {
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk);
    std::string line;
    bool started = false;
    ssize_t got;
    while ((got = ::pread(fd, buffer.get(), kChunk, static_cast<off_t>(offset))) > 0) {
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
    const ReadOnlyFile file(path);
    struct stat status {};
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0) {
        return false;
    }
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunk * 16);
    std::uint64_t offset = 0;
    std::int64_t ends = 0;
    char last = '\n';
    ssize_t got;
    while ((got = ::read(file.fd(), buffer.get(), kChunk * 16)) > 0) {
        const char* at = buffer.get();
        const char* const stop = at + got;
        if (offset == 0) {
            // A UTF-8 byte-order mark is not part of the first block. Lines end as the run ends them, decided
            // on the same first chunk.
            const std::size_t mark = got >= 3 && std::memcmp(at, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
            const std::size_t sample = std::min<std::size_t>(static_cast<std::size_t>(got), TextFile::kChunk) - mark;
            crLines_ = !std::memchr(at + mark, '\n', sample) && std::memchr(at + mark, '\r', sample);
            marks_.push_back(mark);
        }
        while (const void* found = std::memchr(at, lineEnd(), static_cast<std::size_t>(stop - at))) {
            at = static_cast<const char*>(found) + 1;
            if (++ends % kLinesPerMark == 0) {
                marks_.push_back(offset + static_cast<std::uint64_t>(at - buffer.get()));
            }
        }
        last = buffer[got - 1];
        offset += static_cast<std::uint64_t>(got);
    }
    if (got < 0) {
        clear();
        return false;
    }
    path_ = path;
    lineCount_ = ends + (last != lineEnd() ? 1 : 0);
    stamp_ = {status.st_dev, status.st_ino, status.st_size, status.st_mtim};
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
    const ReadOnlyFile file(path_);
    if (file.fd() < 0) {
        return lines;
    }
    const auto mark = static_cast<std::size_t>((first - 1) / kLinesPerMark);
    std::int64_t skip = (first - 1) % kLinesPerMark;
    lines.reserve(static_cast<std::size_t>(std::min<std::int64_t>(count, 1024)));
    ForEachLine(file.fd(), marks_[mark], maxBytes, lineEnd(), [&](std::string& line) {
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
    const ReadOnlyFile file(path_);
    if (marks_.empty() || file.fd() < 0) {
        return std::nullopt;
    }
    std::optional<std::int64_t> found;
    std::int64_t line = 0;
    ForEachLine(file.fd(), marks_.front(), kSequenceHead, lineEnd(), [&](const std::string& head) {
        ++line;
        if (SequenceNumberOf(head) == number) {
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

std::optional<std::int64_t> SequenceNumberOf(std::string_view block) {
    std::size_t at = block.find_first_not_of(" \t");
    if (at != std::string_view::npos && block[at] == '/') {
        at = block.find_first_not_of(" \t", at + 1);
    }
    if (at == std::string_view::npos || (block[at] != 'N' && block[at] != 'n')) {
        return std::nullopt;
    }
    std::int64_t number = 0;
    std::size_t digits = 0;
    for (++at; at < block.size() && block[at] >= '0' && block[at] <= '9' && digits < 18; ++at, ++digits) {
        number = number * 10 + (block[at] - '0');
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return number;
}
