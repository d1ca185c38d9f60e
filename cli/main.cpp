// plotra-convert: converts NC programs into DXF drawings without a window.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/BatchNames.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleHost.h"
#include "conversion/ConversionRun.h"
#include "conversion/DxfName.h"
#include "conversion/SvgPicture.h"
#include "core/File.h"
#include "core/MessageSink.h"
#include "core/Templates.h"

namespace {

constexpr int kExitConverted = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

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
    return RunConversion(host, files, &picture);
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
    // A mistyped library folder would only show as calls not found, after the whole batch.
    for (const std::string& folder : options.libraryFolders) {
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            std::fprintf(stderr, "plotra-convert: --library %s: no such folder\n%s", folder.c_str(),
                         kUsageText);
            return kExitUsage;
        }
    }
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

    const ChosenTemplates templates = ChooseTemplates(options.hedderFile, options.footerFile);
    if (!templates.missingMessage.empty()) {
        host.showMessage(kMessageCaption, templates.missingMessage);
        SetMessageSink(nullptr);
        return kExitFailed;
    }

    std::vector<ConversionFiles> batch;
    for (const std::string& ncFile : options.ncFiles) {
        ConversionFiles files;
        files.hedderFile = templates.hedderFile;
        files.footerFile = templates.footerFile;
        files.ncFile = ncFile;
        files.dxfFile = options.outputFile.empty() ? DxfNameFor(ncFile) : options.outputFile;
        files.libraryFolders = options.libraryFolders;
        files.maxBlocks = options.maxBlocks;
        files.units = options.units;
        batch.push_back(std::move(files));
    }
    const std::vector<std::string> clashes = BatchClashes(batch);

    std::puts("ツール番号・径補正番号");
    std::puts("-----------------------------------------");
    int status = host.flushReport() ? kExitConverted : kExitFailed;
    for (std::size_t i = 0; i < batch.size() && !host.outputFailed(); ++i) {
        const ConversionFiles& files = batch[i];
        if (!clashes[i].empty()) {
            host.showMessage(kMessageCaption, clashes[i]);
            status = kExitFailed;
            continue;
        }
        host.beginFile(files.ncFile);
        const RunOutcome outcome = Convert(host, files, options.svgFile);
        host.endFile();
        if (!host.flushReport() || outcome != RunOutcome::Completed) {
            status = kExitFailed;
        } else if (!options.quiet) {
            std::fprintf(stderr, "plotra-convert: %s -> %s\n", files.ncFile.c_str(), files.dxfFile.c_str());
        }
        if (ConsoleHost::interrupted()) {
            // The files after this one are left as they are; the batch did not convert them.
            if (i + 1 < batch.size()) {
                status = kExitFailed;
            }
            break;
        }
    }
    if (host.outputFailed()) {
        status = kExitFailed;
    }
    SetMessageSink(nullptr);
    return status;
}
