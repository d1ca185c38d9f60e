// The lines of the report's "作図していないコード" list name where each kind was first met; a click on one
// goes there.
#pragma once

#include <functional>

#include "conversion/UndrawnCodes.h"

class QPlainTextEdit;

// Calls `go` when a click in `report` lands on such a line.
void LinkReportedLines(QPlainTextEdit& report, std::function<void(const FirstMet&)> go);
