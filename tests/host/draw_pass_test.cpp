// The host's viewport pass with the real module: a scene file with a Trellon object drawn as
// dots, hit tests against it, and the drawing written as JSON and glTF and by `draw`.
//
// The scene: the fence's parts (fence_scene.h) on a line path from the origin along +X for 100
// units, Picket as the item (a 2 x 8 x 90 box, pivot at the centre of its base, so its centre is
// 45 above the pivot), spacing 25: the per-object pattern puts five dots at (25 j, 0, 45),
// j = 0 .. 4.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "draw_command.h"
#include "draw_pass.h"
#include "drawing_writer.h"
#include "glb_file.h"
#include "module_loader.h"
#include "module_scene_fixture.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "support/near.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"
#include "viewport.h"

namespace {

std::string DotsScene(int mode) {
    support::FenceScene s;
    s.path = R"({"type": "line", "points": [[0,0,0], [100,0,0]]})";
    s.setup = R"({"op": "addItem", "node": "Picket"})";
    s.params = R"({"name": "Geo_Pattern", "value": 2}, {"name": "Display_Mode", "value": )" +
               std::to_string(mode) + R"(}, {"id": 102, "value": [25.0, 25.0]},
                  {"id": 103, "value": [25.0, 25.0]})";
    return s.Text();
}

class DrawPass : public ModuleSceneTest {
protected:
    host::Drawing Draw(int mode) {
        host::LoadSceneText(DotsScene(mode), "dots.json", *scene);
        return host::DrawScene(*scene, view, gw, 0);
    }
    std::vector<INode*> Click(int x, int y) {
        IPoint2 p(x, y);
        return host::HitTestScene(*scene, view, gw, 0, HITTYPE_POINT, 0, 0, &p);
    }

    host::TopViewport view;
    host::RecordingGraphicsWindow gw{view};
};

TEST_F(DrawPass, DotsDrawFiveMarkersAtTheCopiesThatAClickHitsUnlessHidden) {
    const host::Drawing d = Draw(1);
    ASSERT_EQ(d.nodes.size(), 1u);
    EXPECT_EQ(d.nodes[0].name, "Fence");
    EXPECT_EQ(d.nodes[0].displayResult, 1);
    ASSERT_EQ(d.nodes[0].drawn.markers.size(), 5u);
    for (int j = 0; j < 5; ++j) {
        EXPECT_TRUE(support::Near(d.nodes[0].drawn.markers[j].point, Point3(25.0f * j, 0.0f, 45.0f),
                                  1e-3f));
    }
    EXPECT_TRUE(d.nodes[0].renderItems.empty());
    // A click on the second dot hits the object; one between two dots hits nothing.
    const std::vector<INode*> hits = Click(25, 0);
    ASSERT_EQ(hits.size(), 1u);
    EXPECT_EQ(hits[0], scene->GetINodeByName(L"Fence"));
    EXPECT_TRUE(Click(12, 0).empty());
    // Hidden, the object is neither drawn nor hit.
    hits[0]->Hide(TRUE);
    EXPECT_TRUE(host::DrawScene(*scene, view, gw, 0).nodes.empty());
    EXPECT_TRUE(Click(25, 0).empty());
}

TEST_F(DrawPass, MeshModesLeaveRenderItemsAndNoMarkers) {
    const host::Drawing d = Draw(6);
    ASSERT_EQ(d.nodes.size(), 1u);
    EXPECT_TRUE(d.nodes[0].drawn.Empty());
    // Shaded faces and wireframe of five boxes: 40 vertices.
    ASSERT_EQ(d.nodes[0].renderItems.size(), 2u);
    EXPECT_EQ(d.nodes[0].renderItems[0].GetGeometry()->positions.size(), 40u);
}

TEST_F(DrawPass, GlbHoldsPointsAndLinesWithColours) {
    // Boxes: 5 copies x 6 polylines = 10 closed faces of 4 segments and 20 uprights of 1,
    // 60 segments, 120 line vertices.
    std::ostringstream out(std::ios::binary);
    std::string error;
    ASSERT_TRUE(host::WriteDrawingGlb(Draw(2), out, error)) << error;
    glbtest::Glb glb;
    ASSERT_TRUE(glbtest::ParseGlb(out.str(), glb, error)) << error;
    const nlohmann::json& j = glb.json;
    ASSERT_EQ(j["meshes"].size(), 1u);
    const auto& prim = j["meshes"][0]["primitives"][0];
    EXPECT_EQ(prim["mode"], 1);
    const auto& position = j["accessors"][prim["attributes"]["POSITION"].get<int>()];
    EXPECT_EQ(position["count"], 120);
    // Host (x, y, z) is glTF (x, z, -y) in metres (1 cm = 0.01 m). Following the path along +X,
    // each copy is turned a quarter about Z, its length 8 along the path: the far end x = 104.
    EXPECT_NEAR(position["max"][0].get<float>(), 104.0f * 0.01f, 1e-4f);
    EXPECT_TRUE(prim["attributes"].contains("COLOR_0"));
}

class DrawCommand : public testing::Test {
protected:
    void SetUp() override { std::ofstream(scenePath_) << DotsScene(1); }
    int Run(const std::string& scenePath, const std::string& outPath) {
        return host::RunDraw(host::DefaultModulePath(), scenePath, outPath, std::nullopt, out_,
                             err_);
    }
    support::ScratchDir dir_;
    std::string scenePath_ = dir_.File("dots.scene.json");
    std::ostringstream out_, err_;
};

// The drawing written by its extension (the JSON holds the markers in world space), or what each
// node drew printed; an unknown extension and a missing scene refused.
TEST_F(DrawCommand, WritesTheDrawingByItsExtensionOrPrintsIt) {
    ASSERT_EQ(Run(scenePath_, dir_.File("dots.json")), 0) << err_.str();
    const nlohmann::json j = nlohmann::json::parse(support::ReadText(dir_ / "dots.json"));
    ASSERT_EQ(j["nodes"].size(), 1u);
    const auto& markers = j["nodes"][0]["markers"];
    ASSERT_EQ(markers.size(), 5u);
    EXPECT_NEAR(markers[4]["point"][0].get<float>(), 100.0f, 1e-3f);
    EXPECT_NEAR(markers[4]["point"][2].get<float>(), 45.0f, 1e-3f);
    EXPECT_EQ(markers[0]["color"].size(), 3u);
    EXPECT_TRUE(j["nodes"][0]["polylines"].empty());
    ASSERT_EQ(Run(scenePath_, dir_.File("dots.glb")), 0) << err_.str();
    EXPECT_TRUE(std::filesystem::exists(dir_ / "dots.glb"));
    ASSERT_EQ(Run(scenePath_, ""), 0) << err_.str();
    EXPECT_NE(out_.str().find("Fence: 5 markers, 0 polylines, 0 render items"), std::string::npos)
        << out_.str();
    EXPECT_EQ(Run(scenePath_, dir_.File("dots.png")), 1);
    EXPECT_NE(err_.str().find("written as .json or .glb"), std::string::npos) << err_.str();
    EXPECT_FALSE(std::filesystem::exists(dir_ / "dots.png"));
    EXPECT_EQ(Run(dir_.File("missing.json"), ""), 1);
}

}  // namespace
