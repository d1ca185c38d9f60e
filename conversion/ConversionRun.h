// One conversion: NC file in, DXF file out (header template, the entities of every line in NC order, the
// information block, footer template), reporting to a RunHost.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/PictureSink.h"
#include "conversion/RunHost.h"
#include "nc/NcBlock.h"

inline constexpr std::int64_t kDefaultMaxBlocks = 100'000'000;

struct ConversionFiles {
    std::string hedderFile;
    std::string footerFile;
    std::string ncFile;
    std::string dxfFile;
    // Where a called program that the NC file does not hold is looked for after the NC file's own folder.
    std::vector<std::string> libraryFolders;
    // The run stops after this many blocks, called and repeated ones counted each time, and keeps what it
    // drew: a program that loops for ever still gives a drawing.
    std::int64_t maxBlocks = kDefaultMaxBlocks;
    // How the program's numbers are read when it does not say: inch, calculator-type decimal point input.
    UnitOptions units;
};

enum class RunOutcome {
    Completed,  // the whole file was converted and one of the two completion messages was shown
    Aborted,    // the host cleared `running`; the drawing was dropped, the earlier file left as it was
    Failed,     // a file could not be used; one message was shown, the earlier file left as it was
};

inline constexpr std::string_view kStartCaption = "変換開始";
inline constexpr std::string_view kRunningCaption = "変換中！";
inline constexpr std::string_view kMissingNameMessage = "ファイル名を入力してください。";
inline constexpr std::string_view kSameNameMessage = "出力ファイル名が入力ファイルと同じです。";
inline constexpr std::string_view kCompletedMessage = "正常に終了しました。";
// A completed run whose report lists something under "作図していないコード": the drawing is not the whole
// program, and the message must not let that pass unnoticed.
inline constexpr std::string_view kCompletedWithOmissionsMessage =
    "正常に終了しました。（作図していないコードがあります）";

// The block every run interprets before the first line: absolute rapid mode at the origin.
inline constexpr char kInitialBlock[] = "G90G00X0.0Y0.0Z0.0";

// `picture`, if given, is drawn from the same entities as the DXF file; it is completed just before the
// drawing is put in place and left as it is when the run fails or is aborted. A picture that fails makes the
// run fail, the earlier drawing kept.
RunOutcome RunConversion(RunHost& host, const ConversionFiles& files, PictureSink* picture = nullptr);

// Draws `picture` and reports as a conversion of `files.ncFile` would, but reads no template, writes no file,
// leaves the Start button alone and shows no completion message: what the window shows of a program as soon
// as it is chosen. Completed, Aborted and Failed mean what they mean for a conversion.
RunOutcome PreviewProgram(RunHost& host, const ConversionFiles& files, PictureSink& picture);
