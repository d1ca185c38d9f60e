// The command line of plotra-convert.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion/ConversionRun.h"

struct CommandLine {
    std::vector<std::string> ncFiles;
    std::string outputFile;  // -o; empty: derived from each NC name
    std::string hedderFile;  // --header; empty: the one found beside the program or installed
    std::string footerFile;  // --footer; empty: the one found beside the program or installed
    std::string svgFile;     // --svg; empty: no picture
    std::vector<std::string> libraryFolders;  // --library, in the order given
    std::int64_t maxBlocks = kDefaultMaxBlocks;
    UnitOptions units;  // --inch, --calculator-decimals
    bool quiet = false;
    bool help = false;
    bool version = false;
};

struct ParsedCommandLine {
    CommandLine options;
    std::string error;  // non-empty for a usage error
};

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsageText;
