#include "conversion/ConversionRun.h"

#include <optional>

#include "conversion/BlockDispatch.h"
#include "conversion/EntityTee.h"
#include "conversion/SameFile.h"
#include "conversion/TightArcs.h"
#include "conversion/ToolReport.h"
#include "core/File.h"
#include "core/SString.h"
#include "core/TextFile.h"
#include "dxf/DxfEntityWriter.h"
#include "dxf/DxfFrame.h"
#include "dxf/DxfOutput.h"
#include "dxf/InfoBlock.h"
#include "nc/NcAnalyzer.h"

namespace {

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
    Run(RunHost& host, const ConversionFiles& files, PictureSink* picture)
        : host_(host), files_(files), output_(files.dxfFile), report_(host), picture_(picture) {}

    RunOutcome execute();

private:
    RunOutcome readLines();
    RunOutcome finish();
    RunOutcome fail();

    RunHost& host_;
    const ConversionFiles& files_;
    DxfOutput output_;
    ToolReport report_;
    // The entities go straight into the DXF file unless a picture is drawn beside it.
    DxfEntityWriter dxfWriter_{output_};
    PictureSink* picture_;
    std::optional<EntityTee> tee_;
    TightArcs tightArcs_;
    NcAnalyzer analyzer_;
    TextFile nc_;
    std::int64_t lineCount_ = 0;
    std::int64_t fileLine_ = 1;
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
    // 2. Every input is opened before the DXF file is created, so a bad input never costs an existing file.
    if (!OpenReadText(nc_, files_.ncFile) || !FooterReadable(files_.footerFile)) {
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
    if (picture_ != nullptr) {
        tee_.emplace(dxfWriter_, *picture_);
        tightArcs_.reset();
    }
    analyzer_.load(SString(kInitialBlock));
    return readLines();
}

RunOutcome Run::readLines() {
    char piece[TextFile::kMaxPiece + 1];
    EntitySink& sink = tee_ ? static_cast<EntitySink&>(*tee_) : dxfWriter_;
    while (std::size_t length = nc_.readPiece(piece)) {
        host_.showStartButton(kRunningCaption, kColourRed);
        host_.handlePendingEvents();
        if (!host_.running()) {
            // Aborted: the host has already deleted the output and reset its window.
            nc_.close();
            return RunOutcome::Aborted;
        }
        ++lineCount_;
        host_.showLineCount(lineCount_);
        // A line longer than a piece arrives as several pieces, and only its last one ends in the line feed.
        const std::int64_t fileLine = fileLine_;
        if (piece[length - 1] == '\n') {
            ++fileLine_;
        }
        ProcessLine(analyzer_, report_, sink, piece, length, fileLine);
        if (picture_ != nullptr) {
            tightArcs_.check(analyzer_, fileLine, *picture_);
        }
        if (output_.failed()) {
            return fail();
        }
    }
    if (nc_.readFailed()) {
        ShowReadFailure(files_.ncFile);
        return fail();
    }
    return finish();
}

RunOutcome Run::finish() {
    const std::optional<InfoBlockLayout> info = LayOutInfoBlock(analyzer_);
    WriteInfoBlock(info, output_);
    nc_.close();
    if (!output_.close() || CopyFooter(files_.footerFile, files_.dxfFile) != CopyOutcome::Copied) {
        return fail();
    }
    host_.setRunning(false);
    if (picture_ != nullptr) {
        picture_->complete(info);
    }
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

RunOutcome RunConversion(RunHost& host, const ConversionFiles& files, PictureSink* picture) {
    const ScopedMessageSink messagesToHost(host);
    Run run(host, files, picture);
    return run.execute();
}
