#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "imtl.h"
#include "materials.h"
#include "scene.h"
#include "scene_reader.h"
#include "splshape.h"
#include "superclassids.h"
#include "support/keep_units.h"
#include "support/near.h"
#include "support/text_files.h"
#include "triobj.h"
#include "units.h"

namespace {

using support::ScenePath;

class SceneFile : public ::testing::Test {
protected:
    host::Node* NodeNamed(const wchar_t* name) {
        return dynamic_cast<host::Node*>(scene_.GetINodeByName(name));
    }
    // A fatal failure (for ASSERT_NO_FATAL_FAILURE) when one of the nodes is missing.
    void HasNodes(std::initializer_list<const wchar_t*> names) {
        for (const wchar_t* name : names) ASSERT_NE(NodeNamed(name), nullptr) << ToUTF8(name);
    }
    // The mesh of a node holding a TriObject, or null.
    const Mesh* MeshOf(const wchar_t* name) {
        host::Node* node = NodeNamed(name);
        auto* tri = node ? dynamic_cast<TriObject*>(node->GetObjectRef()) : nullptr;
        return tri ? &tri->GetMesh() : nullptr;
    }

    support::KeepUnits units_;
    host::Scene scene_;
};

TEST_F(SceneFile, EveryObjectTypeLoadsWithItsTransformMeshAndBox) {
    host::LoadSceneFile(ScenePath("every_object.scene.json"), scene_);

    int type = -1;
    float scale = 0.0f;
    GetMasterUnitInfo(&type, &scale);
    EXPECT_EQ(type, UNITS_CENTIMETERS);
    EXPECT_EQ(scene_.GetTime(), 160);
    ASSERT_EQ(scene_.Nodes().size(), 4u);
    ASSERT_NO_FATAL_FAILURE(HasNodes({L"Path01", L"Tri", L"Picket", L"Outline"}));
    EXPECT_EQ(scene_.Layers().GetLayerCount(), 2);
    ILayer* fence = scene_.Layers().GetLayer(MSTR(L"Fence"));
    ASSERT_NE(fence, nullptr);
    EXPECT_TRUE(fence->IsHidden());
    EXPECT_EQ(scene_.Layers().GetCurrentLayer(), fence);
    // Path01 names layer 0; the others take the current layer.
    EXPECT_EQ(NodeNamed(L"Path01")->GetLayer(), scene_.Layers().GetLayer(MSTR(L"0")));
    EXPECT_EQ(NodeNamed(L"Tri")->GetLayer(), fence);

    // Materials: the multi-material's first slot is the named Wood, the second made inline.
    ASSERT_EQ(scene_.SceneMaterials().size(), 2u);
    Mtl* wood = scene_.SceneMaterials()[0];
    Mtl* multi = scene_.SceneMaterials()[1];
    EXPECT_EQ(wood->ClassID(), Class_ID(DMTL_CLASS_ID, 0));
    EXPECT_NEAR(wood->GetDiffuse().g, 0.4f, 1e-6f);
    auto* map = dynamic_cast<host::BitmapMap*>(wood->GetSubTexmap(0));
    ASSERT_NE(map, nullptr);
    // The file name the scene gives, taken from the scene file's folder.
    EXPECT_EQ(std::filesystem::path(map->File()),
              std::filesystem::path(ScenePath("wood.png")).lexically_normal());
    EXPECT_TRUE(multi->IsMultiMtl());
    ASSERT_EQ(multi->NumSubMtls(), 2);
    EXPECT_EQ(multi->GetSubMtl(0), wood);
    MSTR cls;
    multi->GetSubMtl(1)->GetClassName(cls);
    EXPECT_EQ(std::wstring(cls.data()), L"VRayCarPaintMtl");
    EXPECT_EQ(NodeNamed(L"Picket")->GetMtl(), multi);

    // Spline: 3 knots; the bezier knot keeps its handles, the corner's are computed on the
    // chord, a third of the way to the next knot (10/3 along X).
    auto* path = dynamic_cast<SplineShape*>(NodeNamed(L"Path01")->GetObjectRef());
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->GetSteps(), 4);
    ASSERT_EQ(path->shape.SplineCount(), 1);
    Spline3D* s = path->shape.splines[0];
    ASSERT_EQ(s->KnotCount(), 3);
    EXPECT_EQ(s->GetKnotType(1), KTYPE_BEZIER);
    EXPECT_EQ(s->GetKnotType(2), KTYPE_AUTO);
    EXPECT_TRUE(support::Near(s->GetInVec(1), Point3(8, -2, 0), 1e-5f));
    EXPECT_TRUE(support::Near(s->GetOutVec(1), Point3(12, 2, 0), 1e-5f));
    EXPECT_TRUE(support::Near(s->GetOutVec(0), Point3(10.0f / 3.0f, 0.0f, 0.0f), 1e-5f));

    // Closed line of 4 corners: 4 straight pieces, length 4 * 5.
    host::Node* outline = NodeNamed(L"Outline");
    auto* line = dynamic_cast<SplineShape*>(outline->GetObjectRef());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->CurveClosed(0, 0));
    EXPECT_EQ(line->NumberOfPieces(0, 0), 4);
    EXPECT_NEAR(line->LengthOfCurve(0, 0), 20.0f, 1e-3f);
    EXPECT_EQ(outline->GetWireColor(), DWORD(186 | (214 << 8) | (54 << 16)));
    EXPECT_TRUE(outline->IsHidden());
    EXPECT_FALSE(outline->Renderable());

    // Tri turns 90 degrees about Z at (10,0,0): +X goes to +Y.
    host::Node* tri = NodeNamed(L"Tri");
    const Matrix3 tm = tri->GetNodeTM(0);
    EXPECT_TRUE(support::Near(tm.VectorTransform(Point3(1, 0, 0)), Point3(0, 1, 0), 1e-5f));
    EXPECT_TRUE(support::Near(tm * Point3(0, 0, 0), Point3(10, 0, 0), 1e-5f));
    // The offset (1,0,0) lies along the node's X, which now points along world Y.
    EXPECT_TRUE(support::Near(tri->GetObjectTM(0) * Point3(0, 0, 0), Point3(10, 1, 0), 1e-5f));

    ASSERT_NE(MeshOf(L"Tri"), nullptr);
    const Mesh& m = *MeshOf(L"Tri");
    ASSERT_EQ(m.getNumFaces(), 1);
    EXPECT_EQ(m.faces[0].getMatID(), 3);
    EXPECT_EQ(m.faces[0].getSmGroup(), 1u);
    EXPECT_NE(m.faces[0].getEdgeVis(0), 0u);
    EXPECT_EQ(m.faces[0].getEdgeVis(1), 0u);
    ASSERT_EQ(m.getNumTVerts(), 3);
    EXPECT_NEAR(m.tVerts[2].z, 0.5f, 1e-6f);
    EXPECT_EQ(m.tvFace[0].t[2], 2u);

    // Picket's quaternion is the host's Quat(RotateZMatrix(90 deg)): +X to +Y, scaled by 2.
    const Matrix3 pm = NodeNamed(L"Picket")->GetNodeTM(0);
    EXPECT_TRUE(support::Near(pm.VectorTransform(Point3(1, 0, 0)), Point3(0, 2, 0), 1e-5f));

    // Picket's box: width 4 along X, length 2 along Y, height 3 up from the pivot at the base
    // centre; outward winding: the divergence theorem gives +volume = 4*2*3 = 24 from the faces.
    ASSERT_NE(MeshOf(L"Picket"), nullptr);
    const Mesh& box = *MeshOf(L"Picket");
    ASSERT_EQ(box.getNumVerts(), 8);
    ASSERT_EQ(box.getNumFaces(), 12);
    EXPECT_TRUE(support::Near(box.getBoundingBox().pmin, Point3(-2, -1, 0), 1e-5f));
    EXPECT_TRUE(support::Near(box.getBoundingBox().pmax, Point3(2, 1, 3), 1e-5f));
    double volume = 0.0;
    for (int f = 0; f < 12; ++f) {
        const Point3 a = box.verts[box.faces[f].v[0]];
        const Point3 b = box.verts[box.faces[f].v[1]];
        const Point3 c = box.verts[box.faces[f].v[2]];
        volume += DotProd(a, CrossProd(b - a, c - a)) / 6.0;
    }
    EXPECT_NEAR(volume, 24.0, 1e-4);
}

// A scene with one material, before its "nodes" key. (Refusals: scene_file_refusals_test.cpp.)
const char* const kPrefix =
    R"({"format":"trellon-scene","version":1,"materials":[{"name":"Wood","class":"Standard"}],)";

TEST_F(SceneFile, SphereLightCameraAndTarget) {
    host::LoadSceneText(std::string(kPrefix) + R"("nodes":[
        {"name":"Ball","object":{"type":"sphere","radius":2,"segments":8}},
        {"name":"Sun","object":{"type":"light","kind":"spot"}},
        {"name":"Sun.Target","object":{"type":"target"}},
        {"name":"Cam","object":{"type":"camera"}}]})",
                        "s.json", scene_);
    ASSERT_NO_FATAL_FAILURE(HasNodes({L"Sun", L"Sun.Target", L"Cam"}));
    ASSERT_NE(MeshOf(L"Ball"), nullptr);
    const Mesh& m = *MeshOf(L"Ball");
    // 8 meridians, 4 bands: 3 rings of 8 plus 2 poles; 8 faces per cap, 16 per inner band.
    ASSERT_EQ(m.getNumVerts(), 3 * 8 + 2);
    ASSERT_EQ(m.getNumFaces(), 2 * 8 + 2 * 16);
    for (int i = 0; i < m.getNumVerts(); ++i) EXPECT_NEAR(Length(m.verts[i]), 2.0f, 1e-5f);
    // Convex about the pivot: each face's normal points away from the centre.
    for (int f = 0; f < m.getNumFaces(); ++f) {
        const Point3 a = m.verts[m.faces[f].v[0]];
        const Point3 b = m.verts[m.faces[f].v[1]];
        const Point3 c = m.verts[m.faces[f].v[2]];
        EXPECT_GT(DotProd(CrossProd(b - a, c - a), a + b + c), 0.0f) << "face " << f;
    }
    Object* sun = NodeNamed(L"Sun")->GetObjectRef();
    EXPECT_EQ(sun->SuperClassID(), LIGHT_CLASS_ID);
    EXPECT_EQ(sun->ClassID(), Class_ID(0x1012, 0));
    EXPECT_EQ(NodeNamed(L"Cam")->GetObjectRef()->SuperClassID(), CAMERA_CLASS_ID);
    EXPECT_TRUE(NodeNamed(L"Sun.Target")->IsTarget());
    EXPECT_FALSE(NodeNamed(L"Sun")->IsTarget());
}

TEST_F(SceneFile, ExistingNodeNameIsRefused) {
    scene_.CreateNamedNode(nullptr, MSTR(L"A"));
    EXPECT_THROW(
        host::LoadSceneText(std::string(kPrefix) + R"("nodes":[{"name":"A"}]})", "e.json", scene_),
        host::SceneFileError);
    EXPECT_EQ(scene_.Nodes().size(), 1u);
}

}  // namespace
