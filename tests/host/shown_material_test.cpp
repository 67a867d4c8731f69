// What host materials look like to a PBR viewer: the colour correction worked by hand, the base
// colour, texture and roughness of each kind of material, the tint a correction over a bitmap
// leaves, and which material each face of a Trellon object shows.
#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <string>

#include "iparamb2.h"
#include "materials.h"
#include "shown_material.h"
#include "support/scratch_dir.h"

namespace {

Mtl* New(const wchar_t* cls) { return static_cast<Mtl*>(host::NewMaterialOrMap(cls)); }

Texmap* Correction(float hue, float saturation, float brightness, float contrast) {
    auto* map = static_cast<Texmap*>(host::NewMaterialOrMap(L"Color Correction"));
    IParamBlock2* pb = map->GetParamBlock(0);
    pb->SetValue(7, 0, hue);
    pb->SetValue(8, 0, saturation);
    pb->SetValue(12, 0, brightness);
    pb->SetValue(13, 0, contrast);
    return map;
}

void ExpectColour(const Color& got, const Color& want) {
    EXPECT_NEAR(got.r, want.r, 1e-5f);
    EXPECT_NEAR(got.g, want.g, 1e-5f);
    EXPECT_NEAR(got.b, want.b, 1e-5f);
}

struct CorrectionCase {
    const char* name;
    Color in;
    float hue, saturation, brightness, contrast;
    Color out;
};

class ColourCorrection : public testing::TestWithParam<CorrectionCase> {};

TEST_P(ColourCorrection, TurnsScalesAddsAndStretches) {
    const CorrectionCase& c = GetParam();
    ExpectColour(
        host::CorrectColour(c.in, Correction(c.hue, c.saturation, c.brightness, c.contrast)),
        c.out);
}

INSTANTIATE_TEST_SUITE_P(
    ByHand, ColourCorrection,
    testing::Values(
        // Red turned a third of the way round the hues is green.
        CorrectionCase{"HueThird", Color(1.0f, 0.0f, 0.0f), 120, 0, 0, 0, Color(0.0f, 1.0f, 0.0f)},
        // Saturation -100: no saturation left, the value (1) in every channel.
        CorrectionCase{"NoSaturation", Color(1.0f, 0.0f, 0.0f), 0, -100, 0, 0,
                       Color(1.0f, 1.0f, 1.0f)},
        // Half saturation of (1, 0.5, 0): s 1 -> 0.5, so (1, 0.75, 0.5).
        CorrectionCase{"HalfSaturation", Color(1.0f, 0.5f, 0.0f), 0, -50, 0, 0,
                       Color(1.0f, 0.75f, 0.5f)},
        // Brightness 10: 0.5 + 0.1.
        CorrectionCase{"Brightness", Color(0.5f, 0.5f, 0.5f), 0, 0, 10, 0, Color(0.6f, 0.6f, 0.6f)},
        // Contrast 100 doubles the distance from 0.5: 0.75 -> 1, 0.4 -> 0.3, 0.1 -> clamped 0.
        CorrectionCase{"Contrast", Color(0.75f, 0.4f, 0.1f), 0, 0, 0, 100,
                       Color(1.0f, 0.3f, 0.0f)}),
    [](const testing::TestParamInfo<CorrectionCase>& p) { return std::string(p.param.name); });

TEST(ShowMaterial, ColourAndRoughnessFromTheClass) {
    Mtl* vray = New(L"VRayMtl");
    vray->SetName(MSTR(L"Bark"));
    vray->SetDiffuse(Color(0.3f, 0.2f, 0.1f), 0);
    vray->GetParamBlock(0)->SetValue(3, 0, 0.6f);
    const host::MaterialLook bark = host::ShowMaterial(vray);
    EXPECT_EQ(bark.name, "Bark");
    ExpectColour(bark.baseColour, Color(0.3f, 0.2f, 0.1f));
    EXPECT_NEAR(bark.roughness, 0.4f, 1e-6f);
    EXPECT_TRUE(bark.textureFile.empty());
    // Standard's glossiness runs to 100; its default 10 leaves a roughness of 0.9.
    EXPECT_NEAR(host::ShowMaterial(New(L"Standard")).roughness, 0.9f, 1e-6f);
    // A container shows its first material; a correction over a colour shows the corrected one.
    Mtl* blend = New(L"Blend");
    Mtl* red = New(L"Standard");
    red->SetDiffuse(Color(1.0f, 0.0f, 0.0f), 0);
    Texmap* turn = Correction(120, 0, 0, 0);
    turn->GetParamBlock(0)->SetValue(0, 0, Color(1.0f, 0.0f, 0.0f));
    red->GetParamBlock(0)->SetValue(11, 0, turn);
    blend->SetSubMtl(0, red);
    ExpectColour(host::ShowMaterial(blend).baseColour, Color(0.0f, 1.0f, 0.0f));
}

// A 2 x 1 image of (200, 100, 0) and (0, 100, 200): mean (100, 100, 100) / 255. A brightness of
// -10 takes the mean to 0.39216 - 0.1, so the tint is 0.29216 / 0.39216 = 0.745 in each channel.
TEST(ShowMaterial, ATextureShowsAsItIsAndACorrectionOverItTints) {
    const support::ScratchDir dir;
    const std::string file = (dir / "two.png").string();
    const unsigned char px[6] = {200, 100, 0, 0, 100, 200};
    ASSERT_NE(stbi_write_png(file.c_str(), 2, 1, 3, px, 6), 0);
    Mtl* leaf = New(L"Standard");
    auto* bitmap = static_cast<BitmapTex*>(host::NewMaterialOrMap(L"Bitmap"));
    bitmap->SetMapName(std::wstring(file.begin(), file.end()).c_str());
    leaf->GetParamBlock(0)->SetValue(11, 0, bitmap);
    host::MaterialLook plain = host::ShowMaterial(leaf);
    EXPECT_EQ(plain.textureFile, file);
    ExpectColour(plain.baseColour, Color(1.0f, 1.0f, 1.0f));

    Texmap* darker = Correction(0, 0, -10, 0);
    darker->GetParamBlock(0)->SetValue(1, 0, bitmap);
    leaf->GetParamBlock(0)->SetValue(11, 0, darker);
    const host::MaterialLook tinted = host::ShowMaterial(leaf);
    EXPECT_EQ(tinted.textureFile, file);
    const float tint = (100.0f / 255.0f - 0.1f) / (100.0f / 255.0f);
    ExpectColour(tinted.baseColour, Color(tint, tint, tint));
}

}  // namespace
