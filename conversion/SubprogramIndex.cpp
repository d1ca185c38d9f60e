#include "conversion/SubprogramIndex.h"

#include "conversion/SubprogramWords.h"
#include "core/File.h"
#include "dxf/DxfOutput.h"

bool SubprogramIndex::build(const std::string& ncFile) {
    // A file of its own, so the run's reading starts from the file's start exactly as without subprograms.
    TextFile file;
    if (!OpenReadText(file, ncFile)) {
        return false;
    }
    NcLines lines(file);
    index(lines);
    if (file.readFailed()) {
        ShowReadFailure(ncFile);
        return false;
    }
    return true;
}

void SubprogramIndex::index(NcLines& lines) {
    SubprogramWordReader reader;
    std::unordered_set<std::int64_t> calledP;
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = lines.next(piece)) {
        const std::int64_t number = ProgramNumberOf(piece, length);
        if (number != kNoProgramNumber) {
            bodies_.try_emplace(number, lines.mark());
        }
        const SubprogramWords words = reader.read(piece, length);
        if (words.mCode == 98) {
            hasCalls_ = true;
            if (words.hasP && words.p >= 0.0 && words.p <= static_cast<double>(kMaxProgramNumber)) {
                calledP.insert(static_cast<std::int64_t>(words.p));
            }
        }
    }
    // Whether P51002 names O51002 or O1002 is known only once every O line has been seen.
    for (const std::int64_t p : calledP) {
        named_.insert(target(static_cast<double>(p)).number);
    }
}

const NcLines::Mark* SubprogramIndex::bodyOf(std::int64_t number) const {
    const auto found = bodies_.find(number);
    return found == bodies_.end() ? nullptr : &found->second;
}

SubprogramIndex::Target SubprogramIndex::target(double p) const {
    if (!(p >= 0.0 && p <= static_cast<double>(kMaxProgramNumber))) {
        return Target{};
    }
    const auto whole = static_cast<std::int64_t>(p);
    if (whole > 9999 && bodies_.count(whole) == 0) {
        return Target{whole % 10000, whole / 10000};
    }
    return Target{whole, 1};
}
