// The sweep builders in a host scene: counts against the layout table, loops, offsets, corners,
// the vertex rule, winding, materials, Sweep_Solo, twins and texture coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "sweep_scene.h"

using namespace trellon;

namespace {

using sweep_scene::ExpectVerts;
using sweep_scene::Near;
using sweep_scene::SweepScene;

// Profiles: an open line of 3 points, a closed square of 4 (counter-clockwise), a bar of 2.
const std::vector<Point3> kOpen3 = {Point3(-1, 0, 0), Point3(0, 1, 0), Point3(1, 0, 0)};
const std::vector<Point3> kClosed4 = {Point3(-1, -1, 0), Point3(1, -1, 0), Point3(1, 1, 0),
                                      Point3(-1, 1, 0)};
const std::vector<Point3> kBar = {Point3(-1, 0, 0), Point3(1, 0, 0)};
const std::vector<Point3> kStraight = {Point3(0, 0, 0), Point3(10, 0, 0), Point3(20, 0, 0)};

enum class PathKind { Straight, SquareLoop, TrimmedSquare };

struct CountCase {
    const char* name;
    PathKind path;
    bool closedProfile;
    int verts, faces, tverts;
};

class SweepCounts : public ::testing::TestWithParam<CountCase> {};

// Samples: straight 3 (no seams); square loop 4 with seams at S_1..S_3 and a closing row; square
// with start trim 5: (5,0), the 4 corners (3 of them inner seams). Open line P = 3, closed P = 4.
//   vertices n P; faces (n - 1)(2P - 2) or (2n - 2) P, on a loop n (2P - 2) or 2nP;
//   texture rows n + seams (+ 1 closing row on a loop) of P (open) or P + 1 (closed).
TEST_P(SweepCounts, FollowTheLayoutTable) {
    const CountCase& c = GetParam();
    SweepScene s;
    if (c.path == PathKind::Straight)
        s.SetPath(kStraight, false);
    else
        s.SetPath(lifecycle::Square(10), true);
    s.AddProfile(c.closedProfile ? kClosed4 : kOpen3, c.closedProfile);
    if (c.path == PathKind::TrimmedSquare) s.SetShared(Sweep_Start_Trim, 0, 2.0f, 3.0f);

    const Mesh& m = s.Viewport();
    EXPECT_EQ(m.getNumVerts(), c.verts);
    EXPECT_EQ(m.getNumFaces(), c.faces);
    EXPECT_EQ(m.getNumTVerts(), c.tverts);
    EXPECT_EQ(m.getNumMapFaces(1), c.faces);
    // Every face and texture face refers to what exists.
    for (int f = 0; f < m.getNumFaces(); ++f) {
        for (int k = 0; k < 3; ++k) {
            EXPECT_LT(m.faces[f].v[k], static_cast<DWORD>(c.verts));
            EXPECT_LT(m.tvFace[f].t[k], static_cast<DWORD>(c.tverts));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layout, SweepCounts,
    ::testing::Values(CountCase{"OpenLineStraightPath", PathKind::Straight, false, 9, 8, 9},
                      CountCase{"ClosedLineStraightPath", PathKind::Straight, true, 12, 16, 15},
                      CountCase{"ClosedLineLoop", PathKind::SquareLoop, true, 16, 32, 40},
                      CountCase{"ClosedLineTrimmedLoop", PathKind::TrimmedSquare, true, 20, 32,
                                40}),
    [](const ::testing::TestParamInfo<CountCase>& p) { return p.param.name; });

// A loop: 4 rings of P = 4, the 2P = 8 faces 8 k .. 8 k + 7 join ring k to ring k + 1, the
// last 8 ring 3 to ring 0. (A start trim of any length opens it: the trimmed loop's count above
// has no closing faces.)
TEST(SweepLoop, ClosedPathWithoutTrimsJoinsTheLastRingToTheFirst) {
    SweepScene loop;
    loop.SetPath(lifecycle::Square(10), true);
    loop.AddProfile(kClosed4, true);
    const Mesh& m = loop.Viewport();
    ASSERT_EQ(m.getNumFaces(), 32);
    for (int f = 0; f < 32; ++f) {
        const int ring = f / 8;
        std::set<int> rings;
        for (const DWORD v : m.faces[f].v) rings.insert(static_cast<int>(v) / 4);
        EXPECT_EQ(rings, (std::set<int>{ring, (ring + 1) % 4})) << "face " << f;
    }
}

struct BarCase {
    const char* name;
    std::vector<Point3> path;
    std::function<void(SweepScene&)> set;
    std::vector<Point3> verts;
};

class SweepBar : public ::testing::TestWithParam<BarCase> {};

// The bar (-1..1 in the profile's X) swept along the path: along +X its X maps onto +Y
// (ArbAxis(+X) row 0), so at side offset d a ring runs from y = d - 1 to d + 1, unstretched.
TEST_P(SweepBar, RingsLieWhereTheGeometrySays) {
    const BarCase& c = GetParam();
    SweepScene s;
    s.SetPath(c.path, false);
    s.AddProfile(kBar, false);
    c.set(s);
    const Mesh& m = s.Viewport();
    ASSERT_EQ(m.getNumVerts(), int(c.verts.size()));
    ExpectVerts(m, c.verts);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, SweepBar,
    ::testing::Values(
        BarCase{"LeftIsPlusY",
                kStraight,
                [](SweepScene& s) { s.SetShared(Sweep_Side_Offset, 0, 4.0f, 6.0f); },
                {{0, 9, 0}, {0, 11, 0}, {10, 9, 0}, {10, 11, 0}, {20, 9, 0}, {20, 11, 0}}},
        BarCase{"RightIsMinusY",
                kStraight,
                [](SweepScene& s) { s.SetShared(Sweep_Side_Offset, 0, -4.0f, -6.0f); },
                {{0, -11, 0}, {0, -9, 0}, {10, -11, 0}, {10, -9, 0}, {20, -11, 0}, {20, -9, 0}}},
        // A right angle with offset 2: the offset knot is (8,2), 2 sqrt 2 from (10,0), and the
        // corner ring spans (9,1)..(7,3), the bar stretched to 2 sqrt 2 across the bend. The end
        // rings: (0,1)..(0,3) along +X, and (9,10)..(7,10) along +Y (ArbAxis(+Y) row 0 is -X).
        BarCase{"RightAngleMitresTheKnot",
                {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0)},
                [](SweepScene& s) { s.SetShared(Sweep_Side_Offset, 0, 0.0f, 2.0f); },
                {{0, 1, 0}, {0, 3, 0}, {9, 1, 0}, {7, 3, 0}, {9, 10, 0}, {7, 10, 0}}},
        // Side offset 10 and twin offset 5: the twin lies at y = 15 +- 1, after the first copy.
        BarCase{"TwinFurtherOut",
                {Point3(0, 0, 0), Point3(10, 0, 0)},
                [](SweepScene& s) {
                    s.SetShared(Sweep_Side_Offset, 0, 0.0f, 10.0f);
                    s.SetInt(Sweep_Double, 0, 1);
                    s.SetFloat(Sweep_Double_Offset, 0, 5.0f);
                },
                {{0, 9, 0},
                 {0, 11, 0},
                 {10, 9, 0},
                 {10, 11, 0},
                 {0, 14, 0},
                 {0, 16, 0},
                 {10, 14, 0},
                 {10, 16, 0}}}),
    [](const ::testing::TestParamInfo<BarCase>& p) { return p.param.name; });

struct VertexCase {
    const char* name;
    std::function<void(SweepScene&, INode* profile)> set;
    Point3 want;  // profile point (1,2,0) on the first ring (path from the origin along +X)
};

class SweepVertexRule : public ::testing::TestWithParam<VertexCase> {};

// The profile line (0,0,0) -> (1,2,0) swept along +X from the origin: with nothing set, q maps
// by ArbAxis(+X) (X to +Y, Y to +Z, Z to +X), so (1,2,0) lands at (0,1,2).
TEST_P(SweepVertexRule, PlacesTheProfilePoint) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    INode* profile = s.AddProfile({Point3(0, 0, 0), Point3(1, 2, 0)}, false);
    GetParam().set(s, profile);
    const Mesh& m = s.Viewport();
    ASSERT_EQ(m.getNumVerts(), 4);
    EXPECT_TRUE(Near(m.verts[1], GetParam().want));
}

INSTANTIATE_TEST_SUITE_P(
    Steps, SweepVertexRule,
    ::testing::Values(
        VertexCase{"Neutral", [](SweepScene&, INode*) {}, Point3(0, 1, 2)},
        // 30 + 60 degrees about Z: (1,2) -> (-2,1).
        VertexCase{"ZRotation",
                   [](SweepScene& s, INode*) { s.SetShared(Sweep_Z_Rot, 0, 30.0f, 60.0f); },
                   Point3(0, -2, 1)},
        // 90 degrees about X: (1,2,0) -> (1,0,2); Z goes along the path (+X).
        VertexCase{"XRotation",
                   [](SweepScene& s, INode*) { s.SetShared(Sweep_X_Rot, 0, 90.0f, 0.0f); },
                   Point3(2, 1, 0)},
        // Height 1 + 2 on object Z.
        VertexCase{"Height",
                   [](SweepScene& s, INode*) { s.SetShared(Sweep_Height_Offset, 0, 1.0f, 2.0f); },
                   Point3(0, 1, 5)},
        // Mirrored in X: (-1,2).
        VertexCase{"FlipObject", [](SweepScene& s, INode*) { s.SetInt(Shape_Flip_Object, 0, 1); },
                   Point3(0, -1, 2)},
        // Object offset (2,0,0) from the pivot: q = p - (pivot - object) = (3,2,0).
        VertexCase{"Pivot",
                   [](SweepScene&, INode* profile) { profile->SetObjOffsetPos(Point3(2, 0, 0)); },
                   Point3(0, 3, 2)},
        VertexCase{"DetachPath",
                   [](SweepScene& s, INode*) {
                       Matrix3 tm = TransMatrix(Point3(100, 0, 0));
                       s.path->SetNodeTM(0, tm);
                       s.pb->SetValue(DetachPath, 0, 1);
                   },
                   Point3(0, 1, 2)},
        // The path node turned 90 degrees about Z turns the sweep with it: (0,1,2) -> (-1,0,2).
        VertexCase{"PathRotation",
                   [](SweepScene& s, INode*) {
                       Matrix3 tm = RotateZMatrix(1.5707964f);
                       s.path->SetNodeTM(0, tm);
                   },
                   Point3(-1, 0, 2)}),
    [](const ::testing::TestParamInfo<VertexCase>& p) { return p.param.name; });

struct WindingCase {
    const char* name;
    int flipNormals, flipObject;
    bool reversed;
};

class SweepWinding : public ::testing::TestWithParam<WindingCase> {};

// One quad between ring 0 (vertices 0, 1) and ring 1 (2, 3): c = 2, c + 1 = 3, c - P = 0,
// c + 1 - P = 1. The diagonal 2-1 is always the hidden edge.
TEST_P(SweepWinding, FacesAndEdgeVisibility) {
    const WindingCase& c = GetParam();
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    s.AddProfile(kBar, false);
    s.SetInt(Shape_Flip_Normals, 0, c.flipNormals);
    s.SetInt(Shape_Flip_Object, 0, c.flipObject);
    const Mesh& m = s.Viewport();
    ASSERT_EQ(m.getNumFaces(), 2);
    const Face& f0 = m.faces[0];
    const Face& f1 = m.faces[1];
    const auto verts = [](const Face& f) { return std::vector<DWORD>{f.v[0], f.v[1], f.v[2]}; };
    if (!c.reversed) {
        EXPECT_EQ(verts(f0), (std::vector<DWORD>{0, 1, 2}));
        EXPECT_EQ(f0.flags & EDGE_ALL, EDGE_A | EDGE_C);
        EXPECT_EQ(verts(f1), (std::vector<DWORD>{1, 3, 2}));
    } else {
        EXPECT_EQ(verts(f0), (std::vector<DWORD>{2, 1, 0}));
        EXPECT_EQ(f0.flags & EDGE_ALL, EDGE_B | EDGE_C);
        EXPECT_EQ(verts(f1), (std::vector<DWORD>{2, 3, 1}));
    }
    EXPECT_EQ(f1.flags & EDGE_ALL, EDGE_A | EDGE_B);
    for (const Face* f : {&f0, &f1}) {
        EXPECT_EQ(f->getMatID(), 27);
        EXPECT_EQ(f->smGroup, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Flips, SweepWinding,
                         ::testing::Values(WindingCase{"NoFlip", 0, 0, false},
                                           WindingCase{"FlipNormals", 1, 0, true},
                                           WindingCase{"FlipObject", 0, 1, true},
                                           WindingCase{"BothCancel", 1, 1, false}),
                         [](const ::testing::TestParamInfo<WindingCase>& p) {
                             return p.param.name;
                         });

std::set<int> Materials(const Mesh& m) {
    std::set<int> ids;
    for (int f = 0; f < m.getNumFaces(); ++f) ids.insert(m.faces[f].getMatID());
    return ids;
}

// Regression: on a 70-unit line at 6 steps (polyline vertices every 10), an end trim of 10 ends
// exactly on the vertex at x = 60. That vertex was sampled and the end sample added again on top
// of it, the second ring turned into the path. Now the run ends on the vertex once: seven rings
// at x = 0, 10, ..., 60, each the bar across the path from y = -1 to 1.
TEST(SweepTrim, AnEndTrimOnAVertexDoubledTheLastRing) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(70, 0, 0)}, false, 6);
    s.AddProfile(kBar, false);
    s.SetShared(Sweep_End_Trim, 0, 0.0f, 10.0f);
    const Mesh& m = s.Viewport();
    ASSERT_EQ(m.getNumVerts(), 14);
    for (int i = 0; i < 7; ++i) {
        const float x = 10.0f * static_cast<float>(i);
        EXPECT_TRUE(Near(m.verts[2 * i], Point3(x, -1.0f, 0.0f), 1e-3f)) << "ring " << i;
        EXPECT_TRUE(Near(m.verts[2 * i + 1], Point3(x, 1.0f, 0.0f), 1e-3f)) << "ring " << i;
    }
}

// Regression: a trimmed end was read on the chord between two polyline vertices. On a quarter
// circle of radius 20 about the origin (two Bezier knots, handles 0.5517861843 R long) drawn at 2
// steps, the chords run up to R (1 - cos 15 deg) = 0.68 inside the arc; the first ring, 5 units
// along, must lie on the arc itself (the Bezier keeps within 0.03 % of R of the circle).
TEST(SweepTrim, TrimmedEndsWereReadOnTheChord) {
    SweepScene s;
    constexpr float R = 20.0f;
    constexpr float h = 0.5517861843f * R;
    auto* shape = new SplineShape();
    Spline3D* arc = shape->shape.NewSpline();
    arc->AddKnot(SplineKnot(KTYPE_BEZIER_CORNER, LTYPE_CURVE, Point3(R, 0.0f, 0.0f),
                            Point3(R, -h, 0.0f), Point3(R, h, 0.0f)));
    arc->AddKnot(SplineKnot(KTYPE_BEZIER_CORNER, LTYPE_CURVE, Point3(0.0f, R, 0.0f),
                            Point3(h, R, 0.0f), Point3(-h, R, 0.0f)));
    arc->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetSteps(2);
    s.path = s.scene.CreateObjectNode(shape);
    s.pb->SetValue(Spline_Obj, 0, s.path);
    s.AddProfile(kBar, false);
    s.SetShared(Sweep_Start_Trim, 0, 0.0f, 5.0f);
    s.SetShared(Sweep_End_Trim, 0, 0.0f, 5.0f);
    const Mesh& m = s.Viewport();
    const int rings = m.getNumVerts() / 2;
    ASSERT_GE(rings, 2);
    for (int i : {0, rings - 1}) {
        const Point3 centre = (m.verts[2 * i] + m.verts[2 * i + 1]) * 0.5f;
        EXPECT_NEAR(Length(centre), R, 0.01f) << "ring " << i << " at " << centre;
    }
    // The trim is the fraction 5 / T of the polyline's length T = 3 chords of 2 R sin 15 deg;
    // on the arc that fraction lies at the angle 5 / T x pi / 2 = 0.25287.
    const Point3 first = (m.verts[0] + m.verts[1]) * 0.5f;
    EXPECT_NEAR(std::atan2(first.y, first.x), 0.25287f, 2e-4f);
}

// Three bar sweeps on a two-sample path, 4 vertices and 2 faces each, materials 27, 28, 29.
// Sweep_Solo 2 keeps only the second in the viewport; the render mesh has all three.
TEST(SweepSolo, ViewportBuildsTheSelectedSweepRenderBuildsAll) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    for (int k = 0; k < 3; ++k) s.AddProfile(kBar, false);
    EXPECT_EQ(Materials(s.Viewport()), (std::set<int>{27, 28, 29}));
    s.pb->SetValue(Sweep_Solo, 0, 2);
    const Mesh& viewport = s.Viewport();
    EXPECT_EQ(viewport.getNumVerts(), 4);
    EXPECT_EQ(Materials(viewport), (std::set<int>{28}));

    struct NullView : View {
        Point2 ViewToScreen(Point3 p) override { return Point2(p.x, p.y); }
    } view;
    BOOL needDelete = FALSE;
    std::unique_ptr<Mesh> render(s.object->GetRenderMesh(0, s.objectNode, view, needDelete));
    EXPECT_TRUE(needDelete);
    ASSERT_NE(render.get(), &s.object->mesh);
    EXPECT_EQ(render->getNumVerts(), 12);
    EXPECT_EQ(render->getNumFaces(), 6);
    EXPECT_EQ(Materials(*render), (std::set<int>{27, 28, 29}));
    // A sweep whose profile node is gone builds nothing; the others keep their numbers.
    s.pb->SetValue(Sweep_Solo, 0, 0);
    s.pb->SetValue(Sweep_Nodes, 0, static_cast<INode*>(nullptr), 0);
    EXPECT_EQ(Materials(s.Viewport()), (std::set<int>{28, 29}));
}

// The profile's own steps (6) are put back after the sweep used Shape_Steps 2: the square's four
// segments give 4 x 2 + 4 = 12 points per ring, 24 vertices on two rings.
TEST(SweepProfile, ShapeStepsAreUsedAndTheProfileStepsRestored) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    INode* profile = s.AddProfile(kClosed4, true, 2);
    EXPECT_EQ(s.Viewport().getNumVerts(), 24);
    EXPECT_EQ(static_cast<SplineShape*>(profile->GetObjectRef())->GetSteps(), 6);
}

// Texture rows of the closed square profile (side 2, perimeter 8): U 0, 0.25, 0.5, 0.75 and the
// seam copy at 1; V the distance along the path over the tile (inches: 2500), 10 per ring.
TEST(SweepTexture, UAlongTheProfileVAlongThePath) {
    SweepScene s;
    s.SetPath(kStraight, false);
    s.AddProfile(kClosed4, true);
    const Mesh& m = s.Viewport();
    ASSERT_EQ(m.getNumTVerts(), 15);
    const float u[5] = {0.0f, 0.25f, 0.5f, 0.75f, 1.0f};
    for (int ring = 0; ring < 3; ++ring)
        for (int k = 0; k < 5; ++k)
            EXPECT_TRUE(Near(m.tVerts[ring * 5 + k], Point3(u[k], 0.004f * ring, 0.0f), 1e-6f))
                << ring << " " << k;
    // The last quad of a ring uses the seam copy: face 6 is ring pair 0-1, quad 3 (points 3, 0).
    EXPECT_EQ(m.tvFace[6].t[1], 4u);
    EXPECT_EQ(m.faces[6].v[1], 0u);
}

// Shape_AngleUVW 7: a 10 degree corner gets a second texture row (4 rows of 3); the faces after
// the split start on the second row (texture vertex 6). (Where a corner is no seam, the seam
// tests and the export's fixed angle show.)
TEST(SweepTexture, CornerSharperThanTheSeamAngleSplitsTheTexture) {
    SweepScene sharp;
    sweep_scene::Bend(sharp, 10.0f);
    sharp.AddProfile(kOpen3, false);
    const Mesh& m = sharp.Viewport();
    ASSERT_EQ(m.getNumTVerts(), 12);
    // Faces 0..3 join ring 0 to ring 1 (row 1, tverts 3..5); faces 4..7 join row 2 (6..8) to
    // row 3 (9..11).
    EXPECT_EQ(m.tvFace[0].t[2], 3u);
    EXPECT_EQ(m.tvFace[4].t[0], 6u);
    EXPECT_EQ(m.tvFace[4].t[2], 9u);
    // Both rows of the corner carry the same coordinates.
    for (int k = 0; k < 3; ++k) EXPECT_TRUE(Near(m.tVerts[3 + k], m.tVerts[6 + k], 0.0f));
}

// The distribution's faces come first without texture coordinates: they get texture faces on
// texture vertex 0, the first sweep texture vertex, at the origin.
TEST(SweepTexture, EarlierFacesReferToTheTextureOrigin) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    s.AddProfile(kBar, false);
    Mesh& mesh = s.object->mesh;
    mesh = Mesh();
    mesh.setNumVerts(3);
    mesh.setNumFaces(1);
    mesh.faces[0].setVerts(0, 1, 2);
    mesh.faces[0].setMatID(1);
    trellon::AppendSweeps(*s.object, 0, trellon::CurrentAppendPoint(mesh));
    ASSERT_EQ(mesh.getNumVerts(), 7);
    ASSERT_EQ(mesh.getNumFaces(), 3);
    ASSERT_EQ(mesh.getNumMapFaces(1), 3);
    EXPECT_EQ(mesh.faces[0].getMatID(), 1);
    EXPECT_EQ(mesh.faces[1].v[0], 3u);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(mesh.tvFace[0].t[k], 0u);
    EXPECT_TRUE(Near(mesh.tVerts[0], Point3(0, 0, 0), 0.0f));
}

// Without a sweep, or without a path, the sweeps add nothing, and export nothing. Texture faces
// left on from an earlier build (channel 1 on, no texture vertices) then refer to nothing: the
// channel is turned off.
TEST(SweepTexture, NoSweepOrNoPathNoGeometryAndNoTextureFaces) {
    SweepScene noSweeps;
    noSweeps.SetPath(kStraight, false);
    EXPECT_EQ(noSweeps.Viewport().getNumVerts(), 0);

    SweepScene s;
    s.AddProfile(kBar, false);  // no path: the sweeps add nothing
    Mesh& mesh = s.object->mesh;
    mesh = Mesh();
    mesh.setMapSupport(1, TRUE);
    mesh.setNumVerts(3);
    mesh.setNumFaces(1);
    ASSERT_EQ(mesh.getNumMapFaces(1), 1);
    trellon::AppendSweeps(*s.object, 0, trellon::CurrentAppendPoint(mesh));
    EXPECT_EQ(mesh.getNumVerts(), 3);
    EXPECT_EQ(mesh.getNumFaces(), 1);
    EXPECT_EQ(mesh.getNumMapFaces(1), 0);
    EXPECT_FALSE(mesh.mapSupport(1));
    EXPECT_EQ(trellon::ExportSweepNodes(*s.object), 0);
}

}  // namespace
