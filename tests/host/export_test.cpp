// The export to geometry, run in a host scene through the function the object publishes and
// through `trellon-host export`: the nodes it makes (names, copies per node, instances for
// lights, material IDs of colour variants, layer), the agreement of their vertices with the
// viewport mesh, and an exported scene saved, loaded and built again.
#include <gtest/gtest.h>

#include <cmath>
#include <cwctype>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "export_command.h"
#include "ilayer.h"
#include "imtl.h"
#include "inode.h"
#include "mesh_dump.h"
#include "module_scene_fixture.h"
#include "object_functions.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "support/scratch_dir.h"
#include "triobj.h"

namespace {

// A scene: a straight path from the origin along x, the item nodes given, and a Trellon object
// on it that adds `adds` (set-up operations) and sets `params`.
std::string PathScene(float length, const std::string& items, const std::string& adds,
                      const std::string& params, const std::string& extra = "") {
    std::ostringstream s;
    s << R"({"format": "trellon-scene", "version": 1, "units": "centimeters", )" << extra
      << R"("nodes": [{"name": "Path", "object": {"type": "line", "points": [[0,0,0], [)" << length
      << R"(,0,0]]}}, )" << items << R"(, {"name": "Fence", "object": {"type": "Trellon", "setup": [
          {"op": "create", "seed": 3}, {"op": "pickPath", "node": "Path"}, )"
      << adds << R"(], "params": [{"name": "Geo_UserSpacing", "value": 1}, )" << params << "]}}]}";
    return s.str();
}

const char* const kPicket =
    R"({"name": "Picket", "hidden": true, "object": {"type": "box", "length": 8, "width": 2, "height": 90}})";

class Export : public ModuleSceneTest {
protected:
    void Load(const std::string& text) { host::LoadSceneText(text, "export.scene.json", *scene); }

    // Runs the object's export; the number of nodes it made.
    int ExportFence() {
        INode* node = scene->GetINodeByName(L"Fence");
        EXPECT_NE(node, nullptr);
        if (!node) return -1;
        FPValue made;
        std::string error;
        EXPECT_EQ(host::CallObjectFunction(*scene, node->GetObjectRef(), L"exportToGeometry", {},
                                           made, error),
                  FPS_OK)
            << error;
        return made.i;
    }

    // The nodes whose names start with prefix, in scene order.
    std::vector<INode*> NodesNamed(const std::wstring& prefix) const {
        std::vector<INode*> out;
        for (host::Node* n : scene->Nodes()) {
            if (std::wstring(n->GetName()).rfind(prefix, 0) == 0) out.push_back(n);
        }
        return out;
    }

    static Mesh* MeshOf(INode* node) {
        auto* tri = dynamic_cast<TriObject*>(node->GetObjectRef());
        return tri ? &tri->GetMesh() : nullptr;
    }
};

// Pickets every 10 from 0 to 24990: 2500 copies, 1000 to a node. A node already called
// "TL_Picket" makes the new ones take the next free numbers.
TEST_F(Export, ThousandCopiesToANodeNamedAfterTheSource) {
    Load(PathScene(
        24990,
        std::string(kPicket) +
            R"(, {"name": "TL_Picket", "object": {"type": "box", "length": 1, "width": 1, "height": 1}})",
        R"({"op": "addItem", "node": "Picket"})",
        R"({"name": "Item_Spacing", "value": [10, 10]})"));
    EXPECT_EQ(ExportFence(), 3);
    EXPECT_EQ(scene->GetINodeByName(L"Fence"), nullptr);
    const std::vector<INode*> nodes = NodesNamed(L"TL_Picket0");
    ASSERT_EQ(nodes.size(), 3u);
    const wchar_t* const names[] = {L"TL_Picket001", L"TL_Picket002", L"TL_Picket003"};
    const int copies[] = {1000, 1000, 500};
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(std::wstring(nodes[i]->GetName()), names[i]);
        Mesh* mesh = MeshOf(nodes[i]);
        ASSERT_NE(mesh, nullptr);
        // A box: 8 corners, 12 triangles.
        EXPECT_EQ(mesh->getNumVerts(), 8 * copies[i]);
        EXPECT_EQ(mesh->getNumFaces(), 12 * copies[i]);
        EXPECT_TRUE(nodes[i]->GetNodeTM(0).Equals(Matrix3(1)));
        EXPECT_FALSE(nodes[i]->IsHidden());
    }
    // The last copy stands at the far end: the last node reaches to 24990 and a little beyond.
    const Box3 last = MeshOf(nodes[2])->getBoundingBox();
    EXPECT_GT(last.pmax.x, 24990.0f);
    EXPECT_LT(last.pmax.x, 24990.0f + 10.0f);
}

// A light item: one node per copy, every one an instance of the light's own object, at the copy's
// place (every 25 from 0 to 100), shown although the source is hidden.
TEST_F(Export, LightCopiesBecomeInstancesOfTheLight) {
    Load(PathScene(100, R"({"name": "Lamp", "hidden": true, "object": {"type": "light"}})",
                   R"({"op": "addItem", "node": "Lamp"})",
                   R"({"name": "Item_Spacing", "value": [25, 25]})"));
    INode* lamp = scene->GetINodeByName(L"Lamp");
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(ExportFence(), 5);
    const std::vector<INode*> nodes = NodesNamed(L"TL_Lamp");
    ASSERT_EQ(nodes.size(), 5u);
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(nodes[i]->GetObjectRef(), lamp->GetObjectRef());
        EXPECT_FALSE(nodes[i]->IsHidden());
        const Point3 at = nodes[i]->GetNodeTM(0).GetTrans();
        EXPECT_NEAR(at.x, 25.0f * static_cast<float>(i), 1e-3f);
        EXPECT_NEAR(at.y, 0.0f, 1e-3f);
    }
}

// One triangle with material ID 4 every 10 from 0 to 50: six copies.
std::string VariationScene(int shift) {
    return PathScene(
        50,
        R"({"name": "Leaf", "hidden": true, "material": "Paint", "object": {"type": "mesh",
            "vertices": [[0,0,0], [4,0,0], [0,0,4]], "faces": [[0,1,2]], "materialIds": [4]}})",
        R"({"op": "addItem", "node": "Leaf"})",
        R"({"name": "Item_Spacing", "value": [10, 10]}, {"id": 51, "value": )" +
            std::to_string(shift) + R"(}, {"id": 52, "value": 3})",
        R"("materials": [{"name": "Paint", "class": "Standard", "diffuse": [0.2, 0.6, 0.2]}], )");
}

class ExportVariation : public Export, public testing::WithParamInterface<int> {};

// Colour variation with three variants packs the source material and two shifted copies into one
// multi-material; copy k's face takes ID 4 + (k mod 3) x 1, the single material's step being 1.
// Without it the copies keep their own ID and the node the source's material itself.
TEST_P(ExportVariation, ColourVariantsTakeMaterialIdsInPlacementOrder) {
    const bool shift = GetParam() != 0;
    Load(VariationScene(GetParam()));
    Mtl* paint = scene->GetINodeByName(L"Leaf")->GetMtl();
    ASSERT_EQ(ExportFence(), 1);
    INode* node = scene->GetINodeByName(L"TL_Leaf");
    ASSERT_NE(node, nullptr);
    Mesh* mesh = MeshOf(node);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->getNumFaces(), 6);
    const int ids[] = {4, 5, 6, 4, 5, 6};
    for (int f = 0; f < 6; ++f) EXPECT_EQ(mesh->faces[f].getMatID(), shift ? ids[f] : 4) << f;
    ASSERT_NE(node->GetMtl(), nullptr);
    EXPECT_EQ(node->GetMtl() == paint, !shift);
    EXPECT_EQ(node->GetMtl()->NumSubMtls(), shift ? 3 : paint->NumSubMtls());
}

INSTANTIATE_TEST_SUITE_P(ShiftOnOff, ExportVariation, testing::Values(1, 0));

// The new nodes go on the object's layer, not the current one; the sweeps come along.
TEST_F(Export, NodesLandOnTheObjectsLayerWithTheSweeps) {
    Load(PathScene(
        100,
        std::string(kPicket) +
            R"(, {"name": "Rail", "hidden": true, "object": {"type": "line", "closed": true,
                         "points": [[-2,-3,0], [2,-3,0], [2,3,0], [-2,3,0]]}})",
        R"({"op": "addItem", "node": "Picket"}, {"op": "addShape", "node": "Rail"})",
        R"({"name": "Item_Spacing", "value": [20, 20]})",
        R"("layers": [{"name": "Fences"}, {"name": "Other"}], "currentLayer": "Other", )"));
    auto* fences = scene->Layers().GetLayer(MSTR(L"Fences"));
    ASSERT_NE(fences, nullptr);
    fences->AddToLayer(scene->GetINodeByName(L"Fence"));
    ASSERT_EQ(std::wstring(scene->Layers().GetCurrentLayer()->GetName().data()), L"Other");
    EXPECT_EQ(ExportFence(), 2);
    for (const wchar_t* name : {L"TL_Picket", L"TL_Rail"}) {
        INode* node = scene->GetINodeByName(name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->GetReference(NODE_LAYER_REF), fences) << name;
    }
    // Pickets every 20 from 0 to 100: six.
    EXPECT_EQ(MeshOf(scene->GetINodeByName(L"TL_Picket"))->getNumFaces(), 6 * 12);
    EXPECT_GT(MeshOf(scene->GetINodeByName(L"TL_Rail"))->getNumFaces(), 0);
}

// The posts and end pieces scene of the user reference, each layout: boards between posts at the
// knots, a cap at each end.
std::string PostsAndEnds(int pattern) {
    return R"({"format": "trellon-scene", "version": 1, "units": "centimeters", "nodes": [
    {"name": "Path", "object": {"type": "spline", "steps": 8, "splines": [{"closed": false, "knots": [
        {"type": "corner", "point": [0, 0, 0]},
        {"type": "bezier", "point": [200, 50, 0], "in": [150, 0, 0], "out": [250, 100, 0]},
        {"type": "corner", "point": [400, 100, 30]}]}]}},
    {"name": "Board", "hidden": true, "object": {"type": "box", "length": 12, "width": 2, "height": 60}},
    {"name": "Slat", "hidden": true, "object": {"type": "box", "length": 5, "width": 3, "height": 40}},
    {"name": "Post", "hidden": true, "object": {"type": "box", "length": 6, "width": 6, "height": 80}},
    {"name": "Cap", "hidden": true, "object": {"type": "sphere", "radius": 5, "segments": 8}},
    {"name": "Fence", "transform": {"position": [10, -20, 5], "rotation": [0, 0, 30]},
     "object": {"type": "Trellon",
      "setup": [{"op": "create", "seed": 5}, {"op": "pickPath", "node": "Path"},
                {"op": "addItems", "nodes": ["Board", "Slat", "Post", "Cap"]},
                {"op": "makePost", "row": 3}, {"op": "makeEnd", "row": 3}],
      "params": [{"name": "Geo_Pattern", "value": )" +
           std::to_string(pattern) + R"(}, {"name": "Geo_UserSpacing", "value": 1},
                 {"name": "Item_Spacing", "value": [14, 14, 11, 14, 14]},
                 {"name": "Item_Spacing_Random", "value": [3, 3, 3, 3, 3]},
                 {"name": "KnotSpacing", "value": 100}, {"name": "KnotThresh", "value": 4},
                 {"name": "Display_Mode", "value": 6}]}}]})";
}

class ExportAgreement : public Export, public testing::WithParamInterface<int> {};

// The viewport mesh holds the copies one after another in placement order; each exported source
// holds its own copies in the same order. Walking the viewport mesh, each block of vertices must
// be the next unmatched copy of one of the sources, in world space within 1e-4.
TEST_P(ExportAgreement, ExportedCopiesAreTheViewportsCopies) {
    Load(PostsAndEnds(GetParam()));
    const TimeValue t = scene->GetTime();
    host::EvaluatedNode shown;
    ASSERT_TRUE(host::EvaluateNode(scene->GetINodeByName(L"Fence"), t, shown));
    std::vector<Point3> viewport(static_cast<std::size_t>(shown.Geometry().getNumVerts()));
    for (int i = 0; i < shown.Geometry().getNumVerts(); ++i)
        viewport[static_cast<std::size_t>(i)] = shown.Geometry().verts[i] * shown.objectTM;
    ASSERT_GT(ExportFence(), 0);

    // Each source's copies, its nodes' vertices in order, and its vertices per copy: the item's
    // own count (8 for a box, whatever the host makes of the sphere's 8 segments).
    struct Source {
        std::vector<Point3> verts;
        int perCopy = 0;
        std::size_t next = 0;
    };
    std::map<std::wstring, Source> sources;
    for (INode* node : NodesNamed(L"TL_")) {
        std::wstring name = std::wstring(node->GetName()).substr(3);
        while (!name.empty() && std::iswdigit(name.back())) name.pop_back();
        Source& s = sources[name];
        s.perCopy = MeshOf(scene->GetINodeByName(name.c_str()))->getNumVerts();
        const Mesh* mesh = MeshOf(node);
        ASSERT_NE(mesh, nullptr);
        const Matrix3 tm = node->GetObjectTM(t);
        for (int i = 0; i < mesh->getNumVerts(); ++i) s.verts.push_back(mesh->verts[i] * tm);
    }
    ASSERT_EQ(sources.size(), 4u);
    std::size_t total = 0;
    for (const auto& [name, s] : sources) total += s.verts.size();
    ASSERT_EQ(total, viewport.size());

    auto matches = [&](const Source& s, std::size_t at) {
        if (s.next + static_cast<std::size_t>(s.perCopy) > s.verts.size()) return false;
        for (int i = 0; i < s.perCopy; ++i) {
            if (!s.verts[s.next + static_cast<std::size_t>(i)].Equals(
                    viewport[at + static_cast<std::size_t>(i)], 1e-4f))
                return false;
        }
        return true;
    };
    std::size_t at = 0;
    while (at < viewport.size()) {
        Source* found = nullptr;
        for (auto& [name, s] : sources) {
            if (matches(s, at)) {
                found = &s;
                break;
            }
        }
        ASSERT_NE(found, nullptr) << "viewport vertex " << at << " starts no source's next copy";
        at += static_cast<std::size_t>(found->perCopy);
        found->next += static_cast<std::size_t>(found->perCopy);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, ExportAgreement, testing::Values(0, 1, 2),
                         [](const testing::TestParamInfo<int>& p) {
                             return "Pattern" + std::to_string(p.param);
                         });

// `trellon-host export`: the exported scene saved whole loads into a fresh scene and evaluates to
// the same meshes; --node naming no Trellon object is refused.
TEST_F(Export, CommandSavesASceneThatBuildsTheSameAgain) {
    const support::ScratchDir dir;
    const std::string in = (dir / "fence.scene.json").string();
    std::ofstream(in) << PostsAndEnds(1);
    host::ExportOptions options{in, (dir / "out.scene.json").string(), "", ""};
    std::ostringstream out, err;
    ASSERT_EQ(host::ExportScene(*scene, options, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("Fence: exported as "), std::string::npos) << out.str();
    // The same meshes, number for number, in the dump of every evaluated node.
    const std::string exported = host::MeshDumpText(host::EvaluateScene(*scene, 0));
    host::Scene again;
    again.RegisterClass(cd);
    host::LoadSceneFile(options.output, again);
    EXPECT_EQ(host::MeshDumpText(host::EvaluateScene(again, 0)), exported);

    host::Scene third;
    third.RegisterClass(cd);
    options.node = "Gate";
    std::ostringstream out2, err2;
    EXPECT_EQ(host::ExportScene(third, options, out2, err2), 1);
    EXPECT_NE(err2.str().find("no Trellon object on a node named \"Gate\""), std::string::npos)
        << err2.str();
}

}  // namespace
