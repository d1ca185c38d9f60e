#include "conversion/UndrawnCodes.h"

void UndrawnCodes::note(std::string_view kind, std::int64_t lineNumber) {
    for (Kind& known : kinds_) {
        if (known.name == kind) {
            ++known.count;
            return;
        }
    }
    kinds_.push_back(Kind{std::string(kind), 1, lineNumber, std::string(file_)});
}

void UndrawnCodes::report(RunHost& host) const {
    if (kinds_.empty()) {
        return;
    }
    host.appendReportLine(kUndrawnHeading);
    for (const Kind& kind : kinds_) {
        const std::string file = kind.firstFile.empty() ? "" : kind.firstFile + " ";
        host.appendReportLine("    " + kind.name + " ×" + std::to_string(kind.count) + " (最初: " + file +
                              std::to_string(kind.firstLine) + "行目)");
    }
}
