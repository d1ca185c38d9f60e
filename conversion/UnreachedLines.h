// The lines after the main program's end that no call or jump reached, as the report lists them. They are
// looked for up to the first O line, where the programs kept after the main program begin; blank, comment,
// "%" and ";" lines do not count.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "conversion/NcLines.h"

class UnreachedLines {
public:
    // `lines`: the NC file, to be read on from the end's line `endLine`. `run`: the stretches of the file
    // that ran, each as its first and last line, by first line.
    UnreachedLines(NcLines& lines, std::int64_t endLine,
                   std::vector<std::pair<std::int64_t, std::int64_t>> run)
        : lines_(lines), lastLine_(endLine), run_(std::move(run)) {}

    // The next such line; 0 when none is left.
    std::int64_t next();

private:
    bool ran(std::int64_t line);

    NcLines& lines_;
    std::int64_t lastLine_;
    bool done_ = false;
    std::vector<std::pair<std::int64_t, std::int64_t>> run_;
    std::size_t stretchesBefore_ = 0;  // of run_, those that start before the lines still to come
    std::int64_t lastRun_ = 0;         // the last line of those
};
