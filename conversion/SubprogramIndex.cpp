#include "conversion/SubprogramIndex.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "conversion/BlockDispatch.h"
#include "conversion/ControlWords.h"
#include "core/File.h"
#include "dxf/DxfOutput.h"
#include "nc/MacroCall.h"

namespace {

// True when some 'G' or 'g' of the chunk is followed by 65 or 66 (blanks and leading zeros between), or the
// chunk ends before that can be told.
bool ChunkMayHoldMacroCall(const char* chunk, const char* end) {
    for (const char letter : {'G', 'g'}) {
        for (const char* at = chunk; (at = static_cast<const char*>(std::memchr(at, letter, end - at)));) {
            for (++at; at != end && (*at == ' ' || *at == '\t' || *at == '0'); ++at) {
            }
            if (at == end || (at[0] == '6' && (at + 1 == end || at[1] == '5' || at[1] == '6'))) {
                return true;
            }
        }
    }
    return false;
}

// True when some 'M' or 'm' of the chunk has a '9' after it on its line, or its line runs on past the chunk:
// only such a line can hold an M97, M98 or M99 block. G65 and G66 calls are looked for too.
bool ChunkMayHoldCall(const char* chunk, std::size_t size) {
    const char* const end = chunk + size;
    if (ChunkMayHoldMacroCall(chunk, end)) {
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

// Most programs call no subprogram, and this raw scan proves it at little more than the cost of reading the
// file, without splitting it into lines. Anything unexpected (the file cannot be read, is no longer a plain
// file) answers true, and the full pass then finds out and reports it.
bool MayHoldCalls(const std::string& ncFile) {
    const int fd = ::open(ncFile.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return true;
    }
    struct stat status {};
    bool may = ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode);
    std::vector<char> chunk(std::size_t{64} * 1024);
    while (!may) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got == 0) {
            break;
        }
        may = got < 0 ? errno != EINTR : ChunkMayHoldCall(chunk.data(), static_cast<std::size_t>(got));
    }
    ::close(fd);
    return may;
}

}  // namespace

bool SubprogramIndex::build(const std::string& ncFile) {
    if (!MayHoldCalls(ncFile)) {
        return true;
    }
    // A file of its own, so the run's reading starts from the file's start exactly as without subprograms.
    // It is read as the run reads it (byte-order mark skipped, lone CR line ends), so that the positions
    // recorded here lead the run's file to the same pieces.
    TextFile file;
    if (!OpenReadText(file, ncFile)) {
        return false;
    }
    file.recogniseEncoding();
    NcLines lines(file);
    read(lines);
    if (file.readFailed()) {
        ShowReadFailure(ncFile, file.error());
        return false;
    }
    return true;
}

void SubprogramIndex::read(NcLines& lines) {
    const NcLines::Mark start = lines.mark();
    ControlWordReader reader;
    MacroCall call;
    std::unordered_set<std::int64_t> calledP;
    std::unordered_set<std::int64_t> jumpTargets;
    int program = 0;
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = lines.next(piece)) {
        const std::int64_t number = ProgramNumberOf(piece, length, lines.startsInComment());
        if (number != kNoNumber) {
            bodies_.try_emplace(number, Body{lines.mark(), ++program});
        }
        const ControlWords words = reader.read(piece, length, lines.startsInComment());
        if (MayHoldMacroCall(std::string_view(piece, length))) {
            ReadMacroCall(std::string_view(piece, TrimLine(piece, length)), lines.startsInComment(), ArgumentUnits{}, call);
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
    if (!jumpTargets.empty() && !lines.readFailed()) {
        lines.jump(start);
        sequences_.record(lines, jumpTargets, named_);
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
