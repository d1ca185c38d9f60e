// Polylines in the SVG picture: a G19 half circle from (60, 0, 0) to (60, 20, 0) about (60, 10, 0) is seen
// from above as the segment from (60, 0) to (60, 20), with its own element and its own tight mark, whether
// the picture still gives each entity an element or its layer's entities share paths.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "conversion/SvgPicture.h"
#include "tests/support/TempFolder.h"

namespace {

struct Vertex {
    double x;
    double y;
};

// The "M x y L x y ..." data of every path element of the class.
std::vector<std::vector<Vertex>> PathsOfClass(const std::string& svg, const std::string& layerClass) {
    std::vector<std::vector<Vertex>> paths;
    const std::string marker = "<path class=\"" + layerClass + "\" d=\"";
    for (std::size_t at = svg.find(marker); at != std::string::npos; at = svg.find(marker, at)) {
        at += marker.size();
        const std::size_t end = svg.find('"', at);
        std::vector<Vertex>& path = paths.emplace_back();
        for (const char* p = svg.data() + at; p < svg.data() + end && (*p == 'M' || *p == 'L');) {
            Vertex v{};
            p = std::from_chars(p + 1, svg.data() + end, v.x).ptr;
            p = std::from_chars(p + 1, svg.data() + end, v.y).ptr;
            path.push_back(v);
        }
    }
    return paths;
}

class SvgPolylineTest : public testing::TestWithParam<int> {};

TEST_P(SvgPolylineTest, OnePathThroughTheTopViewOfItsVertices) {
    TempFolder folder;
    const std::string file = folder.file("HALF.svg");
    SvgPicture picture(file, DefaultLayerStyles());
    ASSERT_TRUE(picture.open());
    // Rapid moves inside the polyline's extents, as many as the parameter.
    DrawingEntity rapid{};
    rapid.kind = EntityKind::Line;
    rapid.layer = DrawingLayer::Rapid;
    rapid.start = {1.0, 1.0, 0.0};
    rapid.end = {2.0, 2.0, 0.0};
    for (int i = 0; i < GetParam(); ++i) {
        picture.add(rapid);
    }
    DrawingEntity half{};
    half.kind = EntityKind::Polyline;
    half.layer = DrawingLayer::Compensated;
    half.start = {60.0, 0.0, 0.0};
    half.end = {60.0, 20.0, 0.0};
    half.radius = 10.0;
    half.path = {19, half.start, half.end, 10.0, 0.0, 10.0, std::numbers::pi, -std::numbers::pi};
    picture.add(half);
    picture.markTightArc(half);
    picture.complete(std::nullopt);
    ASSERT_TRUE(picture.completed());

    const std::string svg = ReadBytes(file);
    // X 0..60 and Y 0..20 (the origin included), 3 more on each side; Y is negated.
    EXPECT_NE(svg.find("viewBox=\"-3 -23 66 26\""), std::string::npos);
    for (const char* layerClass : {"comp", "tight"}) {
        SCOPED_TRACE(layerClass);
        const auto paths = PathsOfClass(svg, layerClass);
        ASSERT_EQ(paths.size(), 1u);
        // 180 degrees in steps of 5.
        ASSERT_EQ(paths[0].size(), 37u);
        EXPECT_EQ(paths[0].front().y, 0.0);
        EXPECT_EQ(paths[0].back().y, 20.0);
        for (std::size_t i = 0; i < paths[0].size(); ++i) {
            EXPECT_EQ(paths[0][i].x, 60.0);
            if (i > 0) {
                EXPECT_GT(paths[0][i].y, paths[0][i - 1].y);
            }
        }
    }
    const std::string command =
        "rsvg-convert -o " + folder.file("HALF.png") + " " + file + " 2>" + folder.file("warnings.txt");
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(folder.file("warnings.txt")), "");
}

// Before and after the first hundred thousand elements, beyond which a layer's entities share paths.
INSTANTIATE_TEST_SUITE_P(Elements, SvgPolylineTest, testing::Values(0, 100'000));

}  // namespace
