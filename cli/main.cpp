// plotra-convert: converts NC programs into DXF drawings without a window.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "conversion/ConversionRun.h"
#include "conversion/DxfName.h"
#include "conversion/SameFile.h"
#include "conversion/SvgPicture.h"
#include "core/File.h"
#include "core/MessageSink.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

std::string Beside(const std::string& name) {
    return ExeDrive() + ExeDir() + name;
}

// One NC file converted, with its SVG picture when `svgFile` names one. The picture never overwrites an input
// or the drawing, and one that could not be completed is not left behind.
RunOutcome Convert(ConsoleHost& host, const ConversionFiles& files, const std::string& svgFile) {
    if (svgFile.empty()) {
        return RunConversion(host, files);
    }
    for (const std::string* other : {&files.ncFile, &files.dxfFile, &files.hedderFile, &files.footerFile}) {
        if (NamesSameFile(svgFile, *other)) {
            host.showMessage(kMessageCaption, kSameNameMessage);
            return RunOutcome::Failed;
        }
    }
    SvgPicture picture(svgFile, ReadLayerStyles(files.hedderFile));
    if (!picture.open()) {
        return RunOutcome::Failed;
    }
    const RunOutcome outcome = RunConversion(host, files, &picture);
    return outcome == RunOutcome::Completed && !picture.completed() ? RunOutcome::Failed : outcome;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "plotra-convert: %s\n%s", parsed.error.c_str(), kUsageText);
        return kExitUsage;
    }
    const CommandLine& options = parsed.options;
    if (options.help) {
        std::fputs(kUsageText, stdout);
        return kExitConverted;
    }
    if (options.version) {
        std::printf("plotra-convert %s\n", PLOTRA_VERSION);
        return kExitConverted;
    }

    ConsoleHost host(!options.quiet && isatty(STDERR_FILENO) == 1, options.quiet);
    SetMessageSink(&host);
    ConsoleHost::catchInterrupts();

    std::puts("ツール番号・径補正番号");
    std::puts("-----------------------------------------");

    int status = kExitConverted;
    for (const std::string& ncFile : options.ncFiles) {
        ConversionFiles files;
        files.hedderFile = options.hedderFile.empty() ? Beside("Hedder.dat") : options.hedderFile;
        files.footerFile = options.footerFile.empty() ? Beside("Footer.dat") : options.footerFile;
        files.ncFile = ncFile;
        files.dxfFile = options.outputFile.empty() ? DxfNameFor(ncFile) : options.outputFile;
        host.beginFile(files.ncFile, files.dxfFile);
        const RunOutcome outcome = Convert(host, files, options.svgFile);
        host.endFile();
        std::fflush(stdout);
        if (outcome != RunOutcome::Completed) {
            status = kExitFailed;
        } else if (!options.quiet) {
            std::fprintf(stderr, "plotra-convert: %s -> %s\n", files.ncFile.c_str(), files.dxfFile.c_str());
        }
        if (ConsoleHost::interrupted()) {
            break;
        }
    }
    SetMessageSink(nullptr);
    return status;
}
