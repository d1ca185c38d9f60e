// A G19 half circle from (60, 0, 0) to (60, 20, 0) about (60, 10, 0), seen from above as X 60 from Y 0 to
// Y 20, and a hole of radius 5 at (30, 10), with an element of their own or in a path their layer shares
// beyond the first 100,000 elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <numbers>
#include <ostream>

#include "conversion/SvgPicture.h"
#include "tests/support/TempFolder.h"

namespace {

struct PictureCase {
    int rapids;        // elements before the polyline and the hole
    const char* hole;  // the hole's element
};

void PrintTo(const PictureCase& c, std::ostream* os) {
    *os << c.rapids << " elements before";
}

class SvgPolylineTest : public testing::TestWithParam<PictureCase> {};

TEST_P(SvgPolylineTest, OnePathOfItsLayerThroughTheTopViewOfItsVertices) {
    TempFolder folder;
    const std::string file = folder.file("HALF.svg");
    SvgPicture picture(file, DefaultLayerStyles());
    ASSERT_TRUE(picture.open());
    const DrawingEntity rapid{};  // a rapid move of no length at the origin
    DrawingEntity half{};
    half.kind = EntityKind::Polyline;
    half.layer = DrawingLayer::Compensated;
    half.path = {19, {60, 0, 0}, {60, 20, 0}, 10, 0, 10, std::numbers::pi, -std::numbers::pi};
    DrawingEntity hole{};
    hole.kind = EntityKind::Circle;
    hole.layer = DrawingLayer::CannedCycle;
    hole.centre = {30, 10, -2};
    hole.radius = 5;
    for (int i = 0; i < GetParam().rapids; ++i) {
        picture.add(rapid);
    }
    picture.add(half);
    picture.add(hole);
    picture.markTightArc(half);
    picture.complete(std::nullopt);
    const std::string svg = ReadBytes(file);
    // X 0..60 and Y 0..20 and 3 more on each side, Y negated.
    EXPECT_NE(svg.find("viewBox=\"-3 -23 66 26\""), std::string::npos);
    for (const std::string layerClass : {"comp", "tight"}) {
        const std::string element = "<path class=\"" + layerClass + "\" d=\"";
        const std::size_t at = svg.find(element);
        ASSERT_NE(at, std::string::npos);
        EXPECT_EQ(svg.find(element, at + 1), std::string::npos);
        std::vector<double> ys;
        for (const char* p = svg.data() + at + element.size(); *p == 'M' || *p == 'L';) {
            double x = 0.0;
            p = std::from_chars(p + 1, svg.data() + svg.size(), x).ptr;
            EXPECT_EQ(x, 60.0);
            p = std::from_chars(p + 1, svg.data() + svg.size(), ys.emplace_back()).ptr;
        }
        ASSERT_EQ(ys.size(), 37u);  // 180 degrees in steps of 5
        EXPECT_TRUE(std::is_sorted(ys.begin(), ys.end()));
        EXPECT_EQ(std::vector<double>({ys.front(), ys.back()}), std::vector<double>({0, 20}));
    }
    EXPECT_NE(svg.find(GetParam().hole), std::string::npos);
    // Rapid moves are dashed, cutting moves solid.
    const auto style = [&svg](const std::string& layerClass) {
        const std::size_t at = svg.find("." + layerClass + "{");
        return at == std::string::npos ? std::string() : svg.substr(at, svg.find('}', at) - at);
    };
    EXPECT_NE(style("rapid").find("stroke-dasharray"), std::string::npos);
    EXPECT_EQ(style("comp").find("stroke-dasharray"), std::string::npos);
    const std::string warnings = folder.file("warnings");
    EXPECT_EQ(std::system(("rsvg-convert -o " + file + ".png " + file + " 2>" + warnings).c_str()), 0);
    EXPECT_EQ(ReadBytes(warnings), "");
}

// The shared path goes round the hole in two half turns from its point at 0 degrees.
INSTANTIATE_TEST_SUITE_P(
    Elements, SvgPolylineTest,
    testing::Values(PictureCase{0, "<circle class=\"cycle\" cx=\"30\" cy=\"10\" r=\"5\"/>"},
                    PictureCase{100'000,
                                "<path class=\"cycle\" d=\"M35 10 A5 5 0 0 1 25 10 A5 5 0 0 1 35 10\"/>"}));

}  // namespace
