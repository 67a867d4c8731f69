#include "scene_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "scene.h"
#include "scene_reader.h"
#include "support/keep_units.h"
#include "support/near.h"
#include "support/text_files.h"

namespace {

// Loads the text, saves it, loads the save and saves again: the second save must equal the
// first (the reader's tests check what the first load holds).
std::string SaveTwice(const std::string& text, host::Scene& second,
                      const std::string& file = "t.json") {
    host::Scene first;
    host::LoadSceneText(text, file, first);
    const std::string saved = host::SaveSceneText(first);
    host::LoadSceneText(saved, "saved.json", second);
    EXPECT_EQ(host::SaveSceneText(second), saved);
    return saved;
}

class SceneFileWriter : public ::testing::TestWithParam<const char*> {
protected:
    support::KeepUnits units_;
};

TEST_F(SceneFileWriter, EveryKindOfObjectRoundTrips) {
    host::Scene every;
    const std::string file = support::ScenePath("every_object.scene.json");
    SaveTwice(support::ReadText(file), every, file);
    EXPECT_EQ(every.Nodes().size(), 4u);
    host::Scene second;
    const std::string saved = SaveTwice(R"({"format":"trellon-scene","version":1,"units":"meters",
      "materials":[{"name":"A","class":"Standard"},
                   {"name":"M","class":"Multi/Sub-Object","subMaterials":["A",null]}],
      "nodes":[
        {"name":"Ball","material":"M","object":{"type":"sphere","radius":1.5,"segments":6},
         "transform":{"rotation":[30,45,60],"scale":[1,2,3],"position":[0.1,0.2,0.3]}},
        {"name":"Sun","object":{"type":"light","kind":"freeSpot"}},
        {"name":"Sun.Target","object":{"type":"target"}},
        {"name":"Cam","object":{"type":"camera"}},
        {"name":"Empty","transform":{"scale":[1,1,-2]},
         "objectOffset":{"rotation":[10,0,0],"scale":[2,2,2]}}]})",
                                        second);
    EXPECT_NE(saved.find("\"kind\": \"freeSpot\""), std::string::npos);
    EXPECT_NE(saved.find("\"units\": \"meters\""), std::string::npos);
    // Scale (1,2,3): the node's Y axis keeps length 2 through the quaternion and scale.
    ASSERT_NE(second.GetINodeByName(L"Ball"), nullptr);
    EXPECT_NEAR(Length(second.GetINodeByName(L"Ball")->GetNodeTM(0).GetRow(1)), 2.0f, 1e-5f);
    // A mirrored node keeps its handedness: scale (1,1,-2) still sends +Z to -2Z.
    ASSERT_NE(second.GetINodeByName(L"Empty"), nullptr);
    const Matrix3 mirrored = second.GetINodeByName(L"Empty")->GetNodeTM(0);
    EXPECT_TRUE(support::Near(mirrored.VectorTransform(Point3(0, 0, 1)), Point3(0, 0, -2), 1e-6f));
}

// Awkward rotations and scales: the second save must still equal the first.
TEST_P(SceneFileWriter, AwkwardTransformsSaveTheSameTwice) {
    host::Scene second;
    SaveTwice(
        std::string(R"({"format":"trellon-scene","version":1,"nodes":[{"name":"N","transform":)") +
            GetParam() + "}]}",
        second);
}

INSTANTIATE_TEST_SUITE_P(
    Awkward, SceneFileWriter,
    ::testing::Values(R"({"rotation":[33.3,-71.9,128.4],"scale":[0.3,7.1,1e-3]})",
                      R"({"rotation":[179.99,89.9,-0.01],"position":[1e5,-3.3e-4,7]})",
                      R"({"rotation":[12,24,36],"scale":[123.456,0.001,9.87]})",
                      R"({"quat":[0.1,0.2,0.3,0.4],"scale":[2.5,2.5,2.5]})",
                      R"({"rotation":[-45,45,-45],"scale":[1,1,1]})",
                      R"({"rotation":[1e-3,2e-3,3e-3],"scale":[3,2,1]})",
                      R"({"rotation":[10,20,30],"scale":[1,1,-2]})",
                      // Decomposing this one alternates between two neighbouring quaternions.
                      R"({"quat":[1,0,-0.70710678,0.70710678],"scale":[2,2,2]})",
                      // An axis scaled to nothing, one or two of them.
                      R"({"rotation":[10,20,30],"scale":[0,3,-1]})",
                      R"({"rotation":[10,20,30],"scale":[0,0,2]})",
                      R"({"rotation":[10,20,30],"scale":[0,0,0]})"));

}  // namespace
