// The parameter block descriptor against the golden table (param_table.golden): scene files
// store parameters by ID, so every ID, name, type, default and range is a promise to saved
// scenes. A difference is printed as the golden line and the descriptor's line.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "iparamb2.h"
#include "object/param_block.h"
#include "plugin/plugin.h"

using namespace trellon;

namespace {

ParamBlockDesc2& Desc() { return *trellon::GetTrellonParamBlockDesc(); }

std::string Ascii(const wchar_t* w) {
    std::string s;
    for (; w && *w; ++w) s += static_cast<char>(*w);
    return s;
}

std::string Number(const PB2Value& v, int type) {
    char text[64];
    if (pb_storage(type) == PBStorage::Int) {
        std::snprintf(text, sizeof(text), "%d", v.i);
    } else {
        std::snprintf(text, sizeof(text), "%g", static_cast<double>(v.f));
    }
    return text;
}

const char* ControlKind(ControlType2 c) {
    switch (c) {
        case TYPE_SPINNER:
            return "spinner";
        case TYPE_SINGLECHECKBOX:
            return "check";
        case TYPE_RADIO:
            return "radio";
        case TYPE_INT_COMBOBOX:
            return "combo";
        case TYPE_SLIDER:
            return "slider";
        default:
            return "other";
    }
}

// One parameter in the golden table's form.
std::string Line(const ParamDef& def) {
    const bool number =
        pb_storage(def.type) == PBStorage::Int || pb_storage(def.type) == PBStorage::Float;
    std::string line = std::to_string(def.ID) + " | " + Ascii(def.int_name.data()) + " | " +
                       Ascii(ParamTypeName(def.type)) + " | " +
                       (number ? Number(def.def, def.type) : "-") + " | ";
    line += def.has_range
                ? Number(def.range_low, def.type) + ".." + Number(def.range_high, def.type)
                : "-";
    line += std::string(" | ") + ((def.flags & P_ANIMATABLE) ? "animatable" : "-") + " | ";
    line +=
        def.has_ui ? "map " + std::to_string(def.mapID) + " " + ControlKind(def.ctrl_type) : "-";
    return line;
}

std::vector<std::string> GoldenLines() {
    std::ifstream in(TRELLON_SOURCE_DIR "/tests/trellon/object/param_table.golden");
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);) {
        if (!l.empty() && l[0] != '#') lines.push_back(l);
    }
    return lines;
}

TEST(ParamBlockDesc, MatchesTheGoldenTable) {
    for (const std::string& e : Desc().errors()) ADD_FAILURE() << e;
    // The block: its ID and name, the object's reference that holds it, and its flags.
    char flags[16];
    std::snprintf(flags, sizeof(flags), "0x%04X", unsigned(Desc().flags));
    std::vector<std::string> got = {"block " + std::to_string(Desc().ID) + " | " +
                                    Ascii(Desc().int_name.data()) + " | reference " +
                                    std::to_string(Desc().ref_no) + " | flags " + flags};
    // The owner knows its block descriptor, so it can build the block for each object.
    EXPECT_EQ(trellon::GetTrellonDesc()->GetParamBlockDescByID(0), &Desc());
    for (int i = 0; i < Desc().Count(); ++i) {
        const ParamDef& def = Desc().GetParamDefByIndex(i);
        got.push_back(Line(def));
        // Tables start empty; the default is that of an appended entry.
        if (is_tab(def.type)) {
            EXPECT_EQ(def.tab_size, 0) << got.back();
        }
    }
    for (int i = 0; i < Desc().map_specs.Count(); ++i) {
        const ParamMapSpec* map = &Desc().map_specs[i];
        got.push_back("map " + std::to_string(map->map_id) + " | dialog " +
                      std::to_string(map->dlg_template) + " | title " + std::to_string(map->title));
    }
    const std::vector<std::string> want = GoldenLines();
    ASSERT_FALSE(want.empty()) << "param_table.golden not found";
    for (std::size_t i = 0; i < std::max(want.size(), got.size()); ++i) {
        EXPECT_EQ(i < got.size() ? got[i] : "(nothing)", i < want.size() ? want[i] : "(nothing)")
            << "line " << i + 1 << " of the table";
    }
}

TEST(ParamBlockDesc, TheObjectStagingCheckboxIsFoundFirstByName) {
    // Two parameters are named "Unify_Scale"; scripts reach the object rollout's (123).
    const int index = Desc().NameToIndex(L"Unify_Scale");
    ASSERT_GE(index, 0);
    EXPECT_EQ(Desc().IndextoID(index), 123);
}

}  // namespace
