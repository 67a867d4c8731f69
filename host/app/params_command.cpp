#include "params_command.h"

#include <iomanip>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <vector>

#include "build_command.h"
#include "iparamb2.h"
#include "json_number.h"
#include "object_functions.h"
#include "paramtype.h"
#include "plugapi.h"
#include "scene.h"
#include "scene_objects.h"

namespace host {
namespace {

using json = nlohmann::ordered_json;

// One parameter as the descriptor and the module's string table describe it.
struct ParamInfo {
    int id = 0;
    std::string name;
    std::string type;
    json def;    // null when none is given
    json range;  // [low, high] or null
    bool animatable = false;
    std::string table;
    std::string meaning;
};

std::string Utf8(const MCHAR* s) { return s ? ToUTF8(s) : std::string(); }

// A descriptor value of the parameter's kind as JSON; null for kinds without a plain value.
json ValueJson(const ParamDef& def, const PB2Value& v) {
    switch (pb_storage(def.type)) {
        case PBStorage::Int:
            return v.i;
        case PBStorage::Float:
            return JsonNumber(v.f);
        case PBStorage::Point3:
            return json::array({JsonNumber(v.p.x), JsonNumber(v.p.y), JsonNumber(v.p.z)});
        case PBStorage::String:
            return ToUTF8(v.s.data());
        default:
            return nullptr;
    }
}

// The value as the text listing shows it: numbers as JSON writes them, "-" for none.
std::string Shown(const json& v) {
    if (v.is_null()) return "-";
    if (v.is_array() && v.size() == 2 && !v[0].is_array()) {
        return v[0].dump() + ".." + v[1].dump();
    }
    return v.dump();
}

// How table `id` is indexed, asked of the probe object; the reason in error when it does not
// answer.
bool TableLayout(Scene& scene, Object* probe, ParamID id, std::string& layout, std::string& error) {
    FPValue result;
    const std::vector<FPNamedArg> args = {{MSTR(_M("param")), FPValue(TYPE_INT, int{id})}};
    if (CallObjectFunction(scene, probe, _M("tableLayout"), args, result, error) != FPS_OK) {
        return false;
    }
    if (base_type(result.type) != TYPE_TSTR || is_tab(result.type) || !result.tstr) {
        error = "tableLayout did not answer a string";
        return false;
    }
    layout = result.tstr->ToUTF8();
    return true;
}

void PrintText(std::ostream& out, const std::string& cls, const ParamBlockDesc2& desc,
               const std::vector<ParamInfo>& params) {
    out << cls << " parameter block " << desc.ID << " \"" << ToUTF8(desc.int_name.data())
        << "\": " << params.size() << " parameters, in the descriptor's order\n"
        << "(table: how a table's entries are indexed; docs/scene-format.md explains each)\n";
    out << std::right << std::setw(5) << "ID"
        << "  " << std::left << std::setw(24) << "name" << std::setw(12) << "type" << std::setw(16)
        << "default" << std::setw(14) << "range"
        << "table\n";
    for (const ParamInfo& p : params) {
        out << std::right << std::setw(5) << p.id << "  " << std::left << std::setw(24) << p.name
            << std::setw(12) << p.type << std::setw(16) << Shown(p.def) << std::setw(14)
            << Shown(p.range) << p.table << (p.animatable ? ", animatable" : "") << '\n'
            << "       " << (p.meaning.empty() ? "(no description)" : p.meaning) << '\n';
    }
}

void PrintJson(std::ostream& out, const std::string& cls, const ParamBlockDesc2& desc,
               const std::vector<ParamInfo>& params) {
    json list = json::array();
    for (const ParamInfo& p : params) {
        json j = json::object();
        j["id"] = p.id;
        j["name"] = p.name;
        j["type"] = p.type;
        j["default"] = p.def;
        j["range"] = p.range;
        j["animatable"] = p.animatable;
        j["table"] = p.table;
        j["meaning"] = p.meaning;
        list.push_back(std::move(j));
    }
    json doc = json::object();
    doc["class"] = cls;
    doc["block"] = {{"id", desc.ID}, {"name", ToUTF8(desc.int_name.data())}};
    doc["parameters"] = std::move(list);
    out << doc.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

}  // namespace

int PrintParams(Scene& scene, bool asJson, std::ostream& out, std::ostream& err) {
    ClassDesc* cd = scene.FindClass(GEOMOBJECT_CLASS_ID, kTrellonClassID);
    if (!cd) {
        err << "trellon-host: the module publishes no Trellon class\n";
        return 1;
    }
    ParamBlockDesc2* desc = cd->NumParamBlockDescs() > 0 ? cd->GetParamBlockDesc(0) : nullptr;
    if (!desc) {
        err << "trellon-host: the Trellon class publishes no parameter block\n";
        return 1;
    }
    // The table layouts are answered by an object's published functions, as a script asks them.
    auto* probe = static_cast<Object*>(cd->Create(FALSE));
    if (!probe) {
        err << "trellon-host: the Trellon class did not make an object\n";
        return 1;
    }
    scene.CreateNamedNode(probe, MSTR(_M("params probe")));

    std::vector<ParamInfo> params;
    for (int i = 0; i < desc->Count(); ++i) {
        const ParamDef& def = desc->GetParamDefByIndex(i);
        ParamInfo p;
        p.id = def.ID;
        p.name = ToUTF8(def.int_name.data());
        p.type = Utf8(ParamTypeName(root_type(def.type)));
        p.def = def.has_default ? ValueJson(def, def.def) : json(nullptr);
        p.range = def.has_range
                      ? json::array({ValueJson(def, def.range_low), ValueJson(def, def.range_high)})
                      : json(nullptr);
        p.animatable = (def.flags & P_ANIMATABLE) != 0;
        p.meaning = def.tooltip != 0 ? Utf8(cd->GetRsrcString(def.tooltip)) : std::string();
        std::string error;
        if (!TableLayout(scene, probe, def.ID, p.table, error)) {
            err << "trellon-host: parameter " << def.ID << " (" << p.name << "): " << error << '\n';
            return 1;
        }
        params.push_back(std::move(p));
    }
    const std::string cls = Utf8(cd->ClassName());
    if (asJson) {
        PrintJson(out, cls, *desc, params);
    } else {
        PrintText(out, cls, *desc, params);
    }
    return 0;
}

int RunParams(const std::string& modulePath, bool json, std::ostream& out, std::ostream& err) {
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return PrintParams(scene, json, out, err); });
}

}  // namespace host
