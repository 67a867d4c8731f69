// Reading a Trellon object of a scene file: its set-up operations and parameters, each checked
// against the parameter block's descriptor that the module registered.
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "iparamb2.h"
#include "plan_reader.h"
#include "scene.h"
#include "scene_objects.h"
#include "strclass.h"
#include "windows.h"

namespace host::scene_file {

void Reader::Trellon(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "setup", "params"});
    obj.kind = ObjectPlan::Kind::Trellon;
    TrellonPlan& plan = obj.trellon;
    plan.cd = scene_.FindClass(GEOMOBJECT_CLASS_ID, kTrellonClassID);
    if (!plan.cd) Fail(Key(path, "type"), "the Trellon module is not loaded in this host");
    ParamBlockDesc2* desc =
        plan.cd->NumParamBlockDescs() > 0 ? plan.cd->GetParamBlockDesc(0) : nullptr;
    if (!desc) Fail(Key(path, "type"), "the Trellon class publishes no parameter block");
    if (const json* setup = Optional(j, "setup")) {
        const std::string sp = Key(path, "setup");
        Array(*setup, sp);
        for (std::size_t i = 0; i < setup->size(); ++i) {
            const json& step = (*setup)[i];
            const std::string p = At(sp, i);
            Object(step, p);
            const json& op = Required(step, p, "op");
            if (!op.is_string()) Fail(Key(p, "op"), "expected a string");
            if (op.get<std::string>() != "create") {
                plan.ops.push_back(SetupOp(step, p, *desc));
                continue;
            }
            Keys(step, p, {"op", "seed", "logoSize"});
            if (i != 0) Fail(Key(p, "op"), "\"create\" must be the first set-up operation");
            plan.create = true;
            if (const json* seed = Optional(step, "seed")) {
                plan.createOptions.seed =
                    static_cast<int>(Integer(*seed, Key(p, "seed"), std::numeric_limits<int>::min(),
                                             std::numeric_limits<int>::max()));
            }
            if (const json* logo = Optional(step, "logoSize")) {
                plan.createOptions.logoSize = Float(*logo, Key(p, "logoSize"));
            }
        }
    }
    if (const json* params = Optional(j, "params")) {
        const std::string pp = Key(path, "params");
        Array(*params, pp);
        for (std::size_t i = 0; i < params->size(); ++i) {
            plan.params.push_back(Param((*params)[i], At(pp, i), *desc));
        }
    }
}

SetupOpPlan Reader::SetupOp(const json& j, const std::string& path, ParamBlockDesc2& desc) const {
    const std::string name = j["op"].get<std::string>();
    SetupOpPlan op;
    op.path = path;
    for (const SetupOpKind& k : kSetupOps) {
        if (name == k.name) op.kind = &k;
    }
    if (!op.kind) {
        std::vector<std::string> names = {"create"};
        for (const SetupOpKind& k : kSetupOps) names.emplace_back(k.name);
        Fail(Key(path, "op"),
             "unknown set-up operation \"" + name + "\"" + NameChoices(name, names, 20));
    }
    switch (op.kind->args) {
        case OpArgs::None:
            Keys(j, path, {"op"});
            break;
        case OpArgs::Node:
            if (op.kind->carPaint) {
                Keys(j, path, {"op", "node", "carPaint"});
            } else {
                Keys(j, path, {"op", "node"});
            }
            op.nodes.push_back(Name(Required(j, path, "node"), Key(path, "node")));
            op.nodePaths.push_back(Key(path, "node"));
            break;
        case OpArgs::Nodes: {
            if (op.kind->carPaint) {
                Keys(j, path, {"op", "nodes", "carPaint"});
            } else {
                Keys(j, path, {"op", "nodes"});
            }
            const std::string np = Key(path, "nodes");
            const json& nodes = Required(j, path, "nodes");
            Array(nodes, np);
            for (std::size_t k = 0; k < nodes.size(); ++k) {
                op.nodes.push_back(Name(nodes[k], At(np, k)));
                op.nodePaths.push_back(At(np, k));
            }
            break;
        }
        case OpArgs::Row:
        case OpArgs::OptionalRow: {
            Keys(j, path, {"op", "row"});
            const json* row = Optional(j, "row");
            if (!row && op.kind->args == OpArgs::Row) Required(j, path, "row");
            if (row) {
                op.row = static_cast<int>(
                    Integer(*row, Key(path, "row"), 0, std::numeric_limits<int>::max()));
            }
            break;
        }
        case OpArgs::Set: {
            Keys(j, path, {"op", "param", "index", "value"});
            const std::string pp = Key(path, "param");
            const json& param = Required(j, path, "param");
            const int index =
                param.is_number() ? ParamById(param, pp, desc) : ParamByName(param, pp, desc, true);
            op.param = ParamOf(index, nullptr, path, desc);
            const ParamDef& def = desc.GetParamDefByIndex(index);
            const json* at = Optional(j, "index");
            if (is_tab(op.param.type)) {
                if (!at) Fail(path, "missing required field \"index\" (the parameter is a table)");
                op.index = static_cast<int>(
                    Integer(*at, Key(path, "index"), 0, std::numeric_limits<int>::max()));
            } else if (at) {
                Fail(Key(path, "index"), "the parameter is not a table");
            }
            op.param.values.push_back(
                ParamValue(Required(j, path, "value"), Key(path, "value"), def, true));
            break;
        }
    }
    if (const json* car = Optional(j, "carPaint")) {
        const std::string cp = Key(path, "carPaint");
        if (!car->is_string()) Fail(cp, "expected \"yes\" or \"no\"");
        const std::string answer = car->get<std::string>();
        if (answer != "yes" && answer != "no") Fail(cp, "expected \"yes\" or \"no\"");
        op.answer = answer == "yes" ? IDYES : IDNO;
    }
    return op;
}

int Reader::ParamById(const json& j, const std::string& path, ParamBlockDesc2& desc) const {
    const auto id = static_cast<ParamID>(
        Integer(j, path, std::numeric_limits<ParamID>::min(), std::numeric_limits<ParamID>::max()));
    const int index = desc.IDtoIndex(id);
    if (index < 0) {
        Fail(path, "unknown parameter id " + std::to_string(id) +
                       " (`trellon-host params` lists every parameter)");
    }
    return index;
}

// The first parameter of this name; `unique` refuses a name that several parameters share.
int Reader::ParamByName(const json& j, const std::string& path, ParamBlockDesc2& desc,
                        bool unique) const {
    const std::wstring w = Name(j, path);
    int found = -1;
    int count = 0;
    for (int k = 0; k < desc.Count(); ++k) {
        if (desc.GetParamDefByIndex(k).int_name == MSTR(w)) {
            if (found < 0) found = k;
            ++count;
        }
    }
    const std::string n = j.get<std::string>();
    if (count == 0) {
        std::vector<std::string> names;
        for (int k = 0; k < desc.Count(); ++k) {
            names.push_back(Narrow(desc.GetParamDefByIndex(k).int_name.data()));
        }
        const std::string nearest = NearestName(n, names);
        Fail(path, "unknown parameter \"" + n + "\"" +
                       (nearest.empty() ? " (`trellon-host params` lists every parameter)"
                                        : "; did you mean " + nearest + "?"));
    }
    if (unique && count > 1) {
        Fail(path, "the name \"" + n + "\" is shared by " + std::to_string(count) +
                       " parameters: give the parameter by its id");
    }
    return found;
}

// The plan of the parameter at `index`, its stated type (when given) checked.
ParamPlan Reader::ParamOf(int index, const json* type, const std::string& path,
                          ParamBlockDesc2& desc) const {
    const ParamDef& def = desc.GetParamDefByIndex(index);
    ParamPlan plan;
    plan.id = def.ID;
    plan.type = root_type(def.type);
    if (type) {
        const std::wstring w = Name(*type, Key(path, "type"));
        const int stated = ParamTypeFromName(w.c_str());
        if (stated < 0) {
            Fail(Key(path, "type"), "unknown parameter type \"" + type->get<std::string>() +
                                        "\"; the parameter's type is " + TypeName(plan.type));
        }
        if (stated != plan.type) {
            Fail(Key(path, "type"), "the parameter's type is " + TypeName(plan.type) + ", not \"" +
                                        type->get<std::string>() + "\"");
        }
    }
    return plan;
}

ParamPlan Reader::Param(const json& j, const std::string& path, ParamBlockDesc2& desc) const {
    Keys(j, path, {"id", "name", "type", "value"});
    const json* id = Optional(j, "id");
    const json* name = Optional(j, "name");
    if (!id && !name) Fail(path, "missing required field \"id\" or \"name\"");
    int index = -1;
    if (id) index = ParamById(*id, Key(path, "id"), desc);
    if (name) {
        const int named = ParamByName(*name, Key(path, "name"), desc, !id);
        // With an id the name only confirms it (a shared name may stand beside its id).
        if (id &&
            desc.GetParamDefByIndex(index).int_name != desc.GetParamDefByIndex(named).int_name) {
            Fail(Key(path, "name"), "parameter id " + std::to_string(desc.IndextoID(index)) +
                                        " is not named \"" + name->get<std::string>() + "\"");
        }
        if (!id) index = named;
    }
    ParamPlan plan = ParamOf(index, Optional(j, "type"), path, desc);
    const ParamDef& def = desc.GetParamDefByIndex(index);
    const std::string vp = Key(path, "value");
    const json& value = Required(j, path, "value");
    if (is_tab(plan.type)) {
        Array(value, vp);
        for (std::size_t k = 0; k < value.size(); ++k) {
            plan.values.push_back(ParamValue(value[k], At(vp, k), def));
        }
    } else {
        plan.values.push_back(ParamValue(value, vp, def));
    }
    return plan;
}

ParamValuePlan Reader::ParamValue(const json& j, const std::string& path, const ParamDef& def,
                                  bool spinner) const {
    ParamValuePlan v;
    v.path = path;
    const ParamType2 base = base_type(def.type);
    switch (pb_storage(def.type)) {
        case PBStorage::Int: {
            if (base == TYPE_BOOL && j.is_boolean()) {
                v.i = j.get<bool>() ? 1 : 0;
            } else {
                long long lo = std::numeric_limits<int>::min();
                long long hi = std::numeric_limits<int>::max();
                if (base == TYPE_BOOL) {
                    lo = 0;
                    hi = 1;
                } else if (def.has_range) {
                    lo = def.range_low.i;
                    hi = def.range_high.i;
                }
                v.i = static_cast<int>(Integer(j, path, lo, hi));
            }
            return v;
        }
        case PBStorage::Float:
            v.f = Float(j, path);
            // A spinner's range binds what a user types (`set`), not what the block holds: the
            // object itself leaves some values outside it (Logo_size 0 after a click without a
            // drag), and a saved block must load back as it was.
            if (spinner && def.has_range && (v.f < def.range_low.f || v.f > def.range_high.f)) {
                std::ostringstream range;
                range << def.range_low.f << ".." << def.range_high.f;
                Fail(path, "value out of range " + range.str());
            }
            return v;
        case PBStorage::Point3:
            v.p = Vector(j, path);
            return v;
        case PBStorage::String:
            v.s = String(j, path);
            return v;
        case PBStorage::Reference:
            if (base == TYPE_INODE) {
                if (!j.is_null()) v.s = Name(j, path);
                return v;
            }
            break;
        case PBStorage::Matrix3:
        case PBStorage::None:
            break;
    }
    Fail(path, "parameters of type " + TypeName(root_type(def.type)) +
                   " cannot be read from a scene file yet");
}

}  // namespace host::scene_file
