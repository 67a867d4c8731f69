// The export to geometry, run in a host scene through the function the object publishes and
// through `trellon-host export`: the nodes it makes (names, copies per node, instances for
// lights, material IDs of colour variants, layer), the agreement of the exported and the rendered
// copies with the viewport mesh, and an exported scene saved, loaded and built again.
#include <gtest/gtest.h>

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
#include "render_run.h"
#include "renderers.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "support/fence_scene.h"
#include "support/near.h"
#include "support/scratch_dir.h"
#include "triobj.h"

namespace {

// The fence's parts (fence_scene.h) on a straight path of `length` along x from the origin;
// `setup` adds the items and `params` follow Geo_UserSpacing 1.
std::string PathScene(int length, const std::string& setup, const std::string& params,
                      const std::string& nodes = "", const std::string& top = "") {
    support::FenceScene s;
    s.path = R"({"type": "line", "points": [[0,0,0], [)" + std::to_string(length) + ",0,0]]}";
    s.nodes = nodes;
    s.top = top;
    s.setup = setup;
    s.params = R"({"name": "Geo_UserSpacing", "value": 1}, )" + params;
    return s.Text();
}

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
        auto* tri = node ? dynamic_cast<TriObject*>(node->GetObjectRef()) : nullptr;
        return tri ? &tri->GetMesh() : nullptr;
    }
};

// Pickets every 10 from 0 to 24990: 2500 copies, 1000 to a node. A node already called
// "TL_Picket" makes the new ones take the next free numbers.
TEST_F(Export, ThousandCopiesToANodeNamedAfterTheSource) {
    Load(PathScene(
        24990, R"({"op": "addItem", "node": "Picket"})",
        R"({"name": "Item_Spacing", "value": [10, 10]})",
        R"({"name": "TL_Picket", "object": {"type": "box", "length": 1, "width": 1, "height": 1}},)"));
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
    Load(PathScene(100, R"({"op": "addItem", "node": "Lamp"})",
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
        const Point3 at(25.0f * static_cast<float>(i), 0.0f, 0.0f);
        EXPECT_TRUE(support::Near(nodes[i]->GetNodeTM(0).GetTrans(), at, 1e-3f));
    }
}

// One triangle with material ID 4 every 10 from 0 to 50: six copies.
std::string VariationScene(int shift) {
    return PathScene(
        50, R"({"op": "addItem", "node": "Leaf"})",
        R"({"name": "Item_Spacing", "value": [10, 10]}, {"id": 51, "value": )" +
            std::to_string(shift) + R"(}, {"id": 52, "value": 3})",
        R"({"name": "Leaf", "hidden": true, "material": "Wood", "object": {"type": "mesh",
            "vertices": [[0,0,0], [4,0,0], [0,0,4]], "faces": [[0,1,2]], "materialIds": [4]}},)");
}

class ExportVariation : public Export, public testing::WithParamInterface<int> {};

// Colour variation with three variants packs the source material and two shifted copies into one
// multi-material; copy k's face takes ID 4 + (k mod 3) x 1, the single material's step being 1.
// Without it the copies keep their own ID and the node the source's material itself.
TEST_P(ExportVariation, ColourVariantsTakeMaterialIdsInPlacementOrder) {
    const bool shift = GetParam() != 0;
    Load(VariationScene(GetParam()));
    ASSERT_NE(scene->GetINodeByName(L"Leaf"), nullptr);
    Mtl* wood = scene->GetINodeByName(L"Leaf")->GetMtl();
    ASSERT_EQ(ExportFence(), 1);
    INode* node = scene->GetINodeByName(L"TL_Leaf");
    ASSERT_NE(node, nullptr);
    Mesh* mesh = MeshOf(node);
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->getNumFaces(), 6);
    const int ids[] = {4, 5, 6, 4, 5, 6};
    for (int f = 0; f < 6; ++f) EXPECT_EQ(mesh->faces[f].getMatID(), shift ? ids[f] : 4) << f;
    ASSERT_NE(node->GetMtl(), nullptr);
    EXPECT_EQ(node->GetMtl() == wood, !shift);
    EXPECT_EQ(node->GetMtl()->NumSubMtls(), shift ? 3 : wood->NumSubMtls());
}

INSTANTIATE_TEST_SUITE_P(ShiftOnOff, ExportVariation, testing::Values(1, 0));

// The new nodes go on the object's layer, not the current one; the sweeps come along.
TEST_F(Export, NodesLandOnTheObjectsLayerWithTheSweeps) {
    Load(PathScene(
        100, R"({"op": "addItem", "node": "Picket"}, {"op": "addShape", "node": "Rail"})",
        R"({"name": "Item_Spacing", "value": [20, 20]})", "",
        R"("layers": [{"name": "Fences"}, {"name": "Other"}], "currentLayer": "Other", )"));
    auto* fences = scene->Layers().GetLayer(MSTR(L"Fences"));
    ASSERT_NE(fences, nullptr);
    ASSERT_NE(scene->GetINodeByName(L"Fence"), nullptr);
    fences->AddToLayer(scene->GetINodeByName(L"Fence"));
    ASSERT_EQ(std::wstring(scene->Layers().GetCurrentLayer()->GetName().data()), L"Other");
    EXPECT_EQ(ExportFence(), 2);
    for (const wchar_t* name : {L"TL_Picket", L"TL_Rail"}) {
        INode* node = scene->GetINodeByName(name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(node->GetReference(NODE_LAYER_REF), fences) << name;
    }
    // Pickets every 20 from 0 to 100: six.
    Mesh* pickets = MeshOf(scene->GetINodeByName(L"TL_Picket"));
    Mesh* rail = MeshOf(scene->GetINodeByName(L"TL_Rail"));
    ASSERT_TRUE(pickets && rail);
    EXPECT_EQ(pickets->getNumFaces(), 6 * 12);
    EXPECT_GT(rail->getNumFaces(), 0);
}

// --- Agreement with the viewport: one placement walk feeds the viewport, the renderer and the
// export, so each route's copies, in world space, are the viewport mesh's copies. -------------

// Each source's copies, in world space, in the order the route holds them.
using Copies = std::map<std::string, std::vector<std::vector<Point3>>>;

// The viewport mesh holds the copies one after another in placement order. Walking it, each
// block of vertices must be the next unmatched copy of one of the sources (within 1e-3), and at
// the end every copy must have been met.
testing::AssertionResult MatchesTheViewport(const std::vector<Point3>& viewport,
                                            const Copies& sources) {
    std::map<std::string, std::size_t> next;
    std::size_t at = 0;
    while (at < viewport.size()) {
        const std::vector<Point3>* found = nullptr;
        for (const auto& [name, copies] : sources) {
            std::size_t& n = next[name];
            if (n == copies.size() || copies[n].empty()) continue;
            const std::vector<Point3>& copy = copies[n];
            bool same = at + copy.size() <= viewport.size();
            for (std::size_t i = 0; same && i < copy.size(); ++i)
                same = copy[i].Equals(viewport[at + i], 1e-3f);
            if (same) {
                found = &copy;
                ++n;
                break;
            }
        }
        if (!found)
            return testing::AssertionFailure()
                   << "viewport vertex " << at << " starts no source's next copy";
        at += found->size();
    }
    for (const auto& [name, copies] : sources) {
        if (next[name] != copies.size())
            return testing::AssertionFailure() << "the viewport shows " << next[name] << " of "
                                               << copies.size() << " copies of " << name;
    }
    return testing::AssertionSuccess();
}

// The fence's parts on a bent path (a corner, a Bezier knot, a corner rising 30), the node moved
// and turned: pickets and caps along the path with random spacing, turns and sideways offsets,
// the post at the knots and a ball (a mesh of another vertex count) at both ends.
std::string BentFence(int pattern) {
    support::FenceScene s;
    s.path = R"({"type": "spline", "steps": 8, "splines": [{"closed": false, "knots": [
        {"type": "corner", "point": [0, 0, 0]},
        {"type": "bezier", "point": [200, 50, 0], "in": [150, 0, 0], "out": [250, 100, 0]},
        {"type": "corner", "point": [400, 100, 30]}]}]})";
    s.nodes = R"({"name": "Ball", "hidden": true,
                  "object": {"type": "sphere", "radius": 5, "segments": 8}},)";
    s.transform = R"({"position": [10, -20, 5], "rotation": [0, 0, 30]})";
    s.seed = 5;
    s.setup = R"({"op": "addItems", "nodes": ["Picket", "Cap", "Post", "Ball"]},
                 {"op": "makePost", "row": 3}, {"op": "makeEnd", "row": 3})";
    s.params = R"({"name": "Geo_Pattern", "value": )" + std::to_string(pattern) + R"(},
        {"name": "Geo_UserSpacing", "value": 1}, {"name": "Item_Spacing", "value": [14, 14, 11, 14, 14]},
        {"name": "Item_Spacing_Random", "value": [3, 3, 3, 3, 3]},
        {"name": "Item_Z_Rot_Random", "value": [0, 40, 40, 40, 40]},
        {"name": "Item_Pos_InOut_Random", "value": [0, 6, 6, 6, 6]},
        {"name": "KnotSpacing", "value": 100}, {"name": "KnotThresh", "value": 4},
        {"name": "Display_Mode", "value": 6})";
    return s.Text();
}

class ViewportAgreement : public Export, public testing::WithParamInterface<int> {
protected:
    // The instances Corona is given: each its source's vertices carried by its transform.
    Copies Instances() {
        Copies copies;
        scene->SetCurrentRenderer({host::kCoronaRendererClassID, 0x5100000000001LL});
        host::RenderFrames(*scene, 0, 0, [&](host::FrameDrawing& frame) {
            for (const host::InstancedSource& s : frame.instanced) {
                const Mesh& item = s.source.Geometry();
                for (const host::InstanceGroup& g : s.groups) {
                    for (const Matrix3& tm : g.transforms) {
                        std::vector<Point3>& copy = copies[s.source.name].emplace_back();
                        for (int i = 0; i < item.numVerts; ++i) copy.push_back(item.verts[i] * tm);
                    }
                }
            }
        });
        return copies;
    }

    // The export's nodes "TL_<source><number>": each holds its source's copies one after
    // another, so it is cut into copies of the source mesh's vertex count.
    Copies Exported() {
        Copies copies;
        EXPECT_GT(ExportFence(), 0);
        for (INode* node : NodesNamed(L"TL_")) {
            std::string name = ToUTF8(node->GetName());
            name = name.substr(3, name.find_last_not_of("0123456789") - 2);
            const Mesh* mesh = MeshOf(node);
            const Mesh* source = MeshOf(scene->GetINodeByName(FromUTF8(name).c_str()));
            if (!mesh || !source) {
                ADD_FAILURE() << name << ": no mesh, or no source mesh";
                continue;
            }
            const Matrix3 tm = node->GetObjectTM(0);
            for (int i = 0; i < mesh->getNumVerts(); ++i) {
                if (i % source->getNumVerts() == 0) copies[name].emplace_back();
                copies[name].back().push_back(mesh->verts[i] * tm);
            }
        }
        return copies;
    }
};

// For every pattern, with posts, end objects and random values on: the renderer's instances and
// the export's nodes each match the viewport copy for copy, from all four sources.
TEST_P(ViewportAgreement, RenderAndExportCopiesAreTheViewportsCopies) {
    host::LoadSceneText(BentFence(GetParam()), "agree.scene.json", *scene);
    INode* fence = scene->GetINodeByName(L"Fence");
    ASSERT_NE(fence, nullptr);
    host::EvaluatedNode shown;
    ASSERT_TRUE(host::EvaluateNode(fence, 0, shown));
    std::vector<Point3> viewport;
    for (int i = 0; i < shown.Geometry().getNumVerts(); ++i)
        viewport.push_back(shown.Geometry().verts[i] * shown.objectTM);
    ASSERT_FALSE(viewport.empty());

    const Copies instances = Instances();
    EXPECT_EQ(instances.size(), 4u);
    EXPECT_TRUE(MatchesTheViewport(viewport, instances)) << "render instances";
    const Copies exported = Exported();
    EXPECT_EQ(exported.size(), 4u);
    EXPECT_TRUE(MatchesTheViewport(viewport, exported)) << "exported nodes";
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, ViewportAgreement, testing::Values(0, 1, 2),
                         [](const testing::TestParamInfo<int>& p) {
                             return "Pattern" + std::to_string(p.param);
                         });

// `trellon-host export`: the exported scene saved whole loads into a fresh scene and evaluates to
// the same meshes; --node naming no Trellon object is refused.
TEST_F(Export, CommandSavesASceneThatBuildsTheSameAgain) {
    const support::ScratchDir dir;
    const std::string in = (dir / "fence.scene.json").string();
    // Pickets every 20 on the 200-unit path, the post at both knots and a cap at both ends.
    std::ofstream(in) << PathScene(200, support::kPicketPostCap,
                                   R"({"name": "Item_Spacing", "value": [20, 20, 20, 20]})");
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
