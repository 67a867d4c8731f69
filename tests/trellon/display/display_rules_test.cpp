// The dispatcher's choice and order of drawers, and the proxy box estimate from its inputs.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/display_dispatch.h"
#include "display/proxy_bounds.h"
#include "iparamb2.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"

namespace {

using trellon::ProxyDrawer;

struct DeleteObject {
    void operator()(Trellon* t) const { t->DeleteMe(); }
};

struct DrawerCase {
    int ends, posts, sweeps, pattern;
    std::vector<ProxyDrawer> drawers;
};

class DispatcherOrder : public testing::TestWithParam<DrawerCase> {};

TEST_P(DispatcherOrder, RunsTheListsThatHaveEntriesInOrder) {
    const DrawerCase& c = GetParam();
    std::unique_ptr<Trellon, DeleteObject> object(
        static_cast<Trellon*>(GetTrellonDesc()->Create(FALSE)));
    IParamBlock2* pb = object->GetParamBlock(0);
    object->Ready = 0;
    INode* none = nullptr;
    for (int i = 0; i < c.ends; ++i) pb->Append(End_Nodes, 1, &none);
    for (int i = 0; i < c.posts; ++i) pb->Append(Post_Nodes, 1, &none);
    for (int i = 0; i < c.sweeps; ++i) pb->Append(Sweep_Nodes, 1, &none);
    pb->SetValue(Geo_Pattern, 0, c.pattern);
    EXPECT_EQ(trellon::DisplayDrawers(*pb, 0), c.drawers);
}

INSTANTIATE_TEST_SUITE_P(
    Lists, DispatcherOrder,
    testing::Values(
        // Ends first, then the posts (which carry the objects), then the sweeps.
        DrawerCase{1, 2, 1, 2, {ProxyDrawer::Ends, ProxyDrawer::Posts, ProxyDrawer::Sweeps}},
        // Without posts the pattern chooses: 2 per object, 0 and 1 the sequence.
        DrawerCase{0, 0, 0, 2, {ProxyDrawer::PerObject}},
        DrawerCase{0, 0, 0, 0, {ProxyDrawer::Sequence}},
        DrawerCase{0, 0, 2, 1, {ProxyDrawer::Sequence, ProxyDrawer::Sweeps}},
        DrawerCase{3, 0, 0, 2, {ProxyDrawer::Ends, ProxyDrawer::PerObject}}));

// The size estimate on a path box from (0, 0, 0) to (100, 0, 0), worked by hand.
struct SizeCase {
    const char* what;
    void (*edit)(trellon::SizeEstimate&);
    Box3 expected;
};

void ExpectBox(const Box3& b, const Box3& want, const char* what) {
    EXPECT_NEAR(b.pmin.x, want.pmin.x, 1e-4f) << what;
    EXPECT_NEAR(b.pmin.y, want.pmin.y, 1e-4f) << what;
    EXPECT_NEAR(b.pmin.z, want.pmin.z, 1e-4f) << what;
    EXPECT_NEAR(b.pmax.x, want.pmax.x, 1e-4f) << what;
    EXPECT_NEAR(b.pmax.y, want.pmax.y, 1e-4f) << what;
    EXPECT_NEAR(b.pmax.z, want.pmax.z, 1e-4f) << what;
}

class SizeEstimateTest : public testing::TestWithParam<SizeCase> {};

TEST_P(SizeEstimateTest, GrowsThePathsWorldBox) {
    trellon::SizeEstimate in;
    in.path = Box3(Point3(0, 0, 0), Point3(100, 0, 0));
    in.scaleAll = 0.99f;  // s = 0.01 + 0.99 = 1
    GetParam().edit(in);
    ExpectBox(trellon::SizeEstimateBox(in), GetParam().expected, GetParam().what);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SizeEstimateTest,
    testing::Values(SizeCase{"path alone", [](trellon::SizeEstimate&) {},
                             Box3(Point3(0, 0, 0), Point3(100, 0, 0))},
                    // Height 10 at s = 2: Z by 20 on both sides; X and Y keep the path's box.
                    SizeCase{"item height scaled",
                             [](trellon::SizeEstimate& in) {
                                 in.itemHeight = 10;
                                 in.scaleAll = 1.99f;
                             },
                             Box3(Point3(0, 0, -20), Point3(100, 0, 20))},
                    // Sweep size 4: X and Y by 4, Z by h s + 4 = 4.
                    SizeCase{"sweep size", [](trellon::SizeEstimate& in) { in.sweepSize = 4; },
                             Box3(Point3(-4, -4, -4), Point3(104, 4, 4))},
                    // Heights: the top by up, the bottom by down, X and Y untouched.
                    SizeCase{"heights",
                             [](trellon::SizeEstimate& in) {
                                 in.up = 10;
                                 in.down = 5;
                             },
                             Box3(Point3(0, 0, -5), Point3(100, 0, 10))},
                    // The largest sideways offset, 30: X and Y by 30.
                    SizeCase{"sideways", [](trellon::SizeEstimate& in) { in.sideways = 30; },
                             Box3(Point3(-30, -30, 0), Point3(130, 30, 0))},
                    // The mesh's box (W) joins the path's before growing.
                    SizeCase{"mesh joined",
                             [](trellon::SizeEstimate& in) {
                                 in.mesh = Box3(Point3(-1, -2, -3), Point3(1, 2, 3));
                                 in.sweepSize = 1;
                             },
                             Box3(Point3(-2, -3, -4), Point3(101, 3, 4))},
                    // Items below the ground count as height 0: the box never shrinks.
                    SizeCase{"no negative height",
                             [](trellon::SizeEstimate& in) { in.itemHeight = -7; },
                             Box3(Point3(0, 0, 0), Point3(100, 0, 0))}),
    [](const testing::TestParamInfo<SizeCase>& p) {
        std::string name = p.param.what;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

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
    ExpectBox(trellon::ReachBox(in),
              Box3(Point3(-17.1421f, -17.1421f, -4.0f), Point3(117.1421f, 17.1421f, 7.0f)),
              "no roll");
    // A roll turns offsets and heights any way across the path: every side by 3 + 14.142 + 4.
    in.roll = true;
    ExpectBox(trellon::ReachBox(in),
              Box3(Point3(-21.1421f, -21.1421f, -21.1421f), Point3(121.1421f, 21.1421f, 21.1421f)),
              "roll");
    // Carried into the object's space: the path node turned a quarter about Z and 5 up.
    in.roll = false;
    in.pathToObject = RotateZMatrix(HALFPI);
    in.pathToObject.SetTrans(Point3(0, 0, 5));
    ExpectBox(trellon::ReachBox(in),
              Box3(Point3(-17.1421f, -17.1421f, 1.0f), Point3(17.1421f, 117.1421f, 12.0f)),
              "turned path");
}

TEST(ReachEstimateTest, SweepsCountWithoutItemsAndNothingIsEmpty) {
    trellon::ReachEstimate in;
    in.path = Box3(Point3(0, 0, 0), Point3(100, 0, 0));
    EXPECT_TRUE(trellon::ReachBox(in).IsEmpty());
    in.sweeps = Box3(Point3(-1, -20, -20), Point3(101, 20, 20));
    ExpectBox(trellon::ReachBox(in), in.sweeps, "sweeps only");
}

TEST(ProxyBoxEstimate, NothingToHoldGivesAnEmptyBox) {
    trellon::ProxyBoundsInput in;
    in.reach.itemReach = 5;
    EXPECT_TRUE(trellon::EstimateProxyWorldBox(in).IsEmpty());
}

}  // namespace
