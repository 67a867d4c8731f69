// Trellon set-up operations in scene files and the renderer key: the module's published set-up
// functions run in a real scene. (Loads that fail part-way: scene_file_refusals_test.cpp.)
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "imtl.h"
#include "mesh_dump.h"
#include "module_scene_fixture.h"
#include "renderers.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "support/param_tables.h"
#include "support/text_files.h"
#include "windows.h"

namespace {

using support::ScenePath;

class SceneSetup : public ModuleSceneTest {
protected:
    std::vector<std::wstring> NodeNames(IParamBlock2* pb, const MCHAR* table) {
        return support::NodeNames(pb, Id(pb, table));
    }
};

using Names = std::vector<std::wstring>;

// Every object type and every kind of set-up operation (setup_every_op.scene.json): saved, loaded
// and saved again gives the same file, and both scenes build the same meshes.
TEST_F(SceneSetup, EveryOperationRoundTrips) {
    host::LoadSceneFile(ScenePath("setup_every_op.scene.json"), *scene);
    IParamBlock2* pb = Block(L"T");
    ASSERT_NE(pb, nullptr);
    // Adds in list order with Geo_Pattern 0 give sequence rows 1..6 = Picket, Post, Ball, Part,
    // Tri, Painted (its car-paint material converted on the file's "yes"); the shifts move rows
    // between groups, not in order; makePost 2 takes Post out of the rows, makeEnd 3 then takes
    // Part (rows 1 Picket, 2 Ball, 3 Part), and deleteRow 1 removes Picket.
    EXPECT_EQ(NodeNames(pb, L"Object_Nodes"), (Names{L"Ball", L"Tri", L"Painted"}));
    EXPECT_EQ(NodeNames(pb, L"Post_Nodes"), (Names{L"Post"}));
    EXPECT_EQ(NodeNames(pb, L"End_Nodes"), (Names{L"Part"}));
    // Rail and Curve were added; deleteShape 2 (row 0 is "All Sweeps") removed Curve.
    EXPECT_EQ(NodeNames(pb, L"Sweep_Nodes"), (Names{L"Rail"}));
    EXPECT_EQ(pb->GetInt(Id(pb, L"Geo_Pattern")), 0);
    EXPECT_EQ(pb->GetFloat(102, 0, 0), 50.0f);
    // The picked path is the file's Path01, renamed by the object.
    EXPECT_EQ(pb->GetINode(Id(pb, L"Spline_Obj")), scene->GetINodeByName(L"Spline_For_Trellon_"));
    EXPECT_EQ(scene->GetINodeByName(L"Path01"), nullptr);

    const std::string first = host::SaveSceneText(*scene);
    const std::string firstBuild = host::MeshDumpText(host::EvaluateScene(*scene, 0));
    EXPECT_EQ(first.find("\"setup\""), std::string::npos);
    NewScene();
    host::LoadSceneText(first, "first.scene.json", *scene);
    EXPECT_EQ(host::SaveSceneText(*scene), first);
    EXPECT_EQ(host::MeshDumpText(host::EvaluateScene(*scene, 0)), firstBuild);
}

struct CarPaintCase {
    const char* answer;
    int expected;
};

class SceneSetupCarPaint : public SceneSetup, public testing::WithParamInterface<CarPaintCase> {};

// The object asks once per pick of a car-painted node; the file's answer is given, whichever the
// box's default button, and the scene's own default answer comes back afterwards.
TEST_P(SceneSetupCarPaint, AnswersFromTheFile) {
    scene->SetDefaultMessageAnswer(IDCANCEL);
    host::LoadSceneText(std::string(R"({"format":"trellon-scene","version":1,
      "materials":[{"name":"Paint","class":"VRayCarPaintMtl"}],
      "nodes":[{"name":"Box","material":"Paint",
                "object":{"type":"box","length":1,"width":1,"height":1}},
               {"name":"T","object":{"type":"Trellon","setup":[{"op":"create","seed":3},
                 {"op":"addItem","node":"Box","carPaint":")") +
                            GetParam().answer + R"("}]}}]})",
                        "paint.json", *scene);
    ASSERT_GE(scene->Messages().size(), 1u);
    EXPECT_EQ(scene->Messages().front().caption, L"Car Paint Material");
    EXPECT_EQ(scene->Messages().front().answer, GetParam().expected);
    EXPECT_EQ(scene->DefaultMessageAnswer(), IDCANCEL);
    // The object took the answer: yes adds the node, no leaves it out (what becomes of the paint
    // is the module's tests' business).
    EXPECT_EQ(NodeNames(Block(L"T"), L"Object_Nodes"),
              GetParam().expected == IDYES ? Names{L"Box"} : Names{});
}

INSTANTIATE_TEST_SUITE_P(Answers, SceneSetupCarPaint,
                         testing::Values(CarPaintCase{"yes", IDYES}, CarPaintCase{"no", IDNO}));

struct RendererCase {
    const char* json;
    Class_ID classId;
    long long version;
};

class SceneSetupRenderer : public SceneSetup, public testing::WithParamInterface<RendererCase> {};

// The renderer key sets the scene's current renderer, and the writer gives the same key back.
TEST_P(SceneSetupRenderer, ReadsAndWritesBack) {
    host::LoadSceneText(
        std::string(R"({"format":"trellon-scene","version":1,"renderer":)") + GetParam().json + "}",
        "r.json", *scene);
    EXPECT_EQ(scene->CurrentRenderer().classId, GetParam().classId);
    EXPECT_EQ(scene->CurrentRenderer().version, GetParam().version);
    EXPECT_EQ(nlohmann::json::parse(host::SaveSceneText(*scene))["renderer"],
              nlohmann::json::parse(GetParam().json));
}

INSTANTIATE_TEST_SUITE_P(
    Classes, SceneSetupRenderer,
    testing::Values(RendererCase{R"({"class": "corona", "version": 1424967069597697})",
                                 host::kCoronaRendererClassID, 1424967069597697},
                    RendererCase{R"({"class": "vray"})", host::kVRayRendererClassID, 0},
                    RendererCase{R"({"class": "scanline"})", host::kScanlineRendererClassID, 0},
                    RendererCase{"null", Class_ID(0, 0), 0}));

}  // namespace
