#include "cli/CommandLine.h"

#include <optional>

#include "conversion/BlockLimit.h"

const char* const kUsageText =
    "Usage: plotra-convert [-o OUT.dxf] [--svg PICTURE.svg] [--header FILE] [--footer FILE]\n"
    "                      [--library DIR]... [--max-blocks N] [--inch] [--calculator-decimals]\n"
    "                      [-q] NC-FILE...\n"
    "Converts each NC program into a DXF drawing of its tool path, one after the other.\n"
    "\n"
    "  -o, --output FILE  name of the DXF file (only with one NC file); by default the NC file's\n"
    "                     folder and base name followed by .DXF\n"
    "      --svg FILE     also draw the tool path as an SVG picture (only with one NC file)\n"
    "      --header FILE  header template (default: Hedder.dat beside the program, else in\n"
    "                     the installed data folder ../share/plotra/)\n"
    "      --footer FILE  footer template (default: Footer.dat, found the same way)\n"
    "      --library DIR  a folder where called programs that are not in the NC file are looked\n"
    "                     for, after the NC file's folder; may be given several times\n"
    "      --max-blocks N stop a run after N blocks, keeping what it drew (default 100000000)\n"
    "      --inch         read programs in inch until they say G20 or G21 (the drawing is in mm)\n"
    "      --calculator-decimals\n"
    "                     a number without a decimal point is a whole unit: X3 is 3 mm, not 0.003\n"
    "  -q, --quiet        no progress line and no completion messages\n"
    "  -h, --help         show this help and exit\n"
    "      --version      show the version and exit\n"
    "\n"
    "The tool report goes to standard output, messages to standard error.\n"
    "Exit status: 0 when every file was converted, 1 when any failed, 2 for a usage error.\n";

namespace {

// Options that take a value accept it as the next argument or after '=' ("--header=FILE").
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& index, const std::string& name,
               std::string& value, std::string& error, const char* what = "a file name") {
    const std::string& argument = arguments[index];
    if (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0) {
        value = argument.substr(name.size() + 1);
    } else if (index + 1 < arguments.size()) {
        value = arguments[++index];
    } else {
        error = "option " + name + " needs " + what;
        return false;
    }
    if (value.empty()) {
        error = "option " + name + " needs " + what;
        return false;
    }
    return true;
}

bool Matches(const std::string& argument, const std::string& name) {
    return argument == name ||
           (argument.size() > name.size() && argument.compare(0, name.size() + 1, name + "=") == 0);
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    CommandLine& options = parsed.options;
    bool onlyFiles = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (onlyFiles || argument.empty() || argument[0] != '-' || argument == "-") {
            options.ncFiles.push_back(argument);
        } else if (argument == "--") {
            onlyFiles = true;
        } else if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--version") {
            options.version = true;
        } else if (argument == "--inch") {
            options.units.inchByDefault = true;
        } else if (argument == "--calculator-decimals") {
            options.units.calculatorDecimals = true;
        } else if (argument == "-q" || argument == "--quiet") {
            options.quiet = true;
        } else if (argument == "-o" || Matches(argument, "--output")) {
            const std::string name = argument == "-o" ? "-o" : "--output";
            if (!TakeValue(arguments, i, name, options.outputFile, parsed.error)) {
                return parsed;
            }
        } else if (Matches(argument, "--svg")) {
            if (!TakeValue(arguments, i, "--svg", options.svgFile, parsed.error)) {
                return parsed;
            }
        } else if (Matches(argument, "--header")) {
            if (!TakeValue(arguments, i, "--header", options.hedderFile, parsed.error)) {
                return parsed;
            }
        } else if (Matches(argument, "--footer")) {
            if (!TakeValue(arguments, i, "--footer", options.footerFile, parsed.error)) {
                return parsed;
            }
        } else if (Matches(argument, "--library")) {
            std::string folder;
            if (!TakeValue(arguments, i, "--library", folder, parsed.error, "a folder name")) {
                return parsed;
            }
            options.libraryFolders.push_back(folder);
        } else if (Matches(argument, "--max-blocks")) {
            std::string count;
            const bool given = TakeValue(arguments, i, "--max-blocks", count, parsed.error);
            const std::optional<std::int64_t> limit = ParseBlockLimit(count);
            if (!given || !limit) {
                parsed.error = "option --max-blocks needs a whole number of at least 1";
                return parsed;
            }
            options.maxBlocks = *limit;
        } else {
            parsed.error = "unknown option " + argument;
            return parsed;
        }
    }
    if (options.help || options.version) {
        return parsed;
    }
    if (options.ncFiles.empty()) {
        parsed.error = "no NC file given";
    } else if (!options.outputFile.empty() && options.ncFiles.size() > 1) {
        parsed.error = "-o names one output and can only be used with one NC file";
    } else if (!options.svgFile.empty() && options.ncFiles.size() > 1) {
        parsed.error = "--svg names one picture and can only be used with one NC file";
    }
    return parsed;
}
