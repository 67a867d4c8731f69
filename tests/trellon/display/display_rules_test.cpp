// The dispatcher's choice and order of drawers, and the proxy box estimate from its inputs.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "display/display_dispatch.h"
#include "display/proxy_bounds.h"
#include "iparamb2.h"
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

struct BoxCase {
    const char* what;
    trellon::ProxyBoundsInput in;
    Box3 expected;
};

trellon::ProxyBoundsInput Path100() {
    trellon::ProxyBoundsInput in;
    in.path = Box3(Point3(0, 0, 0), Point3(100, 0, 0));
    in.scaleMax = 0.01f;
    in.scaleAll = 0.99f;  // s = 1
    return in;
}

class ProxyBoxEstimate : public testing::TestWithParam<BoxCase> {};

TEST_P(ProxyBoxEstimate, GrowsThePathBoxByTheSizesAndOffsets) {
    const BoxCase& c = GetParam();
    const Box3 b = trellon::EstimateProxyBox(c.in);
    EXPECT_NEAR(b.pmin.x, c.expected.pmin.x, 1e-4f) << c.what;
    EXPECT_NEAR(b.pmin.y, c.expected.pmin.y, 1e-4f) << c.what;
    EXPECT_NEAR(b.pmin.z, c.expected.pmin.z, 1e-4f) << c.what;
    EXPECT_NEAR(b.pmax.x, c.expected.pmax.x, 1e-4f) << c.what;
    EXPECT_NEAR(b.pmax.y, c.expected.pmax.y, 1e-4f) << c.what;
    EXPECT_NEAR(b.pmax.z, c.expected.pmax.z, 1e-4f) << c.what;
}

BoxCase With(const char* what, void (*edit)(trellon::ProxyBoundsInput&), Box3 expected) {
    trellon::ProxyBoundsInput in = Path100();
    edit(in);
    return {what, in, expected};
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ProxyBoxEstimate,
    testing::Values(
        With(
            "path alone", [](trellon::ProxyBoundsInput&) {},
            Box3(Point3(0, 0, 0), Point3(100, 0, 0))),
        // Height 10 at s = 2: Z by 20 on both sides; X and Y keep the path's box.
        With(
            "item height scaled",
            [](trellon::ProxyBoundsInput& in) {
                in.itemHeight = 10;
                in.scaleAll = 1.99f;
            },
            Box3(Point3(0, 0, -20), Point3(100, 0, 20))),
        // Reach 3: every side by 3 (Z by max(h, r) = 3).
        With(
            "item reach", [](trellon::ProxyBoundsInput& in) { in.itemReach = 3; },
            Box3(Point3(-3, -3, -3), Point3(103, 3, 3))),
        // Sweep size 4: X, Y and Z by 4.
        With(
            "sweep size", [](trellon::ProxyBoundsInput& in) { in.sweepSize = 4; },
            Box3(Point3(-4, -4, -4), Point3(104, 4, 4))),
        // Heights move the top by up and the bottom by down; a roll may turn them sideways,
        // so X and Y grow by the larger, 10.
        With(
            "heights",
            [](trellon::ProxyBoundsInput& in) {
                in.up = 10;
                in.down = 5;
            },
            Box3(Point3(-10, -10, -5), Point3(110, 10, 10))),
        // A sweep's offset 30 at a right-angle mitre sqrt(2): X and Y by 42.43, Z not at all.
        With(
            "sweep sideways mitred",
            [](trellon::ProxyBoundsInput& in) {
                in.sweepSideways = 30;
                in.mitre = 1.41421356f;
            },
            Box3(Point3(-42.4264f, -42.4264f, 0.0f), Point3(142.4264f, 42.4264f, 0.0f))),
        // An item's sideways reach 10 may be rolled upright: every side by 10 (mitre 1).
        With(
            "item sideways", [](trellon::ProxyBoundsInput& in) { in.sideways = 10; },
            Box3(Point3(-10, -10, -10), Point3(110, 10, 10))),
        // The mesh's box joins the path's before growing.
        With(
            "mesh joined",
            [](trellon::ProxyBoundsInput& in) {
                in.mesh = Box3(Point3(-1, -2, -3), Point3(1, 2, 3));
                in.sweepSize = 1;
            },
            Box3(Point3(-2, -3, -4), Point3(101, 3, 4)))));

TEST(ProxyBoxEstimate, NothingToHoldGivesAnEmptyBox) {
    trellon::ProxyBoundsInput in;
    in.itemReach = 5;
    EXPECT_TRUE(trellon::EstimateProxyBox(in).IsEmpty());
}

}  // namespace
