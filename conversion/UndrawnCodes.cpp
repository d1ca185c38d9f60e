#include "conversion/UndrawnCodes.h"

namespace {

constexpr std::string_view kIndent = "    ";
constexpr std::string_view kCount = " ×";
constexpr std::string_view kFirst = " (最初: ";
constexpr std::string_view kLineEnd = "行目)";

bool AllDigits(std::string_view text) {
    return !text.empty() && text.size() <= 18 &&
           text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

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
        host.appendReportLine(std::string(kIndent) + kind.name + std::string(kCount) +
                              std::to_string(kind.count) + std::string(kFirst) + file +
                              std::to_string(kind.firstLine) + std::string(kLineEnd));
    }
}

std::optional<FirstMet> FirstMetIn(std::string_view reportLine) {
    const std::size_t first = reportLine.rfind(kFirst);
    if (!reportLine.starts_with(kIndent) || !reportLine.ends_with(kLineEnd) ||
        first == std::string_view::npos) {
        return std::nullopt;
    }
    const std::size_t count = reportLine.rfind(kCount, first);
    if (count == std::string_view::npos || count <= kIndent.size() ||
        !AllDigits(reportLine.substr(count + kCount.size(), first - count - kCount.size()))) {
        return std::nullopt;
    }
    const std::size_t start = first + kFirst.size();
    const std::string_view place = reportLine.substr(start, reportLine.size() - kLineEnd.size() - start);
    const std::size_t space = place.rfind(' ');
    const std::string_view number = space == std::string_view::npos ? place : place.substr(space + 1);
    if (!AllDigits(number)) {
        return std::nullopt;
    }
    return FirstMet{space == std::string_view::npos ? std::string() : std::string(place.substr(0, space)),
                    std::stoll(std::string(number))};
}
