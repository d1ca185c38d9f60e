// Text-mode files with the line-end rules of the program's original platform: a line feed written becomes
// CR LF, and CR LF read becomes one line feed. Reading hands out pieces of at most 255 bytes, each ending
// after its first line feed or when 255 bytes are taken, so long lines arrive in several pieces.
//
// Opening never waits: a FIFO or a device named as input is refused at once instead of blocking until a
// writer appears, which no Ctrl-C or window could interrupt.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class TextFileMode {
    Read,            // the file must exist and be a regular file
    Write,           // created or emptied
    Append,          // created when missing; every write goes to the end
    AppendExisting,  // as Append, but a missing file is a failure instead of a new empty file
    CreateNew,       // created for writing; a file already there is a failure (EEXIST)
};

// The errno that open() leaves for an input that is a FIFO, a device or a socket. The system has no code
// for "not a regular file", so this one lies beyond the range of its own (which ends at 4095).
inline constexpr int kNotRegularFile = 4096;

// What the start of a file opened for reading says about its encoding.
enum class TextEncoding {
    Bytes,    // single bytes (code page 932, ASCII or UTF-8): readable
    Utf16Le,  // UTF-16, little-endian: not readable as lines of bytes
    Utf16Be,  // UTF-16, big-endian: not readable as lines of bytes
};

class TextFile {
public:
    static constexpr std::size_t kMaxPiece = 255;
    // Reads and writes go to the system in chunks of this size: an NC file can run to millions of lines, and
    // its drawing several times as many. A file whose first chunk holds a CR but no LF (a byte-order mark
    // left aside) has its lines ended by lone CRs.
    static constexpr std::size_t kChunk = std::size_t{64} * 1024;

    TextFile() = default;
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;
    TextFile(TextFile&& other) noexcept;
    TextFile& operator=(TextFile&& other) noexcept;
    ~TextFile();  // closes without reporting; call close() where a failed flush matters

    // Opens `path`; false (with errno set) when it cannot be opened in that mode.
    bool open(const std::string& path, TextFileMode mode);
    // Writes into a duplicate of `descriptor`, which shares its offset and its append mode, so that output
    // goes where the descriptor's own writes would; false (with errno set) for one not open for writing.
    bool writeInto(int descriptor);
    bool isOpen() const { return fd_ >= 0; }

    // Copies the next piece into `buffer` and returns its length; 0 at the end of the file or on a read
    // error. The piece may hold NUL bytes; the buffer is terminated after the piece.
    std::size_t readPiece(char (&buffer)[kMaxPiece + 1]);
    bool readFailed() const { return readFailed_; }
    // Up to `size` bytes of the open file as they stand at `offset`, untranslated, without moving where the
    // next piece starts: a quick look through the very file being read. The count, 0 at its end, -1 when
    // the read fails.
    std::int64_t readRawAt(std::uint64_t offset, char* buffer, std::size_t size) const;

    // For an NC program just opened: skips a UTF-8 byte-order mark, so that it cannot hide the first block;
    // takes a file with a lone CR but no line feed in its first chunk as a file of CR line ends, read line
    // by line; and recognises UTF-16 by its byte-order mark or by a NUL byte in its first character. Call it
    // before the first readPiece.
    TextEncoding recogniseEncoding();
    // Whether recogniseEncoding() found the file's lines ended by lone CRs.
    bool crLines() const { return crLines_; }

    // Where the next piece starts: the file offset of a chunk and how many translated bytes of it come
    // before that piece, and the piece's own file offset where the chunk's line ends tell it (all LF, or
    // all CR LF). Line ends are translated the same way however the file is cut into chunks, so reading on
    // from either offset gives the very same pieces again.
    static constexpr std::uint64_t kUnknownOffset = ~std::uint64_t{0};
    struct Position {
        std::uint64_t chunkOffset = 0;
        std::size_t translatedSkip = 0;
        std::uint64_t fileOffset = kUnknownOffset;
    };
    Position position() const;
    // Makes the piece at `at` the next one read. Where the file no longer reaches that far, reading finds
    // its end.
    void seek(const Position& at);

    // Writes `text` with every line feed as CR LF, or as it is after keepLineEnds(). Failures are sticky and
    // reported by close().
    void write(std::string_view text);
    // For a file of another format than the program's text files (an SVG picture): line feeds are written
    // as they are. Holds until the file is closed.
    void keepLineEnds() { keepLineEnds_ = true; }
    // Writes what is pending, then puts `bytes` as they are over the start of the output (where the file
    // stood when it was opened), for a format whose opening is known only at the end. False once any write
    // has failed, and (ESPIPE) for a pipe, a terminal or a file that is only appended to.
    bool overwriteStart(std::string_view bytes);
    bool canOverwriteStart() const;
    // Hands the pending output to the system now; false once any write has failed.
    bool flush();
    bool writeFailed() const { return writeFailed_; }
    // True while the open file is still the one that `path` names: not deleted, not replaced.
    bool isStillAt(const std::string& path) const;
    // Flushes and closes; false when any write or the flush failed. A closed file stays closed.
    bool close();

    // The errno of the first failed open, read or write; 0 while nothing failed.
    int error() const { return error_; }

private:
    void reset(bool writing);
    bool fill();
    bool failRead();
    int lineEndWidth() const;

    int fd_ = -1;
    std::int64_t start_ = 0;         // file offset where the output began
    std::uint64_t chunkOffset_ = 0;  // file offset of buffer_[0] when reading
    std::size_t crLfPairs_ = 0;      // CR LF pairs the chunk's translation made into one LF
    // File bytes of every LF in the chunk: 1 or 2, kMixedLineEnds, or kNotCountedYet. Counting costs a pass
    // over the chunk, so it is done only when a position is asked for.
    static constexpr int kMixedLineEnds = 0;
    static constexpr int kNotCountedYet = -1;
    mutable int lineEndWidth_ = 1;
    // Line feeds of the chunk before countedTo_: positions are mostly asked in reading order, so counting
    // goes on from the last one instead of from the chunk's start.
    mutable std::size_t countedTo_ = 0;
    mutable std::size_t lineFeedsCounted_ = 0;
    std::size_t fillSize_ = 0;  // how much the next fill asks for
    bool writing_ = false;
    bool writeFailed_ = false;
    bool keepLineEnds_ = false;
    bool readFailed_ = false;
    bool atEnd_ = false;
    bool crLines_ = false;  // a lone CR ends a line as a line feed does
    int error_ = 0;
    std::string buffer_;       // pending output, or input not yet handed out
    std::size_t readPos_ = 0;  // next unread byte of buffer_ when reading
    std::size_t readEnd_ = 0;  // end of the translated input in buffer_
    std::size_t rawEnd_ = 0;   // readEnd_, or one past it while a CR waits to see whether an LF follows
};
