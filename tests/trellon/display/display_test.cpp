// Display, hit testing, snapping and the current viewport's entries of a Trellon object in a host
// scene. Unless a test says otherwise: the path runs from the origin along +X for 100 units, the
// object and the path sit at the origin (object space is world space), and the items are boxes
// centred on their pivots at a spacing of 25, so the per-object pattern puts copies at x = 0,
// 25, 50, 75 and 100 (int(100 / 25 + 1) = 5) with their centres on the path.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "Graphics/IRenderItemContainer.h"
#include "Graphics/UpdateDisplayContext.h"
#include "Graphics/UpdateNodeContext.h"
#include "colour/palette.h"
#include "display/display_scene.h"
#include "random.h"
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
        SetFloat(Item_Spacing, 1, 25.0f);
        SetFloat(Item_Spacing_Random, 1, 25.0f);
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

TEST_F(TrellonDisplay, ModeDotHitsADotThoughTheMeshIsEmpty) {
    StraightWithOneItem();
    SetMode(1);
    const host::DrawRecord r = Draw();
    ASSERT_EQ(r.markers.size(), 5u);
    ExpectNear(r.markers[1].point, Point3(25, 0, 0));
    EXPECT_EQ(object->mesh.getNumVerts(), 0);
    // The dot at x = 25 is on the screen at (25, 0).
    EXPECT_EQ(HitAt(26, 2), 1);
    // 12 and 13 pixels from the dots at 0 and 25, past the pick size 4.
    EXPECT_EQ(HitAt(12, 0), 0);
    // The hit test leaves the window's limits as they were.
    EXPECT_EQ(gw.getRndLimits(), host::kDefaultRndLimits);
    EXPECT_TRUE(gw.Record().Empty());
}

class DisplayLight : public TrellonDisplay, public testing::WithParamInterface<int> {};

TEST_P(DisplayLight, ALightItemIsEightBulbOutlinesPerCopy) {
    StraightWithOneItem(1);
    SetMode(GetParam());
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

INSTANTIATE_TEST_SUITE_P(ProxyModes, DisplayLight, testing::Values(1, 2, 3));

TEST_F(TrellonDisplay, PointCloudsDrawEachItemsOwnPoints) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0)});
    std::vector<Point3> first(100), second(20);
    for (int i = 0; i < 100; ++i) first[i] = Point3(0.0f, 0.0f, 0.001f * i);
    for (int i = 0; i < 20; ++i) second[i] = Point3(0.0f, 0.0f, 0.5f);
    AddItem(1.0f, 0, first);
    AddItem(1.0f, 0, second);
    for (int e : {1, 2}) {
        SetFloat(Item_Spacing, e, 200.0f);
        SetFloat(Item_Spacing_Random, e, 200.0f);
    }
    pb->SetValue(PointCloud, 0, 10);
    SetMode(3);
    // One copy of each (int(100 / 200 + 1)): 19 points of the first, all 20 of the second.
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

// The proxies stand where the mesh modes put the geometry: a bent path, random transforms (Z
// and Y turns up to 90 degrees, heights, scales, sideways offsets) from seeded pools, and a box
// item whose eight vertices are its stored box's corners and its sample points.
class DisplayAgreement : public TrellonDisplay, public testing::WithParamInterface<int> {};

TEST_P(DisplayAgreement, ProxiesLieOnTheMeshModesCopies) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0), Point3(100, 80, 0)});
    std::vector<Point3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.emplace_back(i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f);
    }
    AddItem(1.0f, 0, corners);
    SetFloat(Item_Spacing, 1, 30.0f);
    SetFloat(Item_Spacing_Random, 1, 45.0f);
    SetInt(Item_Random_Trans, 1, 1);
    SetFloat(Item_Z_Rot_Random, 1, 90.0f);
    SetFloat(Item_Extra_Rot_Random, 1, 90.0f);
    SetFloat(Item_Z_Pos_Random, 1, 5.0f);
    SetFloat(Item_X_Scale_Random, 1, 150.0f);
    SetFloat(Item_Pos_InOut_Random, 1, 3.0f);
    Random rng;
    rng.srand(7);
    trellon::ItemTables tables(pb, 0);
    ASSERT_TRUE(tables.RegenerateTransformPools(0, rng));
    ASSERT_TRUE(tables.RegenerateMirrorPool(0, rng));

    SetMode(6);
    Refresh();
    const Matrix3 tm = node->GetObjectTM(0);
    std::vector<Point3> verts;
    for (int i = 0; i < object->mesh.getNumVerts(); ++i)
        verts.push_back(object->mesh.getVert(i) * tm);
    ASSERT_GT(verts.size(), 16u);
    ASSERT_EQ(verts.size() % 8, 0u);
    const std::size_t copies = verts.size() / 8;

    const int mode = GetParam();
    SetMode(mode);
    const host::DrawRecord r = Draw();
    bool turned = false;
    for (std::size_t c = 0; c < copies; ++c) {
        const Point3* v = &verts[8 * c];
        const std::string what = "copy " + std::to_string(c);
        if (mode == 1) {
            ASSERT_EQ(r.markers.size(), copies);
            Point3 centre(0, 0, 0);
            for (int i = 0; i < 8; ++i) centre += v[i] / 8.0f;
            ExpectNear(r.markers[c].point, centre, what);
        } else if (mode == 2) {
            ASSERT_EQ(r.polylines.size(), 6 * copies);
            // Bottom face: corners 0, 1, 3, 2 of the box; top face: 4, 5, 7, 6.
            const int order[4] = {0, 1, 3, 2};
            for (int k = 0; k < 4; ++k) {
                ExpectNear(r.polylines[6 * c].points[k], v[order[k]], what);
                ExpectNear(r.polylines[6 * c + 1].points[k], v[4 + order[k]], what);
            }
            // An edge along no axis has at least two non-zero components.
            const Point3 edge = v[1] - v[0];
            const int along = (std::fabs(edge.x) > kEps) + (std::fabs(edge.y) > kEps) +
                              (std::fabs(edge.z) > kEps);
            turned = turned || along >= 2;
        } else {
            ASSERT_EQ(r.markers.size(), verts.size());
            for (int i = 0; i < 8; ++i) ExpectNear(r.markers[8 * c + i].point, v[i], what);
        }
    }
    // A copy turned by its random Z angle shows a turned box, not an axis-aligned one.
    if (mode == 2) {
        EXPECT_TRUE(turned);
    }
}

INSTANTIATE_TEST_SUITE_P(ProxyModes, DisplayAgreement, testing::Values(1, 2, 3));

// The sweep drawer walks the sweep the mesh modes build: a square profile (4 points, closed)
// swept along the bent path gives rings in the mesh's vertex order (line, spline, sample, point).
class DisplaySweep : public TrellonDisplay, public testing::WithParamInterface<int> {};

TEST_P(DisplaySweep, ProxiesLieOnTheSweepsVertices) {
    SetPath({Point3(0, 0, 0), Point3(100, 0, 0), Point3(100, 80, 0)});
    AddSweep(2.0f);
    SetFloat(Sweep_Side_Offset, 1, 5.0f);
    SetMode(6);
    Refresh();
    std::vector<Point3> verts;
    for (int i = 0; i < object->mesh.getNumVerts(); ++i) verts.push_back(object->mesh.getVert(i));
    ASSERT_GE(verts.size(), 12u);
    ASSERT_EQ(verts.size() % 4, 0u);
    const std::size_t rings = verts.size() / 4;

    const int mode = GetParam();
    SetMode(mode);
    const host::DrawRecord r = Draw();
    for (const auto& m : r.markers) EXPECT_EQ(m.color, Entry(1));
    if (mode != 2) {
        ASSERT_EQ(r.markers.size(), verts.size());
        for (std::size_t i = 0; i < verts.size(); ++i) ExpectNear(r.markers[i].point, verts[i]);
        return;
    }
    // An outline per ring, then from the second ring on four lines back to the ring before.
    ASSERT_EQ(r.polylines.size(), rings + 4 * (rings - 1));
    std::size_t k = 0;
    for (std::size_t i = 0; i < rings; ++i) {
        const host::DrawnPolyline& outline = r.polylines[k++];
        EXPECT_TRUE(outline.closed);
        ASSERT_EQ(outline.points.size(), 4u);
        for (int m = 0; m < 4; ++m) ExpectNear(outline.points[m], verts[4 * i + m]);
        for (int m = 0; i > 0 && m < 4; ++m) {
            const host::DrawnPolyline& line = r.polylines[k++];
            ExpectNear(line.points[0], verts[4 * (i - 1) + m]);
            ExpectNear(line.points[1], verts[4 * i + m]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(ProxyModes, DisplaySweep, testing::Values(1, 2, 3));

using support::ItemList;

TEST_F(TrellonDisplay, MeshModesHandTheMeshToTheViewport) {
    StraightWithOneItem();
    SetMode(6);
    Refresh();
    MaxSDK::Graphics::UpdateDisplayContext context;
    ASSERT_TRUE(object->PrepareDisplay(context));
    MaxSDK::Graphics::UpdateNodeContext nodeContext(node);
    ItemList items;
    ASSERT_TRUE(object->UpdatePerNodeItems(context, nodeContext, items));
    // Shaded faces and wireframe: five copies of 8 vertices and 12 faces.
    ASSERT_EQ(items.items.size(), 2u);
    EXPECT_EQ(items.items[0].GetGeometry()->positions.size(), 40u);
    EXPECT_EQ(items.items[0].GetGeometry()->triangles.size(), 60u);
    // Display itself draws nothing in the mesh modes.
    EXPECT_TRUE(Draw().Empty());
    EXPECT_EQ(displayResult, 1);
}

TEST_F(TrellonDisplay, ProxyModesRebuildOncePerChangeNotOnEveryRedraw) {
    StraightWithOneItem();
    SetMode(2);
    Refresh();
    MaxSDK::Graphics::UpdateDisplayContext context;
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
    MaxSDK::Graphics::UpdateNodeContext nodeContext(node);
    ItemList items;
    EXPECT_FALSE(object->UpdatePerNodeItems(context, nodeContext, items));
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
    SetFloat(Item_Spacing, 1, 0.00045f);
    SetFloat(Item_Spacing_Random, 1, 0.00045f);
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
    SetFloat(Item_Spacing, 0, 10.0f);
    SetMode(1);
    // int(100 / 10) = 10 slots, one copy each (every item is a group of its own).
    EXPECT_EQ(Draw().markers.size(), 10u);
    SetFloat(Item_Spacing, 0, 4.0f);
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
