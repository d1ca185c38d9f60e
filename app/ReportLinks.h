// The lines of the report's "作図していないコード" list name where each kind was first met; a click on one
// goes there.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QPlainTextEdit;

struct ReportedLine {
    std::string file;  // empty for the NC file
    std::int64_t line;
};

// "    <kind> ×<count> (最初: <line>行目)", or "(最初: <file> <line>行目)" for another file.
std::optional<ReportedLine> ReportedLineOf(const QString& reportLine);

// Calls `go` when a click in `report` lands on such a line.
void LinkReportedLines(QPlainTextEdit& report, std::function<void(const ReportedLine&)> go);
