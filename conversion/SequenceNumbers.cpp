#include "conversion/SequenceNumbers.h"

#include <algorithm>

#include "conversion/ControlWords.h"

void SequenceNumbers::record(NcLines& lines, const std::unordered_set<std::int64_t>& numbers,
                             const std::unordered_set<std::int64_t>& named, std::int64_t mainProgramLine) {
    std::unordered_set<std::int64_t> fresh;
    for (const std::int64_t number : numbers) {
        if (recorded_.insert(number).second) {
            fresh.insert(number);
        }
    }
    if (fresh.empty()) {
        return;
    }
    ControlWordReader reader;
    char piece[TextFile::kMaxPiece + 1];
    int segment = 0;
    bool inMain = true;
    for (;;) {
        const NcLines::Mark at = lines.mark();
        const std::size_t length = lines.next(piece);
        if (length == 0) {
            break;
        }
        const std::int64_t program = ProgramNumberOf(piece, length, lines.startsInComment());
        if (program != kNoNumber) {
            ++segment;
            // As the run reads the main program: a definition left out runs to its M99 across O lines,
            // and ends at the main program's O line at the latest.
            inMain = lines.lineNumber() == mainProgramLine || (inMain && named.count(program) == 0);
            continue;
        }
        const std::int64_t number = SequenceNumberOf(piece, length, lines.startsInComment(), fresh);
        if (number != kNoNumber) {
            entries_.push_back(Entry{number, segment, inMain, at});
        }
        if (!inMain && reader.read(piece, length, lines.startsInComment()).mCode == 99) {
            inMain = true;
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
        return a.number != b.number ? a.number < b.number : a.at.line < b.at.line;
    });
}

const NcLines::Mark* SequenceNumbers::find(std::int64_t number, int program, std::int64_t afterLine) const {
    const auto first = std::partition_point(entries_.begin(), entries_.end(),
                                            [number](const Entry& entry) { return entry.number < number; });
    const NcLines::Mark* fromStart = nullptr;
    for (auto entry = first; entry != entries_.end() && entry->number == number; ++entry) {
        if (program == kMainProgram ? !entry->inMain : entry->segment != program) {
            continue;
        }
        if (entry->at.line > afterLine) {
            return &entry->at;
        }
        if (fromStart == nullptr) {
            fromStart = &entry->at;
        }
    }
    return fromStart;
}
