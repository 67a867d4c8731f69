// The proxy reach estimate from its inputs, worked by hand on a straight path.
#include <gtest/gtest.h>

#include "display/proxy_bounds.h"
#include "matrix3.h"
#include "support/near.h"

using namespace trellon;

namespace {

using support::Near;

// The reach estimate on the same path in the path's space: a copy reaches r s from its point
// on the path, moved sideways by the mitred offset and up or down by its heights.
TEST(ReachEstimateTest, CopiesReachTheirSizeAndOffsetsFromThePath) {
    trellon::ReachEstimate in;
    in.path = Box3(Point3(0, 0, 0), Point3(100, 0, 0));
    in.anyItem = true;
    in.itemReach = 2;
    in.scale = 1.5f;   // r s = 3
    in.sideways = 10;  // at a right-angle mitre: 10 sqrt 2 = 14.142
    in.mitre = 1.41421356f;
    in.up = 4;
    in.down = 1;
    EXPECT_TRUE(Near(trellon::ReachBox(in),
                     Box3(Point3(-17.1421f, -17.1421f, -4.0f), Point3(117.1421f, 17.1421f, 7.0f))))
        << "no roll";
    // A roll turns offsets and heights any way across the path: every side by 3 + 14.142 + 4.
    in.roll = true;
    EXPECT_TRUE(Near(trellon::ReachBox(in), Box3(Point3(-21.1421f, -21.1421f, -21.1421f),
                                                 Point3(121.1421f, 21.1421f, 21.1421f))))
        << "roll";
    // Carried into the object's space: the path node turned a quarter about Z and 5 up.
    in.roll = false;
    in.objectFromPath = RotateZMatrix(HALFPI);
    in.objectFromPath.SetTrans(Point3(0, 0, 5));
    EXPECT_TRUE(Near(trellon::ReachBox(in),
                     Box3(Point3(-17.1421f, -17.1421f, 1.0f), Point3(17.1421f, 117.1421f, 12.0f))))
        << "turned path";
}

}  // namespace
