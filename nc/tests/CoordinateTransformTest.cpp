// The map from program to drawing coordinates, on points worked out by hand.
#include "nc/CoordinateTransform.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PointCase {
    const char* name;
    CoordinateTransform transform;
    Point3 point;
    Point3 expected;
};

void PrintTo(const PointCase& c, std::ostream* out) {
    *out << c.name;
}

class TransformPoints : public testing::TestWithParam<PointCase> {};

TEST_P(TransformPoints, MapAndMapBack) {
    const PointCase& c = GetParam();
    const Point3 mapped = c.transform.apply(c.point);
    EXPECT_NEAR(mapped.x, c.expected.x, 1e-12);
    EXPECT_NEAR(mapped.y, c.expected.y, 1e-12);
    EXPECT_NEAR(mapped.z, c.expected.z, 1e-12);
    const Point3 back = c.transform.inverse().apply(mapped);
    EXPECT_NEAR(back.x, c.point.x, 1e-9);
    EXPECT_NEAR(back.y, c.point.y, 1e-9);
    EXPECT_NEAR(back.z, c.point.z, 1e-9);
}

const CoordinateTransform kMirrorX = CoordinateTransform::scaling({5.0, 0.0, 0.0}, {-1.0, 1.0, 1.0});
const CoordinateTransform kTwiceAboutZ10 = CoordinateTransform::scaling({0.0, 0.0, 10.0}, {2.0, 2.0, 2.0});
const CoordinateTransform kQuarterAbout10 = CoordinateTransform::rotation(17, {10.0, 0.0, 0.0}, 90.0);

INSTANTIATE_TEST_SUITE_P(
    Transforms, TransformPoints,
    testing::Values(PointCase{"Identity", {}, {1.0, 2.0, 3.0}, {1.0, 2.0, 3.0}},
                    PointCase{"Shift", CoordinateTransform::shift({1.0, -2.0, 3.0}), {1.0, 1.0, 1.0}, {2.0, -1.0, 4.0}},
                    PointCase{"MirrorAboutX5", kMirrorX, {8.0, 1.0, 0.0}, {2.0, 1.0, 0.0}},
                    // Z scales about the tool's Z of 10 too: -5 is 15 below it, drawn 30 below.
                    PointCase{"ScalingWithLevels", kTwiceAboutZ10, {10.0, 5.0, -5.0}, {20.0, 10.0, -20.0}},
                    PointCase{"QuarterTurnAboutACentre", kQuarterAbout10, {20.0, 0.0, 7.0}, {10.0, 10.0, 7.0}},
                    PointCase{"ThirtyDegrees", CoordinateTransform::rotation(17, {}, 30.0), {2.0, 0.0, 0.0},
                              {1.7320508075688772, 1.0, 0.0}},
                    // G18 turns from Z toward X: X goes to -Z.
                    PointCase{"QuarterTurnInG18", CoordinateTransform::rotation(18, {}, 90.0), {1.0, 0.0, 0.0},
                              {0.0, 0.0, -1.0}},
                    PointCase{"QuarterTurnInG19", CoordinateTransform::rotation(19, {}, 90.0), {0.0, 1.0, 0.0},
                              {0.0, 0.0, 1.0}},
                    // Mirrored to 2, scaled about the origin to 4, turned a quarter to Y4, shifted by (1, 1).
                    PointCase{"InTheirOrder",
                              kMirrorX.then(CoordinateTransform::scaling({}, {2.0, 2.0, 1.0}))
                                  .then(CoordinateTransform::rotation(17, {}, 90.0))
                                  .then(CoordinateTransform::shift({1.0, 1.0, 0.0})),
                              {8.0, 0.0, 0.0}, {1.0, 5.0, 0.0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CoordinateTransform, ArcsInEachPlane) {
    const CoordinateTransform mirrorX = CoordinateTransform::scaling({}, {-1.0, 1.0, 1.0});
    EXPECT_TRUE(mirrorX.mirrors(17));
    EXPECT_TRUE(mirrorX.mirrors(18));
    EXPECT_FALSE(mirrorX.mirrors(19));
    const CoordinateTransform bothAxes = CoordinateTransform::scaling({}, {-1.0, -1.0, 1.0});
    EXPECT_FALSE(bothAxes.mirrors(17)) << "a mirror in both axes turns arcs as written";
    const CoordinateTransform unequal = CoordinateTransform::scaling({}, {-3.0, 2.0, 2.0});
    EXPECT_FALSE(unequal.keepsCircles(17));
    EXPECT_TRUE(unequal.keepsCircles(19));
    EXPECT_EQ(unequal.radiusFactor(17), 3.0);
    EXPECT_EQ(unequal.radiusFactor(19), 2.0);
    EXPECT_TRUE(CoordinateTransform::rotation(17, {5.0, 5.0, 0.0}, 33.0).keepsCircles(17));
}

TEST(CoordinateTransform, AFactorOfZeroCannotBeUndone) {
    const CoordinateTransform flat = CoordinateTransform::scaling({}, {0.0, 1.0, 1.0});
    EXPECT_TRUE(flat.inverse().isIdentity());
    EXPECT_FALSE(flat.isIdentity());
}

}  // namespace
