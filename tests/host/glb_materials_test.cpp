// What a .glb shows of the host's materials: a bitmap diffuse map embedded as the base-colour
// texture (read back with assimp and decoded), and a Trellon object's copies showing their own
// item's material, or the palette colour under the item's name where the item has none.
#include <gtest/gtest.h>

#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <stb_image.h>
#include <stb_image_write.h>

#include <assimp/Importer.hpp>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "module_scene_fixture.h"
#include "scene.h"
#include "scene_reader.h"
#include "support/fence_scene.h"
#include "support/scratch_dir.h"
#include "support/text_files.h"

namespace {

namespace fs = std::filesystem;

// A 2 x 1 image, red then blue, in the format named by its extension.
void WriteRedBlue(const fs::path& file) {
    const unsigned char px[6] = {255, 0, 0, 0, 0, 255};
    const std::string ext = file.extension().string();
    const std::string name = file.string();
    if (ext == ".png") stbi_write_png(name.c_str(), 2, 1, 3, px, 6);
    if (ext == ".bmp") stbi_write_bmp(name.c_str(), 2, 1, 3, px);
    if (ext == ".tga") stbi_write_tga(name.c_str(), 2, 1, 3, px);
}

std::string NameOf(const aiMaterial* m) {
    aiString name;
    m->Get(AI_MATKEY_NAME, name);
    return name.C_Str();
}

class GlbTexture : public testing::TestWithParam<const char*> {};

// Whatever the host read the bitmap from, the file holds an image a glTF viewer reads (PNG as
// it is, other formats converted) with the same pixels, and the material shows it untinted.
TEST_P(GlbTexture, ABitmapDiffuseMapIsEmbeddedAsTheBaseColourTexture) {
    const support::ScratchDir dir;
    const fs::path image = dir / (std::string("paint.") + GetParam());
    WriteRedBlue(image);
    host::Scene scene;
    host::LoadSceneText(R"({"format": "trellon-scene", "version": 1, "units": "meters",
        "materials": [{"name": "Paint", "class": "Standard", "diffuse": [0.2, 0.3, 0.4],
                       "diffuseMap": {"class": "Bitmap", "file": ")" +
                            image.generic_string() + R"("}}],
        "nodes": [{"name": "Box", "material": "Paint",
                   "object": {"type": "box", "width": 1, "length": 1, "height": 1}},
                  {"name": "Lid", "material": "Paint",
                   "object": {"type": "box", "width": 1, "length": 1, "height": 1}}]})",
                        (dir / "t.scene.json").string(), scene);
    const std::string glb = (dir / "out.glb").string();
    std::string error;
    ASSERT_TRUE(host::WriteGlb(host::EvaluateScene(scene, 0), scene, glb, error)) << error;

    Assimp::Importer importer;
    const aiScene* s = importer.ReadFile(glb, aiProcess_ValidateDataStructure);
    ASSERT_NE(s, nullptr) << importer.GetErrorString();
    // Two nodes of one material: one material, one image.
    ASSERT_EQ(s->mNumMeshes, 2u);
    ASSERT_EQ(s->mMeshes[0]->mMaterialIndex, s->mMeshes[1]->mMaterialIndex);
    const aiMaterial* paint = s->mMaterials[s->mMeshes[0]->mMaterialIndex];
    EXPECT_EQ(NameOf(paint), "Paint");
    ASSERT_EQ(s->mNumTextures, 1u);
    aiString path;
    ASSERT_EQ(paint->GetTexture(aiTextureType_DIFFUSE, 0, &path), aiReturn_SUCCESS);
    EXPECT_STREQ(path.C_Str(), "*0");  // the first embedded image
    aiColor4D factor;
    ASSERT_EQ(paint->Get(AI_MATKEY_BASE_COLOR, factor), aiReturn_SUCCESS);
    EXPECT_EQ(factor, aiColor4D(1.0f, 1.0f, 1.0f, 1.0f));  // the texture as it is

    const aiTexture* tex = s->mTextures[0];
    EXPECT_EQ(tex->mHeight, 0u);  // compressed bytes, not decoded texels
    EXPECT_STREQ(tex->achFormatHint, "png");
    const auto* data = reinterpret_cast<const unsigned char*>(tex->pcData);
    if (std::string(GetParam()) == "png") {
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), tex->mWidth),
                  support::ReadText(image));
    }
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load_from_memory(data, static_cast<int>(tex->mWidth), &w, &h, &n, 3);
    ASSERT_NE(px, nullptr);
    EXPECT_EQ(w, 2);
    EXPECT_EQ(h, 1);
    EXPECT_EQ(std::vector<unsigned char>(px, px + 6),
              (std::vector<unsigned char>{255, 0, 0, 0, 0, 255}));
    stbi_image_free(px);
}

INSTANTIATE_TEST_SUITE_P(ImageFormats, GlbTexture, testing::Values("png", "bmp", "tga"));

class GlbTrellonMaterials : public ModuleSceneTest {};

// Two items on a 100 cm path at spacing 25, each along the whole path (copies at 0, 25, 50, 75
// and 100): the pickets show their own material, Wood, the posts, which have none, the palette
// colour named "Post".
TEST_F(GlbTrellonMaterials, CopiesShowTheirItemsMaterialOrAPaletteColourNamedAfterTheItem) {
    const support::ScratchDir dir;
    support::FenceScene fence;
    fence.path = R"({"type": "line", "points": [[0, 0, 0], [100, 0, 0]]})";
    fence.setup = R"({"op": "addItems", "nodes": ["Picket", "Post"]})";
    fence.params = R"({"name": "Geo_UserSpacing", "value": 1}, {"name": "Display_Mode", "value": 6},
                      {"name": "Item_Spacing", "value": [25, 25, 25]})";
    host::LoadSceneText(fence.Text(), (dir / "f.scene.json").string(), *scene);
    const std::string glb = (dir / "out.glb").string();
    std::string error;
    ASSERT_TRUE(host::WriteGlb(host::EvaluateScene(*scene, 0), *scene, glb, error)) << error;

    Assimp::Importer importer;
    const aiScene* s = importer.ReadFile(glb, aiProcess_ValidateDataStructure);
    ASSERT_NE(s, nullptr) << importer.GetErrorString();
    // Faces per material: a box is 12 triangles, 5 copies of each.
    std::map<std::string, unsigned> faces;
    for (unsigned m = 0; m < s->mNumMeshes; ++m)
        faces[NameOf(s->mMaterials[s->mMeshes[m]->mMaterialIndex])] += s->mMeshes[m]->mNumFaces;
    EXPECT_EQ(faces, (std::map<std::string, unsigned>{{"Wood", 60}, {"Post", 60}}));
}

}  // namespace
