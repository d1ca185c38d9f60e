#include "conversion/SubprogramIndex.h"

#include <cstring>
#include <vector>

#include "conversion/BlockDispatch.h"
#include "conversion/ControlWords.h"
#include "nc/MacroCall.h"

namespace {

// True when some 'M' or 'm' of the chunk has a '9' after it on its line, or its line runs on past the chunk:
// only such a line can hold an M97, M98 or M99 block. G65 and G66 calls are looked for too.
bool ChunkMayHoldCall(const char* chunk, std::size_t size) {
    const char* const end = chunk + size;
    if (MayHoldMacroCall(std::string_view(chunk, size), true)) {
        return true;
    }
    for (const char letter : {'M', 'm'}) {
        for (const char* at = chunk; (at = static_cast<const char*>(std::memchr(at, letter, end - at)));) {
            for (++at; at != end && *at != '\n'; ++at) {
                if (*at == '9') {
                    return true;
                }
            }
            if (at == end) {
                return true;
            }
        }
    }
    return false;
}

// Where the run starts, found as the index pass reads the file: only the programs before the main program is
// known are kept, each with its number, its O line and whether it reaches M30 or M02 before its M99.
class MainProgramFinder {
public:
    // Each piece of the file in order; `words` with M02 and M30 while wanted() is true.
    void take(std::int64_t number, std::int64_t line, bool holdsBlock, const ControlWords& words) {
        if (number != kNoNumber) {
            programs_.push_back(Program{number, line, false});
            returned_ = false;
        } else if (programs_.empty()) {
            // A block before the first O line: the main program has none.
            settled_ = holdsBlock;
        } else if (words.mCode == 99) {
            returned_ = true;
        } else if ((words.mCode == 30 || words.mCode == 2) && !returned_) {
            programs_.back().ends = true;
            settled_ = true;
        }
    }
    // Whether pieces still tell anything: once the main program is found, later programs cannot be it.
    bool wanted() const { return !settled_; }

    // The main program's O line, or 0 when it has none; `named` tells the numbers that calls name.
    std::int64_t mainProgramLine(const std::unordered_set<std::int64_t>& named) const {
        for (const Program& program : programs_) {
            if (program.ends || named.count(program.number) == 0) {
                return program.line;
            }
        }
        return 0;
    }

private:
    struct Program {
        std::int64_t number;
        std::int64_t line;
        bool ends;  // M30 or M02 before any M99 and before the next O line
    };
    std::vector<Program> programs_;
    bool returned_ = false;
    bool settled_ = false;
};

}  // namespace

bool SubprogramIndex::mayHoldCalls(const TextFile& file) {
    std::vector<char> chunk(TextFile::kChunk);
    for (std::uint64_t offset = 0;;) {
        const std::int64_t got = file.readRawAt(offset, chunk.data(), chunk.size());
        // A file that cannot be read is read once more as lines, and that reading reports it.
        if (got < 0) {
            return true;
        }
        if (got == 0) {
            return false;
        }
        if (ChunkMayHoldCall(chunk.data(), static_cast<std::size_t>(got))) {
            return true;
        }
        offset += static_cast<std::uint64_t>(got);
    }
}

void SubprogramIndex::read(NcLines& lines) {
    const NcLines::Mark start = lines.mark();
    ControlWordReader reader;
    MacroCall call;
    std::unordered_set<std::int64_t> calledP;
    std::unordered_set<std::int64_t> jumpTargets;
    MainProgramFinder mainProgram;
    int program = 0;
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = lines.next(piece)) {
        const std::int64_t number = ProgramNumberOf(piece, length, lines.startsInComment());
        if (number != kNoNumber) {
            ++program;
            if (!bodies_.try_emplace(number, Body{lines.mark(), program, lines.lineNumber()}).second &&
                duplicates_++ == 0) {
                firstDuplicateLine_ = lines.lineNumber();
            }
        }
        ControlWords words;
        if (mainProgram.wanted()) {
            const bool holdsBlock = HoldsBlock(piece, length, lines.startsInComment());
            words = reader.readWithEnds(piece, length, lines.startsInComment());
            mainProgram.take(number, lines.lineNumber(), holdsBlock, words);
        } else {
            words = reader.read(piece, length, lines.startsInComment());
        }
        if (MayHoldMacroCall(std::string_view(piece, length))) {
            ReadMacroCall(std::string_view(piece, TrimLine(piece, length)), lines.startsInComment(),
                          ArgumentUnits{}, call);
            if ((call.kind == MacroCallKind::Call || call.kind == MacroCallKind::ModalCall) && call.hasP &&
                WholeNumberOf(call.p) != kNoNumber) {
                hasCalls_ = true;
                named_.insert(WholeNumberOf(call.p));
            }
        }
        const std::int64_t p = words.hasP ? WholeNumberOf(words.p) : kNoNumber;
        if (words.mCode == 98) {
            hasCalls_ = true;
            if (p != kNoNumber) {
                calledP.insert(p);
            }
        } else if ((words.mCode == 97 || words.mCode == 99) && p != kNoNumber) {
            jumpTargets.insert(p);
        }
    }
    // Whether P51002 names O51002 or O1002 is known only once every O line has been seen.
    for (const std::int64_t p : calledP) {
        named_.insert(target(static_cast<double>(p)).number);
    }
    mainProgramLine_ = mainProgram.mainProgramLine(named_);
    if (!jumpTargets.empty() && !lines.readFailed()) {
        lines.jump(start);
        sequences_.record(lines, jumpTargets, named_, mainProgramLine_);
    }
}

void SubprogramIndex::noteDuplicates(UndrawnCodes& undrawn) {
    for (; duplicates_ > 0; --duplicates_) {
        undrawn.note("O番号の重複", firstDuplicateLine_);
    }
}

const SubprogramIndex::Body* SubprogramIndex::bodyOf(std::int64_t number) const {
    const auto found = bodies_.find(number);
    return found == bodies_.end() ? nullptr : &found->second;
}

SubprogramIndex::Target SubprogramIndex::target(double p) const {
    const std::int64_t whole = WholeNumberOf(p);
    if (whole > 9999 && bodies_.count(whole) == 0) {
        return Target{whole % 10000, whole / 10000};
    }
    return Target{whole, 1};
}
