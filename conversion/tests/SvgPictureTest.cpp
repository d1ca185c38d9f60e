// A G19 half circle from (60, 0, 0) to (60, 20, 0) about (60, 10, 0), seen from above as X 60 from Y 0 to
// Y 20, with an element of its own or in a path its layer shares beyond the first 100,000 elements.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <numbers>

#include "conversion/SvgPicture.h"
#include "tests/support/TempFolder.h"

namespace {

class SvgPolylineTest : public testing::TestWithParam<int> {};

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
    for (int i = 0; i < GetParam(); ++i) {
        picture.add(rapid);
    }
    picture.add(half);
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
    const std::string warnings = folder.file("warnings");
    EXPECT_EQ(std::system(("rsvg-convert -o " + file + ".png " + file + " 2>" + warnings).c_str()), 0);
    EXPECT_EQ(ReadBytes(warnings), "");
}

INSTANTIATE_TEST_SUITE_P(Elements, SvgPolylineTest, testing::Values(0, 100'000));

}  // namespace
