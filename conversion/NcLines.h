// The NC file as the run reads it: pieces of at most 255 bytes, each with the number of the file line it
// belongs to, counting from 1 (the pieces of a longer line share its number), and whether it starts inside a
// comment that an earlier piece of its line left open. A mark remembers where a piece starts, so that reading
// can go back to it, as subprogram calls and their repeats do.
//
// A control character (a byte below 32 other than tab, CR and LF, or DEL) has no meaning in NC text: a NUL
// from a damaged transfer, a form feed, a Ctrl-Z that DOS left at the end. The line is read up to it and no
// further, so that every reader of the file (the macro stage, the parser, the subprogram index) sees the
// same text; the piece then ends there with a line feed, and `cutAtControl()` tells the run to list it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/TextFile.h"

class NcLines {
public:
    explicit NcLines(TextFile& file) : file_(file) {}

    struct Mark {
        TextFile::Position at;
        std::int64_t line = 1;
        bool inComment = false;
    };

    // The next piece and its length; 0 at the end of the file or when it cannot be read.
    std::size_t next(char (&piece)[TextFile::kMaxPiece + 1]);
    // The file line of the piece last read.
    std::int64_t lineNumber() const { return pieceLine_; }
    bool startsInComment() const { return pieceInComment_; }
    // The piece is not the first of its line.
    bool continuesLine() const { return pieceContinues_; }
    // The piece ends where a control character stood; the rest of its line was skipped.
    bool cutAtControl() const { return pieceCut_; }
    bool readFailed() const { return file_.readFailed(); }

    // Where the next piece starts.
    Mark mark() const { return Mark{file_.position(), nextLine_, nextInComment_}; }
    // Makes the piece at `to` the next one; where the file no longer reaches that far, reading finds its end.
    void jump(const Mark& to);

private:
    std::size_t endPieceAt(char (&piece)[TextFile::kMaxPiece + 1], std::size_t at, bool lineGoesOn);

    TextFile& file_;
    std::int64_t nextLine_ = 1;
    std::int64_t pieceLine_ = 0;
    bool nextInComment_ = false;
    bool pieceInComment_ = false;
    bool nextContinues_ = false;
    bool pieceContinues_ = false;
    bool pieceCut_ = false;
};
