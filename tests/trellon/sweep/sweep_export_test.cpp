// The export form of the sweep: one node per sweep, named after its profile, dressed like it,
// auto-smoothed on request, with the fixed 10 degree texture seam.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "materials.h"
#include "sweep_scene.h"
#include "triobj.h"

using namespace trellon;

namespace {

using sweep_scene::SweepScene;

const std::vector<Point3> kBar = {Point3(-1, 0, 0), Point3(1, 0, 0)};

Mesh& NodeMesh(INode* node) { return static_cast<TriObject*>(node->GetObjectRef())->GetMesh(); }

// Two sweeps whose profiles are both named Rail, the first with a twin; Sweep_Solo selects the
// first but the export takes both. Each mesh starts from index 0 with its sweep's material.
TEST(SweepExport, OneNodePerSweepNamedAfterItsProfile) {
    SweepScene s;
    s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
    INode* a = s.AddProfile(kBar, false, 0, L"Rail");
    INode* b = s.AddProfile(kBar, false, 0, L"Other");
    b->SetName(L"Rail");
    auto* mtl = static_cast<Mtl*>(host::NewMaterialOrMap(L"Standard"));
    a->SetMtl(mtl);
    a->SetWireColor(0x00112233);
    s.SetInt(Sweep_Double, 0, 1);
    s.pb->SetValue(Sweep_Solo, 0, 1);

    ASSERT_EQ(trellon::ExportSweepNodes(*s.object), 2);
    ASSERT_EQ(s.object->ExportNodes.Count(), 2);
    INode* first = s.object->ExportNodes[0];
    INode* second = s.object->ExportNodes[1];
    EXPECT_EQ(std::wstring(first->GetName()), L"TL_Rail");
    EXPECT_EQ(std::wstring(second->GetName()), L"TL_Rail001");
    EXPECT_TRUE(first->GetNodeTM(0).Equals(Matrix3(1)));
    EXPECT_EQ(first->GetMtl(), mtl);
    EXPECT_EQ(first->GetWireColor(), 0x00112233u);
    EXPECT_EQ(second->GetMtl(), nullptr);

    // The first sweep and its twin (2 x 4 vertices), the second alone.
    EXPECT_EQ(NodeMesh(first).getNumVerts(), 8);
    EXPECT_EQ(NodeMesh(first).getNumFaces(), 4);
    EXPECT_EQ(NodeMesh(second).getNumVerts(), 4);
    EXPECT_EQ(NodeMesh(second).faces[0].v[0], 0u);
    EXPECT_EQ(NodeMesh(first).faces[3].getMatID(), 27);
    EXPECT_EQ(NodeMesh(second).faces[0].getMatID(), 28);
}

// A regular octagon tube: neighbouring quads meet at 45 degrees, a quad's two triangles at 0.
// Smooth angle 0 leaves group 0; 30 smooths each quad on its own; 50 smooths the whole tube.
TEST(SweepExport, AutoSmoothAtTheSweepsAngle) {
    std::vector<Point3> octagon;
    for (int i = 0; i < 8; ++i) {
        const float a = 0.78539816f * static_cast<float>(i);
        octagon.emplace_back(std::cos(a), std::sin(a), 0.0f);
    }
    for (float angle : {0.0f, 30.0f, 50.0f}) {
        SweepScene s;
        s.SetPath({Point3(0, 0, 0), Point3(10, 0, 0)}, false);
        s.AddProfile(octagon, true);
        s.SetFloat(Sweep_Smooth_Angle, 0, angle);
        ASSERT_EQ(trellon::ExportSweepNodes(*s.object), 1);
        const Mesh& m = NodeMesh(s.object->ExportNodes[0]);
        ASSERT_EQ(m.getNumFaces(), 16);
        // Faces 0, 1 are quad 0; faces 2, 3 quad 1.
        if (angle == 0.0f) {
            for (int f = 0; f < 16; ++f) EXPECT_EQ(m.faces[f].smGroup, 0u) << f;
        } else if (angle == 30.0f) {
            EXPECT_NE(m.faces[0].smGroup, 0u);
            EXPECT_EQ(m.faces[0].smGroup, m.faces[1].smGroup);
            EXPECT_EQ(m.faces[0].smGroup & m.faces[2].smGroup, 0u);
        } else {
            EXPECT_NE(m.faces[0].smGroup, 0u);
            for (int f = 1; f < 16; ++f) EXPECT_EQ(m.faces[f].smGroup, m.faces[0].smGroup) << f;
        }
    }
}

// An 8 degree corner splits the texture in the viewport (Shape_AngleUVW 7: 4 rows of 3) but not
// in the export (fixed 10 degrees: 3 rows).
TEST(SweepExport, FixedTenDegreeSeam) {
    SweepScene s;
    sweep_scene::Bend(s, 8.0f);
    s.AddProfile({Point3(-1, 0, 0), Point3(0, 1, 0), Point3(1, 0, 0)}, false);
    EXPECT_EQ(s.Viewport().getNumTVerts(), 12);
    ASSERT_EQ(trellon::ExportSweepNodes(*s.object), 1);
    EXPECT_EQ(NodeMesh(s.object->ExportNodes[0]).getNumTVerts(), 9);
}

}  // namespace
