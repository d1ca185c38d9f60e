#include "dxf/InfoBlock.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>

#include "core/Vemo.h"
#include "dxf/DxfFrame.h"
#include "dxf/EntityText.h"
#include "nc/FiniteArithmetic.h"

namespace {

// The scale figure maps the drawing's span (lowest minimum to highest maximum) onto 150 units; the text
// height is 4 at scale 1.
constexpr double kScaledSpan = 150.0;
constexpr double kTextHeightAtScaleOne = 4.0;
constexpr double kHoursPerMinute = 1.0 / 60.0;
// Baselines of the three texts below the lowest point, in text heights.
constexpr double kTextOffsets[] = {2.4, 3.6, 4.8};

// 150 / span. An extent flipped to -99999 can leave the span at 0 (after "G00 Y99999.", say), and a span of
// almost nothing makes the quotient overflow: such a drawing has no size to scale by, and is labelled at
// scale 1, as a drawing of span 150 would be, so that no infinity reaches the file.
double ScaleFor(double span) {
    if (span > 0.0) {
        const double scale = kScaledSpan / span;
        if (std::isfinite(scale)) {
            return scale;
        }
    }
    return 1.0;
}

// The whole part of 4 / scale, never 0. A program's blocks stay within eight digits, but G91 increments
// add up over millions of blocks and scaling multiplies them: the height of a drawing that large is still
// its own figure, however many digits it takes, never a figure cut off at some integer range.
double TextHeightFor(double scale) {
    return std::max(1.0, std::trunc(kTextHeightAtScaleOne / scale));
}

void AppendCentreLine(std::string& out, double x1, double y1, double x2, double y2) {
    AppendEntityStart(out, "LINE", DxfLayer::kCentreLine);
    AppendNumberGroup(out, "10", x1);
    AppendNumberGroup(out, "20", y1);
    AppendNumberGroup(out, "11", x2);
    AppendNumberGroup(out, "21", y2);
    AppendEntityEnd(out);
}

void AppendText(std::string& out, double x, double y, double height, std::string_view text) {
    AppendEntityStart(out, "TEXT", DxfLayer::kInformation);
    AppendNumberGroup(out, "10", x);
    AppendNumberGroup(out, "20", y);
    AppendNumberGroup(out, "40", height);
    AppendTextGroup(out, "1", text);
    AppendEntityEnd(out);
}

// "TotalTime:1H15m Scale:1.4". Hours take as many digits as the total needs (a feed of F0.0001 over a
// long path runs to years); the minutes, beyond the precision of such a total, stay within 0 to 59.
std::string TimeAndScaleText(double totalTime, double scale) {
    const double hours = std::trunc(totalTime * kHoursPerMinute);
    const double minutes = std::clamp(std::trunc(totalTime - hours * 60.0), 0.0, 59.0);
    std::string text = "TotalTime:";
    AppendRealText(text, hours);
    text += 'H';
    AppendRealText(text, minutes);
    text += "m Scale:";
    text += RoundText(scale, 1);
    return text;
}

}  // namespace

std::optional<InfoBlockLayout> LayOutInfoBlock(const NcAnalyzer& analyzer) {
    InfoBlockLayout block;
    block.xmin = analyzer.minX();
    block.ymin = analyzer.minY();
    block.xmax = analyzer.maxX();
    block.ymax = analyzer.maxY();
    if (block.xmin == block.xmax && block.ymin == block.ymax) {
        return std::nullopt;
    }
    const double span =
        Saturated(std::fabs(MinOf(block.xmin, block.ymin)) + std::fabs(MaxOf(block.xmax, block.ymax)));
    const double scale = ScaleFor(span);
    block.textHeight = TextHeightFor(scale);
    block.texts[0] = "Xmin:" + RoundText(block.xmin, 1) + " Xmax:" + RoundText(block.xmax, 1);
    block.texts[1] = "Ymin:" + RoundText(block.ymin, 1) + " Ymax:" + RoundText(block.ymax, 1);
    block.texts[2] = TimeAndScaleText(analyzer.totalTime(), scale);
    for (int i = 0; i < 3; ++i) {
        block.textY[i] = block.ymin - block.textHeight * kTextOffsets[i];
    }
    return block;
}

bool WriteInfoBlock(const NcAnalyzer& analyzer, DxfOutput& output) {
    return WriteInfoBlock(LayOutInfoBlock(analyzer), output);
}

bool WriteInfoBlock(const std::optional<InfoBlockLayout>& block, DxfOutput& output) {
    if (!block) {
        return false;
    }
    std::string& out = output.scratch();
    out.clear();
    AppendCentreLine(out, block->xmin, 0.0, block->xmax, 0.0);
    AppendCentreLine(out, 0.0, block->ymin, 0.0, block->ymax);
    for (int i = 0; i < 3; ++i) {
        AppendText(out, block->xmin, block->textY[i], block->textHeight, block->texts[i]);
    }
    return output.append(out);
}
