// Finds the arcs behind the report's "確認！工具φ": in a compensated stretch, the inside arcs (G03 under
// G41, G02 under G42) whose radius is smaller than half the tool diameter. Like the report, it decides when
// the stretch ends, with the compensation code and tool diameter read then, so it keeps the stretch's arcs
// until that moment: at most kKept of them, the tightest, so that a stretch of millions of arcs costs no
// more memory than a short one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "conversion/PictureSink.h"
#include "dxf/DrawingEntity.h"
#include "nc/NcAnalyzer.h"

class TightArcs {
public:
    static constexpr std::size_t kKept = 4096;

    // Every run starts with no stretch open.
    void reset();
    // After every line has been dispatched: follows the stretches and marks the tight arcs of one that ends.
    void check(const NcAnalyzer& analyzer, std::int64_t fileLine, PictureSink& picture);

private:
    struct Candidate {
        int motionCode;
        DrawingEntity arc;
    };

    // The heap order: the widest arc kept comes first.
    static bool narrower(const Candidate& a, const Candidate& b);
    void keep(const Candidate& candidate);
    void markStretch(const NcAnalyzer& analyzer, PictureSink& picture) const;

    int lastD_ = 0;
    std::vector<Candidate> candidates_;  // a heap once it is full
};
