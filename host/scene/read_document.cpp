// Reading the document as a whole: format and version, units, time, the renderer, layers,
// materials and nodes with their transforms. The objects are read in read_objects.cpp.
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "euler.h"
#include "material_classes.h"
#include "matrix3.h"
#include "plan_reader.h"
#include "quat.h"
#include "scene.h"
#include "strclass.h"
#include "units.h"

namespace host::scene_file {

bool Widen(const std::string& s, std::wstring& out) {
    out = FromUTF8(s);
    return ToUTF8(out) == s;
}

std::string Narrow(const std::wstring& w) { return ToUTF8(w); }

std::string TypeName(int type) {
    std::string out;
    for (const wchar_t* c = ParamTypeName(type); c && *c; ++c) out.push_back(static_cast<char>(*c));
    return out.empty() ? "code " + std::to_string(type) : out;
}

std::string Key(const std::string& path, const char* key) {
    return path.empty() ? std::string(key) : path + "." + key;
}
std::string At(const std::string& path, std::size_t i) {
    return path + "[" + std::to_string(i) + "]";
}

int Reader::Units(const json& j, const std::string& path) const {
    static const std::pair<const char*, int> kUnits[] = {{"inches", UNITS_INCHES},
                                                         {"feet", UNITS_FEET},
                                                         {"miles", UNITS_MILES},
                                                         {"millimeters", UNITS_MILLIMETERS},
                                                         {"centimeters", UNITS_CENTIMETERS},
                                                         {"meters", UNITS_METERS},
                                                         {"kilometers", UNITS_KILOMETERS}};
    if (!j.is_string()) Fail(path, "expected a string, found " + std::string(j.type_name()));
    const std::string s = j.get<std::string>();
    for (const auto& [name, type] : kUnits) {
        if (s == name) return type;
    }
    std::vector<std::string> names;
    for (const auto& unit : kUnits) names.emplace_back(unit.first);
    Fail(path, "unknown unit \"" + s + "\"" + NameChoices(s, names));
}

void Reader::Layers(const json& j, const std::string& path, ScenePlan& plan) const {
    Array(j, path);
    for (std::size_t i = 0; i < j.size(); ++i) {
        const std::string p = At(path, i);
        Keys(j[i], p, {"name", "hidden"});
        LayerPlan layer;
        layer.name = Name(Required(j[i], p, "name"), Key(p, "name"));
        if (const json* h = Optional(j[i], "hidden")) layer.hidden = Bool(*h, Key(p, "hidden"));
        for (const LayerPlan& other : plan.layers) {
            if (other.name == layer.name) Fail(Key(p, "name"), "duplicate layer name");
        }
        plan.layers.push_back(std::move(layer));
    }
}

namespace {

// The names of the classes of one kind or the other, for messages.
std::vector<std::string> ClassNames(bool maps) {
    std::vector<std::string> names;
    for (const MaterialClass& k : MaterialClasses()) {
        if ((k.kind == MaterialKind::Map) == maps) names.push_back(Narrow(k.name));
    }
    return names;
}

}  // namespace

SubMaterialPlan Reader::SubMaterial(const json& s, const std::string& path,
                                    const ScenePlan& plan) const {
    SubMaterialPlan sub;
    if (s.is_null()) return sub;  // an empty slot
    if (s.is_object()) {
        sub.inlined = Material(s, path, plan, true);
        return sub;
    }
    const std::wstring name = Name(s, path);
    for (std::size_t k = 0; k < plan.materials.size(); ++k) {
        if (plan.materials[k]->name == name) sub.named = static_cast<int>(k);
    }
    if (sub.named < 0) {
        std::vector<std::string> earlier;
        for (const auto& e : plan.materials) earlier.push_back(Narrow(e->name));
        Fail(path, "unknown material \"" + s.get<std::string>() +
                       "\" (a sub-material names an earlier entry)" +
                       NameChoices(s.get<std::string>(), earlier));
    }
    return sub;
}

MtlParamPlan Reader::MtlParam(const json& j, const std::string& path, const ParamDef& def,
                              const ScenePlan& plan) const {
    MtlParamPlan p;
    p.id = def.ID;
    p.type = base_type(def.type);
    switch (p.type) {
        case TYPE_RGBA: {
            const Point3 c = Vector(j, path);
            p.colour = Color(c.x, c.y, c.z);
            break;
        }
        case TYPE_FLOAT:
            p.number = Float(j, path);
            break;
        case TYPE_INT:
        case TYPE_BOOL:
            p.integer = static_cast<int>(
                Integer(j, path, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
            break;
        case TYPE_STRING:
        case TYPE_FILENAME:
            p.text = Name(j, path);
            break;
        case TYPE_TEXMAP:
            if (!j.is_null()) p.map = Map(j, path, plan);
            break;
        case TYPE_MTL:
            p.material = SubMaterial(j, path, plan);
            break;
        default:
            Fail(path, "this parameter is not given in \"params\"");
    }
    return p;
}

void Reader::MtlParams(const json& j, const std::string& path, const MaterialClass& cls,
                       const ScenePlan& plan, std::vector<MtlParamPlan>& out) const {
    if (!j.is_object()) Fail(path, "expected an object of parameter names and values");
    ParamBlockDesc2& desc = *cls.params;
    for (const auto& [key, value] : j.items()) {
        const std::string p = Key(path, key.c_str());
        const std::wstring wide = FromUTF8(key);
        const int index = desc.NameToIndex(wide.c_str());
        if (index < 0) {
            std::vector<std::string> names;
            for (int k = 0; k < desc.Count(); ++k) {
                names.push_back(Narrow(desc.GetParamDefByIndex(k).int_name.data()));
            }
            Fail(p, "the class " + Narrow(cls.name) + " has no parameter \"" + key + "\"" +
                        NameChoices(key, names));
        }
        const ParamDef& def = desc.GetParamDefByIndex(index);
        for (const MtlParamPlan& given : out) {
            if (given.id == def.ID) Fail(p, "the parameter is given twice");
        }
        if (is_tab(def.type)) Fail(p, "a list of materials is given as \"subMaterials\"");
        out.push_back(MtlParam(value, p, def, plan));
    }
}

std::unique_ptr<MapPlan> Reader::Map(const json& j, const std::string& path,
                                     const ScenePlan& plan) const {
    Object(j, path);
    auto m = std::make_unique<MapPlan>();
    m->cls = Name(Required(j, path, "class"), Key(path, "class"));
    const MaterialClass* cls = FindMaterialClass(m->cls);
    if (!cls || cls->kind != MaterialKind::Map) {
        Fail(Key(path, "class"), "unknown map class \"" + Narrow(m->cls) + "\"" +
                                     NameChoices(Narrow(m->cls), ClassNames(true)));
    }
    if (const json* n = Optional(j, "name")) m->name = Name(*n, Key(path, "name"));
    if (cls->classId == Class_ID(BMTEX_CLASS_ID, 0)) {
        // A bitmap is its file, relative to the scene file's folder unless absolute.
        Keys(j, path, {"class", "name", "file"});
        const std::string fp = Key(path, "file");
        Name(Required(j, path, "file"), fp);
        std::filesystem::path file(j["file"].get<std::string>());
        if (file.is_relative() && !dir_.empty()) file = (dir_ / file).lexically_normal();
        MtlParamPlan p;
        p.id = 0;
        p.type = TYPE_FILENAME;
        p.text = FromUTF8(file.string());
        m->params.push_back(std::move(p));
        return m;
    }
    Keys(j, path, {"class", "name", "params"});
    if (const json* params = Optional(j, "params")) {
        MtlParams(*params, Key(path, "params"), *cls, plan, m->params);
    }
    return m;
}

std::unique_ptr<MaterialPlan> Reader::Material(const json& j, const std::string& path,
                                               const ScenePlan& plan, bool inlined) const {
    Keys(j, path, {"name", "class", "diffuse", "diffuseMap", "params", "subMaterials"});
    auto m = std::make_unique<MaterialPlan>();
    if (inlined) {
        if (const json* n = Optional(j, "name")) m->name = Name(*n, Key(path, "name"));
    } else {
        m->name = Name(Required(j, path, "name"), Key(path, "name"));
        for (const auto& other : plan.materials) {
            if (other->name == m->name) Fail(Key(path, "name"), "duplicate material name");
        }
    }
    m->cls = Name(Required(j, path, "class"), Key(path, "class"));
    const MaterialClass* cls = FindMaterialClass(m->cls);
    if (!cls || cls->kind == MaterialKind::Map) {
        Fail(Key(path, "class"), "unknown material class \"" + Narrow(m->cls) + "\"" +
                                     NameChoices(Narrow(m->cls), ClassNames(false)));
    }
    ParamBlockDesc2& desc = *cls->params;
    // The short keys stand for the class's diffuse colour and map. Files saved before classes
    // had their own parameters wrote a "diffuse" for every material: a class without a diffuse
    // colour of its own takes it as the grey it derived, and keeps nothing of it.
    if (const json* d = Optional(j, "diffuse")) {
        const std::string p = Key(path, "diffuse");
        if (cls->diffuseColour >= 0) {
            m->params.push_back(MtlParam(*d, p, desc.GetParamDef(cls->diffuseColour), plan));
        } else {
            Vector(*d, p);
        }
    }
    if (const json* map = Optional(j, "diffuseMap")) {
        const std::string p = Key(path, "diffuseMap");
        if (cls->diffuseMap < 0) Fail(p, "the class " + Narrow(cls->name) + " has no diffuse map");
        m->params.push_back(MtlParam(*map, p, desc.GetParamDef(cls->diffuseMap), plan));
    }
    if (const json* params = Optional(j, "params")) {
        MtlParams(*params, Key(path, "params"), *cls, plan, m->params);
    }
    if (const json* subs = Optional(j, "subMaterials")) {
        const std::string p = Key(path, "subMaterials");
        Array(*subs, p);
        // A container takes as many as it has slots (and any number into a table of them).
        std::size_t room = 0;
        bool table = false;
        for (int k = 0; k < desc.Count(); ++k) {
            const ParamDef& def = desc.GetParamDefByIndex(k);
            if (base_type(def.type) != TYPE_MTL) continue;
            if (is_tab(def.type)) {
                table = true;
            } else {
                ++room;
            }
        }
        if (!table && subs->size() > room) {
            Fail(p, "the class " + Narrow(cls->name) + " holds " + std::to_string(room) +
                        (room == 1 ? " sub-material" : " sub-materials"));
        }
        for (std::size_t i = 0; i < subs->size(); ++i) {
            m->subs.push_back(SubMaterial((*subs)[i], At(p, i), plan));
        }
    }
    return m;
}

TransformPlan Reader::Transform(const json& j, const std::string& path) const {
    Keys(j, path, {"position", "rotation", "quat", "scale"});
    TransformPlan t;
    if (const json* p = Optional(j, "position")) t.position = Vector(*p, Key(path, "position"));
    const json* rot = Optional(j, "rotation");
    const json* quat = Optional(j, "quat");
    if (rot && quat) Fail(path, "give either \"rotation\" or \"quat\", not both");
    if (rot) {
        // Euler XYZ in degrees: X applied first, then Y, then Z.
        const Point3 deg = Vector(*rot, Key(path, "rotation"));
        const float ang[3] = {deg.x * PI / 180.0f, deg.y * PI / 180.0f, deg.z * PI / 180.0f};
        Matrix3 m{1};
        EulerToMatrix(ang, m, EULERTYPE_XYZ);
        t.rotation = Quat(m);
        NormalizeRotation(t.rotation);
    }
    if (quat) {
        // The host's own quaternion [x, y, z, w] (Quat(M) of the rotation M), normalised.
        const std::string p = Key(path, "quat");
        ArrayOf(*quat, p, 4);
        Quat q(Float((*quat)[0], At(p, 0)), Float((*quat)[1], At(p, 1)),
               Float((*quat)[2], At(p, 2)), Float((*quat)[3], At(p, 3)));
        if (!NormalizeRotation(q)) Fail(p, "quaternion has no length");
        t.rotation = q;
    }
    if (const json* s = Optional(j, "scale")) t.scale = Vector(*s, Key(path, "scale"));
    return t;
}

RendererInfo Reader::Renderer(const json& j, const std::string& path) const {
    RendererInfo r;
    if (j.is_null()) return r;
    Object(j, path);
    const json& cls = Required(j, path, "class");
    if (!cls.is_string()) Fail(Key(path, "class"), "expected a string");
    const std::string name = cls.get<std::string>();
    for (const RendererName& known : kRendererNames) {
        if (name == known.name) r.classId = known.classId;
    }
    if (r.IsNone()) {
        std::vector<std::string> names;
        for (const RendererName& known : kRendererNames) names.emplace_back(known.name);
        const std::string nearest = NearestName(name, names);
        Fail(Key(path, "class"), "unknown renderer \"" + name +
                                     "\" (corona, vray or scanline, or null for none)" +
                                     (nearest.empty() ? "" : "; did you mean " + nearest + "?"));
    }
    if (r.classId == kCoronaRendererClassID) {
        Keys(j, path, {"class", "version"});
        r.version = Integer(Required(j, path, "version"), Key(path, "version"),
                            std::numeric_limits<std::int64_t>::min(),
                            std::numeric_limits<std::int64_t>::max());
    } else {
        Keys(j, path, {"class"});
    }
    return r;
}

NodePlan Reader::Node(const json& j, const std::string& path, const ScenePlan& plan) const {
    Keys(j, path,
         {"name", "layer", "transform", "objectOffset", "wireColor", "hidden", "renderable",
          "material", "object"});
    NodePlan n;
    n.name = Name(Required(j, path, "name"), Key(path, "name"));
    for (const NodePlan& other : plan.nodes) {
        if (other.name == n.name) Fail(Key(path, "name"), "duplicate node name");
    }
    if (scene_.GetINodeByName(n.name.c_str())) {
        Fail(Key(path, "name"), "a node of this name is already in the scene");
    }
    if (const json* l = Optional(j, "layer")) {
        n.layer = Name(*l, Key(path, "layer"));
        bool known = *n.layer == L"0";
        for (const LayerPlan& layer : plan.layers) known = known || layer.name == *n.layer;
        if (!known) {
            std::vector<std::string> names = {"0"};
            for (const LayerPlan& layer : plan.layers) names.push_back(Narrow(layer.name));
            Fail(Key(path, "layer"), "unknown layer \"" + l->get<std::string>() + "\"" +
                                         NameChoices(l->get<std::string>(), names));
        }
    }
    if (const json* t = Optional(j, "transform"))
        n.transform = Transform(*t, Key(path, "transform"));
    if (const json* t = Optional(j, "objectOffset")) {
        n.offset = Transform(*t, Key(path, "objectOffset"));
    }
    if (const json* c = Optional(j, "wireColor")) {
        const std::string p = Key(path, "wireColor");
        ArrayOf(*c, p, 3);
        DWORD rgb = 0;
        for (std::size_t k = 0; k < 3; ++k) {
            rgb |= static_cast<DWORD>(Integer((*c)[k], At(p, k), 0, 255)) << (8 * k);
        }
        n.wireColor = rgb;
    }
    if (const json* h = Optional(j, "hidden")) n.hidden = Bool(*h, Key(path, "hidden"));
    if (const json* r = Optional(j, "renderable")) n.renderable = Bool(*r, Key(path, "renderable"));
    if (const json* m = Optional(j, "material")) {
        const std::wstring name = Name(*m, Key(path, "material"));
        for (std::size_t k = 0; k < plan.materials.size(); ++k) {
            if (plan.materials[k]->name == name) n.material = static_cast<int>(k);
        }
        if (n.material < 0) {
            std::vector<std::string> names;
            for (const auto& e : plan.materials) names.push_back(Narrow(e->name));
            Fail(Key(path, "material"), "unknown material \"" + m->get<std::string>() + "\"" +
                                            NameChoices(m->get<std::string>(), names));
        }
    }
    if (const json* o = Optional(j, "object")) n.object = Obj(*o, Key(path, "object"));
    return n;
}

ScenePlan Reader::Read(const json& doc) {
    Keys(doc, "",
         {"format", "version", "units", "time", "renderer", "layers", "currentLayer", "materials",
          "nodes"});
    const json& format = Required(doc, "", "format");
    if (!format.is_string() || format.get<std::string>() != "trellon-scene") {
        Fail("format", "expected \"trellon-scene\"");
    }
    const json& version = Required(doc, "", "version");
    if (Integer(version, "version", std::numeric_limits<int>::min(),
                std::numeric_limits<int>::max()) != 1) {
        Fail("version", "unsupported version (this host reads version 1)");
    }
    ScenePlan plan;
    if (const json* u = Optional(doc, "units")) plan.units = Units(*u, "units");
    if (const json* t = Optional(doc, "time")) {
        plan.time = static_cast<TimeValue>(
            Integer(*t, "time", std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    }
    if (const json* r = Optional(doc, "renderer")) plan.renderer = Renderer(*r, "renderer");
    if (const json* l = Optional(doc, "layers")) Layers(*l, "layers", plan);
    if (const json* c = Optional(doc, "currentLayer")) {
        plan.currentLayer = Name(*c, "currentLayer");
        bool known = plan.currentLayer == L"0";
        for (const LayerPlan& layer : plan.layers) known = known || layer.name == plan.currentLayer;
        if (!known) {
            std::vector<std::string> names = {"0"};
            for (const LayerPlan& layer : plan.layers) names.push_back(Narrow(layer.name));
            Fail("currentLayer", "unknown layer \"" + c->get<std::string>() + "\"" +
                                     NameChoices(c->get<std::string>(), names));
        }
    }
    if (const json* m = Optional(doc, "materials")) {
        Array(*m, "materials");
        for (std::size_t i = 0; i < m->size(); ++i) {
            plan.materials.push_back(Material((*m)[i], At("materials", i), plan, false));
        }
    }
    if (const json* n = Optional(doc, "nodes")) {
        Array(*n, "nodes");
        for (std::size_t i = 0; i < n->size(); ++i) {
            plan.nodes.push_back(Node((*n)[i], At("nodes", i), plan));
        }
    }
    // Set-up operations and node parameters of Trellon objects name nodes anywhere in the file.
    const auto check = [&](const std::wstring& name, const std::string& path) {
        bool known = name.empty();
        for (const NodePlan& other : plan.nodes) known = known || other.name == name;
        if (!known) {
            std::vector<std::string> names;
            for (const NodePlan& other : plan.nodes) names.push_back(Narrow(other.name));
            Fail(path, "unknown node \"" + Narrow(name) + "\"" + NameChoices(Narrow(name), names));
        }
    };
    const auto checkParam = [&](const ParamPlan& param) {
        if (base_type(param.type) != TYPE_INODE) return;
        for (const ParamValuePlan& v : param.values) check(v.s, v.path);
    };
    for (const NodePlan& node : plan.nodes) {
        if (!node.object || node.object->kind != ObjectPlan::Kind::Trellon) continue;
        for (const SetupOpPlan& op : node.object->trellon.ops) {
            for (std::size_t k = 0; k < op.nodes.size(); ++k) check(op.nodes[k], op.nodePaths[k]);
            checkParam(op.param);
        }
        for (const ParamPlan& param : node.object->trellon.params) checkParam(param);
    }
    return plan;
}

}  // namespace host::scene_file
