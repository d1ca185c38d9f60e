#include "conversion/ProgramFile.h"

#include "conversion/ControlWords.h"

TextEncoding ProgramFile::recogniseEncoding() {
    const TextEncoding encoding = file_.recogniseEncoding();
    start_ = lines_.mark();
    return encoding;
}

bool ProgramFile::load() {
    if (!file_.open(path_, TextFileMode::Read) || recogniseEncoding() != TextEncoding::Bytes) {
        return false;
    }
    index_.read(lines_);
    lines_.jump(start_);
    return !file_.readFailed();
}

const NcLines::Mark* ProgramFile::findSequence(std::int64_t number, int program, std::int64_t afterLine) {
    if (number == kNoNumber) {
        return nullptr;
    }
    // Read through a handle of its own, so that the reading of the programs is not disturbed. A file that
    // can no longer be opened records the number with no block.
    if (!index_.recorded(number)) {
        TextFile file;
        if (file.open(path_, TextFileMode::Read)) {
            file.recogniseEncoding();
        }
        NcLines lines(file);
        index_.recordSequenceNumber(lines, number);
    }
    return index_.findSequence(number, program, afterLine);
}
