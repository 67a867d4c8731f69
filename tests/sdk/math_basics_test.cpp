// Point3, Box3 and Interval. (Random's sequence, srand(1) drawing 41, 18467, 6334, ..., is
// pinned in the module's pool tests.)
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "box3.h"
#include "interval.h"
#include "matrix3.h"
#include "point3.h"
#include "support/near.h"

using support::Near;

namespace {

// --- Point3 -----------------------------------------------------------------------------------

struct CrossCase {
    Point3 a, b, cross;
    float dot;
};

class Point3Products : public ::testing::TestWithParam<CrossCase> {};

TEST_P(Point3Products, CrossAndDot) {
    const CrossCase& c = GetParam();
    EXPECT_EQ(CrossProd(c.a, c.b), c.cross);
    EXPECT_EQ(c.a ^ c.b, c.cross);
    EXPECT_EQ(DotProd(c.a, c.b), c.dot);
}

// Right-handed axes: X x Y = Z and cyclically; a vector with itself has no cross product.
INSTANTIATE_TEST_SUITE_P(Point3, Point3Products,
                         ::testing::Values(CrossCase{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0},
                                           CrossCase{{0, 1, 0}, {0, 0, 1}, {1, 0, 0}, 0},
                                           CrossCase{{0, 0, 1}, {1, 0, 0}, {0, 1, 0}, 0},
                                           CrossCase{{0, 1, 0}, {1, 0, 0}, {0, 0, -1}, 0},
                                           CrossCase{{1, 2, 3}, {1, 2, 3}, {0, 0, 0}, 14},
                                           // (1,2,3) x (4,5,6) = (12-15, 12-6, 5-8).
                                           CrossCase{{1, 2, 3}, {4, 5, 6}, {-3, 6, -3}, 32}));

TEST(Point3, NormalizeKeepsZeroVector) {
    EXPECT_TRUE(Near(Normalize(Point3(3, 0, 4)), {0.6f, 0.0f, 0.8f}));
    EXPECT_EQ(Normalize(Point3(0, 0, 0)), Point3(0, 0, 0));
}

// --- Box3 -------------------------------------------------------------------------------------

TEST(Box3, TransformedByEighthTurnGrowsToHoldCorners) {
    // The unit square's corner (1,1) turns onto the Y axis at sqrt2; (1,0) to (c, c), (0,1) to
    // (-c, c) with c = 1/sqrt2.
    const Box3 r =
        Box3(Point3(0, 0, 0), Point3(1, 1, 1)) * RotateZMatrix(PI / 4) * TransMatrix({10, 0, 0});
    const float c = 1 / std::sqrt(2.0f);
    EXPECT_TRUE(Near(r.pmin, {10 - c, 0.0f, 0.0f}));
    EXPECT_TRUE(Near(r.pmax, {10 + c, 2 * c, 1.0f}));
}

// --- Interval ---------------------------------------------------------------------------------

struct IntersectCase {
    std::string name;
    Interval a, b, want;
};

class IntervalIntersection : public ::testing::TestWithParam<IntersectCase> {};

TEST_P(IntervalIntersection, IsTheCommonPart) {
    const IntersectCase& c = GetParam();
    EXPECT_EQ(c.a & c.b, c.want);
    EXPECT_EQ(c.b & c.a, c.want);
    Interval v = c.a;
    v &= c.b;
    EXPECT_EQ(v, c.want);
}

INSTANTIATE_TEST_SUITE_P(
    Interval, IntervalIntersection,
    ::testing::Values(
        IntersectCase{"Overlap", Interval(0, 100), Interval(50, 200), Interval(50, 100)},
        IntersectCase{"TouchingEnds", Interval(0, 100), Interval(100, 200), Interval(100, 100)},
        IntersectCase{"Disjoint", Interval(0, 100), Interval(101, 200), NEVER},
        IntersectCase{"ForeverKeepsOther", FOREVER, Interval(-5, 5), Interval(-5, 5)},
        // Given the wrong way round, the ends are swapped.
        IntersectCase{"SwappedEnds", Interval(100, 0), Interval(50, 200), Interval(50, 100)}),
    support::ByName());

}  // namespace
