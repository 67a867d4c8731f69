// The .glb writer: small scenes written and read back by an independent reader (assimp) and by
// the raw chunks (accessor data and bounds). Host space is Z-up, glTF Y-up: a host point (x, y, z)
// is the glTF point (x, z, -y), in metres.
#include "gltf_writer.h"

#include <gtest/gtest.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <assimp/Importer.hpp>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "glb_file.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/keep_units.h"
#include "support/scratch_dir.h"

namespace {

namespace fs = std::filesystem;

class GltfWriter : public ::testing::Test {
protected:
    // Loads scene JSON (nodes and materials given; the rest is filled in) and evaluates it; each
    // node owns its mesh, so a test may spoil it.
    std::vector<host::EvaluatedNode> Load(const std::string& units, const std::string& materials,
                                          const std::string& nodes) {
        host::LoadSceneText(R"({"format": "trellon-scene", "version": 1, "units": ")" + units +
                                R"(", "materials": [)" + materials + R"(], "nodes": [)" + nodes +
                                "]}",
                            "test.scene.json", scene_);
        std::vector<host::EvaluatedNode> evaluated = host::EvaluateScene(scene_, 0);
        for (host::EvaluatedNode& n : evaluated) n.OwnMesh();
        return evaluated;
    }

    // Writes the nodes, checks the container and accessor rules, and reads it with assimp.
    const aiScene* WriteAndImport(const std::vector<host::EvaluatedNode>& nodes) {
        std::string error;
        EXPECT_TRUE(host::WriteGlb(nodes, scene_, path_, error)) << error;
        EXPECT_TRUE(glbtest::ReadGlb(path_, glb_, error)) << error;
        glbtest::ExpectValid(glb_);
        const aiScene* s = importer_.ReadFile(path_, aiProcess_ValidateDataStructure);
        EXPECT_NE(s, nullptr) << importer_.GetErrorString();
        return s;
    }

    static const aiNode* FindNode(const aiScene* s, const char* name) {
        return s ? s->mRootNode->FindNode(name) : nullptr;
    }

    support::KeepUnits units_;
    host::Scene scene_;
    support::ScratchDir dir_;
    std::string path_ = dir_.File("out.glb");
    glbtest::Glb glb_;
    Assimp::Importer importer_;
};

// One node each, read back: its matrix in glTF axes (rows of the upper 3 x 4) and the bounds of
// its POSITION data, in metres. Each has a mesh without texture coordinates: none are written.
struct PlacedCase {
    const char* name;
    const char* units;
    const char* node;  // the node's transform, object offset and object
    double m[3][4];
    double lo[3], hi[3];
};

class GltfWriterPlaced : public GltfWriter, public ::testing::WithParamInterface<PlacedCase> {};

TEST_P(GltfWriterPlaced, NodeMatrixAndBoundsInMetresYUp) {
    const PlacedCase& c = GetParam();
    const aiScene* s = WriteAndImport(Load(c.units, "", std::string(R"({"name": "N", )") + c.node));
    const aiNode* n = FindNode(s, "N");
    ASSERT_NE(n, nullptr);
    for (unsigned r = 0; r < 3; ++r) {
        for (unsigned k = 0; k < 4; ++k) EXPECT_NEAR(n->mTransformation[r][k], c.m[r][k], 1e-5);
    }
    const auto& prim = glb_.json["meshes"][0]["primitives"][0];
    const auto& pos = glb_.json["accessors"][prim["attributes"]["POSITION"].get<int>()];
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(pos["min"][k].get<double>(), c.lo[k], 1e-6);
        EXPECT_NEAR(pos["max"][k].get<double>(), c.hi[k], 1e-6);
    }
    EXPECT_FALSE(prim["attributes"].contains("TEXCOORD_0"));
}

constexpr double kC = 0.70710678;  // cos 45 degrees

INSTANTIATE_TEST_SUITE_P(
    Nodes, GltfWriterPlaced,
    ::testing::Values(
        // 100 in along X is 2.54 m. The box, pivot at the centre of its base: X +-5 in =
        // +-0.127 m; height 30 in = 0.762 m up glTF Y; Y +-10 in = +-0.254 m on glTF Z.
        PlacedCase{"BoxInInches",
                   "inches",
                   R"("transform": {"position": [100, 0, 0]},
                   "object": {"type": "box", "width": 10, "length": 20, "height": 30}})",
                   {{1, 0, 0, 2.54}, {0, 1, 0, 0}, {0, 0, 1, 0}},
                   {-0.127, 0, -0.254},
                   {0.127, 0.762, 0.254}},
        // Turned +90 about Z (host X to host Y, which is glTF X to -Z: +90 about glTF Y), at
        // (0, 200, 50) cm, the object 10 cm along the turned X: (0, 2.1, 0.5) m in host axes,
        // (0, 0.5, -2.1) in glTF's. The 2 cm cube stays in the node's own axes.
        PlacedCase{"TurnedWithAnObjectOffsetInCentimetres",
                   "centimeters",
                   R"("transform": {"position": [0, 200, 50], "rotation": [0, 0, 90]},
                   "objectOffset": {"position": [10, 0, 0]},
                   "object": {"type": "box", "width": 2, "length": 2, "height": 2}})",
                   {{0, 0, 1, 0}, {0, 1, 0, 0.5}, {-1, 0, 0, -2.1}},
                   {-0.01, 0, -0.01},
                   {0.01, 0.02, 0.01}},
        // Scale (2, 3, -1) mirrors and stays on the node (readers flip the winding by the
        // determinant, -6): host X stays glTF X, host Y (glTF -Z) takes 3, host Z (glTF Y) -1.
        PlacedCase{"MirroringScaleStaysOnTheNode",
                   "meters",
                   R"("transform": {"scale": [2, 3, -1]},
                   "object": {"type": "box", "width": 1, "length": 1, "height": 1}})",
                   {{2, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 3, 0}},
                   {-0.5, 0, -0.5},
                   {0.5, 1, 0.5}},
        // An object offset turned 45 about Z under a node scaled 2 along X shears, which a node
        // cannot carry: the node keeps the move, the vertices the rest. (1, 0, 0) turns to
        // (c, c, 0) and scales to (2c, c, 0), glTF (2c, 0, -c); (0, 1, 0) to (-2c, 0, -c);
        // (0, 0, 1) to glTF (0, 1, 0).
        PlacedCase{"ShearIsBakedIntoTheVertices",
                   "meters",
                   R"("transform": {"position": [0, 0, 5], "scale": [2, 1, 1]},
                   "objectOffset": {"rotation": [0, 0, 45]},
                   "object": {"type": "mesh", "vertices": [[1, 0, 0], [0, 1, 0], [0, 0, 1]],
                              "faces": [[0, 1, 2]]}})",
                   {{1, 0, 0, 0}, {0, 1, 0, 5}, {0, 0, 1, 0}},
                   {-2 * kC, 0, -kC},
                   {2 * kC, 1, 0}}),
    [](const auto& tp) { return std::string(tp.param.name); });

// A box with a Multi/Sub-Object material of n sub-materials "S0".."S<n-1>": the box's sides have
// material IDs bottom 1, top 0, front 4, right 3, back 5, left 2, two triangles each, and ID i
// shows sub-material i mod n. Primitives come in the order the faces first use them.
struct MultiCase {
    int subs;
    std::vector<std::string> order;  // primitive materials, first use first
    unsigned facesEach;
};

class GltfWriterMulti : public GltfWriter, public ::testing::WithParamInterface<MultiCase> {};

TEST_P(GltfWriterMulti, OnePrimitivePerShownMaterial) {
    const MultiCase& mc = GetParam();
    std::string materials, subs;
    for (int i = 0; i < mc.subs; ++i) {
        materials += R"({"name": "S)" + std::to_string(i) +
                     R"(", "class": "Standard", "diffuse": [0.5, 0.25, 1]},)";
        subs += std::string(i ? ", " : "") + "\"S" + std::to_string(i) + "\"";
    }
    materials +=
        R"({"name": "Multi", "class": "Multi/Sub-Object", "subMaterials": [)" + subs + "]}";
    const aiScene* s = WriteAndImport(Load("meters", materials,
                                           R"({"name": "Box", "material": "Multi",
                 "object": {"type": "box", "width": 1, "length": 1, "height": 1}})"));
    const aiNode* n = FindNode(s, "Box");
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->mNumMeshes, mc.order.size());
    for (unsigned i = 0; i < n->mNumMeshes; ++i) {
        const aiMesh* mesh = s->mMeshes[n->mMeshes[i]];
        // Each side keeps its own 4 corners.
        EXPECT_EQ(mesh->mNumFaces, mc.facesEach) << i;
        EXPECT_EQ(mesh->mNumVertices, mc.facesEach * 2) << i;
        aiString name;
        s->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_NAME, name);
        EXPECT_EQ(std::string(name.C_Str()), mc.order[i]) << i;
    }
    // Only the shown sub-materials are written; diffuse 0.5 and 0.25 decode to linear 0.2140411
    // and 0.0508761.
    ASSERT_EQ(glb_.json["materials"].size(), mc.order.size());
    const auto& factor = glb_.json["materials"][0]["pbrMetallicRoughness"]["baseColorFactor"];
    EXPECT_NEAR(factor[0].get<double>(), 0.2140411, 1e-6);
    EXPECT_NEAR(factor[1].get<double>(), 0.0508761, 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    SubMaterialCounts, GltfWriterMulti,
    ::testing::Values(MultiCase{1, {"S0"}, 12},             // every ID shows S0
                      MultiCase{2, {"S1", "S0"}, 6},        // 1,0,0,1,1,0
                      MultiCase{3, {"S1", "S0", "S2"}, 4},  // 1,0,1,0,2,2
                      MultiCase{6, {"S1", "S0", "S4", "S3", "S5", "S2"}, 2},
                      MultiCase{8, {"S1", "S0", "S4", "S3", "S5", "S2"}, 2}));  // 6, 7 unused

// The largest material ID, 65535, shows sub-material 65535 mod 2 = S1; ID 2 shows S0. The
// primitives come in first-use order: S1 with faces 0 and 2, then S0 with face 1.
TEST_F(GltfWriter, TheLargestMaterialIdHasItsPrimitive) {
    const aiScene* s = WriteAndImport(
        Load("meters",
             R"({"name": "S0", "class": "Standard"}, {"name": "S1", "class": "Standard"},
           {"name": "Multi", "class": "Multi/Sub-Object", "subMaterials": ["S0", "S1"]})",
             R"({"name": "N", "material": "Multi", "object": {"type": "mesh",
            "vertices": [[0, 0, 0], [1, 0, 0], [0, 1, 0], [2, 0, 0], [3, 0, 0], [2, 1, 0],
                         [4, 0, 0], [5, 0, 0], [4, 1, 0]],
            "faces": [[0, 1, 2], [3, 4, 5], [6, 7, 8]], "materialIds": [65535, 2, 65535]}})"));
    const aiNode* n = FindNode(s, "N");
    ASSERT_NE(n, nullptr);
    ASSERT_EQ(n->mNumMeshes, 2u);
    const std::pair<const char*, unsigned> expected[] = {{"S1", 2u}, {"S0", 1u}};
    for (unsigned i = 0; i < 2; ++i) {
        const aiMesh* mesh = s->mMeshes[n->mMeshes[i]];
        aiString name;
        s->mMaterials[mesh->mMaterialIndex]->Get(AI_MATKEY_NAME, name);
        EXPECT_EQ(std::string(name.C_Str()), expected[i].first) << i;
        EXPECT_EQ(mesh->mNumFaces, expected[i].second) << i;
    }
}

// A multi whose slot 1 is empty: IDs 1, 3, 5 (bottom, right, back) show the wire colour, as a
// material of its own. (A plain material on every face, shared by two nodes: the texture test.)
TEST_F(GltfWriter, AnEmptySlotShowsTheWireColour) {
    const aiScene* s =
        WriteAndImport(Load("meters",
                            R"({"name": "Red", "class": "Standard", "diffuse": [1, 0, 0]},
           {"name": "Holey", "class": "Multi/Sub-Object", "subMaterials": ["Red", null]})",
                            R"({"name": "Holey", "material": "Holey", "wireColor": [0, 0, 255],
            "object": {"type": "box", "width": 1, "length": 1, "height": 1}})"));
    const aiNode* holey = FindNode(s, "Holey");
    ASSERT_NE(holey, nullptr);
    ASSERT_EQ(holey->mNumMeshes, 2u);
    // The bottom (ID 1) comes first: the wire colour, then Red.
    const auto& materials = glb_.json["materials"];
    ASSERT_EQ(materials.size(), 2u);
    const auto& primitives = glb_.json["meshes"][0]["primitives"];
    EXPECT_EQ(materials[primitives[0]["material"].get<std::size_t>()]["name"], "Wire 0000FF");
    EXPECT_EQ(materials[primitives[1]["material"].get<std::size_t>()]["name"], "Red");
}

// Two triangles meeting along the ridge from (0,0,1) to (1,0,1): A = (0,2,1) faces
// (0,-1,1)/sqrt2 (towards -Y and up), B = (1,2,3) faces (0,1,1)/sqrt2.
struct SmoothCase {
    const char* name;
    unsigned groupA, groupB;
    unsigned vertices;  // 4 when the ridge corners are shared, 6 when split
};

class GltfWriterSmoothing : public GltfWriter, public ::testing::WithParamInterface<SmoothCase> {};

TEST_P(GltfWriterSmoothing, RidgeSplitsOnlyWithoutASharedGroup) {
    const SmoothCase& sc = GetParam();
    const aiScene* s = WriteAndImport(Load("meters", "",
                                           R"({"name": "Ridge", "object": {"type": "mesh",
            "vertices": [[0, -1, 0], [0, 0, 1], [1, 0, 1], [0, 1, 0]],
            "faces": [[0, 2, 1], [1, 2, 3]], "smoothingGroups": [)" +
                                               std::to_string(sc.groupA) + ", " +
                                               std::to_string(sc.groupB) + "]}}"));
    const aiNode* n = FindNode(s, "Ridge");
    ASSERT_NE(n, nullptr);
    const aiMesh* mesh = s->mMeshes[n->mMeshes[0]];
    EXPECT_EQ(mesh->mNumVertices, sc.vertices);
    EXPECT_EQ(mesh->mNumFaces, 2u);
    // The ridge corners: the sum of both face normals, straight up (host Z = glTF Y) when shared;
    // otherwise each face's own, host (0, -+1, 1)/sqrt2 = glTF (0, 1/sqrt2, +-1/sqrt2).
    const double r = std::sqrt(0.5);
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) {
        const aiVector3D& p = mesh->mVertices[i];
        const aiVector3D& nrm = mesh->mNormals[i];
        if (std::fabs(p.y - 1.0f) > 1e-6f) {  // a foot: its one face's normal
            EXPECT_NEAR(nrm.y, r, 1e-6);
            EXPECT_NEAR(std::fabs(nrm.z), r, 1e-6);
        } else if (sc.vertices == 4) {
            EXPECT_NEAR(nrm.y, 1.0, 1e-6) << i;
        } else {
            EXPECT_NEAR(nrm.y, r, 1e-6) << i;
            EXPECT_NEAR(std::fabs(nrm.z), r, 1e-6) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Groups, GltfWriterSmoothing,
                         ::testing::Values(SmoothCase{"SameGroup", 1, 1, 4},
                                           SmoothCase{"SharedBit", 3, 2, 4},
                                           SmoothCase{"HighBit", 0x80000000u, 0x80000001u, 4},
                                           SmoothCase{"OtherGroups", 1, 2, 6},
                                           SmoothCase{"BothFaceted", 0, 0, 6},
                                           SmoothCase{"OneFaceted", 1, 0, 6}),
                         [](const auto& tp) { return std::string(tp.param.name); });

TEST_F(GltfWriter, SmoothingIsLinkedThroughFacesBetween) {
    // A fan of three faces around vertex 0 in the plane z = 0: groups 1, 1|2, 2. The first and
    // last share no bit but both share one with the middle face: one normal at the centre, no
    // vertex split anywhere (5 vertices), all pointing up (glTF +Y).
    const aiScene* s = WriteAndImport(Load("meters", "",
                                           R"({"name": "Fan", "object": {"type": "mesh",
            "vertices": [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0], [-1, 1, 0]],
            "faces": [[0, 1, 2], [0, 2, 3], [0, 3, 4]], "smoothingGroups": [1, 3, 2]}})"));
    const aiMesh* mesh = s->mMeshes[FindNode(s, "Fan")->mMeshes[0]];
    EXPECT_EQ(mesh->mNumVertices, 5u);
    for (unsigned i = 0; i < mesh->mNumVertices; ++i) EXPECT_NEAR(mesh->mNormals[i].y, 1.0, 1e-6);
}

// Regression: the writer took the address of the vertex classes once, and the classes move
// when a vertex with many normals makes them grow mid-write. A fan of 1,500 faces around the
// axis from (0,0,0) to (0,0,1), rim vertex k at (cos t, sin t, 0.5): face (0, 1, k) has the
// normal axis x (rim - top) = (-sin t, cos t, 0), a different one per face, so the two axis
// vertices split into 1,500 vertices each (twice the 1,502 mesh vertices the classes start
// with) and every corner is its own vertex. In glTF axes the rim vertex is (cos t, 0.5, -sin t)
// and the face's normal (-sin t, 0, -cos t).
TEST_F(GltfWriter, ClassesGrowingMidWriteKeepEveryCornersNormal) {
    constexpr int kFaces = 1500;
    std::string verts = "[0, 0, 0], [0, 0, 1]", faces;
    for (int k = 0; k < kFaces; ++k) {
        const double t = 2.0 * M_PI * (k + 0.5) / kFaces;
        verts +=
            ", [" + std::to_string(std::cos(t)) + ", " + std::to_string(std::sin(t)) + ", 0.5]";
        faces += std::string(k ? ", " : "") + "[0, 1, " + std::to_string(k + 2) + "]";
    }
    const aiScene* s = WriteAndImport(Load("meters", "",
                                           R"({"name": "Fan", "object": {"type": "mesh",
            "vertices": [)" + verts + R"(], "faces": [)" +
                                               faces + "]}}"));
    const aiNode* n = FindNode(s, "Fan");
    ASSERT_NE(n, nullptr);
    const aiMesh* mesh = s->mMeshes[n->mMeshes[0]];
    EXPECT_EQ(mesh->mNumVertices, 3u * kFaces);
    ASSERT_EQ(mesh->mNumFaces, static_cast<unsigned>(kFaces));
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiVector3D& rim = mesh->mVertices[mesh->mFaces[f].mIndices[2]];
        ASSERT_NEAR(rim.y, 0.5, 1e-6);
        for (unsigned k = 0; k < 3; ++k) {
            const aiVector3D& nrm = mesh->mNormals[mesh->mFaces[f].mIndices[k]];
            EXPECT_NEAR(nrm.x, rim.z, 1e-5) << f;  // -sin t
            EXPECT_NEAR(nrm.y, 0.0, 1e-6) << f;
            EXPECT_NEAR(nrm.z, -rim.x, 1e-5) << f;  // -cos t
        }
    }
}

// A unit quad of two triangles (0,1,2), (0,2,3) with texture coordinates. (That v runs down in
// the file: the writers' round trip reads the corners back.)
TEST_F(GltfWriter, TextureSeamsSplitTheCorners) {
    const std::string quad = R"("vertices": [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]],
                                "faces": [[0, 1, 2], [0, 2, 3]], "smoothingGroups": [1, 1],)";
    // Shared texture vertices: 4 vertices. A seam (the second face uses its own copies of the
    // diagonal's texture vertices, 4 and 5): the diagonal's 2 corners split, 6 vertices.
    auto nodes = Load("meters", "",
                      R"({"name": "Shared", "object": {"type": "mesh", )" + quad +
                          R"("uvs": [[0, 0], [1, 0], [1, 0.75], [0, 1]],
                              "uvFaces": [[0, 1, 2], [0, 2, 3]]}},
                         {"name": "Seam", "object": {"type": "mesh", )" +
                          quad + R"("uvs": [[0, 0], [1, 0], [1, 0.75], [0, 1], [0, 0], [1, 1]],
                              "uvFaces": [[0, 1, 2], [4, 5, 3]]}})");
    const aiScene* s = WriteAndImport(nodes);
    EXPECT_EQ(s->mMeshes[FindNode(s, "Shared")->mMeshes[0]]->mNumVertices, 4u);
    EXPECT_EQ(s->mMeshes[FindNode(s, "Seam")->mMeshes[0]]->mNumVertices, 6u);
}

TEST_F(GltfWriter, AMirrorBakedIntoTheVerticesKeepsEachCornersTextureCoordinate) {
    // The object offset turned 45 about Z under a node scaled (-2, 1, 1) shears and mirrors, so
    // the vertices are baked and the corners written in the order 0, 2, 1. Host (1, 0, 0) turns
    // to (c, c, 0) and scales to (-2c, c, 0), glTF (-2c, 0, -c); (0, 1, 0) to (2c, c, 0), glTF
    // (2c, 0, -c); (0, 0, 1) is glTF (0, 1, 0). Each keeps its own u (v 0 is written as 1).
    const aiScene* s = WriteAndImport(Load("meters", "", R"({"name": "N",
        "transform": {"scale": [-2, 1, 1]}, "objectOffset": {"rotation": [0, 0, 45]},
        "object": {"type": "mesh", "vertices": [[1, 0, 0], [0, 1, 0], [0, 0, 1]],
                   "faces": [[0, 1, 2]], "uvs": [[0.25, 0], [0.5, 0], [0.75, 0]],
                   "uvFaces": [[0, 1, 2]]}})"));
    const aiNode* n = FindNode(s, "N");
    ASSERT_NE(n, nullptr);
    const aiMesh* mesh = s->mMeshes[n->mMeshes[0]];
    ASSERT_EQ(mesh->mNumFaces, 1u);
    ASSERT_TRUE(mesh->HasTextureCoords(0));
    const double expected[3][4] = {{-2 * kC, 0, -kC, 0.25}, {0, 1, 0, 0.75}, {2 * kC, 0, -kC, 0.5}};
    for (unsigned k = 0; k < 3; ++k) {
        const unsigned v = mesh->mFaces[0].mIndices[k];
        const aiVector3D& p = mesh->mVertices[v];
        EXPECT_NEAR(p.x, expected[k][0], 1e-6) << "corner " << k;
        EXPECT_NEAR(p.y, expected[k][1], 1e-6) << "corner " << k;
        EXPECT_NEAR(p.z, expected[k][2], 1e-6) << "corner " << k;
        EXPECT_EQ(mesh->mTextureCoords[0][v].x, static_cast<float>(expected[k][3]));
    }
}

TEST_F(GltfWriter, HiddenNodesEmptyMeshesAndAnEmptyScene) {
    // A hidden box is left out; a mesh without faces is a node without a mesh.
    auto nodes =
        Load("meters", "",
             R"({"name": "Shown", "object": {"type": "box", "width": 1, "length": 1, "height": 1}},
                         {"name": "Hidden", "hidden": true,
                          "object": {"type": "box", "width": 1, "length": 1, "height": 1}},
                         {"name": "Empty", "object": {"type": "mesh", "vertices": [], "faces": []}})");
    ASSERT_EQ(nodes.size(), 3u);
    const aiScene* s = WriteAndImport(nodes);
    EXPECT_NE(FindNode(s, "Shown"), nullptr);
    EXPECT_EQ(FindNode(s, "Hidden"), nullptr);
    ASSERT_EQ(glb_.json["nodes"].size(), 2u);
    EXPECT_EQ(glb_.json["nodes"][1]["name"], "Empty");
    EXPECT_FALSE(glb_.json["nodes"][1].contains("mesh"));
    EXPECT_EQ(glb_.json["meshes"].size(), 1u);
    // No nodes at all: still a valid file.
    std::string error;
    ASSERT_TRUE(host::WriteGlb({}, scene_, path_, error)) << error;
    ASSERT_TRUE(glbtest::ReadGlb(path_, glb_, error)) << error;
    glbtest::ExpectValid(glb_);
    EXPECT_EQ(glb_.json["scenes"][0]["name"], "Scene");
    EXPECT_FALSE(glb_.json.contains("buffers"));  // glTF has no empty buffers
    EXPECT_EQ(glbtest::CountScene(glb_).vertices, 0u);
}

// Bad meshes and paths: false, a message naming the problem, and no file.
struct BadCase {
    const char* name;
    void (*spoil)(host::EvaluatedNode&, std::string& path);
    const char* message;
};

class GltfWriterRefuses : public GltfWriter, public ::testing::WithParamInterface<BadCase> {};

TEST_P(GltfWriterRefuses, BadInput) {
    auto nodes = Load("meters", "",
                      R"({"name": "Tri", "object": {"type": "mesh",
                          "vertices": [[0, 0, 0], [1, 0, 0], [1, 1, 0], [0, 1, 0]],
                          "faces": [[0, 1, 2], [0, 2, 3]],
                          "uvs": [[0, 0], [1, 0], [1, 1], [0, 1]],
                          "uvFaces": [[0, 1, 2], [0, 2, 3]]}})");
    std::string path = path_;
    GetParam().spoil(nodes[0], path);
    std::string error;
    EXPECT_FALSE(host::WriteGlb(nodes, scene_, path, error));
    EXPECT_NE(error.find(GetParam().message), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(fs::exists(path + ".part"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GltfWriterRefuses,
    ::testing::Values(
        BadCase{"MissingVertex",
                [](host::EvaluatedNode& n, std::string&) { n.OwnMesh().faces[1].v[2] = 7; },
                "node 'Tri': face 1 refers to vertex 7 of 4"},
        BadCase{"MissingTextureVertex",
                [](host::EvaluatedNode& n, std::string&) { n.OwnMesh().tvFace[1].t[1] = 5; },
                "node 'Tri': face 1 refers to texture vertex 5 of 4"},
        BadCase{"InfiniteTextureVertex",
                [](host::EvaluatedNode& n, std::string&) { n.OwnMesh().tVerts[3].x = INFINITY; },
                "node 'Tri': texture vertex 3 is not finite"},
        BadCase{"NaNVertex",
                [](host::EvaluatedNode& n, std::string&) { n.OwnMesh().verts[1].y = NAN; },
                "node 'Tri': vertex 1 is not finite"},
        BadCase{"InfiniteTransform",
                [](host::EvaluatedNode& n, std::string&) { n.objectTM.m[3][0] = INFINITY; },
                "node 'Tri': the object transform is not finite"},
        BadCase{"NoFolder", [](host::EvaluatedNode&, std::string& p) { p += ".missing/out.glb"; },
                "cannot write"}),
    [](const auto& tp) { return std::string(tp.param.name); });

}  // namespace
