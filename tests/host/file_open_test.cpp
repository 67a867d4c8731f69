// A scene file loads as a file opens: the objects' state is set between the file-open
// notifications and the first build sees all of it, so the order in which a file lists its
// settings never changes the result, and saving a loaded scene again gives the same file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "build_command.h"
#include "evaluated_scene.h"
#include "iparamb2.h"
#include "module_scene_fixture.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "test_temp_dir.h"

namespace {

// A path of 2000 along +X and a UV sphere of 26 segments (2 x 26 x 12 = 624 faces) as the one
// item, every 1 unit: the estimate counts trunc(2000 / 1) = 2000 copies, 1,248,000 faces, past
// the limit of 1,000,000; the build lays int(2000 / 1 + 1) = 2001 copies.
std::string SphereScene(const std::string& params) {
    return R"({"format": "trellon-scene", "version": 1, "nodes": [
      {"name": "Path", "object": {"type": "line", "points": [[0, 0, 0], [2000, 0, 0]]}},
      {"name": "Ball", "hidden": true, "object": {"type": "sphere", "radius": 0.4, "segments": 26}},
      {"name": "T", "object": {"type": "Trellon",
        "setup": [{"op": "create", "seed": 3}, {"op": "pickPath", "node": "Path"},
                  {"op": "addItem", "node": "Ball"}],
        "params": [)" +
           params + "]}}]}";
}

class FileOpen : public ModuleSceneTest {
protected:
    host::TrellonReport Build(const std::string& text) {
        scene = std::make_unique<host::Scene>();
        scene->RegisterClass(cd);
        host::LoadSceneText(text, "t.json", *scene);
        const host::SceneEvaluation e = host::EvaluateWithReports(*scene, 0);
        EXPECT_EQ(e.reports.size(), 1u);
        return e.reports.empty() ? host::TrellonReport() : e.reports.front();
    }
    // What `save` writes: the scene loaded, drawn once as after a file open, and saved.
    std::string Save(const std::string& text) {
        scene = std::make_unique<host::Scene>();
        scene->RegisterClass(cd);
        host::LoadSceneText(text, "t.json", *scene);
        host::EvaluateShownNodes(*scene, scene->GetTime());
        return host::SaveSceneText(*scene);
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
}

// Without ForceDisplay the first build, with every setting in, switches to the bounding boxes
// and says so, whatever the order.
TEST_F(FileOpen, TheFirstBuildSeesTheWholeStateAndWarnsOnce) {
    const host::TrellonReport r = Build(SphereScene(
        R"({"name": "Item_Spacing_Random", "value": [1, 1]}, {"name": "Item_Spacing", "value": [1, 1]})"));
    EXPECT_EQ(r.displayMode, 2);
    EXPECT_EQ(r.faces, 0);
}

// Three box items of different sizes, two posts' worth of path corners, each pattern in a mesh
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
    const std::string text = R"({"format": "trellon-scene", "version": 1, "nodes": [
      {"name": "Path", "object": {"type": "line", "points": [[0, 0, 0], [300, 0, 0], [300, 200, 0]]}},
      {"name": "A", "hidden": true, "object": {"type": "box", "length": 2, "width": 8, "height": 90}},
      {"name": "B", "hidden": true, "object": {"type": "box", "length": 3, "width": 3, "height": 60}},
      {"name": "C", "hidden": true, "object": {"type": "box", "length": 4, "width": 4, "height": 30}},
      {"name": "T", "object": {"type": "Trellon",
        "setup": [{"op": "create", "seed": 11}, {"op": "pickPath", "node": "Path"},
                  {"op": "addItems", "nodes": ["A", "B", "C"]}, {"op": "seedTransforms"}],
        "params": [{"name": "Geo_Pattern", "value": )" +
                             std::to_string(c.pattern) + R"(},
                   {"name": "Display_Mode", "value": )" +
                             std::to_string(c.mode) + R"(},
                   {"name": "Item_Spacing", "value": [7, 20, 30, 40]},
                   {"name": "Item_Random_Trans", "value": [1, 1, 1, 1]}]}}]})";
    const std::string first = Save(text);
    const std::string second = Save(first);
    EXPECT_EQ(second, first);
    const std::string third = Save(second);
    EXPECT_EQ(third, first);
    if (c.pattern == 0) {
        // One group per slot: trunc(500 / 7) = 71 entries, drawn once and kept.
        EXPECT_NE(first.find("\"name\": \"Geo_Array\""), std::string::npos);
        IParamBlock2* pb = scene->GetINodeByName(L"T")->GetObjectRef()->GetParamBlock(0);
        ParamBlockDesc2* d = pb->GetDesc();
        EXPECT_EQ(pb->Count(d->IndextoID(d->NameToIndex(L"Geo_Array"))), 71);
    }
}

INSTANTIATE_TEST_SUITE_P(Patterns, FileOpenRoundTrip,
                         testing::Values(RoundTripCase{"RandomGroupsMesh", 0, 6},
                                         RoundTripCase{"CyclingGroupsMesh", 1, 6},
                                         RoundTripCase{"PerObjectMesh", 2, 5}),
                         [](const testing::TestParamInfo<RoundTripCase>& p) {
                             return std::string(p.param.name);
                         });

// The `save` command draws the scene once before it saves, as the viewports do after a file
// opens: what it writes is what loads and saves again unchanged.
TEST_F(FileOpen, TheSaveCommandWritesAStateThatSavesAgainUnchanged) {
    const std::filesystem::path dir = TestTempDir("file_open");
    std::filesystem::create_directories(dir);
    const std::filesystem::path in = dir / "in.scene.json";
    const std::filesystem::path once = dir / "once.scene.json";
    const std::filesystem::path twice = dir / "twice.scene.json";
    std::ofstream(in) << SphereScene(R"({"name": "Geo_Pattern", "value": 0},
                                       {"name": "Item_Spacing", "value": [100, 100]})");
    std::ostringstream out, err;
    ASSERT_EQ(host::SaveScene(*scene, in.string(), once.string(), out, err), 0) << err.str();
    scene = std::make_unique<host::Scene>();
    scene->RegisterClass(cd);
    ASSERT_EQ(host::SaveScene(*scene, once.string(), twice.string(), out, err), 0) << err.str();
    const auto read = [](const std::filesystem::path& p) {
        std::ostringstream s;
        s << std::ifstream(p).rdbuf();
        return s.str();
    };
    EXPECT_EQ(read(twice), read(once));
    std::filesystem::remove_all(dir);
}

}  // namespace
