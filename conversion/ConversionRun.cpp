#include "conversion/ConversionRun.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "conversion/BlockDispatch.h"
#include "conversion/EntityTee.h"
#include "conversion/MacroStage.h"
#include "conversion/ProgramFile.h"
#include "conversion/ProgramLines.h"
#include "conversion/ProgramSearch.h"
#include "conversion/TightArcs.h"
#include "conversion/ToolReport.h"
#include "conversion/UndrawnCodes.h"
#include "conversion/UnreachedLines.h"
#include "core/File.h"
#include "core/SString.h"
#include "core/TextFile.h"
#include "dxf/DxfEntityWriter.h"
#include "dxf/DxfFrame.h"
#include "dxf/DxfOutput.h"
#include "dxf/InfoBlock.h"
#include "nc/NcAnalyzer.h"

namespace {

// The block a line became after its macro values were put in place, into the piece buffer, ended by a NUL
// byte. The parser reads 255 bytes of a line; a block that grew beyond them is listed, not cut silently.
void TakeBlock(std::string_view block, char (&piece)[TextFile::kMaxPiece + 1], std::int64_t line,
               UndrawnCodes& undrawn) {
    if (block.data() == piece) {
        return;
    }
    if (block.size() > TextFile::kMaxPiece) {
        undrawn.note("マクロ置換後の行が長すぎる (255バイト超)", line);
    }
    const std::size_t length = std::min(block.size(), TextFile::kMaxPiece);
    std::memcpy(piece, block.data(), length);
    piece[length] = '\0';
}

bool OutputNamesAnInput(const ConversionFiles& files) {
    return NamesSameFile(files.dxfFile, files.ncFile) || NamesSameFile(files.dxfFile, files.hedderFile) ||
           NamesSameFile(files.dxfFile, files.footerFile);
}

// The templates are only copied later; finding out then that one cannot be read would waste the run, so both
// are tried before anything is written.
bool TemplateReadable(const std::string& templateFile) {
    TextFile file;
    return OpenReadText(file, templateFile);
}

class Run {
public:
    // `writes` false: the run only draws `picture` (which must be given) and reports.
    Run(RunHost& host, const ConversionFiles& files, PictureSink* picture, bool writes)
        : host_(host), files_(files), writes_(writes), output_(files.dxfFile), report_(host), picture_(picture) {}

    RunOutcome execute();

private:
    bool openNc();
    bool readNcIndex();
    void noteUnitOptions();
    RunOutcome readLines();
    void tellPictureSource();
    RunOutcome noteUnreachedLines();
    RunOutcome finish();
    RunOutcome abort();
    RunOutcome fail();

    bool openInputs();
    EntitySink& entitySink();

    RunHost& host_;
    const ConversionFiles& files_;
    const bool writes_;
    DxfOutput output_;
    ToolReport report_;
    // The entities go straight into the DXF file unless a picture is drawn beside it.
    DxfEntityWriter dxfWriter_{output_};
    PictureSink* picture_;
    std::optional<EntityTee> tee_;
    // The picture was last told of a block in another file than the NC file.
    bool pictureElsewhere_ = false;
    TightArcs tightArcs_;
    NcAnalyzer analyzer_;
    ProgramFile nc_{files_.ncFile, ""};
    ProgramSearch programs_{nc_, files_.libraryFolders};
    ProgramLines lines_{nc_, programs_};
    MacroStage macros_{analyzer_, lines_, undrawn_};
    std::int64_t lineCount_ = 0;
    UndrawnCodes undrawn_;
};

RunOutcome Run::execute() {
    // 1. Names: both must be given, and the output must not name one of the inputs.
    if (files_.ncFile.empty() || (writes_ && files_.dxfFile.empty())) {
        host_.showMessage(kMessageCaption, kMissingNameMessage);
        return RunOutcome::Failed;
    }
    if (writes_ && OutputNamesAnInput(files_)) {
        host_.showMessage(kMessageCaption, kSameNameMessage);
        return RunOutcome::Failed;
    }
    // 2. Every input is opened, and the NC file read once for its subprograms, before anything is written.
    if (!openInputs()) {
        return RunOutcome::Failed;
    }
    // 3. The drawing, written aside until it is complete, now holds the header template and nothing else.
    if (writes_ && (!output_.open() || !CopyHeader(files_.hedderFile, output_))) {
        return RunOutcome::Failed;
    }
    // 4. A fresh interpreter and report; the initial block takes the machine from its home position to the
    // origin in absolute rapid mode. It is interpreted, timed and measured, but neither counted nor drawn.
    host_.setRunning(true);
    lineCount_ = 0;
    report_.reset();
    if (picture_ != nullptr) {
        if (writes_) {
            tee_.emplace(dxfWriter_, *picture_);
        }
        tightArcs_.reset();
    }
    analyzer_.setUnitOptions(files_.units);
    noteUnitOptions();
    analyzer_.load(SString(kInitialBlock));
    return readLines();
}

// A preview reads no template: it writes nothing they could frame.
bool Run::openInputs() {
    return openNc() &&
           (!writes_ || (TemplateReadable(files_.hedderFile) && TemplateReadable(files_.footerFile))) &&
           readNcIndex();
}

EntitySink& Run::entitySink() {
    if (tee_) {
        return *tee_;
    }
    return writes_ ? static_cast<EntitySink&>(dxfWriter_) : *picture_;
}

// A report read later must say how the numbers were read when that was not the default.
void Run::noteUnitOptions() {
    const UnitOptions& units = files_.units;
    if (units.inchByDefault || units.calculatorDecimals) {
        std::string line = "設定:";
        line += units.inchByDefault ? " 単位の既定: インチ" : "";
        line += units.calculatorDecimals ? " 電卓型小数点入力" : "";
        host_.appendReportLine(line);
    }
}

// An NC program in UTF-16 would read as noise between NUL bytes; it is refused with its encoding named.
bool Run::openNc() {
    if (!OpenReadText(nc_.text(), files_.ncFile)) {
        return false;
    }
    switch (nc_.recogniseEncoding()) {
        case TextEncoding::Bytes:
            return true;
        case TextEncoding::Utf16Le:
            host_.showMessage("File Read Error", "No Read " + files_.ncFile + ": UTF-16LE text");
            return false;
        case TextEncoding::Utf16Be:
            host_.showMessage("File Read Error", "No Read " + files_.ncFile + ": UTF-16BE text");
            return false;
    }
    return false;
}

// Read through the run's own open file, so that a file put in its place by name since cannot lend its
// positions to the old one.
bool Run::readNcIndex() {
    if (!SubprogramIndex::mayHoldCalls(nc_.text())) {
        return true;
    }
    if (!nc_.readIndex()) {
        ShowReadFailure(files_.ncFile, nc_.text().error());
        return false;
    }
    nc_.index().noteDuplicates(undrawn_);
    return true;
}

RunOutcome Run::readLines() {
    char piece[TextFile::kMaxPiece + 1];
    EntitySink& sink = entitySink();
    while (const std::size_t length = lines_.next(piece, undrawn_)) {
        undrawn_.setFile(lines_.fileName());
        if (lineCount_ >= files_.maxBlocks) {
            undrawn_.note("実行ブロック数の上限で停止", lines_.lineNumber());
            return finish();
        }
        if (writes_) {
            host_.showStartButton(kRunningCaption, kColourRed);
        }
        host_.handlePendingEvents();
        if (!host_.running()) {
            // Aborted: the host has reset its window; the drawing so far is dropped.
            return abort();
        }
        ++lineCount_;
        host_.showLineCount(lineCount_);
        if (lines_.cutAtControl()) {
            undrawn_.note("制御文字より後", lines_.lineNumber());
        }
        // Cleaned first, so that a statement is read without its line end.
        const std::size_t cleaned = TrimLine(piece, length);
        const std::int64_t counted = lineCount_;
        const MacroStage::Step step = macros_.take(std::string_view(piece, cleaned), lineCount_);
        if (lineCount_ != counted) {
            host_.showLineCount(lineCount_);
        }
        if (step == MacroStage::Step::Stop) {
            return finish();
        }
        if (step == MacroStage::Step::Statement) {
            continue;
        }
        TakeBlock(macros_.block(), piece, lines_.lineNumber(), undrawn_);
        const std::int64_t ncLine = lines_.ncLine();
        tellPictureSource();
        ProcessLine(analyzer_, report_, sink, piece, lines_.startsInComment(), lines_.lineNumber(), ncLine,
                    undrawn_);
        if (picture_ != nullptr) {
            tightArcs_.check(analyzer_, ncLine, *picture_);
        }
        if (output_.failed()) {
            return fail();
        }
        lines_.follow(analyzer_, undrawn_);
        macros_.afterBlock();
    }
    if (ProgramFile* failed = lines_.failedFile()) {
        ShowReadFailure(failed->path(), failed->text().error());
        return fail();
    }
    return lines_.mainProgramEnded() ? noteUnreachedLines() : finish();
}

// A picture names the file and line of a block drawn by a program in another file; the NC file's own
// blocks cost it one test.
// Most programs never leave the NC file: the picture hears only of blocks elsewhere and of the return.
void Run::tellPictureSource() {
    const bool elsewhere = !lines_.fileName().empty();
    if (picture_ != nullptr && (elsewhere || pictureElsewhere_)) {
        picture_->setSource(elsewhere ? lines_.filePath() : std::string_view(), lines_.lineNumber());
        pictureElsewhere_ = elsewhere;
    }
}

// The lines after the main program's end that nothing reached are counted one by one, so the user can still
// stop a file that goes on for long after its end.
RunOutcome Run::noteUnreachedLines() {
    undrawn_.setFile("");
    UnreachedLines unreached(nc_.lines(), lines_.endLine(), lines_.stretchesRun());
    while (const std::int64_t line = unreached.next()) {
        host_.handlePendingEvents();
        if (!host_.running()) {
            return abort();
        }
        undrawn_.note("M30 以降の行 (実行されない)", line);
    }
    if (nc_.text().readFailed()) {
        ShowReadFailure(files_.ncFile, nc_.text().error());
        return fail();
    }
    return finish();
}

RunOutcome Run::finish() {
    const std::optional<InfoBlockLayout> info = LayOutInfoBlock(analyzer_);
    nc_.text().close();
    if (writes_) {
        WriteInfoBlock(info, output_);
        if (!CopyFooter(files_.footerFile, output_)) {
            return fail();
        }
    }
    // The report ends with what was left undrawn. It comes before the commit, so that a report that can no
    // longer be written (the host then stops the run) costs no earlier drawing.
    undrawn_.report(host_);
    // A host that stopped the run during its last line (a report it could no longer write) gets no drawing.
    if (!host_.running()) {
        output_.discard();
        return RunOutcome::Aborted;
    }
    // A picture that could not be written has said so; the run then fails and the earlier drawing stays.
    if (picture_ != nullptr && !picture_->complete(info)) {
        return fail();
    }
    host_.setRunning(false);
    if (!writes_) {
        return RunOutcome::Completed;
    }
    // The one moment the output name changes: the complete drawing takes the place of the earlier one.
    if (!output_.commit()) {
        return fail();
    }
    host_.showMessage(kMessageCaption, undrawn_.empty() ? kCompletedMessage : kCompletedWithOmissionsMessage);
    host_.showStartButton(kStartCaption, kColourBlack);
    return RunOutcome::Completed;
}

RunOutcome Run::abort() {
    nc_.text().close();
    output_.discard();
    return RunOutcome::Aborted;
}

// The one message has been shown; the incomplete drawing is dropped, the earlier one stays.
RunOutcome Run::fail() {
    nc_.text().close();
    output_.discard();
    host_.setRunning(false);
    if (writes_) {
        host_.showStartButton(kStartCaption, kColourBlack);
    }
    return RunOutcome::Failed;
}

}  // namespace

RunOutcome RunConversion(RunHost& host, const ConversionFiles& files, PictureSink* picture) {
    const ScopedMessageSink messagesToHost(host);
    Run run(host, files, picture, true);
    return run.execute();
}

RunOutcome PreviewProgram(RunHost& host, const ConversionFiles& files, PictureSink& picture) {
    const ScopedMessageSink messagesToHost(host);
    Run run(host, files, &picture, false);
    return run.execute();
}
