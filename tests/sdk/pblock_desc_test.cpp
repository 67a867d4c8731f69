// ParamBlockDesc2: reading the SDK's argument list into parameter definitions, and reporting a
// list it cannot read.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "iparamb2.h"

namespace {

static_assert(TYPE_SLIDER == 17, "the module names the slider by its number");
static_assert(TYPE_INODE == 17 && TYPE_MATRIX3 == 20 && TYPE_TIMEVALUE == 12);
static_assert(TYPE_FLOAT_TAB == 0x800 && TYPE_INODE_TAB == 0x811 && TYPE_STRING_TAB == 0x808);

class DescTestClass : public ClassDesc2 {
public:
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return nullptr; }
    const MCHAR* ClassName() override { return _M("DescTest"); }
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1234, 0x5678); }
    const MCHAR* Category() override { return _M("Tests"); }
};

enum : short { MAP_A = 0, MAP_B = 2, MAP_C = 5 };
enum : short {
    pb_float = 1,
    pb_int,
    pb_bool,
    pb_radio,
    pb_combo,
    pb_slider,
    pb_point,
    pb_string,
    pb_node,
    pb_nodes,
    pb_ints,
    pb_floats,
    pb_points,
    pb_strings,
    pb_time,
    pb_matrix,
    pb_angle,
    pb_color,
    pb_file,
    pb_mtl,
    pb_tex,
    pb_ref,
    pb_check_button,
    pb_radiobtn,
    pb_int_combos,
    pb_shared1,
    pb_shared2,
};

Matrix3 Translation(float x, float y, float z) {
    Matrix3 m;
    m.SetTrans(Point3(x, y, z));
    return m;
}

// A descriptor with every storable type, three maps and every control kind.
struct EveryKind {
    DescTestClass cd;
    ParamBlockDesc2 desc{
        7, _M("params"), 40, &cd, P_AUTO_CONSTRUCT + P_AUTO_UI + P_MULTIMAP + P_VERSION,
        3,  // version
        2,  // reference number
        3,  // maps
        MAP_A, 103, 8, 0, 0, nullptr,
        MAP_B, 101, 9, 0, APPENDROLL_CLOSED, nullptr,
        MAP_C, 109, 12, 1, 0, nullptr,

        pb_float, _M("Logo_size"), TYPE_FLOAT, 0, 5,
            p_default, 0.5f, p_range, 0.5f, 1000.0f,
            p_ui, MAP_A, TYPE_SPINNER, EDITTYPE_FLOAT, 1039, 1038, 0.1f, p_end,
        pb_int, _M("Color Variation"), TYPE_INT, 0, 6,
            p_default, 12, p_range, 2, 500,
            p_ui, MAP_C, TYPE_SPINNER, EDITTYPE_INT, 1040, 1049, 1.0f, p_end,
        pb_bool, _M("Geo_Follow"), TYPE_BOOL, 0, 7,
            p_default, TRUE, p_ui, MAP_B, TYPE_SINGLECHEKBOX, 1010, p_end,
        pb_radio, _M("Geo_Pattern"), TYPE_INT, 0, 9,
            p_default, 2, p_range, 0, 2,
            p_ui, MAP_B, TYPE_RADIO, 3, 1008, 1009, 1013, p_vals, 0, 5, 7, p_end,
        pb_combo, _M("Display_Mode"), TYPE_INT, 0, 9,
            p_default, 6,
            p_ui, MAP_B, TYPE_INT_COMBOBOX, 1051, 7, 19, 20, 21, 22, 23, 24, 25, p_end,
        pb_slider, _M("Hue Shift"), TYPE_FLOAT, P_ANIMATABLE, 9,
            p_default, 0.0f, p_range, 0.0f, 180.0f,
            p_ui, MAP_C, TYPE_SLIDER, EDITTYPE_FLOAT, 1036, 1032, 1.0f, p_end,
        pb_point, _M("offset"), TYPE_POINT3, P_ANIMATABLE + P_RESET_DEFAULT, 5,
            p_default, Point3(1.0f, 2.0f, 3.0f), p_range, -5.0f, 5.0f,
            p_ui, MAP_C, TYPE_SPINNER, EDITTYPE_UNIVERSE, 1, 2, 3, 4, 5, 6, SPIN_AUTOSCALE, p_end,
        pb_string, _M("label"), TYPE_STRING, 0, 5,
            p_default, _M("abc"), p_ui, MAP_A, TYPE_EDITBOX, 1100, p_end,
        pb_node, _M("Spline_Obj"), TYPE_INODE, 0, 5,
            p_ui, MAP_A, TYPE_PICKNODEBUTTON, 1200, p_sclassID, SHAPE_CLASS_ID, p_prompt, 77,
            p_end,
        pb_nodes, _M("Object_Nodes"), TYPE_INODE_TAB, 0, P_VARIABLE_SIZE, 5,
            p_ui, MAP_B, TYPE_NODELISTBOX, 1300, 1301, 1302, 1303, p_end,
        pb_ints, _M("ints"), TYPE_INT_TAB, 2, 0, 5,
            p_default, 4,
            p_ui, MAP_B, TYPE_INTLISTBOX, 1400, 1401, 1402, 1403, EDITTYPE_INT, 1404, 1405, 1.0f,
            p_end,
        pb_floats, _M("floats"), TYPE_FLOAT_TAB, 3, 0, 5,
            p_default, 1.5f,
            p_ui, MAP_C, TYPE_FLOATLISTBOX, 1500, 1501, 1502, 1503, EDITTYPE_FLOAT, 1504, 1505,
            0.5f, p_end,
        pb_points, _M("points"), TYPE_POINT3_TAB, 0, 0, 5,
            p_ui, MAP_C, TYPE_POINT3LISTBOX, 1600, 1601, 1602, 1603, EDITTYPE_FLOAT, 1604, 1605,
            1606, 1607, 1608, 1609, 0.25f, p_end,
        pb_strings, _M("Item_Names"), TYPE_STRING_TAB, 1, 0, 5,
            p_default, _M("x"), p_ui, MAP_A, TYPE_STRINGLISTBOX, 1700, 1701, 1702, 1703, 1704,
            p_end,
        pb_time, _M("when"), TYPE_TIMEVALUE, 0, 5,
            p_default, 4800, p_range, 0, 48000, p_end,
        pb_matrix, _M("frame"), TYPE_MATRIX3, 0, 5,
            p_default, Translation(1.0f, 2.0f, 3.0f), p_end,
        pb_angle, _M("angle"), TYPE_ANGLE, P_ANIMATABLE, 5,
            p_default, 0.25f, p_ms_default, 0.75f,
            p_ui, MAP_A, TYPE_SPINNER, EDITTYPE_FLOAT, 1800, 1801, SPIN_AUTOSCALE, p_end,
        pb_color, _M("tint"), TYPE_RGBA, 0, 5,
            p_default, Point3(0.25f, 0.5f, 0.75f), p_ui, MAP_A, TYPE_COLORSWATCH, 1900, p_end,
        pb_file, _M("file"), TYPE_FILENAME, 0, 5,
            p_ui, MAP_A, TYPE_FILEOPENBUTTON, 2000, p_caption, 15, p_file_types, 16,
            p_init_file, _M("a.txt"), p_end,
        pb_mtl, _M("material"), TYPE_MTL, 0, 5,
            p_ui, MAP_A, TYPE_MTLBUTTON, 2100, p_end,
        pb_tex, _M("map"), TYPE_TEXMAP, 0, 5,
            p_ui, MAP_A, TYPE_TEXMAPBUTTON, 2200, p_subtexno, 1, p_end,
        pb_ref, _M("target"), TYPE_REFTARG, 0, 5,
            p_classID, Class_ID(9, 10), p_end,
        pb_check_button, _M("toggle"), TYPE_BOOL, 0, 5,
            p_ui, MAP_B, TYPE_CHECKBUTTON, 2300, p_tooltip, 31, p_enable_ctrls, 2, pb_int,
            pb_float, p_end,
        pb_radiobtn, _M("choice"), TYPE_RADIOBTN_INDEX, 0, 5,
            p_ui, MAP_B, TYPE_RADIO, 2, 2400, 2401, p_end,
        pb_int_combos, _M("combos"), TYPE_INT_TAB, 2, 0, 5,
            p_ui, MAP_B, TYPE_INT_COMBOBOX, 2500, 2501, 3, 30, 31, 32, p_end,
        pb_shared1, _M("Unify_Scale"), TYPE_BOOL, 0, 5, p_default, 1, p_end,
        pb_shared2, _M("Unify_Scale"), TYPE_BOOL, 0, 5, p_default, 0, p_end,
        p_end};
};

TEST(ParamBlockDesc, HeaderMapsAndRegistration) {
    EveryKind k;
    ParamBlockDesc2& d = k.desc;
    EXPECT_TRUE(d.errors().empty()) << d.errors().front();
    EXPECT_EQ(d.ID, 7);
    EXPECT_STREQ(d.int_name, _M("params"));
    EXPECT_EQ(d.local_name, 40);
    EXPECT_EQ(d.version, 3);
    EXPECT_EQ(d.ref_no, 2);
    EXPECT_EQ(d.Count(), 27);
    // The descriptor put itself into its class descriptor's list.
    EXPECT_EQ(k.cd.NumParamBlockDescs(), 1);
    EXPECT_EQ(k.cd.GetParamBlockDescByID(7), &d);
    EXPECT_EQ(k.cd.GetParamBlockDescByID(8), nullptr);
    EXPECT_EQ(k.cd.GetParamBlockDesc(1), nullptr);

    ASSERT_EQ(d.map_specs.Count(), 3);
    const ParamMapSpec* b = d.GetMapSpec(MAP_B);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->dlg_template, 101);
    EXPECT_EQ(b->title, 9);
    EXPECT_EQ(b->rollup_flags, APPENDROLL_CLOSED);
    EXPECT_EQ(d.GetMapSpec(MAP_C)->test_flags, 1);
    EXPECT_EQ(d.GetMapSpec(3), nullptr);
}

// Identity, type and control of each parameter, as given in the list above.
struct UIRow {
    ParamID id;
    ParamType2 type;
    USHORT flags;
    MapID map;
    ControlType2 ctrl;
    int spinType;
    std::vector<int> ids;
    float scale;
};

class ParamBlockDescUI : public testing::TestWithParam<UIRow> {};

TEST_P(ParamBlockDescUI, ControlReadBack) {
    EveryKind k;
    const UIRow& row = GetParam();
    const ParamDef& pd = k.desc.GetParamDef(row.id);
    EXPECT_EQ(pd.ID, row.id);
    EXPECT_EQ(pd.type, row.type);
    EXPECT_EQ(pd.flags, row.flags);
    ASSERT_TRUE(pd.has_ui);
    EXPECT_EQ(pd.mapID, row.map);
    EXPECT_EQ(pd.ctrl_type, row.ctrl);
    EXPECT_EQ(pd.spin_type, row.spinType);
    ASSERT_EQ(pd.ctrl_IDs.Count(), static_cast<int>(row.ids.size()));
    for (int i = 0; i < pd.ctrl_IDs.Count(); ++i) EXPECT_EQ(pd.ctrl_IDs[i], row.ids[i]) << i;
    EXPECT_FLOAT_EQ(pd.scale, row.scale);
}

INSTANTIATE_TEST_SUITE_P(
    EveryControl, ParamBlockDescUI,
    testing::Values(
        UIRow{pb_float, TYPE_FLOAT, 0, MAP_A, TYPE_SPINNER, EDITTYPE_FLOAT, {1039, 1038}, 0.1f},
        UIRow{pb_int, TYPE_INT, 0, MAP_C, TYPE_SPINNER, EDITTYPE_INT, {1040, 1049}, 1.0f},
        UIRow{pb_bool, TYPE_BOOL, 0, MAP_B, TYPE_SINGLECHECKBOX, 0, {1010}, 0.0f},
        UIRow{pb_radio, TYPE_INT, 0, MAP_B, TYPE_RADIO, 0, {1008, 1009, 1013}, 0.0f},
        UIRow{pb_combo, TYPE_INT, 0, MAP_B, TYPE_INT_COMBOBOX, 0, {1051}, 0.0f},
        UIRow{pb_slider, TYPE_FLOAT, P_ANIMATABLE, MAP_C, TYPE_SLIDER, EDITTYPE_FLOAT,
              {1036, 1032}, 1.0f},
        // A point spinner has an edit/spinner pair per component.
        UIRow{pb_point, TYPE_POINT3, P_ANIMATABLE + P_RESET_DEFAULT, MAP_C, TYPE_SPINNER,
              EDITTYPE_UNIVERSE, {1, 2, 3, 4, 5, 6}, SPIN_AUTOSCALE}));

TEST(ParamBlockDesc, DefaultsRangesAndTags) {
    EveryKind k;
    ParamBlockDesc2& d = k.desc;
    const ParamDef& f = d.GetParamDef(pb_float);
    EXPECT_TRUE(f.has_default);
    EXPECT_FLOAT_EQ(f.def.f, 0.5f);
    EXPECT_TRUE(f.has_range);
    EXPECT_FLOAT_EQ(f.range_low.f, 0.5f);
    EXPECT_FLOAT_EQ(f.range_high.f, 1000.0f);
    EXPECT_EQ(f.local_name, 5);

    const ParamDef& i = d.GetParamDef(pb_int);
    EXPECT_EQ(i.def.i, 12);
    EXPECT_EQ(i.range_low.i, 2);
    EXPECT_EQ(i.range_high.i, 500);

    const ParamDef& radio = d.GetParamDef(pb_radio);
    ASSERT_EQ(radio.vals.Count(), 3);
    EXPECT_EQ(radio.vals[1], 5);
    EXPECT_EQ(radio.vals[2], 7);

    const ParamDef& combo = d.GetParamDef(pb_combo);
    ASSERT_EQ(combo.items.Count(), 7);
    EXPECT_EQ(combo.items[0], 19);
    EXPECT_EQ(combo.items[6], 25);
    EXPECT_EQ(d.GetParamDef(pb_int_combos).items.Count(), 3);

    // The slider's last argument is its tick count.
    EXPECT_EQ(d.GetParamDef(pb_slider).numSegs, 1);
    EXPECT_FLOAT_EQ(d.GetParamDef(pb_slider).range_high.f, 180.0f);

    const ParamDef& p = d.GetParamDef(pb_point);
    EXPECT_EQ(p.def.p, Point3(1.0f, 2.0f, 3.0f));
    // A point's range is one float pair applied to every component.
    EXPECT_EQ(p.range_low.p, Point3(-5.0f, -5.0f, -5.0f));
    EXPECT_EQ(p.range_high.p, Point3(5.0f, 5.0f, 5.0f));

    EXPECT_STREQ(d.GetParamDef(pb_string).def.s, _M("abc"));
    EXPECT_STREQ(d.GetParamDef(pb_strings).def.s, _M("x"));
    EXPECT_EQ(d.GetParamDef(pb_strings).tab_size, 1);
    EXPECT_EQ(d.GetParamDef(pb_floats).tab_size, 3);
    EXPECT_EQ(d.GetParamDef(pb_time).def.i, 4800);
    EXPECT_EQ(d.GetParamDef(pb_time).range_high.i, 48000);
    EXPECT_EQ(d.GetParamDef(pb_matrix).def.m.GetTrans(), Point3(1.0f, 2.0f, 3.0f));
    EXPECT_FLOAT_EQ(d.GetParamDef(pb_angle).ms_def.f, 0.75f);
    EXPECT_EQ(d.GetParamDef(pb_color).def.p, Point3(0.25f, 0.5f, 0.75f));

    EXPECT_EQ(d.GetParamDef(pb_node).sclass_ID, SHAPE_CLASS_ID);
    EXPECT_EQ(d.GetParamDef(pb_node).prompt, 77);
    EXPECT_EQ(d.GetParamDef(pb_file).caption, 15);
    EXPECT_EQ(d.GetParamDef(pb_file).file_types, 16);
    EXPECT_STREQ(d.GetParamDef(pb_file).init_file, _M("a.txt"));
    EXPECT_EQ(d.GetParamDef(pb_tex).subobj_no, 1);
    EXPECT_EQ(d.GetParamDef(pb_ref).class_ID, Class_ID(9, 10));
    EXPECT_EQ(d.GetParamDef(pb_check_button).tooltip, 31);
    ASSERT_EQ(d.GetParamDef(pb_check_button).enable_ctrls.Count(), 2);
    EXPECT_EQ(d.GetParamDef(pb_check_button).enable_ctrls[1], pb_float);
    EXPECT_FALSE(d.GetParamDef(pb_ref).has_ui);
}

TEST(ParamBlockDesc, LookupsByIndexIdAndName) {
    EveryKind k;
    ParamBlockDesc2& d = k.desc;
    // Parameters keep the order of the list: pb_float is first, pb_shared2 last.
    EXPECT_EQ(d.IDtoIndex(pb_float), 0);
    EXPECT_EQ(d.IndextoID(26), pb_shared2);
    EXPECT_EQ(d.IDtoIndex(99), -1);
    EXPECT_EQ(d.IndextoID(27), -1);
    EXPECT_EQ(d.IndextoID(-1), -1);
    // Two parameters share an internal name; the name finds the first.
    EXPECT_EQ(d.NameToIndex(_M("unify_scale")), d.IDtoIndex(pb_shared1));
    EXPECT_EQ(d.GetParamDef(pb_shared2).def.i, 0);
    // An unknown ID gives a blank definition, not one of the parameters.
    ParamDef& blank = d.GetParamDef(99);
    EXPECT_EQ(blank.ID, -1);
    EXPECT_EQ(blank.type, TYPE_VOID);
}

// The host's material classes describe their parameters one call at a time.
TEST(ParamBlockDesc, AddParamAppendsOneDefinition) {
    ParamBlockDesc2 d;
    d.AddParam(4, _M("count"), TYPE_INT, 0, 3, p_default, 9, p_range, 1, 10, p_end);
    d.AddParam(5, _M("weights"), TYPE_FLOAT_TAB, 2, 0, 3, p_default, 0.5f, p_end);
    EXPECT_TRUE(d.errors().empty());
    ASSERT_EQ(d.Count(), 2);
    EXPECT_EQ(d.GetParamDef(4).def.i, 9);
    EXPECT_EQ(d.GetParamDef(5).tab_size, 2);
    EXPECT_FLOAT_EQ(d.GetParamDef(5).def.f, 0.5f);
}

// Each malformed list gives recorded errors and keeps what was read before the problem.
struct Malformed {
    const char* name;
    int params;          // parameters kept
    const char* needle;  // part of the first error
};

class ParamBlockDescMalformed : public testing::TestWithParam<Malformed> {};

// The lists, each ending with the p_end a well-formed list would have.
void BuildMalformed(const std::string& name, ParamBlockDesc2*& out) {
    if (name == "missing p_end") {
        // The first parameter's tags run into the second parameter's ID.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0,
                                  1, _M("a"), TYPE_INT, 0, 0, p_default, 5,
                                  2, _M("b"), TYPE_INT, 0, 0, p_end, p_end);
    } else if (name == "unknown tag") {
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0,
                                  1, _M("a"), TYPE_INT, 0, 0, p_end,
                                  2, _M("b"), TYPE_INT, 0, 0, p_default + 500, 3, p_end, p_end);
    } else if (name == "repeated ID") {
        // Reading goes on after a repeated ID: the third parameter is kept.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, 0,
                                  1, _M("a"), TYPE_INT, 0, 0, p_end,
                                  1, _M("again"), TYPE_FLOAT, 0, 0, p_default, 2.0f, p_end,
                                  3, _M("c"), TYPE_INT, 0, 0, p_end, p_end);
    } else if (name == "unsupported control") {
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, P_AUTO_UI, 101, 1, 0, 0, nullptr,
                                  1, _M("a"), TYPE_INT, 0, 0, p_ui, TYPE_SHADERSUBPARAMETERBLOCK,
                                  p_end, p_end);
    } else if (name == "spinner on a string") {
        // The arguments read correctly; the mismatch is recorded and the parameter kept.
        out = new ParamBlockDesc2(0, _M("b"), 0, nullptr, P_AUTO_UI, 101, 1, 0, 0, nullptr,
                                  1, _M("a"), TYPE_STRING, 0, 0,
                                  p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1, 2, 0.1f, p_end, p_end);
    }
}

TEST_P(ParamBlockDescMalformed, RecordsTheProblem) {
    const Malformed& m = GetParam();
    ParamBlockDesc2* d = nullptr;
    BuildMalformed(m.name, d);
    ASSERT_NE(d, nullptr);
    ASSERT_FALSE(d->errors().empty());
    EXPECT_NE(d->errors().front().find(m.needle), std::string::npos) << d->errors().front();
    EXPECT_EQ(d->Count(), m.params);
    delete d;
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ParamBlockDescMalformed,
    testing::Values(Malformed{"missing p_end", 0, "found 2 (a missing p_end?)"},
                    Malformed{"unknown tag", 1, "tag 500 is not supported"},
                    Malformed{"repeated ID", 2, "parameter 1 'again': the ID is defined twice"},
                    Malformed{"unsupported control", 0, "control type 20 is not supported"},
                    Malformed{"spinner on a string", 1, "needs a number or point parameter"}),
    [](const testing::TestParamInfo<Malformed>& param) {
        std::string s = param.param.name;
        for (char& c : s) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return s;
    });

TEST(ParamTypeNames, SpellTheSdkNames) {
    EXPECT_STREQ(ParamTypeName(TYPE_INODE_TAB), L"INODE_TAB");
    EXPECT_STREQ(ParamTypeName(TYPE_MATRIX3_BV), L"MATRIX3_BV");
    EXPECT_STREQ(ParamTypeName(TYPE_FLOAT), L"FLOAT");
    EXPECT_STREQ(ParamTypeName(12345), L"");
    EXPECT_EQ(ParamTypeFromName(L"POINT3_TAB"), TYPE_POINT3_TAB);
    EXPECT_EQ(ParamTypeFromName(L"VOID"), -1);  // not a parameter type
    EXPECT_EQ(ParamTypeFromName(L"nonsense"), -1);
}

}  // namespace
