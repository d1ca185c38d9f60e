// The frame of the DXF file: the header and footer templates copied around the entities, the six layer
// names, and the line layout shared by every writer. The program writes only entities; everything else in
// the file (sections, tables, layer declarations) comes from the templates the user chose.
//
// Entity layout: an entity starts with its type line ("LINE", "ARC", ...) because the group code 0 that
// introduces it was the last line written before it (by the header template or the previous entity); group
// code and value lines alternate; the entity ends with the line "0", which introduces whatever follows.
#pragma once

#include <string>
#include <string_view>

// Layer names as code-page-932 bytes: the DXF file declares $DWGCODEPAGE ANSI_932.
namespace DxfLayer {
inline constexpr std::string_view kRapid = "\x91\x81\x91\x97\x82\xE8";                  // 早送り
inline constexpr std::string_view kCompensated = "\x95\xE2\x90\xB3\x82\xA0\x82\xE8";    // 補正あり
inline constexpr std::string_view kUncompensated = "\x95\xE2\x90\xB3\x96\xB3\x82\xB5";  // 補正無し
inline constexpr std::string_view kCannedCycle =
    "\x8C\xC5\x92\xE8\x83\x54\x83\x43\x83\x4E\x83\x8B";                      // 固定サイクル
inline constexpr std::string_view kCentreLine = "\x92\x86\x90\x53\x90\xFC";  // 中心線
inline constexpr std::string_view kInformation = "\x8F\xEE\x95\xF1";         // 情報
}  // namespace DxfLayer

class DxfOutput;

// Copy a template into the drawing, piece by piece as text: CR LF read becomes a line feed and every line
// feed written becomes CR LF again, so lines of any length come through unchanged but for their line ends.
// A header whose last line has no line end gets one, so that the first entity starts on a line of its own;
// the footer is copied as it stands. False after one message (a template that cannot be opened or read, a
// failed write).
bool CopyHeader(const std::string& hedderFile, DxfOutput& output);
bool CopyFooter(const std::string& footerFile, DxfOutput& output);
