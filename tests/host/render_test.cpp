// Rendering: the routes a Trellon object's copies take to the renderer (instance lists for
// Corona, the bridge library for V-Ray, the export's nodes for the others, nothing for a hidden
// object), the clean-up after a render and the material round robin per frame. (The instances'
// agreement with the viewport: export_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ilayer.h"
#include "imtl.h"
#include "inode.h"
#include "module_loader.h"
#include "module_scene_fixture.h"
#include "notify.h"
#include "render_command.h"
#include "render_run.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "support/scratch_dir.h"

namespace {

const Interface_ID kRenderInterface(0x602C557F, 0x4BF751AD);

// The fence's parts (fence_scene.h) on a 200-unit path along x: a picket every 20 (11 copies), a
// post at both knots (2) and a cap at both ends (2); the node is turned 90 degrees about Z and
// moved, so world and object space differ. `top` adds top-level keys, `params` more parameters;
// `lamp` adds the light as a fourth item.
std::string FenceText(const std::string& top = "", const std::string& params = "",
                      bool lamp = false) {
    support::FenceScene s;
    s.top = top;
    s.transform = R"({"position": [5, 7, 0], "rotation": [0, 0, 90]})";
    s.seed = 4;
    s.setup = support::kPicketPostCap;
    if (lamp) s.setup += R"(, {"op": "addItem", "node": "Lamp"})";
    s.params = R"({"name": "Geo_UserSpacing", "value": 1}, {"name": "KnotSpacing", "value": 1000},
                  {"name": "Display_Mode", "value": 6}, {"name": "Item_Spacing", "value": )" +
               std::string(lamp ? "[20, 20, 20, 20, 20]}" : "[20, 20, 20, 20]}") + params;
    return s.Text();
}

class Render : public ModuleSceneTest {
protected:
    void Load(const std::string& text) { host::LoadSceneText(text, "render.scene.json", *scene); }

    host::RenderResult RenderWith(const host::RendererInfo& renderer, int frames = 1,
                                  const std::function<void(host::FrameDrawing&)>& onFrame = {}) {
        scene->SetCurrentRenderer(renderer);
        const int tpf = GetTicksPerFrame();
        return host::RenderFrames(*scene, 0, (frames - 1) * tpf, onFrame);
    }

    const host::ObjectRoute& Fence(const host::RenderResult& r, std::size_t frame = 0) {
        return r.frames.at(frame).objects.at(0);
    }

    INode* FenceNode() { return scene->GetINodeByName(L"Fence"); }
};

host::RendererInfo Corona(std::int64_t version) { return {host::kCoronaRendererClassID, version}; }
const host::RendererInfo kScanline{host::kScanlineRendererClassID, 0};
const host::RendererInfo kVRay{host::kVRayRendererClassID, 0};
const host::RendererInfo kNone{};

struct RouteCase {
    const char* name;
    host::RendererInfo renderer;
    const char* route;
    std::int64_t instances;  // 11 pickets, 2 posts, 2 end caps
};

class RenderRoute : public Render, public testing::WithParamInterface<RouteCase> {};

// Each renderer takes the copies by its route, every copy once, and nothing made for the render
// is left after it.
TEST_P(RenderRoute, TakesTheCopiesByItsRouteAndLeavesNothing) {
    const RouteCase& c = GetParam();
    Load(FenceText());
    const std::size_t nodesBefore = scene->Nodes().size();
    std::int64_t drawnInstances = 0;
    std::size_t drawnNodes = 0;
    const host::RenderResult r = RenderWith(c.renderer, 1, [&](host::FrameDrawing& frame) {
        for (const host::InstancedSource& s : frame.instanced)
            for (const host::InstanceGroup& g : s.groups) drawnInstances += g.transforms.size();
        drawnNodes = frame.nodes.size();
    });
    EXPECT_EQ(Fence(r).route, c.route);
    EXPECT_EQ(Fence(r).instances, c.instances);
    EXPECT_EQ(drawnInstances, c.instances);
    if (std::string(c.route) == "nodes") {
        // One node of copies per item (at most 1,000 each) and the object's own (its sweeps:
        // none here, so only the three copy nodes have faces).
        EXPECT_EQ(Fence(r).nodesMade, 3);
        EXPECT_EQ(drawnNodes, 3u);
    } else {
        EXPECT_EQ(Fence(r).perSource, (std::vector<std::pair<std::string, std::int64_t>>{
                                          {"Cap", 2}, {"Picket", 11}, {"Post", 2}}));
    }
    EXPECT_EQ(r.nodesLeft, 0);
    EXPECT_EQ(scene->Nodes().size(), nodesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Renderers, RenderRoute,
    testing::Values(RouteCase{"CoronaFirstInstancingVersion", Corona(0x5100000000001LL),
                              "instances", 15},
                    RouteCase{"CoronaOneVersionEarlier", Corona(0x5100000000000LL), "nodes", 0},
                    RouteCase{"Scanline", kScanline, "nodes", 0},
                    RouteCase{"NoRenderer", kNone, "nodes", 0},
                    RouteCase{"VRayWithTheBridgesBesideTheModule", kVRay, "bridge", 15}),
    [](const testing::TestParamInfo<RouteCase>& p) { return std::string(p.param.name); });

// A hidden node, a node renderers do not see, a hidden layer and a missing path: the object
// takes no route, loads no bridge and makes no node.
TEST_F(Render, AnObjectThatIsNotRenderedDoesNothing) {
    const std::vector<std::pair<const char*, std::function<void(INode*)>>> cases = {
        {"hidden", [](INode* n) { n->Hide(TRUE); }},
        {"not renderable", [](INode* n) { n->SetRenderable(FALSE); }},
        {"hidden layer",
         [](INode* n) { dynamic_cast<ILayer*>(n->GetReference(NODE_LAYER_REF))->Hide(true); }},
    };
    for (const auto& [name, change] : cases) {
        NewScene();
        Load(FenceText());
        ASSERT_NE(FenceNode(), nullptr);
        change(FenceNode());
        for (const host::RendererInfo& renderer : {kScanline, kVRay}) {
            const host::RenderResult r = RenderWith(renderer);
            EXPECT_EQ(Fence(r).route, "none") << name;
            EXPECT_EQ(Fence(r).nodesMade, 0) << name;
        }
    }
    NewScene();
    Load(FenceText());
    // The object's path is its own copy of the picked one.
    for (host::Node* n : scene->Nodes()) {
        if (std::wstring(n->GetName()).rfind(L"Spline_For_Trellon_", 0) == 0) scene->DeleteNode(n);
    }
    EXPECT_EQ(Fence(RenderWith(kScanline)).route, "none") << "no path";
}

// With the current layer hidden, the fallback nodes land on the object's layer, and the current
// layer is the hidden one again after the render.
TEST_F(Render, AHiddenCurrentLayerIsSwitchedForTheRenderAndRestored) {
    Load(FenceText(
        R"("layers": [{"name": "0"}, {"name": "Off", "hidden": true}], "currentLayer": "Off",)"));
    ASSERT_NE(FenceNode(), nullptr);
    auto* objectLayer = dynamic_cast<ILayer*>(FenceNode()->GetReference(NODE_LAYER_REF));
    ASSERT_NE(objectLayer, nullptr);
    ASSERT_FALSE(objectLayer->IsHidden());
    std::vector<std::wstring> layersOfNodes;
    RenderWith(kScanline, 1, [&](host::FrameDrawing&) {
        for (host::Node* n : scene->Nodes()) {
            if (std::wstring(n->GetName()).rfind(L"TL_", 0) == 0)
                layersOfNodes.push_back(
                    dynamic_cast<ILayer*>(n->GetReference(NODE_LAYER_REF))->GetName().str());
        }
    });
    EXPECT_EQ(layersOfNodes, std::vector<std::wstring>(3, objectLayer->GetName().str()));
    EXPECT_EQ(scene->GetLayerManager()->GetCurrentLayer()->GetName(), MSTR(L"Off"));
}

// With Color Shift on and 3 variants, the materials go round per item in the order they are
// asked for, and each frame starts again from the item's own material.
TEST_F(Render, VariantMaterialsGoRoundPerItemAndStartAgainEachFrame) {
    Load(FenceText(
        "", R"(, {"name": "Color Shift", "value": 1}, {"name": "Color Variation", "value": 3})"));
    std::vector<std::wstring> names;
    std::int64_t groups = 0;
    RenderWith(Corona(0x5100000000001LL), 2, [&](host::FrameDrawing& frame) {
        for (const host::InstancedSource& s : frame.instanced) {
            if (s.source.name != "Picket") continue;
            groups += static_cast<std::int64_t>(s.groups.size());
            for (const host::InstanceGroup& g : s.groups)
                names.push_back(g.material->GetName().str());
        }
    });
    // 11 pickets over 3 variants, in each of the two frames: groups of 4, 4 and 3 copies.
    EXPECT_EQ(groups, 6);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"MtlNum0", L"MtlNum1", L"MtlNum2", L"MtlNum0",
                                                L"MtlNum1", L"MtlNum2"}));
}

// A light item: under the bridge its copies are light nodes "TL_" plus its name (the lists hold
// the geometry only); under Corona's own instancing they are instances like the others.
TEST_F(Render, LightItemsAreNodesUnderTheBridgeAndInstancesUnderCorona) {
    Load(FenceText("", "", true));
    std::vector<std::wstring> lightNodes;
    const host::RenderResult bridged = RenderWith(kVRay, 1, [&](host::FrameDrawing&) {
        for (host::Node* n : scene->Nodes()) {
            if (std::wstring(n->GetName()).rfind(L"TL_Lamp", 0) == 0 && !n->IsHidden())
                lightNodes.push_back(n->GetName());
        }
    });
    EXPECT_EQ(Fence(bridged).route, "bridge");
    EXPECT_EQ(Fence(bridged).instances, 15);
    // The lamp is a distribution object along the whole path, like the pickets: 11 copies.
    EXPECT_EQ(lightNodes.size(), 11u);
    EXPECT_EQ(bridged.nodesLeft, 0);

    const host::RenderResult native = RenderWith(Corona(0x5100000000001LL));
    EXPECT_EQ(Fence(native).route, "instances");
    EXPECT_EQ(Fence(native).instances, 26);
}

// The source order: end objects, then distribution objects, then posts, whatever the item
// list's order (objects, posts, ends).
TEST_F(Render, SourcesAreEndsThenObjectsThenPosts) {
    Load(FenceText());
    ASSERT_NE(FenceNode(), nullptr);
    auto* fp =
        static_cast<FPInterface*>(FenceNode()->GetObjectRef()->GetInterface(kRenderInterface));
    ASSERT_NE(fp, nullptr);
    FPValue v;
    ASSERT_EQ(fp->Invoke(1, v), FPS_OK);
    EXPECT_EQ(v.i, 3);
    std::vector<std::wstring> names;
    FPParams arg{FPValue(TYPE_INT, 0)};
    for (int s = 0; s <= 3; ++s) {
        arg.params[0].Load(TYPE_INT, s);
        ASSERT_EQ(fp->Invoke(2, v, &arg), FPS_OK);
        names.push_back(v.n ? v.n->GetName() : L"(none)");
    }
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Cap", L"Picket", L"Post", L"(none)"}));
    EXPECT_EQ(fp->Invoke(11, v, &arg), FPS_NO_SUCH_FUNCTION);
}

// Bridges from the module's own folder only, newest first: with only KavoVRay3.dll beside a copy
// of the module, that one serves; with none, V-Ray gets the export's nodes.
TEST(RenderBridge, TheModulesFolderDecidesWhichBridgeServes) {
    namespace fs = std::filesystem;
    const fs::path built = fs::path(host::DefaultModulePath()).parent_path();
    for (const bool withBridge : {true, false}) {
        const support::ScratchDir dir(withBridge ? "bridge3" : "nobridge");
        for (const char* f : {"trellon.dlo", "trellon.res.json"}) fs::copy_file(built / f, dir / f);
        if (withBridge) fs::copy_file(built / "KavoVRay3.dll", dir / "KavoVRay3.dll");
        std::string error;
        std::unique_ptr<host::PluginModule> module =
            host::PluginModule::Load((dir / "trellon.dlo").string(), error);
        ASSERT_NE(module, nullptr) << error;
        {
            host::Scene scene;
            scene.RegisterClass(module->Class(0));
            host::LoadSceneText(FenceText(), "render.scene.json", scene);
            scene.SetCurrentRenderer(kVRay);
            bool bridgeNode = false;
            const host::RenderResult r = host::RenderFrames(scene, 0, 0, [&](host::FrameDrawing&) {
                bridgeNode = scene.GetINodeByName(L"KavoVRay3_Instancer") != nullptr;
            });
            EXPECT_EQ(r.frames[0].objects[0].route, withBridge ? "bridge" : "nodes");
            EXPECT_EQ(bridgeNode, withBridge);
            EXPECT_EQ(r.nodesLeft, 0);
        }
    }
}

// The command: an instanced file and the report.
TEST_F(Render, CommandWritesAnInstancedFileAndReportsTheRoute) {
    const support::ScratchDir dir;
    const std::filesystem::path sceneFile = dir / "fence.scene.json";
    std::ofstream(sceneFile) << FenceText(R"("renderer": {"class": "scanline"},)");
    host::RenderOptions options;
    options.scene = sceneFile.string();
    options.output = (dir / "fence.glb").string();
    options.renderer = "corona";
    options.frames = "0-1";
    std::ostringstream out, err;
    ASSERT_EQ(host::RenderScene(*scene, options, out, err), 0) << err.str();
    EXPECT_EQ(out.str(),
              "renderer: corona\nframe 0:\n  Fence: instances, 15 instances (Cap 2) (Picket 11) "
              "(Post 2)\n"
              "frame 1:\n  Fence: instances, 15 instances (Cap 2) (Picket 11) (Post 2)\n"
              "temporary nodes left: 0\nwrote " +
                  options.output + "\n");
    EXPECT_TRUE(std::filesystem::file_size(options.output) > 0);
    options.renderer = "corona:banana";
    EXPECT_EQ(host::RenderScene(*scene, options, out, err), 1);
}

}  // namespace
