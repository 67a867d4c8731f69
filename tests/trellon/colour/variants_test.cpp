// Colour variation and the materials of generated nodes: the offset pools, the variants of a
// source's material and their names, the name filter, the materials packed for the export, and
// the maps shown in the viewports. Materials are the host's own classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "colour/material_channels.h"
#include "colour/variants.h"
#include "export/material_combine.h"
#include "materials.h"
#include "object/setup_fixture.h"

using namespace trellon;

namespace {

using setup_test::SetupFixture;

Mtl* NewMtl(const wchar_t* cls, const wchar_t* name, Color diffuse = Color(0.2f, 0.4f, 0.6f)) {
    auto* m = static_cast<Mtl*>(host::NewMaterialOrMap(cls));
    m->SetName(MSTR(name));
    m->SetDiffuse(diffuse, 0);
    return m;
}

// The colour-correction map a shifted leaf carries as its diffuse map (block 0 parameter 11 of
// a Standard, 10 of the other leaves), or null.
Texmap* Correction(Mtl* m, ParamID mapParam = 11) {
    IParamBlock2* pb = m ? m->GetParamBlock(0) : nullptr;
    auto* map = pb ? dynamic_cast<Texmap*>(pb->GetReferenceTarget(mapParam)) : nullptr;
    return map && map->ClassID() == trellon::kColourCorrectionClassID ? map : nullptr;
}

ColourOffsets OffsetsOf(Texmap* correction) {
    IParamBlock2* pb = correction->GetParamBlock(0);
    return {pb->GetFloat(7), pb->GetFloat(8), pb->GetFloat(12), pb->GetFloat(13)};
}

class ColourVariation : public SetupFixture {
protected:
    // n distribution objects, each with its own Standard material "M<k>".
    void Objects(int n) {
        for (int k = 0; k < n; ++k) {
            const std::wstring name = L"Item" + std::to_wstring(k);
            INode* node = Row(name.c_str(), 3, static_cast<float>(k + 1));
            node->SetMtl(NewMtl(L"Standard", (L"M" + std::to_wstring(k)).c_str()));
            trellon::AddItem(Obj(), node);
        }
    }
    void Ranges(float h, float sat, float b, float c) {
        s.pb->SetValue(Hue_Shift, 0, h);
        s.pb->SetValue(Saturation, 0, sat);
        s.pb->SetValue(Brightness, 0, b);
        s.pb->SetValue(Contrast, 0, c);
    }
    void Shift(int v) {
        s.pb->SetValue(Color_Shift, 0, 1);
        s.pb->SetValue(Color_Variation, 0, v);
    }
};

// The generator seeded with 1 draws 41, 18467, 6334, 26500 (of 32768): with ranges 10, 5, 5, 5
// the first set is hue 41/32768 x 20 - 10, saturation 18467/32768 x 10 - 5, and so on.
TEST_F(ColourVariation, PoolsDrawHueSaturationBrightnessContrastInTurn) {
    Objects(1);
    Ranges(10.0f, 5.0f, 5.0f, 5.0f);
    s.pb->SetValue(Color_Variation, 0, 2);
    s.object->Generator.srand(1);
    trellon::MaintainPools(Obj());
    ASSERT_EQ(s.pb->Count(HueRand), 2);
    EXPECT_NEAR(s.pb->GetFloat(HueRand, 0, 0), -9.974976f, 1e-5f);
    EXPECT_NEAR(s.pb->GetFloat(SatRand, 0, 0), 0.635681f, 1e-5f);
    EXPECT_NEAR(s.pb->GetFloat(BriRand, 0, 0), -3.067017f, 1e-5f);
    EXPECT_NEAR(s.pb->GetFloat(ConRand, 0, 0), 3.087158f, 1e-5f);
}

// Four sources: V 12 -> 13 keeps the 48 sets and draws 4 more; 11 keeps the first 44. A colour
// slider moved empties all four pools, as does the seed button; a file being opened (Ready 0)
// keeps the ones it saved.
TEST_F(ColourVariation, PoolsFollowVAndTheSourcesUntilASliderOrTheSeedButtonEmptiesThem) {
    Objects(4);
    Ranges(30.0f, 10.0f, 10.0f, 10.0f);
    s.pb->SetValue(Color_Variation, 0, 12);
    trellon::MaintainPools(Obj());
    const std::vector<float> first = Floats(HueRand);
    ASSERT_EQ(first.size(), 48u);
    s.pb->SetValue(Color_Variation, 0, 13);
    trellon::MaintainPools(Obj());
    const std::vector<float> raised = Floats(HueRand);
    ASSERT_EQ(raised.size(), 52u);
    EXPECT_EQ(std::vector<float>(raised.begin(), raised.begin() + 48), first);
    s.pb->SetValue(Color_Variation, 0, 11);
    trellon::MaintainPools(Obj());
    EXPECT_EQ(Floats(HueRand), std::vector<float>(first.begin(), first.begin() + 44));
    EXPECT_EQ(s.pb->Count(ConRand), 44);

    s.object->Ready = 0;
    s.pb->SetValue(Saturation, 0, 4.0f);
    EXPECT_EQ(s.pb->Count(SatRand), 44);
    s.object->Ready = 1;
    s.pb->SetValue(Hue_Shift, 0, 20.0f);
    for (ParamID id : {HueRand, SatRand, BriRand, ConRand}) EXPECT_EQ(s.pb->Count(id), 0);
    trellon::MaintainPools(Obj());
    ASSERT_EQ(s.pb->Count(HueRand), 44);
    Fp().SeedColours();
    EXPECT_EQ(s.pb->Count(HueRand), 0);
}

// V = 2: the source's own material renamed MtlNum0 and one shifted copy MtlNum1 per source;
// variant k of every source carries offset set k.
TEST_F(ColourVariation, VariantsAreTheSourceAndShiftedCopiesSharingOffsetSets) {
    Objects(2);
    Ranges(40.0f, 10.0f, 10.0f, 10.0f);
    Shift(3);
    INode* first = s.pb->GetINode(Object_Nodes, 0, 0);
    Mtl* own = first->GetMtl();
    trellon::BuildVariants(Obj());
    ASSERT_EQ(s.object->VariantMtls.size(), 2u);
    EXPECT_EQ(s.object->VariantCursors, (std::vector<std::int32_t>{0, 0}));
    EXPECT_EQ(s.object->CreatedMtls.size(), 4u);
    const std::vector<Mtl*>& a = s.object->VariantMtls[0];
    const std::vector<Mtl*>& b = s.object->VariantMtls[1];
    ASSERT_EQ(a.size(), 3u);
    ASSERT_EQ(b.size(), 3u);
    EXPECT_EQ(a[0], own);
    EXPECT_EQ(std::wstring(own->GetName().data()), L"MtlNum0");
    EXPECT_EQ(Correction(own), nullptr);  // the source's own stays unshifted
    for (int k = 1; k < 3; ++k) {
        EXPECT_EQ(std::wstring(a[k]->GetName().data()), L"MtlNum" + std::to_wstring(k));
        Texmap* ca = Correction(a[k]);
        Texmap* cb = Correction(b[k]);
        ASSERT_NE(ca, nullptr);
        ASSERT_NE(cb, nullptr);
        const ColourOffsets oa = OffsetsOf(ca);
        const ColourOffsets ob = OffsetsOf(cb);
        EXPECT_EQ(oa.hue, s.pb->GetFloat(HueRand, 0, k));
        EXPECT_EQ(oa.hue, ob.hue);
        EXPECT_EQ(oa.contrast, ob.contrast);
        // Without a diffuse map, the colour goes through the correction.
        EXPECT_EQ(ca->GetParamBlock(0)->GetColor(0), Color(0.2f, 0.4f, 0.6f));
    }
}

// Off, there are no variants; on with zero ranges, the copies carry zero offsets; a class the
// variation does not know is copied but not shifted.
TEST_F(ColourVariation, OffZeroRangesOrAnUnknownClassGiveNoShift) {
    Objects(1);
    trellon::BuildVariants(Obj());
    EXPECT_TRUE(s.object->VariantMtls[0].empty());
    EXPECT_TRUE(s.object->CreatedMtls.empty());
    Shift(2);
    trellon::BuildVariants(Obj());
    ASSERT_EQ(s.object->VariantMtls[0].size(), 2u);
    Texmap* c = Correction(s.object->VariantMtls[0][1]);
    ASSERT_NE(c, nullptr);
    const ColourOffsets o = OffsetsOf(c);
    EXPECT_EQ((std::vector<float>{o.hue, o.saturation, o.brightness, o.contrast}),
              std::vector<float>(4, 0.0f));
    Mtl* paint = NewMtl(L"VRayCarPaintMtl", L"Paint");
    Mtl* copy = trellon::MakeVariant(Obj(), paint, 1);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, paint);
    EXPECT_EQ(Correction(copy, 10), nullptr);
    EXPECT_EQ(copy->GetDiffuse(), paint->GetDiffuse());
}

// A Blend of a VRayMtl with a diffuse map and a Standard: the copy's leaves are both shifted,
// the map going through the correction, the source tree untouched.
TEST_F(ColourVariation, AVariantShiftsEveryLeafOfTheTree) {
    Objects(1);
    Shift(2);
    Mtl* vray = NewMtl(L"VRayMtl", L"Bark");
    auto* bitmap = static_cast<Texmap*>(host::NewMaterialOrMap(L"Bitmap"));
    vray->GetParamBlock(0)->SetValue(10, 0, bitmap);
    Mtl* blend = NewMtl(L"Blend", L"Both");
    blend->SetSubMtl(0, vray);
    blend->SetSubMtl(1, NewMtl(L"Standard", L"Leaf"));
    Mtl* copy = trellon::MakeVariant(Obj(), blend, 1);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->NumSubMtls(), 2);
    Texmap* barkShift = Correction(copy->GetSubMtl(0), 10);
    ASSERT_NE(barkShift, nullptr);
    Texmap* input = dynamic_cast<Texmap*>(barkShift->GetParamBlock(0)->GetReferenceTarget(1));
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->ClassID(), Class_ID(BMTEX_CLASS_ID, 0));
    EXPECT_NE(input, bitmap);  // the clone's own map
    EXPECT_NE(Correction(copy->GetSubMtl(1)), nullptr);
    EXPECT_EQ(Correction(vray, 10), nullptr);
    EXPECT_EQ(vray->GetParamBlock(0)->GetReferenceTarget(10), bitmap);
}

struct FilterCase {
    const char* entry;
    const wchar_t* name;
    bool matches;
};

class NameFilter : public testing::TestWithParam<FilterCase> {};

TEST_P(NameFilter, MatchesWholeNamesOrPrefixesWithoutCase) {
    const FilterCase& c = GetParam();
    const std::string e = c.entry;
    EXPECT_EQ(trellon::NameMatchesEntry(c.name, std::wstring(e.begin(), e.end())), c.matches);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, NameFilter,
    testing::Values(FilterCase{"wood*", L"Wood_Oak", true}, FilterCase{"wood*", L"WOODEN", true},
                    FilterCase{"wood*", L"OakWood", false}, FilterCase{"wood*", L"woo", false},
                    FilterCase{"Wood", L"wood", true}, FilterCase{"Wood", L"Wood_Oak", false},
                    FilterCase{"*", L"anything", true}));

// With Advance Shift: mode 0 shifts the listed names only, mode 1 everything else.
TEST_F(ColourVariation, TheFilterDecidesWhichLeavesAreShifted) {
    Objects(1);
    Shift(2);
    s.pb->SetValue(Advance_Shift, 0, 1);
    const MCHAR* entry = L"wood*";
    s.pb->Append(Texture_Names, 1, &entry);
    Mtl* multi = NewMtl(L"Multi/Sub-Object", L"Fence");
    multi->SetSubMtl(0, NewMtl(L"Standard", L"Wood_Oak"));
    multi->SetSubMtl(1, NewMtl(L"Standard", L"Paint"));
    Mtl* included = trellon::MakeVariant(Obj(), multi, 1);
    EXPECT_NE(Correction(included->GetSubMtl(0)), nullptr);
    EXPECT_EQ(Correction(included->GetSubMtl(1)), nullptr);
    s.pb->SetValue(Texture_Name_Mode, 0, 1);
    Mtl* excluded = trellon::MakeVariant(Obj(), multi, 1);
    EXPECT_EQ(Correction(excluded->GetSubMtl(0)), nullptr);
    EXPECT_NE(Correction(excluded->GetSubMtl(1)), nullptr);
}

// V = 4 on a multi of two slots: a multi of four blocks of two (the copy's slots, then each
// variant's), ID step 2; only the copy's block is unshifted. (A plain material's multi of
// variants, step 1, and the source's own material with the shift off, the host's export tests
// show.)
TEST_F(ColourVariation, CombinedVariantsOfAMultiAreBlocksOfItsSlots) {
    Objects(1);
    Mtl* multi = NewMtl(L"Multi/Sub-Object", L"Two");
    multi->SetSubMtl(0, NewMtl(L"Standard", L"A"));
    multi->SetSubMtl(1, NewMtl(L"Standard", L"B"));
    s.pb->GetINode(Object_Nodes, 0, 0)->SetMtl(multi);
    Shift(4);
    Mtl* blocks = trellon::CombineVariants(Obj(), 0);
    ASSERT_NE(blocks, nullptr);
    ASSERT_EQ(blocks->NumSubMtls(), 8);
    EXPECT_EQ(s.object->MtlIdStep[0], 2);
    EXPECT_EQ(std::wstring(blocks->GetSubMtl(3)->GetName().data()), L"B");
    EXPECT_EQ(Correction(blocks->GetSubMtl(1)), nullptr);
    EXPECT_NE(Correction(blocks->GetSubMtl(3)), nullptr);
    EXPECT_EQ(s.object->CreatedMtls.back(), blocks);
}

// A bitmap with an image becomes the material's active map; one whose file is missing does not.
TEST_F(ColourVariation, MapsWithAnImageShowInTheViewport) {
    Mtl* shown = NewMtl(L"Standard", L"Shown");
    auto* image = static_cast<BitmapTex*>(host::NewMaterialOrMap(L"Bitmap"));
    const std::string file = std::string(TRELLON_SOURCE_DIR) + "/trellon/resources/icons/add.png";
    image->SetMapName(std::wstring(file.begin(), file.end()).c_str());
    shown->GetParamBlock(0)->SetValue(11, 0, image);
    Mtl* missing = NewMtl(L"Standard", L"Missing");
    auto* none = static_cast<BitmapTex*>(host::NewMaterialOrMap(L"Bitmap"));
    none->SetMapName(L"/no/such/file.png");
    missing->GetParamBlock(0)->SetValue(11, 0, none);
    Mtl* multi = NewMtl(L"Multi/Sub-Object", L"Both");
    multi->SetSubMtl(0, shown);
    multi->SetSubMtl(1, missing);

    trellon::ShowMapsInViewport(multi);
    EXPECT_EQ(shown->GetActiveTexmap(), image);
    EXPECT_TRUE(shown->TestMtlFlag(0x10000F));
    EXPECT_TRUE(image->TestMtlFlag(0x10000F));
    EXPECT_TRUE(image->TexDisplayActive());
    EXPECT_EQ(missing->GetActiveTexmap(), nullptr);
    EXPECT_FALSE(none->TexDisplayActive());
}

}  // namespace
