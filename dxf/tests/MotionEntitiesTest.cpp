#include "dxf/MotionEntities.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "dxf/DxfEntityWriter.h"
#include "dxf/tests/WriterTest.h"
#include "tests/support/RecordingSink.h"

namespace {

using Writer = bool (*)(const NcAnalyzer&, EntitySink&, std::int64_t);

TEST_F(WriterTest, FeedLineStartsWhereTheMoveEnds) {
    feed({"G00 Z5.", "G01 X10. F100."});
    ASSERT_TRUE(analyzer.isFeedMode());
    EXPECT_TRUE(WriteFeedLine(analyzer, dxf, 1));
    EXPECT_EQ(written(), CrLfLines({"LINE", "8", kUncompensatedLayer, "10", "10", "20", "0", "30", "5", "11",
                                    "0", "21", "0", "31", "5", "0"}));
}

struct LineCase {
    const char* label;
    std::vector<std::string_view> program;
    Writer writer;
    std::string expected;  // empty: nothing written
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.label;
}

class LineWriterTest : public WriterTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineWriterTest, WritesTheMoveOrNothing) {
    feed(GetParam().program);
    EXPECT_EQ(GetParam().writer(analyzer, dxf, 1), !GetParam().expected.empty());
    EXPECT_EQ(written(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, LineWriterTest,
    ::testing::Values(
        LineCase{"RapidMove",
                 {"G00 X10. Y20. Z5."},
                 WriteRapidLine,
                 CrLfLines({"LINE", "8", kRapidLayer, "10", "10", "20", "20", "30", "5", "11", "0", "21", "0",
                            "31", "0", "0"})},
        LineCase{"RapidRepeatingThePosition", {"G00 X3. Y4. Z5.", "G00 X3. Y4. Z5."}, WriteRapidLine, ""},
        LineCase{"RapidBlockWithoutAxes", {"G00 X3. Y4. Z5.", "G00"}, WriteRapidLine, ""},
        LineCase{"FeedAlongZOnly",
                 {"G01 Z-5. F100."},
                 WriteFeedLine,
                 CrLfLines({"LINE", "8", kUncompensatedLayer, "10", "0", "20", "0", "30", "-5", "11", "0",
                            "21", "0", "31", "0", "0"})},
        LineCase{"FeedOfZeroLength", {"G01 X0. F100."}, WriteFeedLine, ""},
        LineCase{"FeedWithCompensation",
                 {"G00 X-4. Y1.5 Z-1.", "G41 D1 G01 X10. Y-2.5 F100."},
                 WriteFeedLine,
                 CrLfLines({"LINE", "8", kCompensatedLayer, "10", "10", "20", "-2.5", "30", "-1", "11", "-4",
                            "21", "1.5", "31", "-1", "0"})},
        LineCase{"FeedAfterCompensationIsCancelled",
                 {"G41 D1 G01 X10. F100.", "G40 X20."},
                 WriteFeedLine,
                 CrLfLines({"LINE", "8", kUncompensatedLayer, "10", "20", "20", "0", "30", "0", "11", "10",
                            "21", "0", "31", "0", "0"})},
        LineCase{"RapidWhileCompensationIsOn",
                 {"G41 D1", "G00 X7."},
                 WriteRapidLine,
                 CrLfLines({"LINE", "8", kRapidLayer, "10", "7", "20", "0", "30", "0", "11", "0", "21", "0",
                            "31", "0", "0"})}),
    [](const auto& info) { return std::string(info.param.label); });

struct ArcCase {
    const char* label;
    std::vector<std::string_view> program;
    std::string expected;
};

void PrintTo(const ArcCase& c, std::ostream* os) {
    *os << c.label;
}

class ArcWriterTest : public WriterTest, public ::testing::WithParamInterface<ArcCase> {};

TEST_P(ArcWriterTest, WritesTheArcCounterClockwise) {
    feed(GetParam().program);
    ASSERT_TRUE(analyzer.isPartialArc());
    EXPECT_TRUE(WriteArc(analyzer, dxf, 1));
    EXPECT_EQ(written(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Arcs, ArcWriterTest,
    ::testing::Values(
        // The end angle 0 is held as 360 degrees; clockwise, the angles are exchanged. Z is that of the
        // last linear move.
        ArcCase{"ClockwiseFrom90To0",
                {"G00 X0. Y10. Z5.", "G01 Z-2. F100.", "G02 X10. Y0. I0. J-10."},
                CrLfLines({"ARC", "8", kUncompensatedLayer, "10", "0", "20", "0", "30", "-2", "40", "10",
                           "50", "360", "51", "90", "0"})},
        ArcCase{"CounterClockwiseFrom0To90",
                {"G00 X10. Y0.", "G03 X0. Y10. I-10. J0."},
                CrLfLines({"ARC", "8", kUncompensatedLayer, "10", "0", "20", "0", "30", "0", "40", "10", "50",
                           "0", "51", "90", "0"})},
        ArcCase{"CounterClockwiseWithCompensation",
                {"G41 D1", "G00 X15. Y5. Z3.", "G03 X5. Y15. I-10. J0."},
                CrLfLines({"ARC", "8", kCompensatedLayer, "10", "5", "20", "5", "30", "3", "40", "10", "50",
                           "0", "51", "90", "0"})}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(WriterTest, FullCircleAtTheLastLinearZ) {
    feed({"G00 X10. Y0. Z-1.", "G02 X10. Y0. I-10. J0."});
    ASSERT_TRUE(analyzer.isFullCircle());
    EXPECT_TRUE(WriteCircle(analyzer, dxf, 1));
    EXPECT_EQ(written(), CrLfLines({"CIRCLE", "8", kUncompensatedLayer, "10", "0", "20", "0", "30", "-1",
                                    "40", "10", "0"}));
}

TEST_F(WriterTest, FullCircleWithCompensation) {
    feed({"G42 D2 G01 X30. Y20. F100.", "G03 I-5. J0."});
    ASSERT_TRUE(analyzer.isFullCircle());
    EXPECT_TRUE(WriteCircle(analyzer, dxf, 1));
    EXPECT_EQ(written(), CrLfLines({"CIRCLE", "8", kCompensatedLayer, "10", "25", "20", "20", "30", "0", "40",
                                    "5", "0"}));
}

struct HoleCase {
    const char* label;
    const char* cycle;   // the cycle words of the hole block
    const char* bottom;  // the hole's Z, as written in the block and in the file
    const char* radius;  // the expected circle radius
};

void PrintTo(const HoleCase& c, std::ostream* os) {
    *os << c.label;
}

class CycleMarksTest : public WriterTest, public ::testing::WithParamInterface<HoleCase> {};

// A 10 mm tool; a drill point is 1.6643 wide in radius per unit of depth, so a hole 2 deep gets 3.3286.
TEST_P(CycleMarksTest, MarksTheHoleFromRLevelToBottom) {
    const HoleCase& hole = GetParam();
    const std::string block = std::string("G98 ") + hole.cycle + " X20. Y30. Z" + hole.bottom + ". R3. F100.";
    feed({"(T1 DIA10.0)", "G00 Z50.", block});
    ASSERT_TRUE(analyzer.isCycleActive());
    EXPECT_TRUE(WriteHoles(analyzer, dxf, 1));
    EXPECT_EQ(written(), CrLfLines({"LINE", "8", kRapidLayer, "10", "20", "20", "30", "30", "50", "11", "0",
                                    "21", "0", "31", "50", "0"}) +
                             CrLfLines({"LINE", "8", kRapidLayer, "10", "20", "20", "30", "30", "3", "11",
                                        "20", "21", "30", "31", "50", "0"}) +
                             CrLfLines({"LINE", "8", kCannedCycleLayer, "10", "20", "20", "30", "30", "3",
                                        "11", "20", "21", "30", "31", hole.bottom, "0"}) +
                             CrLfLines({"CIRCLE", "8", kCannedCycleLayer, "10", "20", "20", "30", "30",
                                        hole.bottom, "40", hole.radius, "0"}));
}

INSTANTIATE_TEST_SUITE_P(Holes, CycleMarksTest,
                         ::testing::Values(HoleCase{"Drill", "G81", "-2", "3.3286"},
                                           HoleCase{"PeckDrill", "G83 Q1.", "-2", "3.3286"},
                                           HoleCase{"HighSpeedPeckDrill", "G73 Q1.", "-2", "3.3286"},
                                           HoleCase{"Tap", "G84", "-2", "5"},
                                           HoleCase{"Bore", "G85", "-2", "5"},
                                           HoleCase{"DeepDrillKeepsTheToolRadius", "G81", "-10", "5"},
                                           HoleCase{"DrillBottomAboveZero", "G81", "2", "3.3286"},
                                           HoleCase{"DrillAtZeroDepth", "G81", "0", "0"}),
                         [](const auto& info) { return std::string(info.param.label); });

// Under G99 the first hole comes down from the initial level, the second from the R level it returned to; a
// G91 row steps by the block's increments.
TEST_F(WriterTest, RowOfHolesUnderG99) {
    feed({"G00 X10. Z50.", "G91 G99 G82 X-5. Y7.5 Z-5. R-49. K2 F100."});
    ASSERT_TRUE(analyzer.isCycleActive());
    EXPECT_TRUE(WriteHoles(analyzer, dxf, 1));
    const std::string secondHole =
        CrLfLines({"LINE", "8", kRapidLayer, "10", "0", "20", "15", "30", "1", "11", "5", "21", "7.5", "31",
                   "1", "0"}) +
        CrLfLines({"LINE", "8", kRapidLayer, "10", "0", "20", "15", "30", "1", "11", "0", "21", "15", "31",
                   "1", "0"}) +
        CrLfLines({"LINE", "8", kCannedCycleLayer, "10", "0", "20", "15", "30", "1", "11", "0", "21", "15",
                   "31", "-4", "0"}) +
        CrLfLines({"CIRCLE", "8", kCannedCycleLayer, "10", "0", "20", "15", "30", "-4", "40", "0", "0"});
    EXPECT_EQ(written(), CrLfLines({"LINE", "8", kRapidLayer, "10", "5", "20", "7.5", "30", "50", "11", "10",
                                    "21", "0", "31", "50", "0"}) +
                             CrLfLines({"LINE", "8", kRapidLayer, "10", "5", "20", "7.5", "30", "1", "11", "5",
                                        "21", "7.5", "31", "50", "0"}) +
                             CrLfLines({"LINE", "8", kCannedCycleLayer, "10", "5", "20", "7.5", "30", "1",
                                        "11", "5", "21", "7.5", "31", "-4", "0"}) +
                             CrLfLines({"CIRCLE", "8", kCannedCycleLayer, "10", "5", "20", "7.5", "30", "-4",
                                        "40", "0", "0"}) +
                             secondHole);
}

// The G19 half circle from (60, 0, 0) to (60, 20, 0) about Y 10 turns clockwise seen from +X: over Z 10, in
// 36 steps of 5 degrees, all at X 60.
TEST_F(WriterTest, ArcOutOfTheXyPlaneIsA3dPolylineWhereTheMachineMoves) {
    feed({"G00 X60.", "G19 G02 Y20. Z0 J10. F100"});
    ASSERT_TRUE(analyzer.isPolylineArc());
    EXPECT_TRUE(WritePolyline(analyzer, dxf, 1));
    const std::string text = written();
    const auto vertex = [](const char* y, const char* z) {
        return CrLfLines({"VERTEX", "8", kUncompensatedLayer, "10", "60", "20", y, "30", z, "70", "32", "0"});
    };
    const std::string head = CrLfLines({"POLYLINE", "8", kUncompensatedLayer, "66", "1", "10", "0", "20", "0",
                                        "30", "0", "70", "8", "0"});
    const std::string tail = CrLfLines({"SEQEND", "8", kUncompensatedLayer, "0"});
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_EQ(text.substr(head.size(), vertex("0", "0").size()), vertex("0", "0"));
    EXPECT_NE(text.find(vertex("10", "10")), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - tail.size() - vertex("20", "0").size()), vertex("20", "0") + tail);
    std::size_t vertices = 0;
    for (std::size_t at = text.find("VERTEX"); at != std::string::npos; at = text.find("VERTEX", at + 1)) {
        ++vertices;
        EXPECT_EQ(text.compare(text.find("\r\n70\r\n", at), 10, "\r\n70\r\n32\r\n"), 0);
        EXPECT_EQ(text.compare(text.find("\r\n10\r\n", at), 10, "\r\n10\r\n60\r\n"), 0);
    }
    EXPECT_EQ(vertices, 37u);
}

TEST_F(WriterTest, EntitiesFollowEachOtherInOneFile) {
    feed({"G00 X10."});
    EXPECT_TRUE(WriteRapidLine(analyzer, dxf, 1));
    feed({"G01 Y5. F100."});
    EXPECT_TRUE(WriteFeedLine(analyzer, dxf, 1));
    EXPECT_EQ(written(), CrLfLines({"LINE", "8", kRapidLayer, "10", "10", "20", "0", "30", "0", "11", "0",
                                    "21", "0", "31", "0", "0"}) +
                             CrLfLines({"LINE", "8", kUncompensatedLayer, "10", "10", "20", "5", "30", "0",
                                        "11", "10", "21", "0", "31", "0", "0"}));
}

TEST_F(WriterTest, WriterReportsFalseWhenTheOutputCannotBeCreated) {
    RecordingSink sink;
    DxfOutput nowhere(folder.file("missing/OUT.DXF"));
    feed({"G00 X10."});
    DxfEntityWriter writer(nowhere);
    EXPECT_FALSE(WriteRapidLine(analyzer, writer, 1));
    EXPECT_EQ(sink.shown,
              (std::vector<ShownMessage>{{"File Open Error", "No Open " + folder.file("missing/OUT.DXF") +
                                                                 ": " + std::strerror(ENOENT)}}));
}

}  // namespace
