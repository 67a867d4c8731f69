// The parameter block descriptor against the hand-written parameter table.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "iparamb2.h"
#include "object/expected_params.h"
#include "object/param_block.h"
#include "plugin/plugin.h"

namespace {

ParamBlockDesc2& Desc() { return *GetTrellonParamBlockDesc(); }

std::string Name(const expected::Param& p) {
    std::string s;
    for (const wchar_t* c = p.name; *c; ++c) s += *c == L' ' ? '_' : static_cast<char>(*c);
    return std::to_string(p.id) + "_" + s;
}

ControlType2 ControlOf(expected::Ctrl c) {
    switch (c) {
        case expected::Ctrl::Spinner:
            return TYPE_SPINNER;
        case expected::Ctrl::Check:
            return TYPE_SINGLECHECKBOX;
        case expected::Ctrl::Radio:
            return TYPE_RADIO;
        case expected::Ctrl::Combo:
            return TYPE_INT_COMBOBOX;
        case expected::Ctrl::Slider:
            return TYPE_SLIDER;
        case expected::Ctrl::None:
            break;
    }
    return TYPE_SPINNER;
}

class ParamTable : public ::testing::TestWithParam<expected::Param> {};

TEST_P(ParamTable, MatchesTheTable) {
    const expected::Param& want = GetParam();
    ASSERT_TRUE(Desc().HasParam(static_cast<ParamID>(want.id)));
    const ParamDef& def = Desc().GetParamDef(static_cast<ParamID>(want.id));
    EXPECT_EQ(def.int_name, MSTR(want.name));
    EXPECT_EQ(def.type, want.type);
    // Tables start empty.
    if (is_tab(want.type)) {
        EXPECT_EQ(def.tab_size, 0);
    }
    EXPECT_EQ((def.flags & P_ANIMATABLE) != 0, want.animatable);

    // The default (of an appended entry, for a table).
    switch (pb_storage(want.type)) {
        case PBStorage::Int:
            EXPECT_EQ(def.def.i, static_cast<int>(want.def));
            break;
        case PBStorage::Float:
            EXPECT_FLOAT_EQ(def.def.f, static_cast<float>(want.def));
            break;
        default:
            EXPECT_FALSE(def.has_default);
            break;
    }

    EXPECT_EQ(def.has_range, want.hasRange);
    if (want.hasRange && pb_storage(want.type) == PBStorage::Int) {
        EXPECT_EQ(def.range_low.i, static_cast<int>(want.lo));
        EXPECT_EQ(def.range_high.i, static_cast<int>(want.hi));
    } else if (want.hasRange) {
        EXPECT_FLOAT_EQ(def.range_low.f, static_cast<float>(want.lo));
        EXPECT_FLOAT_EQ(def.range_high.f, static_cast<float>(want.hi));
    }

    EXPECT_EQ(def.has_ui, want.map >= 0);
    if (want.map < 0) return;
    EXPECT_EQ(def.mapID, want.map);
    EXPECT_EQ(def.ctrl_type, ControlOf(want.ctrl));
    ASSERT_EQ(def.ctrl_IDs.Count(), static_cast<int>(want.ids.size()));
    for (int i = 0; i < def.ctrl_IDs.Count(); ++i) EXPECT_EQ(def.ctrl_IDs[i], want.ids[i]) << i;
    if (want.edit != expected::Edit::None) {
        EXPECT_EQ(def.spin_type, want.edit == expected::Edit::Int ? EDITTYPE_INT : EDITTYPE_FLOAT);
    }
    if (want.step != 0) {
        EXPECT_FLOAT_EQ(def.scale, static_cast<float>(want.step));
    }
}

INSTANTIATE_TEST_SUITE_P(Trellon, ParamTable, ::testing::ValuesIn(expected::Params()),
                         [](const ::testing::TestParamInfo<expected::Param>& param) {
                             return Name(param.param);
                         });

TEST(ParamBlockDesc, ReadsWithoutErrors) {
    for (const std::string& e : Desc().errors()) ADD_FAILURE() << e;
}

TEST(ParamBlockDesc, HoldsExactlyTheTableParameters) {
    // IDs 0-39, 42-68 and 100-171: 40 + 27 + 72.
    EXPECT_EQ(Desc().Count(), 139);
    EXPECT_EQ(static_cast<int>(expected::Params().size()), 139);
    EXPECT_FALSE(Desc().HasParam(40));
    EXPECT_FALSE(Desc().HasParam(41));
    EXPECT_FALSE(Desc().HasParam(69));
    EXPECT_FALSE(Desc().HasParam(99));
    EXPECT_FALSE(Desc().HasParam(172));
}

TEST(ParamBlockDesc, IsBlockZeroNamedTitleBuiltAutomaticallyIntoReferenceZero) {
    EXPECT_EQ(Desc().ID, 0);
    EXPECT_EQ(Desc().int_name, MSTR(L"Title"));
    EXPECT_EQ(Desc().cd, GetTrellonDesc());
    EXPECT_EQ(Desc().flags, P_AUTO_CONSTRUCT | P_AUTO_UI | P_MULTIMAP);
    EXPECT_EQ(Desc().ref_no, 0);
    // The owner knows its block descriptor, so it can build the block for each object.
    EXPECT_EQ(GetTrellonDesc()->GetParamBlockDescByID(0), &Desc());
}

TEST(ParamBlockDesc, DeclaresTheSevenRolloutMapsAndTheCameraMap) {
    EXPECT_EQ(Desc().map_specs.Count(), 8);
    for (const expected::Map& want : expected::RolloutMaps()) {
        const ParamMapSpec* map = Desc().GetMapSpec(static_cast<MapID>(want.id));
        ASSERT_NE(map, nullptr) << "map " << want.id;
        EXPECT_EQ(map->dlg_template, want.dialog) << "map " << want.id;
        EXPECT_EQ(map->title, want.title) << "map " << want.id;
    }
    // Map 7 is declared without a template, so no rollout is built from it; map 6 is not
    // declared at all. Either way the controls parameters declare on them never appear.
    const ParamMapSpec* camera = Desc().GetMapSpec(7);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->dlg_template, 0);
    EXPECT_EQ(Desc().GetMapSpec(6), nullptr);
}

TEST(ParamBlockDesc, DisplayModeListsItsSevenNames) {
    const ParamDef& def = Desc().GetParamDef(47);
    ASSERT_EQ(def.items.Count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(def.items[i], 19 + i);
}

TEST(ParamBlockDesc, DisplayNamesComeFromTheFourParameterStrings) {
    const std::set<StringResID> allowed = {5, 6, 7, 9};
    for (int i = 0; i < Desc().Count(); ++i) {
        const ParamDef& def = Desc().GetParamDefByIndex(i);
        EXPECT_TRUE(allowed.count(def.local_name)) << def.ID << " uses " << def.local_name;
    }
}

TEST(ParamBlockDesc, TheObjectStagingCheckboxIsFoundFirstByName) {
    // Two parameters are named "Unify_Scale"; scripts reach the object rollout's (123).
    const int index = Desc().NameToIndex(L"Unify_Scale");
    ASSERT_GE(index, 0);
    EXPECT_EQ(Desc().IndextoID(index), 123);
}

}  // namespace
