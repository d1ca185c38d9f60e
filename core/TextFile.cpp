#include "core/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

namespace {

// After a jump to a known offset only a little is read first: a subprogram body is usually short.
constexpr std::size_t kChunkAfterSeek = std::size_t{4} * 1024;

int OpenFlags(TextFileMode mode) {
    switch (mode) {
        case TextFileMode::Read:
            return O_RDONLY;
        case TextFileMode::Write:
            return O_WRONLY | O_CREAT | O_TRUNC;
        case TextFileMode::Append:
            return O_WRONLY | O_APPEND | O_CREAT;
        case TextFileMode::AppendExisting:
            return O_WRONLY | O_APPEND;
        case TextFileMode::CreateNew:
            return O_WRONLY | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}

// A directory or a device opened for reading would never give lines; refuse it the way the open would.
bool IsRegularFile(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return false;
    }
    if (S_ISREG(info.st_mode)) {
        return true;
    }
    errno = S_ISDIR(info.st_mode) ? EISDIR : kNotRegularFile;
    return false;
}

// The file was opened without waiting (O_NONBLOCK); from now on its reads and writes may wait as usual.
bool ClearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

void LoneCrsToLineFeeds(char* data, std::size_t size) {
    char* const end = data + size;
    while (void* found = std::memchr(data, '\r', static_cast<std::size_t>(end - data))) {
        data = static_cast<char*>(found);
        *data++ = '\n';
    }
}

// Turns every CR LF in data[0, size) into LF, in place; returns the new length. A lone CR stays.
std::size_t CollapseCrLf(char* data, std::size_t size) {
    char* out = data;
    const char* in = data;
    const char* const end = data + size;
    while (const void* found = std::memchr(in, '\r', static_cast<std::size_t>(end - in))) {
        const char* cr = static_cast<const char*>(found);
        const bool pair = cr + 1 < end && cr[1] == '\n';
        const char* keepEnd = pair ? cr : cr + 1;
        std::memmove(out, in, static_cast<std::size_t>(keepEnd - in));
        out += keepEnd - in;
        in = cr + 1;
    }
    std::memmove(out, in, static_cast<std::size_t>(end - in));
    out += end - in;
    return static_cast<std::size_t>(out - data);
}

}  // namespace

TextFile::TextFile(TextFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      start_(other.start_),
      chunkOffset_(std::exchange(other.chunkOffset_, 0)),
      crLfPairs_(other.crLfPairs_),
      lineEndWidth_(other.lineEndWidth_),
      countedTo_(other.countedTo_),
      lineFeedsCounted_(other.lineFeedsCounted_),
      fillSize_(other.fillSize_),
      writing_(other.writing_),
      writeFailed_(other.writeFailed_),
      readFailed_(other.readFailed_),
      atEnd_(other.atEnd_),
      crLines_(other.crLines_),
      error_(other.error_),
      buffer_(std::move(other.buffer_)),
      readPos_(std::exchange(other.readPos_, 0)),
      readEnd_(std::exchange(other.readEnd_, 0)),
      rawEnd_(std::exchange(other.rawEnd_, 0)) {}

TextFile& TextFile::operator=(TextFile&& other) noexcept {
    if (this != &other) {
        close();
        fd_ = std::exchange(other.fd_, -1);
        start_ = other.start_;
        chunkOffset_ = std::exchange(other.chunkOffset_, 0);
        crLfPairs_ = other.crLfPairs_;
        lineEndWidth_ = other.lineEndWidth_;
        countedTo_ = other.countedTo_;
        lineFeedsCounted_ = other.lineFeedsCounted_;
        fillSize_ = other.fillSize_;
        writing_ = other.writing_;
        writeFailed_ = other.writeFailed_;
        readFailed_ = other.readFailed_;
        atEnd_ = other.atEnd_;
        crLines_ = other.crLines_;
        error_ = other.error_;
        buffer_ = std::move(other.buffer_);
        readPos_ = std::exchange(other.readPos_, 0);
        readEnd_ = std::exchange(other.readEnd_, 0);
        rawEnd_ = std::exchange(other.rawEnd_, 0);
    }
    return *this;
}

TextFile::~TextFile() {
    close();
}

void TextFile::reset(bool writing) {
    close();
    writing_ = writing;
    writeFailed_ = false;
    keepLineEnds_ = false;
    readFailed_ = false;
    atEnd_ = false;
    crLines_ = false;
    error_ = 0;
    readPos_ = readEnd_ = rawEnd_ = 0;
    chunkOffset_ = 0;
    crLfPairs_ = 0;
    lineEndWidth_ = 1;
    countedTo_ = lineFeedsCounted_ = 0;
    fillSize_ = kChunk;
    buffer_.clear();
    start_ = 0;
}

bool TextFile::open(const std::string& path, TextFileMode mode) {
    reset(mode != TextFileMode::Read);
    int fd;
    do {
        fd = ::open(path.c_str(), OpenFlags(mode) | O_CLOEXEC | O_NONBLOCK, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    if ((!writing_ && !IsRegularFile(fd)) || !ClearNonBlocking(fd)) {
        error_ = errno;
        ::close(fd);
        errno = error_;
        return false;
    }
    if (!writing_) {
        // One spare byte in front of a chunk holds a CR carried over from the previous chunk.
        buffer_.resize(kChunk + 1);
    }
    fd_ = fd;
    return true;
}

bool TextFile::writeInto(int descriptor) {
    reset(true);
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags >= 0 && (flags & O_ACCMODE) == O_RDONLY) {
        error_ = errno = EBADF;
        return false;
    }
    const int fd = flags < 0 ? -1 : ::fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    // Where the descriptor stands now is where this output starts, should its opening be filled in later.
    start_ = std::max<off_t>(::lseek(fd, 0, SEEK_CUR), 0);
    fd_ = fd;
    return true;
}

TextEncoding TextFile::recogniseEncoding() {
    if (fd_ < 0 || writing_ || (readPos_ == readEnd_ && !fill())) {
        return TextEncoding::Bytes;
    }
    const auto* start = reinterpret_cast<const unsigned char*>(buffer_.data() + readPos_);
    const std::size_t size = rawEnd_ - readPos_;
    if (size >= 2 && ((start[0] == 0xFF && start[1] == 0xFE) || (start[0] != 0 && start[1] == 0))) {
        return TextEncoding::Utf16Le;
    }
    if (size >= 2 && ((start[0] == 0xFE && start[1] == 0xFF) || (start[0] == 0 && start[1] != 0))) {
        return TextEncoding::Utf16Be;
    }
    if (size >= 3 && start[0] == 0xEF && start[1] == 0xBB && start[2] == 0xBF) {
        readPos_ += 3;
    }
    const char* chunk = buffer_.data() + readPos_;
    const std::size_t rest = rawEnd_ - readPos_;
    crLines_ = std::memchr(chunk, '\n', rest) == nullptr && std::memchr(chunk, '\r', rest) != nullptr;
    if (crLines_) {
        LoneCrsToLineFeeds(buffer_.data() + readPos_, readEnd_ - readPos_);
    }
    return TextEncoding::Bytes;
}

std::size_t TextFile::readPiece(char (&buffer)[kMaxPiece + 1]) {
    std::size_t length = 0;
    if (fd_ >= 0 && !writing_) {
        while (length < kMaxPiece) {
            if (readPos_ == readEnd_ && !fill()) {
                break;
            }
            const char* start = buffer_.data() + readPos_;
            std::size_t take = std::min(kMaxPiece - length, readEnd_ - readPos_);
            const void* lineFeed = std::memchr(start, '\n', take);
            if (lineFeed != nullptr) {
                take = static_cast<std::size_t>(static_cast<const char*>(lineFeed) - start) + 1;
            }
            std::memcpy(buffer + length, start, take);
            length += take;
            readPos_ += take;
            if (lineFeed != nullptr) {
                break;
            }
        }
        if (readFailed_) {
            length = 0;
        }
    }
    buffer[length] = '\0';
    return length;
}

bool TextFile::fill() {
    if (atEnd_ || readFailed_) {
        return false;
    }
    const std::size_t carried = rawEnd_ - readEnd_;
    if (carried != 0) {
        buffer_[0] = '\r';
    }
    readPos_ = readEnd_ = 0;
    rawEnd_ = carried;
    const off_t offset = ::lseek(fd_, 0, SEEK_CUR);
    chunkOffset_ = offset < 0 ? 0 : static_cast<std::uint64_t>(offset) - carried;
    crLfPairs_ = 0;
    lineEndWidth_ = 1;
    countedTo_ = lineFeedsCounted_ = 0;
    const std::size_t want = std::exchange(fillSize_, kChunk);

    ssize_t got;
    do {
        got = ::read(fd_, buffer_.data() + carried, want);
    } while (got < 0 && errno == EINTR);
    if (got < 0) {
        return failRead();
    }
    if (got == 0) {
        // A CR that is the last byte of the file has no LF to pair with: it is an ordinary byte, unless
        // lone CRs end the lines of this file.
        atEnd_ = true;
        readEnd_ = carried;
        if (carried != 0 && crLines_) {
            buffer_[0] = '\n';
        }
        return carried != 0;
    }

    const std::size_t total = carried + static_cast<std::size_t>(got);
    const bool holdLastCr = buffer_[total - 1] == '\r';
    const std::size_t taken = holdLastCr ? total - 1 : total;
    readEnd_ = CollapseCrLf(buffer_.data(), taken);
    if (crLines_) {
        LoneCrsToLineFeeds(buffer_.data(), readEnd_);
    }
    rawEnd_ = readEnd_;
    crLfPairs_ = taken - readEnd_;
    lineEndWidth_ = crLfPairs_ == 0 ? 1 : kNotCountedYet;
    if (holdLastCr) {
        buffer_[rawEnd_++] = '\r';
    }
    return true;
}

bool TextFile::failRead() {
    readFailed_ = true;
    error_ = errno;
    return false;
}

int TextFile::lineEndWidth() const {
    if (lineEndWidth_ == kNotCountedYet) {
        const auto lineFeeds = std::count(buffer_.data(), buffer_.data() + readEnd_, '\n');
        lineEndWidth_ = static_cast<std::size_t>(lineFeeds) == crLfPairs_ ? 2 : kMixedLineEnds;
    }
    return lineEndWidth_;
}

TextFile::Position TextFile::position() const {
    Position at{chunkOffset_, readPos_, kUnknownOffset};
    const int width = lineEndWidth();
    if (width == 1) {
        at.fileOffset = chunkOffset_ + readPos_;
    } else if (width == 2) {
        if (readPos_ < countedTo_) {
            countedTo_ = lineFeedsCounted_ = 0;
        }
        lineFeedsCounted_ += static_cast<std::size_t>(
            std::count(buffer_.data() + countedTo_, buffer_.data() + readPos_, '\n'));
        countedTo_ = readPos_;
        at.fileOffset = chunkOffset_ + readPos_ + lineFeedsCounted_;
    }
    return at;
}

void TextFile::seek(const Position& at) {
    if (fd_ < 0 || writing_ || readFailed_) {
        return;
    }
    // A subprogram and its caller usually lie in the chunk at hand: going back there costs no reading.
    if (at.chunkOffset == chunkOffset_ && at.translatedSkip <= readEnd_) {
        readPos_ = at.translatedSkip;
        return;
    }
    const bool exact = at.fileOffset != kUnknownOffset;
    const std::uint64_t start = exact ? at.fileOffset : at.chunkOffset;
    readPos_ = readEnd_ = rawEnd_ = 0;
    chunkOffset_ = start;
    crLfPairs_ = 0;
    lineEndWidth_ = 1;
    countedTo_ = lineFeedsCounted_ = 0;
    atEnd_ = start > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()) ||
             ::lseek(fd_, static_cast<off_t>(start), SEEK_SET) < 0;
    if (atEnd_) {
        return;
    }
    if (exact) {
        fillSize_ = kChunkAfterSeek;
        return;
    }
    std::size_t skip = at.translatedSkip;
    while (skip > 0) {
        if (readPos_ == readEnd_ && !fill()) {
            return;
        }
        const std::size_t take = std::min(skip, readEnd_ - readPos_);
        readPos_ += take;
        skip -= take;
    }
}

void TextFile::write(std::string_view text) {
    if (fd_ < 0) {
        return;
    }
    if (!writing_) {
        writeFailed_ = true;
        error_ = EBADF;
        return;
    }
    // After a failure the file is incomplete anyway; writing on after a gap would only hide where it broke.
    if (writeFailed_) {
        return;
    }
    if (keepLineEnds_) {
        buffer_.append(text);
        if (buffer_.size() >= kChunk) {
            flush();
        }
        return;
    }
    while (!text.empty()) {
        // Translated in one pass into room made for the worst case, every byte a line feed; a slice at a
        // time, so a long text never needs more than twice the chunk in memory.
        const std::string_view slice = text.substr(0, kChunk);
        text.remove_prefix(slice.size());
        const std::size_t start = buffer_.size();
        buffer_.resize(start + 2 * slice.size());
        char* out = buffer_.data() + start;
        for (const char c : slice) {
            if (c == '\n') {
                *out++ = '\r';
            }
            *out++ = c;
        }
        buffer_.resize(static_cast<std::size_t>(out - buffer_.data()));
        if (buffer_.size() >= kChunk && !flush()) {
            return;
        }
    }
}

bool TextFile::flush() {
    if (fd_ < 0 || !writing_) {
        return !writeFailed_;
    }
    const char* data = buffer_.data();
    std::size_t left = buffer_.size();
    while (left > 0 && !writeFailed_) {
        const ssize_t written = ::write(fd_, data, left);
        if (written > 0) {
            data += written;
            left -= static_cast<std::size_t>(written);
        } else if (written == 0 || errno != EINTR) {
            writeFailed_ = true;
            error_ = written == 0 ? EIO : errno;
        }
    }
    buffer_.clear();
    return !writeFailed_;
}

bool TextFile::canOverwriteStart() const {
    const int flags = ::fcntl(fd_, F_GETFL);
    return flags >= 0 && (flags & O_APPEND) == 0 && ::lseek(fd_, 0, SEEK_CUR) >= 0;
}

bool TextFile::overwriteStart(std::string_view bytes) {
    if (!flush()) {
        return false;
    }
    if (!canOverwriteStart()) {
        writeFailed_ = true;
        error_ = ESPIPE;
        return false;
    }
    off_t offset = start_;
    while (!bytes.empty() && !writeFailed_) {
        const ssize_t written = ::pwrite(fd_, bytes.data(), bytes.size(), offset);
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
            offset += written;
        } else if (written == 0 || errno != EINTR) {
            writeFailed_ = true;
            error_ = written == 0 ? EIO : errno;
        }
    }
    return !writeFailed_;
}

std::int64_t TextFile::readRawAt(std::uint64_t offset, char* buffer, std::size_t size) const {
    if (fd_ < 0 || writing_ || offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max())) {
        return -1;
    }
    ssize_t got;
    do {
        got = ::pread(fd_, buffer, size, static_cast<off_t>(offset));
    } while (got < 0 && errno == EINTR);
    return got;
}

bool TextFile::isStillAt(const std::string& path) const {
    struct stat open {};
    struct stat named {};
    return fd_ >= 0 && ::fstat(fd_, &open) == 0 && open.st_nlink > 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

bool TextFile::close() {
    if (fd_ < 0) {
        return !writeFailed_;
    }
    if (writing_) {
        flush();
    }
    // Some file systems report a failed write only when the file is closed.
    if (::close(fd_) != 0 && writing_ && !writeFailed_) {
        writeFailed_ = true;
        error_ = errno;
    }
    fd_ = -1;
    buffer_.clear();
    readPos_ = readEnd_ = rawEnd_ = 0;
    return !writeFailed_;
}
