// The copies the renderer and the export are given are the viewport's copies: one placement walk
// feeds them all. Each route's copies, in world space, are matched against the viewport mesh.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "inode.h"
#include "module_scene_fixture.h"
#include "object_functions.h"
#include "render_run.h"
#include "renderers.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "triobj.h"

namespace {

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

class ViewportAgreement : public ModuleSceneTest, public testing::WithParamInterface<int> {
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
    Copies Exported(INode* fence) {
        Copies copies;
        FPValue made;
        std::string error;
        EXPECT_EQ(host::CallObjectFunction(*scene, fence->GetObjectRef(), L"exportToGeometry", {},
                                           made, error),
                  FPS_OK)
            << error;
        for (host::Node* node : scene->Nodes()) {
            std::string name = ToUTF8(node->GetName());
            if (name.rfind("TL_", 0) != 0) continue;
            name = name.substr(3, name.find_last_not_of("0123456789") - 2);
            auto* mesh = dynamic_cast<TriObject*>(node->GetObjectRef());
            INode* source = scene->GetINodeByName(FromUTF8(name).c_str());
            auto* sourceMesh = source ? dynamic_cast<TriObject*>(source->GetObjectRef()) : nullptr;
            if (!mesh || !sourceMesh) {
                ADD_FAILURE() << name << ": no mesh, or no source mesh";
                continue;
            }
            const int perCopy = sourceMesh->GetMesh().getNumVerts();
            const Matrix3 tm = node->GetObjectTM(0);
            for (int i = 0; i < mesh->GetMesh().getNumVerts(); ++i) {
                if (i % perCopy == 0) copies[name].emplace_back();
                copies[name].back().push_back(mesh->GetMesh().verts[i] * tm);
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
    const Copies exported = Exported(fence);
    EXPECT_EQ(exported.size(), 4u);
    EXPECT_TRUE(MatchesTheViewport(viewport, exported)) << "exported nodes";
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, ViewportAgreement, testing::Values(0, 1, 2),
                         [](const testing::TestParamInfo<int>& p) {
                             return "Pattern" + std::to_string(p.param);
                         });

}  // namespace
