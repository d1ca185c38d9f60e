#include "conversion/ConversionRun.h"

#include <filesystem>
#include <system_error>

#include "conversion/BlockDispatch.h"
#include "conversion/ProgramLines.h"
#include "conversion/SubprogramIndex.h"
#include "conversion/ToolReport.h"
#include "conversion/UndrawnCodes.h"
#include "core/File.h"
#include "core/SString.h"
#include "core/TextFile.h"
#include "dxf/DxfFrame.h"
#include "dxf/DxfOutput.h"
#include "dxf/InfoBlock.h"
#include "nc/NcAnalyzer.h"

namespace {

// True when both names lead to the same file, however they are spelled (relative, "..", links).
bool NamesSameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error)) {
        return true;
    }
    const fs::path left = fs::weakly_canonical(fs::absolute(a, error), error);
    const fs::path right = fs::weakly_canonical(fs::absolute(b, error), error);
    return !left.empty() && left == right;
}

bool OutputNamesAnInput(const ConversionFiles& files) {
    return NamesSameFile(files.dxfFile, files.ncFile) || NamesSameFile(files.dxfFile, files.hedderFile) ||
           NamesSameFile(files.dxfFile, files.footerFile);
}

// The footer is only copied at the end; finding out then that it cannot be read would cost the existing DXF
// file, so it is tried before anything is written.
bool FooterReadable(const std::string& footerFile) {
    TextFile footer;
    return OpenReadText(footer, footerFile);
}

class Run {
public:
    Run(RunHost& host, const ConversionFiles& files)
        : host_(host), files_(files), output_(files.dxfFile), report_(host) {}

    RunOutcome execute();

private:
    RunOutcome readLines();
    RunOutcome finish();
    RunOutcome fail();

    RunHost& host_;
    const ConversionFiles& files_;
    DxfOutput output_;
    ToolReport report_;
    NcAnalyzer analyzer_;
    TextFile nc_;
    SubprogramIndex subprograms_;
    ProgramLines lines_{nc_, subprograms_};
    std::int64_t lineCount_ = 0;
    UndrawnCodes undrawn_;
};

RunOutcome Run::execute() {
    // 1. Names: both must be given, and the output must not name one of the inputs.
    if (files_.ncFile.empty() || files_.dxfFile.empty()) {
        host_.showMessage(kMessageCaption, kMissingNameMessage);
        return RunOutcome::Failed;
    }
    if (OutputNamesAnInput(files_)) {
        host_.showMessage(kMessageCaption, kSameNameMessage);
        return RunOutcome::Failed;
    }
    // 2. Every input is opened, and the NC file read once for its subprograms, before the DXF file is
    // created, so a bad input never costs an existing file.
    if (!OpenReadText(nc_, files_.ncFile) || !FooterReadable(files_.footerFile) ||
        !subprograms_.build(files_.ncFile)) {
        return RunOutcome::Failed;
    }
    // 3. The DXF file now holds the header template and nothing else.
    switch (CopyHeader(files_.hedderFile, files_.dxfFile)) {
        case CopyOutcome::Copied:
            break;
        case CopyOutcome::NothingWritten:
            return RunOutcome::Failed;
        case CopyOutcome::OutputIncomplete:
            RemoveFile(files_.dxfFile);
            return RunOutcome::Failed;
    }
    // 4. A fresh interpreter and report; the initial block takes the machine from its home position to the
    // origin in absolute rapid mode. It is interpreted, timed and measured, but neither counted nor drawn.
    host_.setRunning(true);
    lineCount_ = 0;
    report_.reset();
    analyzer_.load(SString(kInitialBlock));
    return readLines();
}

RunOutcome Run::readLines() {
    char piece[TextFile::kMaxPiece + 1];
    while (std::size_t length = lines_.next(piece)) {
        host_.showStartButton(kRunningCaption, kColourRed);
        host_.handlePendingEvents();
        if (!host_.running()) {
            // Aborted: the host has already deleted the output and reset its window.
            nc_.close();
            return RunOutcome::Aborted;
        }
        ++lineCount_;
        host_.showLineCount(lineCount_);
        ProcessLine(analyzer_, report_, output_, piece, length, lines_.lineNumber(), undrawn_);
        if (output_.failed()) {
            return fail();
        }
        lines_.follow(piece, length, undrawn_);
    }
    if (nc_.readFailed()) {
        ShowReadFailure(files_.ncFile);
        return fail();
    }
    return finish();
}

RunOutcome Run::finish() {
    WriteInfoBlock(analyzer_, output_);
    nc_.close();
    if (!output_.close() || CopyFooter(files_.footerFile, files_.dxfFile) != CopyOutcome::Copied) {
        return fail();
    }
    host_.setRunning(false);
    undrawn_.report(host_);
    host_.showMessage(kMessageCaption, kCompletedMessage);
    host_.showStartButton(kStartCaption, kColourBlack);
    return RunOutcome::Completed;
}

// The one message has been shown; an incomplete drawing is removed rather than left looking finished.
RunOutcome Run::fail() {
    nc_.close();
    RemoveFile(files_.dxfFile);
    host_.setRunning(false);
    host_.showStartButton(kStartCaption, kColourBlack);
    return RunOutcome::Failed;
}

}  // namespace

RunOutcome RunConversion(RunHost& host, const ConversionFiles& files) {
    const ScopedMessageSink messagesToHost(host);
    Run run(host, files);
    return run.execute();
}
