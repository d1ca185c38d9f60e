// Feeding NC lines to an analyzer in tests.
#pragma once

#include <string>
#include <vector>

#include "core/SString.h"
#include "nc/NcAnalyzer.h"

// The block every conversion run starts with: from the home position (0, 0, 200) down to the origin.
inline const std::string kRunStart = "G90G00X0.0Y0.0Z0.0";

inline void Feed(NcAnalyzer& analyzer, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        analyzer.load(SString(line));
    }
}

// An analyzer that has read the given lines.
inline NcAnalyzer AnalyzerAfter(const std::vector<std::string>& lines) {
    NcAnalyzer analyzer;
    Feed(analyzer, lines);
    return analyzer;
}
