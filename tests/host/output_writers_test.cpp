// The evaluated scene and the writers that take it: which nodes evaluate to meshes, their
// object transforms, the JSON mesh dump and the OBJ file (world space, materials, mirrored
// nodes). (Reading the files back: writer_roundtrip_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "evaluated_scene.h"
#include "mesh_dump.h"
#include "obj_writer.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"

namespace {

using support::ReadText;

using json = nlohmann::json;

// Tri: scaled by (2, 3, 1) and moved to (10, 0, 0), its object offset (1, 0, 0). Mirror:
// scaled by -1 in X, a multi-material whose second slot is empty. Hidden and OffLayer are not
// shown; Path and Lamp have no mesh.
constexpr const char* kScene = R"({"format":"trellon-scene","version":1,
  "layers":[{"name":"Off","hidden":true}],
  "materials":[{"name":"Wood","class":"Standard","diffuse":[0.5,0.25,1]},
               {"name":"Multi","class":"Multi/Sub-Object","subMaterials":["Wood",null]}],
  "nodes":[
    {"name":"Path","object":{"type":"line","points":[[0,0,0],[1,0,0]]}},
    {"name":"Tri","material":"Wood","transform":{"position":[10,0,0],"scale":[2,3,1]},
     "objectOffset":{"position":[1,0,0]},
     "object":{"type":"mesh","vertices":[[0,0,0],[1,0,0],[0,1,0]],"faces":[[0,1,2]],
               "materialIds":[3],"smoothingGroups":[1],"edgeVisibility":[[1,0,1]],
               "uvs":[[0,0],[1,0],[0,1,0.5]],"uvFaces":[[0,1,2]]}},
    {"name":"Lamp","object":{"type":"light"}},
    {"name":"Mirror","material":"Multi","wireColor":[255,0,0],"transform":{"scale":[-1,1,1]},
     "object":{"type":"mesh","vertices":[[0,0,0],[1,0,0],[0,1,0],[1,1,0]],
               "faces":[[0,1,2],[1,3,2]],"materialIds":[0,1]}},
    {"name":"Hidden","hidden":true,"object":{"type":"box","length":1,"width":1,"height":1}},
    {"name":"OffLayer","layer":"Off","object":{"type":"box","length":1,"width":1,"height":1}}]})";

class OutputWriters : public testing::Test {
protected:
    void SetUp() override {
        host::LoadSceneText(kScene, "out.scene.json", scene_);
        nodes_ = host::EvaluateScene(scene_, 0);
    }

    host::Scene scene_;
    std::vector<host::EvaluatedNode> nodes_;
    support::ScratchDir dir_;
};

// Every mesh node evaluates, in scene order, with its material, wire colour and object transform.
// The corners, faces and material IDs come back whole through the writers' round trip; here what
// only the dump keeps.
TEST_F(OutputWriters, EveryMeshNodeInSceneOrderAndWhatOnlyTheDumpKeeps) {
    std::vector<std::string> names;
    for (const auto& n : nodes_) names.push_back(n.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Tri", "Mirror", "Hidden", "OffLayer"}));
    EXPECT_EQ(nodes_[0].material, scene_.SceneMaterials()[0]);
    EXPECT_EQ(nodes_[1].wireColor, 0x0000FFu);
    EXPECT_FALSE(host::IsShown(nodes_[2].node));
    EXPECT_FALSE(host::IsShown(nodes_[3].node));
    const json doc = json::parse(host::MeshDumpText(nodes_));
    ASSERT_EQ(doc["nodes"].size(), 4u);
    const json& tri = doc["nodes"][0];
    EXPECT_EQ(tri["name"], "Tri");
    // Tri's object transform: the axes scaled by (2, 3, 1), the offset (1, 0, 0) scaled to
    // (2, 0, 0), then moved by (10, 0, 0) (the OBJ below shows the corners it carries).
    ASSERT_EQ(tri["transform"].size(), 4u);
    EXPECT_EQ(tri["transform"][3], json::array({12, 0, 0}));
    EXPECT_EQ(tri["smoothingGroups"], json::parse("[1]"));
    EXPECT_EQ(tri["edgeVisibility"], json::parse("[[1,0,1]]"));
    EXPECT_EQ(tri["tvertices"], json::parse("[[0,0,0],[1,0,0],[0,1,0.5]]"));
    // A mesh without map faces has empty lists.
    EXPECT_TRUE(doc["nodes"][1]["tvertices"].empty());
}

TEST_F(OutputWriters, ObjInWorldSpaceWithMaterials) {
    const std::string path = (dir_ / "out.obj").string();
    std::string error;
    ASSERT_TRUE(host::WriteObj(nodes_, path, error)) << error;
    // Tri's corners p go to (2 (p.x + 1) + 10, 3 p.y, p.z); Mirror's corners have x negated and
    // each face's last two corners swapped, so it still faces +Z. Vertex numbers count on across
    // objects (Mirror's start at 4). Face 1 of Mirror shows the empty slot: the wire colour.
    EXPECT_EQ(ReadText(path),
              "# trellon-host\nmtllib out.mtl\n"
              "o Tri\nv 12 0 0\nv 14 0 0\nv 12 3 0\nvt 0 0 0\nvt 1 0 0\nvt 0 1 0.5\n"
              "usemtl Wood\nf 1/1 2/2 3/3\n"
              "o Mirror\nv 0 0 0\nv -1 0 0\nv 0 1 0\nv -1 1 0\n"
              "usemtl Wood\nf 4 6 5\nusemtl wire_FF0000\nf 5 6 7\n");
    EXPECT_EQ(ReadText((dir_ / "out.mtl").string()),
              "newmtl Wood\nKd 0.5 0.25 1\n\nnewmtl wire_FF0000\nKd 1 0 0\n\n");
}

TEST_F(OutputWriters, RefusalsNameTheFileAndWriteNothing) {
    std::string error;
    const std::string missingDir = (dir_ / "no_such_dir" / "x.obj").string();
    EXPECT_FALSE(host::WriteObj(nodes_, missingDir, error));
    EXPECT_EQ(error.rfind(missingDir, 0), 0u) << error;
    // (The dump's refusal: the build command's unwritable output.)

    // A face that names a vertex the mesh lacks.
    std::vector<host::EvaluatedNode> bad(1);
    bad[0].node = nodes_[0].node;  // a shown node
    bad[0].name = "Bad";
    bad[0].OwnMesh().setNumVerts(3);
    bad[0].OwnMesh().setNumFaces(1);
    bad[0].OwnMesh().faces[0].setVerts(0, 1, 7);
    const std::string path = (dir_ / "bad.obj").string();
    std::filesystem::remove(path);
    EXPECT_FALSE(host::WriteObj(bad, path, error));
    EXPECT_NE(error.find("face 0 refers to vertex 7 of 3"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
