// Meshes imported from files: every mesh of the file merged, node transforms applied, mirrored
// nodes keeping their faces outward, material IDs numbering the materials used, texture
// coordinates kept; a scene's `mesh` object reads its file relative to the scene file.
#include "mesh_import.h"

#include <gtest/gtest.h>

#include <string>

#include "scene.h"
#include "scene_reader.h"
#include "support/text_files.h"
#include "triobj.h"

namespace {

using support::ScenePath;

Point3 Normal(const host::ImportedMesh& m, std::size_t f) {
    const Point3& a = m.vertices[m.faces[f][0]];
    const Point3& b = m.vertices[m.faces[f][1]];
    const Point3& c = m.vertices[m.faces[f][2]];
    return CrossProd(b - a, c - b);
}

float Area(const host::ImportedMesh& m, std::size_t f) { return Length(Normal(m, f)) / 2.0f; }

// two_parts.obj: a 2 x 1 quad at z = 0 (material Board) and a right triangle with legs 1 at
// z = 3 (material Cap).
TEST(MeshImport, ObjPartsMergeWithTheirMaterialsAndCoordinatesAlsoInAScene) {
    host::ImportedMesh m;
    std::string error;
    ASSERT_TRUE(host::ImportMeshFile(ScenePath("meshes/two_parts.obj"), m, error)) << error;
    // 4 quad corners + 3 triangle corners; the quad splits into 2 triangles.
    ASSERT_EQ(m.vertices.size(), 7u);
    ASSERT_EQ(m.faces.size(), 3u);
    // Board is the file's first material, Cap the second.
    EXPECT_EQ(m.materialIds, (std::vector<unsigned>{0, 0, 1}));
    // The quad's two halves cover its area 2, both facing +Z (counter-clockwise in the file).
    EXPECT_FLOAT_EQ(Area(m, 0) + Area(m, 1), 2.0f);
    EXPECT_GT(Normal(m, 0).z, 0.0f);
    EXPECT_GT(Normal(m, 1).z, 0.0f);
    EXPECT_FLOAT_EQ(Area(m, 2), 0.5f);
    // The triangle's corner (0, 1, 3) carries the texture vertex (0, 1).
    ASSERT_EQ(m.uvs.size(), 7u);
    const auto& cap = m.faces[2];
    EXPECT_EQ(m.vertices[cap[2]], Point3(0.0f, 1.0f, 3.0f));
    EXPECT_EQ(m.uvs[cap[2]], Point3(0.0f, 1.0f, 0.0f));

    // A scene's `mesh` object reads the file relative to the scene file's folder: one texture
    // vertex per vertex, the map faces the same as the faces.
    host::Scene scene;
    host::LoadSceneText(R"({"format":"trellon-scene","version":1,"nodes":[
        {"name":"Part","object":{"type":"mesh","file":"meshes/two_parts.obj"}}]})",
                        ScenePath("inline.scene.json"), scene);
    INode* part = scene.GetINodeByName(L"Part");
    ASSERT_NE(part, nullptr);
    auto* tri = dynamic_cast<TriObject*>(part->GetObjectRef());
    ASSERT_NE(tri, nullptr);
    const Mesh& mesh = tri->GetMesh();
    ASSERT_EQ(mesh.getNumFaces(), 3);
    EXPECT_EQ(mesh.faces[2].getMatID(), 1);
    ASSERT_EQ(mesh.getNumTVerts(), 7);
    ASSERT_NE(mesh.tvFace, nullptr);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(mesh.tvFace[2].t[c], mesh.faces[2].v[c]);
}

// three_nodes.gltf: the triangle (0,0,0) (1,0,0) (0,1,0) shown by Base (moved by (10, 0, 0)),
// by Big (Base's child, scaled by 2) and by Mirror (scaled by (-1, 1, 1)).
TEST(MeshImport, GltfNodeTransformsApplyAndMirrorsKeepTheirFacing) {
    host::ImportedMesh m;
    std::string error;
    ASSERT_TRUE(host::ImportMeshFile(ScenePath("meshes/three_nodes.gltf"), m, error)) << error;
    ASSERT_EQ(m.faces.size(), 3u);
    ASSERT_EQ(m.vertices.size(), 9u);
    const Point3 expected[3][3] = {
        {{10, 0, 0}, {11, 0, 0}, {10, 1, 0}},  // Base: v + (10, 0, 0)
        {{10, 0, 0}, {12, 0, 0}, {10, 2, 0}},  // Big: 2 v, then Base's move
        {{0, 0, 0}, {-1, 0, 0}, {0, 1, 0}},    // Mirror: x negated
    };
    for (std::size_t f = 0; f < 3; ++f) {
        // Each face's corners are the node's three points (in some rotation of the order).
        for (const Point3& p : expected[f]) {
            bool found = false;
            for (unsigned c : m.faces[f]) found = found || m.vertices[c] == p;
            EXPECT_TRUE(found) << "face " << f << " lacks " << p.x << ", " << p.y << ", " << p.z;
        }
        // The file's triangle faces +Z; the mirrored copy is turned back to face +Z too.
        EXPECT_GT(Normal(m, f).z, 0.0f) << "face " << f;
    }
    // Only the second material is used: it is number 0. No texture coordinates in the file.
    EXPECT_EQ(m.materialIds, (std::vector<unsigned>{0, 0, 0}));
    EXPECT_TRUE(m.uvs.empty());
}

}  // namespace
