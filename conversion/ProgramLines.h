// The pieces of the NC file in the order the machine runs them. Read from the start, every definition of a
// subprogram that some M98 names is left out where it stands, from its O line through its M99 line. After a
// piece has been processed, its M98 is followed into the subprogram (L times, nested up to four deep) and an
// M99 inside a call returns to the piece after the calling one. Calls that cannot be carried out are noted
// as codes not drawn. A file without M98 is read exactly as it stands.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "conversion/NcLines.h"
#include "conversion/SubprogramIndex.h"
#include "conversion/SubprogramWords.h"
#include "conversion/UndrawnCodes.h"

class ProgramLines {
public:
    ProgramLines(TextFile& file, const SubprogramIndex& index) : lines_(file), index_(index) {}

    // The next piece to process and its length; 0 when the program is done or the file cannot be read.
    std::size_t next(char (&piece)[TextFile::kMaxPiece + 1]);
    // The file line of the piece last handed out.
    std::int64_t lineNumber() const { return lines_.lineNumber(); }
    // Whether the piece last handed out starts inside a comment left open by the piece before it.
    bool startsInComment() const { return lines_.startsInComment(); }

    // Carries out the M98 or M99 of the piece just processed, whose text may have been trimmed in place.
    void follow(char* piece, std::size_t length, UndrawnCodes& undrawn);

private:
    static constexpr int kMaxDepth = 4;

    struct Call {
        std::int64_t number;
        std::int64_t repeatsLeft;
        NcLines::Mark body;
        NcLines::Mark back;
    };

    void call(const SubprogramWords& words, UndrawnCodes& undrawn);
    void endRepeat();
    void endCall();
    void skipDefinition(char (&piece)[TextFile::kMaxPiece + 1]);

    NcLines lines_;
    const SubprogramIndex& index_;
    SubprogramWordReader reader_;
    std::array<Call, kMaxDepth> calls_{};
    int depth_ = 0;
};
