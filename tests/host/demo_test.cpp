// The embedded default scene: what `trellon-host demo` builds, writes and prints.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "build_command.h"
#include "demo_command.h"
#include "evaluated_scene.h"
#include "module_scene_fixture.h"
#include "test_temp_dir.h"
#include "units.h"

namespace {

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class DemoTest : public ModuleSceneTest {
protected:
    void SetUp() override {
        ModuleSceneTest::SetUp();
        dir = TestTempDir("trellon_demo");
        std::filesystem::remove_all(dir);
    }
    void TearDown() override {
        ModuleSceneTest::TearDown();
        // The demo is in centimetres; the unit is the host's, shared by the tests that follow.
        SetMasterUnitInfo(UNITS_INCHES, 1.0f);
        std::filesystem::remove_all(dir);
    }
    // Faces of the node's evaluated mesh carrying material index m.
    int FacesWithMaterial(const char* node, int m) {
        INode* n = scene->GetINodeByName(MSTR(std::wstring(node, node + std::strlen(node))));
        host::EvaluatedNode e;
        if (!n || !host::EvaluateNode(n, scene->GetTime(), e)) return -1;
        int count = 0;
        for (int f = 0; f < e.Geometry().getNumFaces(); ++f)
            count += e.Geometry().getFaceMtlIndex(f) == m;
        return count;
    }
    std::filesystem::path dir;
};

TEST_F(DemoTest, WritesTheGlbAndTheSceneAndPrintsEveryItem) {
    std::ostringstream out, err;
    host::DemoFiles files;
    ASSERT_EQ(host::BuildDemo(*scene, dir.string(), out, err, &files), 0) << err.str();
    EXPECT_TRUE(std::filesystem::file_size(files.glb) > 0);
    EXPECT_TRUE(std::filesystem::file_size(files.scene) > 0);
    for (const char* name : {"Garden Fence", "Flower Bed", "Picket", "Tall Picket", "Post",
                             "End Post", "Flower", "Shrub"}) {
        EXPECT_NE(out.str().find(name), std::string::npos) << name;
    }
    // The counts are the object's own (see the next test for the posts and end pieces): the
    // item's row, then the copies right-aligned in 8 columns.
    EXPECT_NE(out.str().find("Post (post)                   10\n"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("End Post (end)                 2\n"), std::string::npos) << out.str();
    EXPECT_EQ(err.str(), "");
}

TEST_F(DemoTest, FencePostsAndEndPiecesStandWhereTheKnotsSayAndTheBedHasNoEnds) {
    std::ostringstream out, err;
    ASSERT_EQ(host::BuildDemo(*scene, dir.string(), out, err), 0) << err.str();
    // Items: 0 Picket, 1 Tall Picket, 2 Post (made a post), 3 End Post (made an end): material
    // index item + 1; a box copy has 12 faces.
    // End pieces: one end item on one open spline stands at both ends: 2 copies.
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 4), 2 * 12);
    // Posts: 5 knots, and per span m = length / 180 rounded half up parts: the straight 500 span
    // (m = 2.78) gets 2 inner posts, the three curved spans (each between 335 and 450 long,
    // 1.5 <= m < 2.5) one each: 5 + 5 = 10 posts.
    EXPECT_EQ(FacesWithMaterial("Garden Fence", 3), 10 * 12);
    // The flower bed is closed and has no end items: only its two items and its edging.
    EXPECT_EQ(FacesWithMaterial("Flower Bed", 3), 0);
    EXPECT_GT(FacesWithMaterial("Flower Bed", 27), 0);
}

TEST_F(DemoTest, TheSavedSceneBuildsTheSameGlbByteForByte) {
    std::ostringstream out, err;
    host::DemoFiles files;
    ASSERT_EQ(host::BuildDemo(*scene, dir.string(), out, err, &files), 0) << err.str();
    scene = std::make_unique<host::Scene>();
    scene->RegisterClass(cd);
    host::BuildOptions options;
    options.scene = files.scene;
    options.output = (dir / "again.glb").string();
    ASSERT_EQ(host::BuildScene(*scene, options, out, err), 0) << err.str();
    EXPECT_EQ(ReadAll(files.glb), ReadAll(options.output));
}

}  // namespace
