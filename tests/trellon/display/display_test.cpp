// Display, hit testing, snapping and the current viewport's entries of a Trellon object in a host
// scene. Unless a test says otherwise: the path runs from the origin along +X for 100 units, the
// object and the path sit at the origin (object space is world space), and the items are boxes
// centred on their pivots at a spacing of 25, so the per-object pattern puts copies at x = 0,
// 25, 50, 75 and 100 (int(100 / 25 + 1) = 5) with their centres on the path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Graphics/IRenderItemContainer.h"
#include "Graphics/UpdateDisplayContext.h"
#include "Graphics/UpdateNodeContext.h"
#include "colour/palette.h"
#include "display/display_scene.h"
#include "support/near.h"
#include "support/render_items.h"

using namespace trellon;

namespace {

using display_test::DisplayScene;

constexpr float kEps = 1e-3f;

void ExpectNear(const Point3& a, const Point3& b, const std::string& what = "") {
    EXPECT_TRUE(support::Near(a, b, kEps)) << what;
}

Point3 Entry(int e) {
    const Color c = trellon::PaletteColour(e);
    return Point3(c.r, c.g, c.b);
}

class TrellonDisplay : public DisplayScene {
protected:
    // One item of half size 1 at spacing 25 on the straight path.
    void StraightWithOneItem(int kind = 0, std::vector<Point3> cloud = {}) {
        SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
        AddItem(1.0f, kind, std::move(cloud));
        SetEntry(Item_Spacing, 1, 25.0f);
        SetEntry(Item_Spacing_Random, 1, 25.0f);
    }
};

TEST_F(TrellonDisplay, ADeadViewDrawsNothingAndHitsNothing) {
    StraightWithOneItem();
    SetMode(1);
    view.SetAlive(false);
    EXPECT_TRUE(Draw().Empty());
    EXPECT_EQ(displayResult, 0);
    EXPECT_EQ(HitAt(25, 0), 0);
}

TEST_F(TrellonDisplay, ModeNoneDrawsNoCopiesYetHitTestingTestsTheMesh) {
    StraightWithOneItem();
    SetMode(0);
    EXPECT_TRUE(Draw().Empty());
    EXPECT_EQ(displayResult, 1);
    // Mode 0 builds the placeholder, about one unit across at the origin: within the pick size
    // of a click on the origin; nothing stands at x = 50, where mode 1 would put a dot.
    ASSERT_GT(object->mesh.getNumVerts(), 0);
    EXPECT_EQ(HitAt(0, 0), 1);
    EXPECT_EQ(HitAt(50, 0), 0);
}

// In Dot mode the copies are drawn and hit though the mesh is empty (where the dots stand and
// what a click hits, the host's draw-pass test shows); hit testing leaves the window as it was.
TEST_F(TrellonDisplay, ModeDotHitsADotThoughTheMeshIsEmpty) {
    StraightWithOneItem();
    SetMode(1);
    EXPECT_EQ(Draw().markers.size(), 5u);
    EXPECT_EQ(object->mesh.getNumVerts(), 0);
    EXPECT_EQ(HitAt(26, 2), 1);
    EXPECT_EQ(gw.getRndLimits(), host::kDefaultRndLimits);
    EXPECT_TRUE(gw.Record().Empty());
}

// In every proxy mode (the drawer's table) a light is its bulb's outlines.
TEST_F(TrellonDisplay, ALightItemIsEightBulbOutlinesPerCopy) {
    StraightWithOneItem(1);
    SetMode(2);
    const host::DrawRecord r = Draw();
    EXPECT_TRUE(r.markers.empty());
    ASSERT_EQ(r.polylines.size(), 5u * 8u);
    // The stored box is 2 tall: the tip of copy 1's bulb (0.0019 off its axis) is at x = 25,
    // z = 2 * -0.499614.
    const Point3 tip = r.polylines[8].points[0];
    EXPECT_NEAR(tip.x, 25.0f, 0.01f);
    EXPECT_NEAR(tip.y, 0.0f, 0.01f);
    EXPECT_NEAR(tip.z, -0.999228f, kEps);
}

TEST_F(TrellonDisplay, PointCloudsDrawEachItemsOwnPoints) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
    std::vector<Point3> first(100), second(20);
    for (int i = 0; i < 100; ++i) first[i] = Point3(0.0f, 0.0f, 0.001f * i);
    for (int i = 0; i < 20; ++i) second[i] = Point3(0.0f, 0.0f, 0.5f);
    AddItem(1.0f, 0, first);
    AddItem(1.0f, 0, second);
    for (int e : {1, 2}) {
        SetEntry(Item_Spacing, e, 200.0f);
        SetEntry(Item_Spacing_Random, e, 200.0f);
    }
    pb->SetValue(PointCloud, 0, 10);
    SetMode(3);
    // One copy of each (int(100 / 200 + 1)): of the first's 100 points at PointCloud 10, 10 + 9 *
    // 90 / 99 = 18.18, so indices 0 .. 18 in their stored order; all 20 of the second (up to 25
    // are all drawn).
    const host::DrawRecord r = Draw();
    ASSERT_EQ(r.markers.size(), 39u);
    ExpectNear(r.markers[18].point, Point3(0.0f, 0.0f, 0.018f));
    ExpectNear(r.markers[19].point, Point3(0.0f, 0.0f, 0.5f));
}

// Ends, then posts, then sweeps: the post is item 0 (palette entry 1), the end object item 1
// (entry 2), and of three sweeps only the third is shown (Sweep_Solo 3: entry 3).
TEST_F(TrellonDisplay, BoxesDrawEndsThenPostsThenSweeps) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0), Point3(100, 100, 0)});
    AddItem(1.0f);
    AddItem(1.0f);
    trellon::ItemTables tables(pb, 0);
    tables.MoveItem(0, trellon::ItemList::Posts);
    tables.MoveItem(0, trellon::ItemList::Ends);
    ASSERT_EQ(pb->Count(Post_Nodes), 1);
    ASSERT_EQ(pb->Count(End_Nodes), 1);
    for (int k = 0; k < 3; ++k) AddSweep(2.0f);
    pb->SetValue(Sweep_Solo, 0, 3);
    SetMode(2);
    const host::DrawRecord r = Draw();
    std::vector<Point3> runs;
    for (const host::DrawnPolyline& line : r.polylines) {
        if (runs.empty() || runs.back() != line.color) runs.push_back(line.color);
    }
    EXPECT_EQ(runs, (std::vector<Point3>{Entry(2), Entry(1), Entry(3)}));
}

// The copies' proxies, then the sweep's. The path's 6 interpolation steps divide it into 7
// equal parts: 8 rings of the square profile of half size 2 swept along it (its X onto +Y, its
// Y onto +Z), ring k's corners (-2,-2) (2,-2) (2,2) (-2,2) at x = 100 k / 7, y and z +-2.
TEST_F(TrellonDisplay, TheSweepsRingsFollowTheCopies) {
    StraightWithOneItem();
    AddSweep(2.0f);
    const Point3 corner[4] = {Point3(0, -2, -2), Point3(0, 2, -2), Point3(0, 2, 2),
                              Point3(0, -2, 2)};
    const auto ring = [&](int k, int m) { return corner[m] + Point3(100.0f * k / 7, 0.0f, 0.0f); };
    SetMode(1);
    // A dot at each copy's centre, then the rings' corners.
    host::DrawRecord r = Draw();
    ASSERT_EQ(r.markers.size(), 5u + 8u * 4u);
    ExpectNear(r.markers[1].point, Point3(25, 0, 0));
    for (int k = 0; k < 8; ++k) {
        for (int m = 0; m < 4; ++m) ExpectNear(r.markers[5 + 4 * k + m].point, ring(k, m));
    }
    SetMode(2);
    // Per copy its bottom face, its top face and four uprights: copy 1 faces +X, its box turned
    // (x, y) -> (-y, x), so its bottom face runs (26,-1) (26,1) (24,1) (24,-1) at z = -1. Then
    // ring 0's outline, and from ring 1 on each ring's outline and four lines back to the ring
    // before.
    r = Draw();
    ASSERT_EQ(r.polylines.size(), 5u * 6u + 8u + 7u * 4u);
    const Point3 bottom[4] = {Point3(26, -1, -1), Point3(26, 1, -1), Point3(24, 1, -1),
                              Point3(24, -1, -1)};
    for (int k = 0; k < 4; ++k) ExpectNear(r.polylines[6].points[k], bottom[k]);
    EXPECT_TRUE(r.polylines[30].closed);
    for (int m = 0; m < 4; ++m) {
        ExpectNear(r.polylines[30].points[m], ring(0, m));
        ExpectNear(r.polylines[31].points[m], ring(1, m));
        ExpectNear(r.polylines[32 + m].points[0], ring(0, m));
        ExpectNear(r.polylines[32 + m].points[1], ring(1, m));
    }
}

using support::ItemList;

// In the mesh modes the viewport gets the mesh: shaded faces and wireframe, the five copies' 60
// triangles (their 40 vertices: the host's draw-pass test). In the proxy modes the mesh is empty
// and rebuilt once per change, not on every redraw.
TEST_F(TrellonDisplay, MeshModesHandTheMeshToTheViewportProxyModesRebuildOncePerChange) {
    StraightWithOneItem();
    SetMode(6);
    Refresh();
    MaxSDK::Graphics::UpdateDisplayContext context;
    MaxSDK::Graphics::UpdateNodeContext nodeContext(node);
    ItemList items;
    ASSERT_TRUE(object->PrepareDisplay(context));
    ASSERT_TRUE(object->UpdatePerNodeItems(context, nodeContext, items));
    ASSERT_EQ(items.items.size(), 2u);
    EXPECT_EQ(items.items[0].GetGeometry()->triangles.size(), 60u);

    SetMode(2);
    Refresh();
    const int redraws = s.Refreshes();
    // The mesh is valid: an empty proxy-mode mesh prepares nothing and asks for nothing.
    EXPECT_FALSE(object->PrepareDisplay(context));
    EXPECT_EQ(s.Refreshes(), redraws);
    // After a change the first prepare rebuilds and redraws once; the next finds it valid.
    object->InvalidateMesh();
    EXPECT_FALSE(object->PrepareDisplay(context));
    EXPECT_EQ(s.Refreshes(), redraws + 1);
    EXPECT_FALSE(object->PrepareDisplay(context));
    EXPECT_EQ(s.Refreshes(), redraws + 1);
    ItemList none;
    EXPECT_FALSE(object->UpdatePerNodeItems(context, nodeContext, none));
}

// What the host's redraw does after an edit: prepare the current viewport, then the legacy
// Display, with no rebuild asked for by anyone but the object itself.
host::DrawRecord Redraw(Trellon& object, INode* node, host::TopViewport& view,
                        host::RecordingGraphicsWindow& gw) {
    MaxSDK::Graphics::UpdateDisplayContext context;
    object.PrepareDisplay(context);
    gw.Take();
    object.Display(0, node, &view, 0);
    return gw.Take();
}

// Regression: in the proxy modes an item edit never rebuilt, so a spacing a thousand times
// finer drew every dot of 222,223 copies. The edit invalidates, and the redraw's evaluation runs
// the estimate first: trunc(100 / 0.00045) = 222,222 copies pass 200,000 in Dot mode, which
// falls to None and draws no copy.
TEST_F(TrellonDisplay, AnItemEditInDotModeSkippedTheEstimate) {
    StraightWithOneItem();
    SetMode(1);
    EXPECT_EQ(Draw().markers.size(), 5u);
    SetEntry(Item_Spacing, 1, 0.00045f);
    SetEntry(Item_Spacing_Random, 1, 0.00045f);
    const host::DrawRecord r = Redraw(*object, node, view, gw);
    EXPECT_EQ(pb->GetInt(Display_Mode), 0);
    EXPECT_TRUE(r.markers.empty());
}

// Regression: a random group sequence drawn as dots kept the group order of the old spacing
// (10 slots) after the spacing changed to 4, where the mesh modes place 25 copies.
TEST_F(TrellonDisplay, DotsKeptTheOldSpacingsGroupOrder) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
    AddItem(1.0f);
    AddItem(0.5f);
    pb->SetValue(Geo_Pattern, 0, 0);
    SetEntry(Item_Spacing, 0, 10.0f);
    SetMode(1);
    // int(100 / 10) = 10 slots, one copy each (every item is a group of its own).
    EXPECT_EQ(Draw().markers.size(), 10u);
    SetEntry(Item_Spacing, 0, 4.0f);
    EXPECT_EQ(Redraw(*object, node, view, gw).markers.size(), 25u);
    EXPECT_EQ(pb->Count(Geo_Array), 25);
}

TEST_F(TrellonDisplay, SnapTakesTheMeshVertexNearTheCursor) {
    StraightWithOneItem();
    SetMode(6);
    Refresh();
    SnapInfo snap;
    // Copy 1 stands at (25, 0, 0); its corner (26, 1, 1) is on the screen at (26, -1).
    IPoint2 cursor(27, -1);
    object->Snap(0, node, &snap, &cursor, &view);
    EXPECT_EQ(snap.bestDist, 1);
    EXPECT_NEAR(snap.bestWorld.x, 26.0f, kEps);
    EXPECT_NEAR(snap.bestWorld.y, 1.0f, kEps);
    // A dead view snaps nothing.
    SnapInfo none;
    view.SetAlive(false);
    object->Snap(0, node, &none, &cursor, &view);
    EXPECT_EQ(none.bestDist, SnapInfo().bestDist);
}

}  // namespace
