#include "conversion/ToolReport.h"

#include <string>
#include <string_view>

#include "core/RealText.h"
#include "core/Vemo.h"

namespace {

std::string Joined(std::string_view head, std::string_view tail) {
    std::string line;
    line.reserve(head.size() + tail.size());
    line.append(head).append(tail);
    return line;
}

}  // namespace

void ToolReport::reset() {
    lastTool_ = 0;
    lastD_ = 0;
}

void ToolReport::checkTool(const NcAnalyzer& analyzer) {
    const int tool = analyzer.toolInSpindle();
    if (tool != lastTool_) {
        lastTool_ = tool;
        host_.appendReportLine(Joined("T", std::to_string(tool)));
    }
}

void ToolReport::checkCompensation(const NcAnalyzer& analyzer) {
    const int d = analyzer.compensationD();
    if (d != lastD_) {
        // The open stretch ends and a new one begins. The compensation code is read after the line that
        // changed the number, and it keeps its value after G40, so G40 reports under the stretch's own code.
        reportStretchMinimum(analyzer);
        lastD_ = d;
        host_.forgetArcRadii();
        host_.appendReportLine("**********************************");
        host_.appendReportLine(Joined("    D", std::to_string(d)));
    } else if (lastD_ != 0 && analyzer.isArcMove()) {
        // Every arc, full circle and helix counts, also one without I, J and K, whose radius is 0; a line in
        // G02 or G03 mode that moved nothing, and an R arc that ends where it starts, made no arc at all.
        const double radius = analyzer.arcRadius();
        if (analyzer.motionCode() == 2) {
            host_.setMinRG02(MinOf(radius, host_.minRG02()));
        }
        if (analyzer.motionCode() == 3) {
            host_.setMinRG03(MinOf(radius, host_.minRG03()));
        }
    }
}

void ToolReport::reportStretchMinimum(const NcAnalyzer& analyzer) {
    if (lastD_ == 0) {
        return;
    }
    const char* label = nullptr;
    double minimum = RunHost::kNoArc;
    if (analyzer.compensationCode() == 41) {
        label = "    G41MinR(G03)=";
        minimum = host_.minRG03();
    } else if (analyzer.compensationCode() == 42) {
        label = "    G42MinR(G02)=";
        minimum = host_.minRG02();
    }
    if (label == nullptr || minimum == RunHost::kNoArc) {
        return;
    }
    const double diameter = analyzer.toolDiameter();
    if (diameter != 0.0 && diameter * 0.5 > minimum) {
        host_.appendReportLine(Joined("確認！工具φ", RealText(diameter)));
    }
    host_.appendReportLine(Joined(label, RoundText(minimum, 3)));
}
