// Where the lines of an NC file start, for a listing that shows any part of a file of millions of lines
// without holding it: the byte offset of every 64th line, found by reading the file once, and the lines
// of any stretch read back from there on demand. Lines are counted as the run counts them: ended by line
// feeds, or by lone CRs in a file whose first chunk holds no line feed, as the run reads it.
//
// The file may change after it was indexed; its size, modification time and inode tell, so that a listing
// never shows another file's text under the old line numbers.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class NcFileIndex {
public:
    static constexpr std::int64_t kLinesPerMark = 64;

    // Reads `path` through; false (and no lines) when it is not a readable regular file.
    bool build(const std::string& path);
    void clear();

    const std::string& path() const { return path_; }
    std::int64_t lineCount() const { return lineCount_; }
    // The bytes of the index itself.
    std::size_t memoryUse() const { return marks_.capacity() * sizeof(std::uint64_t); }

    // Lines first .. first + count - 1 (counting from 1), each without its line end and cut to `maxBytes`;
    // fewer at the end of the file or when it can no longer be read.
    std::vector<std::string> read(std::int64_t first, std::int64_t count, std::size_t maxBytes) const;
    std::optional<std::string> line(std::int64_t number, std::size_t maxBytes = 1000) const;
    // The first line whose block carries sequence number `number`, read through from the start.
    std::optional<std::int64_t> findSequence(std::int64_t number) const;

    // Whether the file on disk is no longer the one indexed (size, modification time or inode differ, or it
    // is gone).
    bool changedOnDisk() const;

private:
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };
    static std::optional<Stamp> stampOf(const std::string& path);
    char lineEnd() const { return crLines_ ? '\r' : '\n'; }

    std::string path_;
    std::vector<std::uint64_t> marks_;  // offset of line 1, 65, 129, ...
    std::int64_t lineCount_ = 0;
    bool crLines_ = false;
    Stamp stamp_;
};
