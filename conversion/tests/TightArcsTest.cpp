// Which arcs of a compensated stretch are marked as tighter than the tool (radius 5 here).
#include "conversion/TightArcs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/SString.h"

namespace {

class MarkedLines : public PictureSink {
public:
    bool add(const DrawingEntity&) override { return true; }
    void markTightArc(const DrawingEntity& arc) override { lines.push_back(arc.fileLine); }
    void complete(const std::optional<InfoBlockLayout>&) override {}
    std::vector<std::int64_t> lines;
};

// The file lines of the arcs marked when the stretch that `arcs` open ends, counted from line 1 of `lines`.
std::vector<std::int64_t> MarkedArcs(const std::vector<std::string>& arcs) {
    std::vector<std::string> lines{"G90 G00 X0 Y0 Z0", "(T1 DIA10.)", "G41 D1 G01 X0 Y0 F100"};
    lines.insert(lines.end(), arcs.begin(), arcs.end());
    lines.emplace_back("G40 G01 X0 Y0");
    NcAnalyzer analyzer;
    TightArcs tight;
    tight.reset();
    MarkedLines picture;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        analyzer.load(SString(lines[i]));
        tight.check(analyzer, static_cast<std::int64_t>(i + 1), picture);
    }
    return picture.lines;
}

TEST(TightArcsTest, InsideArcsTighterThanTheToolRadius) {
    // Line 4: radius 5 fits; line 5: radius 4.9 does not; line 6 is an outside arc under G41.
    EXPECT_EQ(MarkedArcs({"G03 X10. R5.", "G03 X18. R4.9", "G02 X26. R4.5"}), std::vector<std::int64_t>{5});
}

TEST(TightArcsTest, TheTightestSurviveMoreWideArcsThanAreKept) {
    // More wide arcs (radius 6 to 55) than TightArcs::kKept, between the tight arcs of lines 4, 4405 and
    // 4406.
    static_assert(TightArcs::kKept < 4400);
    std::vector<std::string> arcs{"G03 X8. R4."};
    for (int i = 0; i < 4400; ++i) {
        arcs.push_back((i % 2 == 0 ? "G03 X10. R" : "G03 X0 R") + std::to_string(6 + i % 50) + ".");
    }
    arcs.insert(arcs.end(), {"G03 X4. R3.", "G03 X0 R2.5"});
    std::vector<std::int64_t> marked = MarkedArcs(arcs);
    std::sort(marked.begin(), marked.end());
    EXPECT_EQ(marked, (std::vector<std::int64_t>{4, 4405, 4406}));
}

}  // namespace
