#include "conversion/BlockDispatch.h"

#include "conversion/BlockOmissions.h"
#include "core/SString.h"
#include "dxf/MotionEntities.h"

std::size_t TrimLine(char* piece, std::size_t length) {
    while (length > 0 && static_cast<unsigned char>(piece[length - 1]) <= 32) {
        --length;
    }
    piece[length] = '\0';
    return length;
}

void ProcessLine(NcAnalyzer& analyzer, ToolReport& report, EntitySink& sink, const char* block,
                 bool startsInComment, std::int64_t fileLine, std::int64_t ncLine, UndrawnCodes& undrawn) {
    // 1. Interpretation, and what the block holds that is not drawn.
    analyzer.setOpenComment(startsInComment);
    analyzer.load(SString(block));
    if (!analyzer.omissions().empty()) {
        NoteOmissions(analyzer.omissions(), fileLine, undrawn);
    }
    // 2. Tool report: tools first, then compensation.
    report.checkTool(analyzer);
    report.checkCompensation(analyzer);
    // 3. Entities. In a canned cycle a block draws its holes and nothing else. Otherwise the predicates
    // follow the modal motion code and exclude each other; an arc that is drawn as a polyline is only that.
    if (analyzer.isCycleActive()) {
        WriteHoles(analyzer, sink, ncLine);
        return;
    }
    if (analyzer.isPolylineArc()) {
        WritePolyline(analyzer, sink, ncLine);
        return;
    }
    if (analyzer.isRapidMode()) {
        WriteRapidLine(analyzer, sink, ncLine);
    }
    if (analyzer.isFeedMode()) {
        WriteFeedLine(analyzer, sink, ncLine);
    }
    if (analyzer.isPartialArc()) {
        WriteArc(analyzer, sink, ncLine);
    }
    if (analyzer.isFullCircle()) {
        WriteCircle(analyzer, sink, ncLine);
    }
}
