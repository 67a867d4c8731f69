// A scene file loads as a file opens: the objects' state is set between the file-open
// notifications and the first build sees all of it, so the order in which a file lists its
// settings never changes the result, and saving a loaded scene again gives the same file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "build_command.h"
#include "evaluated_scene.h"
#include "module_scene_fixture.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"

namespace {

// The fence's parts (fence_scene.h) with a path of 2000 along +X and a UV sphere of 26 segments
// (2 x 26 x 12 = 624 faces) as the one item, every 1 unit: the estimate counts trunc(2000 / 1) =
// 2000 copies, 1,248,000 faces, past the limit of 1,000,000; the build lays int(2000 / 1 + 1) =
// 2001 copies.
std::string SphereScene(const std::string& params) {
    support::FenceScene s;
    s.path = R"({"type": "line", "points": [[0, 0, 0], [2000, 0, 0]]})";
    s.nodes = R"({"name": "Ball", "hidden": true,
                  "object": {"type": "sphere", "radius": 0.4, "segments": 26}},)";
    s.seed = 3;
    s.setup = R"({"op": "addItem", "node": "Ball"})";
    s.params = params;
    return s.Text();
}

class FileOpen : public ModuleSceneTest {
protected:
    host::TrellonReport Build(const std::string& text) {
        NewScene();
        host::LoadSceneText(text, "t.json", *scene);
        const host::SceneEvaluation e = host::EvaluateWithReports(*scene, 0);
        EXPECT_EQ(e.reports.size(), 1u);
        return e.reports.empty() ? host::TrellonReport() : e.reports.front();
    }
    // What the `save` command writes of the scene text: it draws the scene once, as the
    // viewports do after a file opens, then saves.
    std::string Save(const std::string& text) {
        const support::ScratchDir dir;
        std::ofstream(dir / "in.scene.json") << text;
        NewScene();
        std::ostringstream out, err;
        EXPECT_EQ(host::SaveScene(*scene, (dir / "in.scene.json").string(),
                                  (dir / "out.scene.json").string(), out, err),
                  0)
            << err.str();
        return support::ReadText(dir / "out.scene.json");
    }
};

// Regression: the host set the parameters one by one with the object rebuilding in between, so
// with ForceDisplay listed last the estimate of the half-loaded block lowered Display_Mode to 2
// for good; listed first, the same scene built in mode 6.
TEST_F(FileOpen, ParamsSetOneByOneRebuiltTheHalfLoadedBlock) {
    const std::string spacing = R"({"name": "Item_Spacing", "value": [1, 1]},
                                   {"name": "Item_Spacing_Random", "value": [1, 1]})";
    const std::string force = R"({"name": "ForceDisplay", "value": 1})";
    const host::TrellonReport last = Build(SphereScene(spacing + ", " + force));
    const host::TrellonReport first = Build(SphereScene(force + ", " + spacing));
    for (const host::TrellonReport& r : {last, first}) {
        EXPECT_EQ(r.displayMode, 6);
        EXPECT_EQ(r.faces, 2001 * 624);
        EXPECT_TRUE(r.messages.empty());
    }
    // Without ForceDisplay the first build, with every setting in, switches to the bounding
    // boxes.
    const host::TrellonReport boxes = Build(SphereScene(spacing));
    EXPECT_EQ(boxes.displayMode, 2);
    EXPECT_EQ(boxes.faces, 0);
}

// The three boxes Picket, Post and Cap as items, a path with a corner, each pattern in a mesh
// mode and in a proxy mode. Saving the loaded scene and saving that save again gives the same
// bytes: the group order drawn for pattern 0, the pools and every table survive.
struct RoundTripCase {
    const char* name;
    int pattern;
    int mode;
};

class FileOpenRoundTrip : public FileOpen, public testing::WithParamInterface<RoundTripCase> {};

TEST_P(FileOpenRoundTrip, SaveLoadSaveIsByteIdentical) {
    const RoundTripCase& c = GetParam();
    support::FenceScene fence;
    fence.path = R"({"type": "line", "points": [[0, 0, 0], [300, 0, 0], [300, 200, 0]]})";
    fence.seed = 11;
    fence.setup =
        R"({"op": "addItems", "nodes": ["Picket", "Post", "Cap"]}, {"op": "seedTransforms"})";
    fence.params = R"({"name": "Geo_Pattern", "value": )" + std::to_string(c.pattern) +
                   R"(}, {"name": "Display_Mode", "value": )" + std::to_string(c.mode) + R"(},
                   {"name": "Item_Spacing", "value": [7, 20, 30, 40]},
                   {"name": "Item_Random_Trans", "value": [1, 1, 1, 1]})";
    const std::string first = Save(fence.Text());
    const std::string second = Save(first);
    EXPECT_EQ(second, first);
    if (c.pattern == 0) {
        // One group per slot: trunc(500 / 7) = 71 entries, drawn once and kept.
        IParamBlock2* pb = Block(L"Fence");
        ASSERT_NE(pb, nullptr);
        EXPECT_NE(first.find("\"name\": \"Geo_Array\""), std::string::npos);
        EXPECT_EQ(pb->Count(Id(pb, L"Geo_Array")), 71);
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, FileOpenRoundTrip,
                         testing::Values(RoundTripCase{"RandomGroupsMesh", 0, 6},
                                         RoundTripCase{"CyclingGroupsMesh", 1, 6},
                                         RoundTripCase{"PerObjectMesh", 2, 5}),
                         [](const testing::TestParamInfo<RoundTripCase>& p) {
                             return std::string(p.param.name);
                         });

}  // namespace
