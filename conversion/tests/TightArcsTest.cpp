// Which inside arcs of a compensated stretch are marked as tighter than the tool (radius 5 here).
#include "conversion/TightArcs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/SString.h"

namespace {

using LineNumbers = std::vector<std::int64_t>;

class MarkedLines : public PictureSink {
public:
    bool add(const DrawingEntity&) override { return true; }
    void markTightArc(const DrawingEntity& arc) override { lines.push_back(arc.fileLine); }
    bool complete(const std::optional<InfoBlockLayout>&) override { return true; }
    LineNumbers lines;
};

// The sorted file lines of the arcs marked when the stretch ends; `arcs` start at line 4.
LineNumbers MarkedArcs(std::vector<std::string> arcs, const std::string& compensation = "G41") {
    arcs.insert(arcs.begin(), {"G90 G00 X0 Y0 Z0", "(T1 DIA10.)", compensation + " D1 G01 X0 Y0 F100"});
    arcs.emplace_back("G40 G01 X0 Y0");
    NcAnalyzer analyzer;
    TightArcs tight;
    MarkedLines picture;
    for (std::int64_t line = 1; line <= static_cast<std::int64_t>(arcs.size()); ++line) {
        analyzer.load(SString(arcs[line - 1]));
        tight.check(analyzer, line, picture);
    }
    std::sort(picture.lines.begin(), picture.lines.end());
    return picture.lines;
}

TEST(TightArcsTest, InsideArcsTighterThanTheToolRadius) {
    // Line 4: radius 5 fits; line 5: radius 4.9 does not; line 6 is an outside arc under G41.
    EXPECT_EQ(MarkedArcs({"G03 X10. R5.", "G03 X18. R4.9", "G02 X26. R4.5"}), LineNumbers{5});
}

TEST(TightArcsTest, UnderG42TheInsideArcsTurnClockwise) {
    EXPECT_EQ(MarkedArcs({"G02 X10. R5.", "G02 X18. R4.9", "G03 X26. R4.5"}, "G42"), LineNumbers{5});
}

TEST(TightArcsTest, TheTightestSurviveMoreWideArcsThanAreKept) {
    // Wide arcs of radius 6 to 55 between the tight ones of lines 4, 4405 and 4406.
    static_assert(TightArcs::kKept < 4400);
    std::vector<std::string> arcs{"G03 X8. R4."};
    for (int i = 0; i < 4400; ++i) {
        arcs.push_back((i % 2 == 0 ? "G03 X10. R" : "G03 X0 R") + std::to_string(6 + i % 50) + ".");
    }
    arcs.insert(arcs.end(), {"G03 X4. R3.", "G03 X0 R2.5"});
    EXPECT_EQ(MarkedArcs(arcs), (LineNumbers{4, 4405, 4406}));
}

}  // namespace
