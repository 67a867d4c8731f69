// Materials in scene files: every class of the host's table with its own parameters, maps inline
// (a colour correction over a bitmap), containers and multis with their sub-materials, saved and
// loaded whole. (The refusals that name what would be right: scene_file_refusals_test.cpp.)
#include <gtest/gtest.h>

#include <string>

#include "imtl.h"
#include "iparamb2.h"
#include "materials.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"

namespace {

const char* kMaterials = R"({"format": "trellon-scene", "version": 1, "materials": [
  {"name": "Bark", "class": "VRayMtl", "diffuse": [0.3, 0.2, 0.1],
   "params": {"reflection": [0.5, 0.5, 0.5], "reflection_glossiness": 0.6}},
  {"name": "Leaf", "class": "Standard",
   "diffuseMap": {"class": "Color Correction",
                  "params": {"map": {"class": "Bitmap", "file": "leaf.png"}, "hueShift": 12,
                             "saturation": -5, "brightness": 3, "contrast": 8}}},
  {"name": "Mix", "class": "Blend", "subMaterials": ["Bark", {"class": "CoronaMtl"}],
   "params": {"mask": {"class": "Bitmap", "file": "mask.png"}}},
  {"name": "Coats", "class": "VRayBlendMtl", "subMaterials": ["Bark", "Leaf", "Bark", null]},
  {"name": "Tree", "class": "Multi/Sub-Object", "subMaterials": ["Mix", "Coats", null]}
]})";

Mtl* Named(host::Scene& scene, const wchar_t* name) {
    for (Mtl* m : scene.SceneMaterials()) {
        if (std::wstring(m->GetName().data()) == name) return m;
    }
    return nullptr;
}

TEST(SceneFileMaterials, EveryClassKeepsItsParametersMapsAndSlots) {
    host::Scene scene;
    host::LoadSceneText(kMaterials, "t.json", scene);
    Mtl* bark = Named(scene, L"Bark");
    ASSERT_NE(bark, nullptr);
    EXPECT_EQ(bark->ClassID(), host::kVRayMtlClassID);
    EXPECT_EQ(bark->GetDiffuse(), Color(0.3f, 0.2f, 0.1f));
    EXPECT_FLOAT_EQ(bark->GetParamBlock(0)->GetFloat(3), 0.6f);

    // The leaf's diffuse map is the correction, whose input map is the bitmap.
    Mtl* leaf = Named(scene, L"Leaf");
    ASSERT_EQ(leaf->NumSubTexmaps(), 1);
    Texmap* correction = leaf->GetSubTexmap(0);
    ASSERT_NE(correction, nullptr);
    EXPECT_EQ(correction->ClassID(), host::kColorCorrectionClassID);
    IParamBlock2* cc = correction->GetParamBlock(0);
    EXPECT_FLOAT_EQ(cc->GetFloat(7), 12.0f);
    EXPECT_FLOAT_EQ(cc->GetFloat(8), -5.0f);
    EXPECT_FLOAT_EQ(cc->GetFloat(13), 8.0f);
    auto* bitmap = dynamic_cast<host::BitmapMap*>(correction->GetSubTexmap(0));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->File(), L"leaf.png");

    // A container's slots, and the table of coats after the base: Bark, then Leaf, Bark, empty.
    Mtl* mix = Named(scene, L"Mix");
    ASSERT_EQ(mix->NumSubMtls(), 2);
    EXPECT_EQ(mix->GetSubMtl(0), bark);
    EXPECT_EQ(std::wstring(mix->GetSubMtlSlotName(1).data()), L"map2");
    Mtl* coats = Named(scene, L"Coats");
    ASSERT_EQ(coats->NumSubMtls(), 4);
    EXPECT_EQ(coats->GetSubMtl(1), leaf);
    EXPECT_EQ(coats->GetSubMtl(3), nullptr);
    EXPECT_EQ(std::wstring(coats->GetSubMtlSlotName(2).data()), L"coatMtl 2");
    Mtl* tree = Named(scene, L"Tree");
    EXPECT_TRUE(tree->IsMultiMtl());
    EXPECT_EQ(tree->NumSubMtls(), 3);

    // Saved and loaded again: the same file.
    const std::string saved = host::SaveSceneText(scene);
    host::Scene second;
    host::LoadSceneText(saved, "saved.json", second);
    EXPECT_EQ(host::SaveSceneText(second), saved);
    EXPECT_NE(saved.find("\"reflection_glossiness\": 0.6"), std::string::npos);
}

// A file saved before materials had parameters of their own wrote a diffuse colour for every
// material, a multi's too: it still loads.
TEST(SceneFileMaterials, OldFilesWithADiffuseOnAMultiStillLoad) {
    host::Scene scene;
    host::LoadSceneText(R"({"format": "trellon-scene", "version": 1, "materials": [
      {"name": "A", "class": "Standard", "diffuse": [1, 0, 0]},
      {"name": "M", "class": "Multi/Sub-Object", "diffuse": [1, 0, 0], "subMaterials": ["A"]}]})",
                        "old.json", scene);
    EXPECT_EQ(Named(scene, L"M")->GetSubMtl(0), Named(scene, L"A"));
}

}  // namespace
