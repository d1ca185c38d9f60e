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
    return readIndex();
}

bool ProgramFile::readIndex() {
    index_.read(lines_);
    lines_.jump(start_);
    return !file_.readFailed();
}

const NcLines::Mark* ProgramFile::findSequence(std::int64_t number, int program, std::int64_t afterLine) {
    if (number == kNoNumber) {
        return nullptr;
    }
    // Read from the start by lines of its own, so that where the programs are being read (the line, an
    // open comment) is kept; the file then goes back to where it was.
    if (!index_.recorded(number)) {
        const TextFile::Position back = file_.position();
        NcLines lines(file_);
        lines.jump(start_);
        index_.recordSequenceNumber(lines, number);
        file_.seek(back);
    }
    return index_.findSequence(number, program, afterLine);
}
