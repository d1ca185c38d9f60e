#include "conversion/TightArcs.h"

#include <algorithm>

#include "dxf/MotionEntities.h"

bool TightArcs::narrower(const Candidate& a, const Candidate& b) {
    return a.arc.radius < b.arc.radius;
}

void TightArcs::reset() {
    lastD_ = 0;
    candidates_.clear();
}

void TightArcs::check(const NcAnalyzer& analyzer, std::int64_t fileLine, PictureSink& picture) {
    const int d = analyzer.compensationD();
    if (d != lastD_) {
        if (lastD_ != 0) {
            markStretch(analyzer, picture);
        }
        lastD_ = d;
        candidates_.clear();
        return;
    }
    // The same lines the report takes its minima from: every arc move of an open stretch.
    const int motion = analyzer.motionCode();
    if (lastD_ != 0 && analyzer.isArcMove() && (motion == 2 || motion == 3)) {
        keep({motion, ArcMoveEntity(analyzer, fileLine)});
    }
}

void TightArcs::keep(const Candidate& candidate) {
    if (candidates_.size() < kKept) {
        candidates_.push_back(candidate);
        if (candidates_.size() == kKept) {
            std::make_heap(candidates_.begin(), candidates_.end(), narrower);
        }
        return;
    }
    if (candidate.arc.radius < candidates_.front().arc.radius) {
        std::pop_heap(candidates_.begin(), candidates_.end(), narrower);
        candidates_.back() = candidate;
        std::push_heap(candidates_.begin(), candidates_.end(), narrower);
    }
}

void TightArcs::markStretch(const NcAnalyzer& analyzer, PictureSink& picture) const {
    const int code = analyzer.compensationCode();
    const int inside = code == 41 ? 3 : code == 42 ? 2 : 0;
    const double toolRadius = analyzer.toolDiameter() * 0.5;
    if (inside == 0 || toolRadius == 0.0) {
        return;
    }
    for (const Candidate& candidate : candidates_) {
        if (candidate.motionCode == inside && candidate.arc.radius < toolRadius) {
            picture.markTightArc(candidate.arc);
        }
    }
}
