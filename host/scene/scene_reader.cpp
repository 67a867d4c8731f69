#include "scene_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include <optional>
#include <sstream>
#include <vector>
#include "strclass.h"

#include "creation.h"
#include "euler.h"
#include "iparamb2.h"
#include "material_classes.h"
#include "materials.h"
#include "matrix3.h"
#include "mesh_import.h"
#include "name_choices.h"
#include "notify.h"
#include "object_functions.h"
#include "quat.h"
#include "renderers.h"
#include "scene.h"
#include "scene_objects.h"
#include "scene_transform.h"
#include "splshape.h"
#include "triobj.h"
#include "units.h"
#include "windows.h"

namespace host {
namespace {

using json = nlohmann::json;

// UTF-8 to wide characters; malformed bytes are reported by the caller's path. The SDK's
// conversion replaces what it cannot read, so a text is well formed exactly when it comes back
// unchanged (this also refuses overlong forms and encoded surrogates).
bool Widen(const std::string& s, std::wstring& out) {
    out = FromUTF8(s);
    return ToUTF8(out) == s;
}

// Wide characters back to UTF-8, for messages.
std::string Narrow(const std::wstring& w) { return ToUTF8(w); }

// A parameter type's name (ASCII) for messages.
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

// The checked pieces of the file, built before the scene is touched.
struct LayerPlan {
    std::wstring name;
    bool hidden = false;
};

struct MaterialPlan;
struct SubMaterialPlan {
    int named = -1;  // index of an earlier entry of `materials`
    std::unique_ptr<MaterialPlan> inlined;
};
struct MaterialPlan {
    std::wstring name;
    std::wstring cls;
    std::optional<Color> diffuse;
    std::optional<std::wstring> mapFile;
    std::vector<SubMaterialPlan> subs;
};

using TransformPlan = TransformParts;

struct KnotPlan {
    int type = KTYPE_CORNER;
    int lineType = LTYPE_CURVE;  // the segment that leaves the knot
    Point3 point, in, out;
};
struct SplinePlan {
    bool closed = false;
    std::vector<KnotPlan> knots;
};
struct MeshPlan {
    std::vector<Point3> vertices;
    std::vector<std::array<DWORD, 3>> faces;
    std::vector<MtlID> materialIds;
    std::vector<DWORD> smoothingGroups;
    std::vector<std::array<DWORD, 3>> edgeVisibility;
    std::vector<Point3> uvs;
    std::vector<std::array<DWORD, 3>> uvFaces;
};
// One value of a Trellon parameter, in the field its storage uses; `node` names a node of the
// file (empty: null).
struct ParamValuePlan {
    int i = 0;
    float f = 0.0f;
    Point3 p;
    std::wstring s;
    std::string path;  // where the value stands, for the check of node names
};
struct ParamPlan {
    ParamID id = -1;
    int type = TYPE_VOID;                // the descriptor's type without passing flags
    std::vector<ParamValuePlan> values;  // one for a single value, the whole table for a _TAB
};
// The set-up operations other than "create": each calls the published set-up function of the
// same name, with the arguments its kind takes; "set" goes through the parameter block.
enum class OpArgs { Node, Nodes, Row, OptionalRow, Set };
struct SetupOpKind {
    const char* name;
    OpArgs args;
    bool carPaint;  // the object may ask whether the items are car paint
};
constexpr SetupOpKind kSetupOps[] = {{"pickPath", OpArgs::Node, false},
                                     {"addItem", OpArgs::Node, true},
                                     {"addItems", OpArgs::Nodes, true},
                                     {"addShape", OpArgs::Node, false},
                                     {"addShapes", OpArgs::Nodes, false},
                                     {"addNullRow", OpArgs::OptionalRow, false},
                                     {"deleteRow", OpArgs::Row, false},
                                     {"shiftUp", OpArgs::Row, false},
                                     {"shiftDown", OpArgs::Row, false},
                                     {"makePost", OpArgs::Row, false},
                                     {"makeEnd", OpArgs::Row, false},
                                     {"deleteShape", OpArgs::Row, false},
                                     {"seedTransforms", OpArgs::OptionalRow, false},
                                     {"seedMirror", OpArgs::OptionalRow, false},
                                     {"set", OpArgs::Set, false}};

struct SetupOpPlan {
    const SetupOpKind* kind = nullptr;
    std::string path;                 // where the operation stands
    std::vector<std::wstring> nodes;  // `node` (one) or `nodes`
    std::vector<std::string> nodePaths;
    int row = 0;
    int answer = IDNO;  // what the car-paint question is answered
    ParamPlan param;    // `set`: the parameter and its one value
    int index = 0;      // `set`: the table entry
};

struct TrellonPlan {
    ClassDesc* cd = nullptr;
    bool create = false;
    CreateOptions createOptions;
    std::vector<SetupOpPlan> ops;
    std::vector<ParamPlan> params;
};
struct ObjectPlan {
    enum class Kind { Mesh, Shape, Light, Camera, Target, Trellon };
    Kind kind = Kind::Mesh;
    TrellonPlan trellon;
    std::string lightKind;
    bool isShape = false;
    int steps = 6;
    std::vector<SplinePlan> splines;
    MeshPlan mesh;
};
struct NodePlan {
    std::wstring name;
    std::optional<std::wstring> layer;
    TransformPlan transform;
    std::optional<TransformPlan> offset;
    std::optional<DWORD> wireColor;
    bool hidden = false;
    bool renderable = true;
    int material = -1;
    std::optional<ObjectPlan> object;
};
struct ScenePlan {
    std::optional<int> units;
    std::optional<RendererInfo> renderer;
    TimeValue time = 0;
    std::vector<LayerPlan> layers;
    std::wstring currentLayer = L"0";
    std::vector<std::unique_ptr<MaterialPlan>> materials;
    std::vector<NodePlan> nodes;
};

class Reader {
public:
    Reader(std::string file, Scene& scene)
        : file_(std::move(file)), dir_(std::filesystem::path(file_).parent_path()), scene_(scene) {}

    ScenePlan Read(const json& doc);

private:
    [[noreturn]] void Fail(const std::string& path, const std::string& what) const {
        throw SceneFileError(file_ + ": " + (path.empty() ? "" : path + ": ") + what);
    }

    void Object(const json& j, const std::string& path) const {
        if (!j.is_object()) Fail(path, "expected an object, found " + std::string(j.type_name()));
    }
    void Keys(const json& j, const std::string& path,
              std::initializer_list<const char*> allowed) const {
        Object(j, path);
        for (const auto& [k, v] : j.items()) {
            bool known = false;
            for (const char* a : allowed) known = known || k == a;
            if (!known) {
                Fail(Key(path, k.c_str()),
                     "unknown key \"" + k + "\"" +
                         NameChoices(k, std::vector<std::string>(allowed.begin(), allowed.end())));
            }
        }
    }
    const json& Required(const json& j, const std::string& path, const char* key) const {
        auto it = j.find(key);
        if (it == j.end()) Fail(path, std::string("missing required field \"") + key + "\"");
        return *it;
    }
    static const json* Optional(const json& j, const char* key) {
        auto it = j.find(key);
        return it == j.end() ? nullptr : &*it;
    }
    void Array(const json& j, const std::string& path) const {
        if (!j.is_array()) Fail(path, "expected a list, found " + std::string(j.type_name()));
    }
    void ArrayOf(const json& j, const std::string& path, std::size_t n) const {
        Array(j, path);
        if (j.size() != n) {
            Fail(path,
                 "expected " + std::to_string(n) + " elements, found " + std::to_string(j.size()));
        }
    }
    float Float(const json& j, const std::string& path) const {
        if (!j.is_number()) Fail(path, "expected a number, found " + std::string(j.type_name()));
        const double d = j.get<double>();
        if (!std::isfinite(d) || std::fabs(d) > std::numeric_limits<float>::max()) {
            Fail(path, "number is not finite");
        }
        return static_cast<float>(d);
    }
    long long Integer(const json& j, const std::string& path, long long lo, long long hi) const {
        if (!j.is_number_integer()) {
            Fail(path, "expected an integer, found " +
                           std::string(j.is_number() ? "a fraction" : j.type_name()));
        }
        if (j.is_number_unsigned() &&
            j.get<unsigned long long>() > static_cast<unsigned long long>(hi)) {
            Fail(path, "value out of range " + std::to_string(lo) + ".." + std::to_string(hi));
        }
        const long long v = j.get<long long>();
        if (v < lo || v > hi) {
            Fail(path, "value out of range " + std::to_string(lo) + ".." + std::to_string(hi));
        }
        return v;
    }
    bool Bool(const json& j, const std::string& path) const {
        if (!j.is_boolean())
            Fail(path, "expected true or false, found " + std::string(j.type_name()));
        return j.get<bool>();
    }
    std::wstring String(const json& j, const std::string& path) const {
        if (!j.is_string()) Fail(path, "expected a string, found " + std::string(j.type_name()));
        std::wstring w;
        if (!Widen(j.get<std::string>(), w)) Fail(path, "string is not valid UTF-8");
        return w;
    }
    std::wstring Name(const json& j, const std::string& path) const {
        std::wstring w = String(j, path);
        if (w.empty()) Fail(path, "name is empty");
        return w;
    }
    Point3 Vector(const json& j, const std::string& path) const {
        ArrayOf(j, path, 3);
        return Point3(Float(j[0], At(path, 0)), Float(j[1], At(path, 1)), Float(j[2], At(path, 2)));
    }
    std::array<DWORD, 3> Triple(const json& j, const std::string& path, std::size_t count,
                                const char* what) const {
        ArrayOf(j, path, 3);
        std::array<DWORD, 3> t{};
        for (std::size_t k = 0; k < 3; ++k) {
            const long long v = Integer(j[k], At(path, k), 0, std::numeric_limits<int>::max());
            if (static_cast<std::size_t>(v) >= count) {
                Fail(At(path, k), "index " + std::to_string(v) + " out of range: there are " +
                                      std::to_string(count) + " " + what);
            }
            t[k] = static_cast<DWORD>(v);
        }
        return t;
    }

    int Units(const json& j, const std::string& path) const;
    void Layers(const json& j, const std::string& path, ScenePlan& plan) const;
    std::unique_ptr<MaterialPlan> Material(const json& j, const std::string& path,
                                           const ScenePlan& plan, bool inlined) const;
    TransformPlan Transform(const json& j, const std::string& path) const;
    NodePlan Node(const json& j, const std::string& path, const ScenePlan& plan) const;
    ObjectPlan Obj(const json& j, const std::string& path) const;
    void Spline(const json& j, const std::string& path, ObjectPlan& obj) const;
    void Line(const json& j, const std::string& path, ObjectPlan& obj) const;
    void Mesh(const json& j, const std::string& path, ObjectPlan& obj) const;
    void Box(const json& j, const std::string& path, ObjectPlan& obj) const;
    void Sphere(const json& j, const std::string& path, ObjectPlan& obj) const;
    void MeshFile(const json& j, const std::string& path, ObjectPlan& obj) const;
    void Trellon(const json& j, const std::string& path, ObjectPlan& obj) const;
    SetupOpPlan SetupOp(const json& j, const std::string& path, ParamBlockDesc2& desc) const;
    RendererInfo Renderer(const json& j, const std::string& path) const;
    ParamPlan Param(const json& j, const std::string& path, ParamBlockDesc2& desc) const;
    int ParamById(const json& j, const std::string& path, ParamBlockDesc2& desc) const;
    int ParamByName(const json& j, const std::string& path, ParamBlockDesc2& desc,
                    bool unique) const;
    ParamPlan ParamOf(int index, const json* type, const std::string& path,
                      ParamBlockDesc2& desc) const;
    // `spinner`: a float must lie in the parameter's range, as a spinner keeps it.
    ParamValuePlan ParamValue(const json& j, const std::string& path, const ParamDef& def,
                              bool spinner = false) const;

    std::string file_;
    std::filesystem::path dir_;  // relative paths in the file start here
    Scene& scene_;
};

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

std::unique_ptr<MaterialPlan> Reader::Material(const json& j, const std::string& path,
                                               const ScenePlan& plan, bool inlined) const {
    Keys(j, path, {"name", "class", "diffuse", "diffuseMap", "subMaterials"});
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
    if (const host::MaterialClass* c = host::FindMaterialClass(m->cls);
        !c || c->kind == host::MaterialKind::Map) {
        std::vector<std::string> names;
        for (const host::MaterialClass& k : host::MaterialClasses()) {
            if (k.kind != host::MaterialKind::Map) names.push_back(Narrow(k.name));
        }
        Fail(Key(path, "class"), "unknown material class \"" + Narrow(m->cls) + "\"" +
                                     NameChoices(Narrow(m->cls), names));
    }
    if (const json* d = Optional(j, "diffuse")) {
        const Point3 c = Vector(*d, Key(path, "diffuse"));
        m->diffuse = Color(c.x, c.y, c.z);
    }
    if (const json* map = Optional(j, "diffuseMap")) {
        const std::string p = Key(path, "diffuseMap");
        Keys(*map, p, {"class", "file"});
        const std::wstring cls = Name(Required(*map, p, "class"), Key(p, "class"));
        if (cls != L"Bitmap") Fail(Key(p, "class"), "map class not supported yet (only Bitmap)");
        m->mapFile = Name(Required(*map, p, "file"), Key(p, "file"));
    }
    if (const json* subs = Optional(j, "subMaterials")) {
        const std::string p = Key(path, "subMaterials");
        Array(*subs, p);
        for (std::size_t i = 0; i < subs->size(); ++i) {
            const json& s = (*subs)[i];
            SubMaterialPlan sub;
            if (s.is_null()) {
                // An empty slot.
            } else if (s.is_object()) {
                sub.inlined = Material(s, At(p, i), plan, true);
            } else {
                const std::wstring name = Name(s, At(p, i));
                for (std::size_t k = 0; k < plan.materials.size(); ++k) {
                    if (plan.materials[k]->name == name) sub.named = static_cast<int>(k);
                }
                if (sub.named < 0) {
                    std::vector<std::string> earlier;
                    for (const auto& e : plan.materials) earlier.push_back(Narrow(e->name));
                    Fail(At(p, i), "unknown material \"" + s.get<std::string>() +
                                       "\" (a sub-material names an earlier entry)" +
                                       NameChoices(s.get<std::string>(), earlier));
                }
            }
            m->subs.push_back(std::move(sub));
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

void Reader::Spline(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "steps", "splines"});
    obj.isShape = true;
    obj.kind = ObjectPlan::Kind::Shape;
    if (const json* s = Optional(j, "steps")) {
        obj.steps = static_cast<int>(Integer(*s, Key(path, "steps"), 0, 100));
    }
    const std::string sp = Key(path, "splines");
    const json& splines = Required(j, path, "splines");
    Array(splines, sp);
    for (std::size_t i = 0; i < splines.size(); ++i) {
        const std::string p = At(sp, i);
        Keys(splines[i], p, {"closed", "knots"});
        SplinePlan spline;
        if (const json* c = Optional(splines[i], "closed"))
            spline.closed = Bool(*c, Key(p, "closed"));
        const std::string kp = Key(p, "knots");
        const json& knots = Required(splines[i], p, "knots");
        Array(knots, kp);
        if (knots.size() < 2) Fail(kp, "a spline needs at least 2 knots");
        for (std::size_t k = 0; k < knots.size(); ++k) {
            const std::string q = At(kp, k);
            Keys(knots[k], q, {"type", "point", "in", "out", "segment"});
            KnotPlan knot;
            const json& type = Required(knots[k], q, "type");
            if (!type.is_string()) Fail(Key(q, "type"), "expected a string");
            const std::string t = type.get<std::string>();
            if (t == "corner") {
                knot.type = KTYPE_CORNER;
            } else if (t == "smooth") {
                knot.type = KTYPE_AUTO;
            } else if (t == "bezier") {
                knot.type = KTYPE_BEZIER;
            } else if (t == "bezierCorner") {
                knot.type = KTYPE_BEZIER_CORNER;
            } else {
                Fail(Key(q, "type"),
                     "unknown knot type \"" + t + "\"" +
                         NameChoices(t, {"corner", "smooth", "bezier", "bezierCorner"}));
            }
            knot.point = Vector(Required(knots[k], q, "point"), Key(q, "point"));
            // A straight segment (as a `line` has, and as saved scenes write them) evaluates
            // linearly whatever its handles say; a curve is the default.
            if (const json* seg = Optional(knots[k], "segment")) {
                if (!seg->is_string()) Fail(Key(q, "segment"), "expected a string");
                const std::string v = seg->get<std::string>();
                if (v == "line") {
                    knot.lineType = LTYPE_LINE;
                } else if (v != "curve") {
                    Fail(Key(q, "segment"), "expected \"line\" or \"curve\", not \"" + v + "\"");
                }
            }
            const bool bezier = (knot.type & KTYPE_BEZIER) != 0;
            if (bezier) {
                knot.in = Vector(Required(knots[k], q, "in"), Key(q, "in"));
                knot.out = Vector(Required(knots[k], q, "out"), Key(q, "out"));
            } else {
                for (const char* h : {"in", "out"}) {
                    if (Optional(knots[k], h)) {
                        Fail(Key(q, h), "handles are computed for " + t +
                                            " knots; give them only for bezier kinds");
                    }
                }
                knot.in = knot.out = knot.point;
            }
            spline.knots.push_back(knot);
        }
        obj.splines.push_back(std::move(spline));
    }
}

void Reader::Line(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "points", "closed"});
    obj.isShape = true;
    obj.kind = ObjectPlan::Kind::Shape;
    SplinePlan spline;
    if (const json* c = Optional(j, "closed")) spline.closed = Bool(*c, Key(path, "closed"));
    const std::string pp = Key(path, "points");
    const json& points = Required(j, path, "points");
    Array(points, pp);
    if (points.size() < 2) Fail(pp, "a line needs at least 2 points");
    for (std::size_t i = 0; i < points.size(); ++i) {
        KnotPlan knot;
        knot.point = knot.in = knot.out = Vector(points[i], At(pp, i));
        knot.lineType = LTYPE_LINE;
        spline.knots.push_back(knot);
    }
    obj.splines.push_back(std::move(spline));
}

void Reader::Mesh(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path,
         {"type", "vertices", "faces", "materialIds", "smoothingGroups", "edgeVisibility", "uvs",
          "uvFaces", "file"});
    if (Optional(j, "file")) {
        MeshFile(j, path, obj);
        return;
    }
    MeshPlan& m = obj.mesh;
    const std::string vp = Key(path, "vertices");
    const json& verts = Required(j, path, "vertices");
    Array(verts, vp);
    for (std::size_t i = 0; i < verts.size(); ++i)
        m.vertices.push_back(Vector(verts[i], At(vp, i)));
    const std::string fp = Key(path, "faces");
    const json& faces = Required(j, path, "faces");
    Array(faces, fp);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        m.faces.push_back(Triple(faces[i], At(fp, i), m.vertices.size(), "vertices"));
    }
    const auto perFace = [&](const char* key) -> const json* {
        const json* list = Optional(j, key);
        if (!list) return nullptr;
        Array(*list, Key(path, key));
        if (list->size() != faces.size()) {
            Fail(Key(path, key), "expected one entry per face (" + std::to_string(faces.size()) +
                                     "), found " + std::to_string(list->size()));
        }
        return list;
    };
    if (const json* ids = perFace("materialIds")) {
        for (std::size_t i = 0; i < ids->size(); ++i) {
            m.materialIds.push_back(
                static_cast<MtlID>(Integer((*ids)[i], At(Key(path, "materialIds"), i), 0, 65535)));
        }
    }
    if (const json* sg = perFace("smoothingGroups")) {
        for (std::size_t i = 0; i < sg->size(); ++i) {
            m.smoothingGroups.push_back(static_cast<DWORD>(
                Integer((*sg)[i], At(Key(path, "smoothingGroups"), i), 0, 0xFFFFFFFFLL)));
        }
    }
    if (const json* ev = perFace("edgeVisibility")) {
        const std::string ep = Key(path, "edgeVisibility");
        for (std::size_t i = 0; i < ev->size(); ++i) {
            ArrayOf((*ev)[i], At(ep, i), 3);
            std::array<DWORD, 3> e{};
            for (std::size_t k = 0; k < 3; ++k) {
                const json& v = (*ev)[i][k];
                e[k] = v.is_boolean() ? (v.get<bool>() ? 1u : 0u)
                                      : static_cast<DWORD>(Integer(v, At(At(ep, i), k), 0, 1));
            }
            m.edgeVisibility.push_back(e);
        }
    }
    const json* uvs = Optional(j, "uvs");
    const json* uvFaces = Optional(j, "uvFaces");
    if ((uvs == nullptr) != (uvFaces == nullptr)) {
        Fail(path, "\"uvs\" and \"uvFaces\" go together");
    }
    if (uvs) {
        const std::string up = Key(path, "uvs");
        Array(*uvs, up);
        for (std::size_t i = 0; i < uvs->size(); ++i) {
            const json& uv = (*uvs)[i];
            Array(uv, At(up, i));
            if (uv.size() != 2 && uv.size() != 3) Fail(At(up, i), "expected [u, v] or [u, v, w]");
            Point3 p(Float(uv[0], At(At(up, i), 0)), Float(uv[1], At(At(up, i), 1)), 0.0f);
            if (uv.size() == 3) p.z = Float(uv[2], At(At(up, i), 2));
            m.uvs.push_back(p);
        }
        const json* tf = perFace("uvFaces");
        for (std::size_t i = 0; i < tf->size(); ++i) {
            m.uvFaces.push_back(Triple((*tf)[i], At(Key(path, "uvFaces"), i), m.uvs.size(), "uvs"));
        }
    }
}

// A mesh imported from a file, its path relative to the scene file's folder.
void Reader::MeshFile(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "file"});
    const std::string fp = Key(path, "file");
    Name(j["file"], fp);  // checked UTF-8, which is what the file system takes here
    std::filesystem::path file(j["file"].get<std::string>());
    if (file.is_relative()) file = dir_ / file;
    const std::string shown = file.lexically_normal().string();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        Fail(fp, "cannot read the mesh file \"" + shown + "\": no such file");
    }
    ImportedMesh imported;
    std::string error;
    if (!ImportMeshFile(file.string(), imported, error)) {
        Fail(fp, "the mesh file \"" + shown + "\" " + error);
    }
    MeshPlan& m = obj.mesh;
    m.vertices = std::move(imported.vertices);
    for (std::size_t i = 0; i < imported.faces.size(); ++i) {
        const auto& f = imported.faces[i];
        m.faces.push_back({f[0], f[1], f[2]});
        m.materialIds.push_back(static_cast<MtlID>(std::min(imported.materialIds[i], 65535u)));
    }
    if (!imported.uvs.empty()) {
        m.uvs = std::move(imported.uvs);
        m.uvFaces = m.faces;  // one map vertex per vertex
    }
}

void Reader::Box(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "length", "width", "height"});
    const float l = Float(Required(j, path, "length"), Key(path, "length"));
    const float w = Float(Required(j, path, "width"), Key(path, "width"));
    const float h = Float(Required(j, path, "height"), Key(path, "height"));
    MeshPlan& m = obj.mesh;
    // Base corners 0..3 at z = 0 (x then y varying), the top 4..7 above them at z = height.
    for (int k = 0; k < 8; ++k) {
        m.vertices.emplace_back((k & 1) ? w / 2 : -w / 2, (k & 2) ? l / 2 : -l / 2,
                                (k & 4) ? h : 0.0f);
    }
    // Two triangles per side, wound outward; each side its own material ID and smoothing group.
    struct Side {
        std::array<DWORD, 4> quad;
        MtlID id;
        DWORD group;
    };
    static const Side kSides[] = {{{0, 2, 3, 1}, 1, 2},  {{4, 5, 7, 6}, 0, 4},
                                  {{0, 1, 5, 4}, 4, 8},  {{1, 3, 7, 5}, 3, 16},
                                  {{3, 2, 6, 7}, 5, 32}, {{2, 0, 4, 6}, 2, 64}};
    for (const Side& s : kSides) {
        m.faces.push_back({s.quad[0], s.quad[1], s.quad[2]});
        m.faces.push_back({s.quad[2], s.quad[3], s.quad[0]});
        for (int k = 0; k < 2; ++k) {
            m.materialIds.push_back(s.id);
            m.smoothingGroups.push_back(s.group);
            m.edgeVisibility.push_back({1, 1, 0});  // the diagonal is hidden
        }
    }
}

void Reader::Sphere(const json& j, const std::string& path, ObjectPlan& obj) const {
    Keys(j, path, {"type", "radius", "segments"});
    const float r = Float(Required(j, path, "radius"), Key(path, "radius"));
    if (r < 0.0f) Fail(Key(path, "radius"), "radius is negative");
    int segs = 32;
    if (const json* s = Optional(j, "segments")) {
        segs = static_cast<int>(Integer(*s, Key(path, "segments"), 4, 200));
    }
    // A UV sphere about the pivot: `segs` meridians and segs/2 bands from pole to pole. Vertex 0
    // is the top pole, then the rings from the top down, then the bottom pole.
    const int rows = segs / 2;
    MeshPlan& m = obj.mesh;
    m.vertices.emplace_back(0.0f, 0.0f, r);
    for (int k = 1; k < rows; ++k) {
        const double theta = PI * k / rows;
        for (int i = 0; i < segs; ++i) {
            const double phi = 2.0 * PI * i / segs;
            m.vertices.emplace_back(static_cast<float>(r * std::sin(theta) * std::cos(phi)),
                                    static_cast<float>(r * std::sin(theta) * std::sin(phi)),
                                    static_cast<float>(r * std::cos(theta)));
        }
    }
    m.vertices.emplace_back(0.0f, 0.0f, -r);
    const auto ring = [segs](int k, int i) {
        return static_cast<DWORD>(1 + (k - 1) * segs + (i % segs));
    };
    const auto bottom = static_cast<DWORD>(m.vertices.size() - 1);
    const auto add = [&m](DWORD a, DWORD b, DWORD c, std::array<DWORD, 3> vis) {
        m.faces.push_back({a, b, c});
        m.edgeVisibility.push_back(vis);
        m.smoothingGroups.push_back(1);
    };
    for (int i = 0; i < segs; ++i) add(0, ring(1, i), ring(1, i + 1), {1, 1, 1});
    for (int k = 1; k + 1 < rows; ++k) {
        for (int i = 0; i < segs; ++i) {
            // Two triangles per quad, the shared diagonal hidden.
            add(ring(k, i), ring(k + 1, i), ring(k + 1, i + 1), {1, 1, 0});
            add(ring(k + 1, i + 1), ring(k, i + 1), ring(k, i), {1, 1, 0});
        }
    }
    for (int i = 0; i < segs; ++i) add(bottom, ring(rows - 1, i + 1), ring(rows - 1, i), {1, 1, 1});
}

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

ObjectPlan Reader::Obj(const json& j, const std::string& path) const {
    Object(j, path);
    const json& type = Required(j, path, "type");
    if (!type.is_string()) Fail(Key(path, "type"), "expected a string");
    const std::string t = type.get<std::string>();
    ObjectPlan obj;
    if (t == "spline") {
        Spline(j, path, obj);
    } else if (t == "line") {
        Line(j, path, obj);
    } else if (t == "mesh") {
        Mesh(j, path, obj);
    } else if (t == "box") {
        Box(j, path, obj);
    } else if (t == "sphere") {
        Sphere(j, path, obj);
    } else if (t == "light") {
        Keys(j, path, {"type", "kind"});
        obj.kind = ObjectPlan::Kind::Light;
        obj.lightKind = "omni";
        if (const json* k = Optional(j, "kind")) {
            if (!k->is_string()) Fail(Key(path, "kind"), "expected a string");
            obj.lightKind = k->get<std::string>();
            if (SceneObject* probe = CreateLight(obj.lightKind)) {
                probe->DeleteThis();
            } else {
                Fail(Key(path, "kind"), "unknown light kind \"" + obj.lightKind + "\"" +
                                            NameChoices(obj.lightKind, LightKinds()));
            }
        }
    } else if (t == "camera" || t == "target") {
        Keys(j, path, {"type"});
        obj.kind = t == "camera" ? ObjectPlan::Kind::Camera : ObjectPlan::Kind::Target;
    } else if (t == "Trellon") {
        Trellon(j, path, obj);
    } else {
        Fail(Key(path, "type"), "unknown object type \"" + t + "\"" +
                                    NameChoices(t, {"spline", "line", "mesh", "box", "sphere",
                                                    "light", "camera", "target", "Trellon"}));
    }
    return obj;
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

// Building the checked plan into the scene; only a Trellon object's own set-up can still fail,
// and then the nodes made so far are deleted again.
host::Material* Build(const MaterialPlan& p, const std::vector<host::Material*>& named) {
    auto* m = dynamic_cast<host::Material*>(NewMaterialOrMap(p.cls));
    if (!p.name.empty()) m->SetName(MSTR(p.name));
    if (p.diffuse) m->SetDiffuse(*p.diffuse, 0);
    if (p.mapFile && m->Class().diffuseMap >= 0) {
        m->GetParamBlock(0)->SetValue(m->Class().diffuseMap, 0, new BitmapMap(*p.mapFile));
    }
    m->SetNumSubMtls(static_cast<int>(p.subs.size()));
    for (std::size_t i = 0; i < p.subs.size(); ++i) {
        const SubMaterialPlan& s = p.subs[i];
        if (s.inlined) {
            m->SetSubMtl(static_cast<int>(i), Build(*s.inlined, named));
        } else if (s.named >= 0) {
            m->SetSubMtl(static_cast<int>(i), named[static_cast<std::size_t>(s.named)]);
        }
    }
    return m;
}

Object* Build(const ObjectPlan& p) {
    switch (p.kind) {
        case ObjectPlan::Kind::Trellon:
            return static_cast<Object*>(p.trellon.cd->Create(FALSE));
        case ObjectPlan::Kind::Light:
            return CreateLight(p.lightKind);
        case ObjectPlan::Kind::Camera:
            return CreateCamera();
        case ObjectPlan::Kind::Target:
            return CreateTarget();
        case ObjectPlan::Kind::Shape:
        case ObjectPlan::Kind::Mesh:
            break;
    }
    if (p.isShape) {
        auto* shape = new SplineShape();
        shape->SetSteps(p.steps);
        for (const SplinePlan& sp : p.splines) {
            Spline3D* s = shape->shape.NewSpline();
            for (const KnotPlan& k : sp.knots) {
                s->AddKnot(SplineKnot(k.type, k.lineType, k.point, k.in, k.out));
            }
            s->SetClosed(sp.closed ? 1 : 0);
            s->ComputeBezPoints();
        }
        shape->shape.UpdateSels();
        shape->shape.InvalidateGeomCache();
        return shape;
    }
    TriObject* tri = CreateNewTriObject();
    ::Mesh& mesh = tri->GetMesh();
    const MeshPlan& m = p.mesh;
    mesh.setNumVerts(static_cast<int>(m.vertices.size()));
    for (std::size_t i = 0; i < m.vertices.size(); ++i)
        mesh.setVert(static_cast<int>(i), m.vertices[i]);
    mesh.setNumFaces(static_cast<int>(m.faces.size()));
    for (std::size_t i = 0; i < m.faces.size(); ++i) {
        Face& f = mesh.faces[i];
        f.setVerts(m.faces[i][0], m.faces[i][1], m.faces[i][2]);
        f.setMatID(m.materialIds.empty() ? 0 : m.materialIds[i]);
        f.setSmGroup(m.smoothingGroups.empty() ? 0 : m.smoothingGroups[i]);
        if (m.edgeVisibility.empty()) {
            f.setEdgeVisFlags(1, 1, 1);
        } else {
            f.setEdgeVisFlags(m.edgeVisibility[i][0], m.edgeVisibility[i][1],
                              m.edgeVisibility[i][2]);
        }
    }
    if (!m.uvFaces.empty() || !m.uvs.empty()) {
        mesh.setNumTVerts(static_cast<int>(m.uvs.size()));
        for (std::size_t i = 0; i < m.uvs.size(); ++i) mesh.setTVert(static_cast<int>(i), m.uvs[i]);
        mesh.setNumTVFaces(static_cast<int>(m.uvFaces.size()));
        for (std::size_t i = 0; i < m.uvFaces.size(); ++i) {
            mesh.tvFace[i].setTVerts(m.uvFaces[i][0], m.uvFaces[i][1], m.uvFaces[i][2]);
        }
    }
    mesh.InvalidateGeomCache();
    return tri;
}

// The file's nodes by the names the file gives them. Set-up operations may rename nodes (a
// picked path takes the object's name for paths), so names are resolved here, once.
using FileNodes = std::map<std::wstring, Node*>;

INode* Named(const FileNodes& nodes, const std::wstring& name) {
    const auto it = nodes.find(name);
    return it == nodes.end() ? nullptr : it->second;
}

// Sets entry `at` of a parameter (0 for a single value) from a checked value.
bool SetParamValue(IParamBlock2& block, const ParamPlan& param, const ParamValuePlan& v, int at,
                   TimeValue t, const FileNodes& nodes) {
    switch (pb_storage(param.type)) {
        case PBStorage::Int:
            return block.SetValue(param.id, t, v.i, at) != 0;
        case PBStorage::Float:
            return block.SetValue(param.id, t, v.f, at) != 0;
        case PBStorage::Point3:
            return block.SetValue(param.id, t, v.p, at) != 0;
        case PBStorage::String:
            return block.SetValue(param.id, t, v.s.c_str(), at) != 0;
        default: {
            return block.SetValue(param.id, t, Named(nodes, v.s), at) != 0;
        }
    }
}

// Sets one parameter of a Trellon object from its checked values (a table whole).
bool SetParam(IParamBlock2& block, const ParamPlan& param, const FileNodes& nodes) {
    const bool tab = is_tab(param.type);
    if (tab) block.SetCount(param.id, static_cast<int>(param.values.size()));
    bool ok = true;
    for (std::size_t k = 0; k < param.values.size(); ++k) {
        ok = SetParamValue(block, param, param.values[k], static_cast<int>(k), 0, nodes) && ok;
    }
    return ok;
}

// Answers every message box with `answer` while it lives (the car-paint question of a pick),
// then puts the scene's own default answer back.
class ScopedMessageAnswer {
public:
    ScopedMessageAnswer(Scene& scene, int answer)
        : scene_(scene), before_(scene.DefaultMessageAnswer()) {
        scene_.SetDefaultMessageAnswer(answer);
    }
    ~ScopedMessageAnswer() { scene_.SetDefaultMessageAnswer(before_); }
    ScopedMessageAnswer(const ScopedMessageAnswer&) = delete;
    ScopedMessageAnswer& operator=(const ScopedMessageAnswer&) = delete;

private:
    Scene& scene_;
    int before_;
};

// One set-up operation on the object: the published function of the same name, or for "set" the
// parameter block as a spinner or checkbox sets it. Empty on success, else the problem.
std::string RunSetupOp(const SetupOpPlan& op, Object* obj, Scene& scene,
                       const FileNodes& fileNodes) {
    if (op.kind->args == OpArgs::Set) {
        IParamBlock2* block = obj->GetParamBlock(0);
        if (!block) return op.path + ": the object has no parameter block";
        if (is_tab(op.param.type) && op.index >= block->Count(op.param.id)) {
            return op.path + ".index: index " + std::to_string(op.index) +
                   " out of range: the table has " + std::to_string(block->Count(op.param.id)) +
                   " entries";
        }
        if (!SetParamValue(*block, op.param, op.param.values.front(), op.index, scene.GetTime(),
                           fileNodes)) {
            return op.path + ".value: the object refused the value";
        }
        return {};
    }
    std::vector<FPNamedArg> args;
    Tab<INode*> nodes;
    switch (op.kind->args) {
        case OpArgs::Node:
            args.push_back(
                {MSTR(_M("node")), FPValue(TYPE_INODE, Named(fileNodes, op.nodes.front()))});
            break;
        case OpArgs::Nodes:
            for (const std::wstring& name : op.nodes) {
                INode* node = Named(fileNodes, name);
                nodes.Append(1, &node);
            }
            args.push_back({MSTR(_M("nodes")), FPValue(TYPE_INODE_TAB_BR, &nodes)});
            break;
        case OpArgs::Row:
        case OpArgs::OptionalRow:
            args.push_back({MSTR(_M("row")), FPValue(TYPE_INT, op.row)});
            break;
        case OpArgs::Set:
            break;
    }
    const std::string name = op.kind->name;
    const std::wstring fn(name.begin(), name.end());
    std::string error;
    std::optional<ScopedMessageAnswer> answer;
    if (op.kind->carPaint) answer.emplace(scene, op.answer);
    if (CallObjectFunction(scene, obj, fn.c_str(), args, error) != FPS_OK) {
        return op.path + ": " + error;
    }
    return {};
}

// Whether the object's item and shape tables agree with its items, as the object itself judges:
// empty when they do, else the problem at the place of the file that set the table (its `params`
// entry, or the object as a whole when the set-up made it so).
std::string CheckTables(const TrellonPlan& plan, Object* obj, Scene& scene,
                        const std::string& path) {
    FPValue result;
    std::string error;
    if (CallObjectFunction(scene, obj, _M("tableProblemParam"), {}, result, error) != FPS_OK) {
        return path + ": " + error;
    }
    const int id = result.type == TYPE_INT ? result.i : -1;
    if (id < 0) return {};
    std::string why = "the item tables do not agree";
    FPValue text;
    if (CallObjectFunction(scene, obj, _M("tableProblem"), {}, text, error) == FPS_OK &&
        base_type(text.type) == TYPE_TSTR && text.tstr != nullptr) {
        why = text.tstr->ToUTF8();
    }
    for (std::size_t i = 0; i < plan.params.size(); ++i) {
        if (plan.params[i].id == id) return path + ".params[" + std::to_string(i) + "]: " + why;
    }
    return path + ": " + why;
}

// The set-up and parameters of a Trellon node, after every node of the file exists (node
// parameters may name later nodes). Empty on success, else the problem.
std::string SetUpTrellon(const TrellonPlan& plan, Node* node, Scene& scene,
                         const FileNodes& fileNodes, const std::string& path) {
    if (!node->GetObjectRef()) return path + ": the Trellon class did not make an object";
    if (plan.create) {
        std::string error;
        if (!RunCreateOperation(scene, node, plan.createOptions, error)) {
            return path + ".setup[0]: " + error;
        }
    }
    for (const SetupOpPlan& op : plan.ops) {
        // The object may have been replaced by an operation; always ask the node.
        Object* obj = node->GetObjectRef();
        if (!obj) return op.path + ": the node lost its object";
        std::string error = RunSetupOp(op, obj, scene, fileNodes);
        if (!error.empty()) return error;
    }
    IParamBlock2* block = node->GetObjectRef()->GetParamBlock(0);
    if (!block && !plan.params.empty()) return path + ": the object has no parameter block";
    for (std::size_t i = 0; i < plan.params.size(); ++i) {
        if (!SetParam(*block, plan.params[i], fileNodes)) {
            return path + ".params[" + std::to_string(i) + "]: the object refused the value";
        }
    }
    return CheckTables(plan, node->GetObjectRef(), scene, path);
}

// What a load may change in the scene beyond its new nodes, kept so that a load that fails
// half-way gives it back: units, time, renderer, materials, layers and the current layer.
class SceneSnapshot {
public:
    explicit SceneSnapshot(Scene& scene) : scene_(scene) {
        GetMasterUnitInfo(&unitType_, &unitScale_);
        time_ = scene.GetTime();
        renderer_ = scene.CurrentRenderer();
        materials_ = scene.SceneMaterials();
        for (Node* n : scene.Nodes()) nodes_.push_back(n);
        LayerManager& layers = scene.Layers();
        for (int i = 0; i < layers.GetLayerCount(); ++i) {
            ILayer* l = layers.GetLayer(i);
            layers_.emplace_back(l->GetName(), l->IsHidden());
        }
        currentLayer_ = layers.GetCurrentLayer()->GetName();
    }

    // Deletes every node made since (newest first, asking the scene again after each deletion,
    // since deleting one may take others along), then every material and layer added, and
    // puts back what was changed.
    void Restore() {
        for (;;) {
            const std::vector<Node*> now = scene_.Nodes();
            auto it = std::find_if(now.rbegin(), now.rend(), [this](Node* n) {
                return std::find(nodes_.begin(), nodes_.end(), n) == nodes_.end();
            });
            if (it == now.rend()) break;
            scene_.DeleteNode(*it, FALSE);
        }
        const std::vector<Mtl*> materials = scene_.SceneMaterials();
        for (Mtl* m : materials) {
            if (std::find(materials_.begin(), materials_.end(), m) == materials_.end()) {
                scene_.RemoveSceneMaterial(m);
            }
        }
        LayerManager& layers = scene_.Layers();
        for (int i = layers.GetLayerCount() - 1; i >= 0; --i) {
            const MSTR name = layers.GetLayer(i)->GetName();
            const bool kept = std::any_of(layers_.begin(), layers_.end(),
                                          [&name](const auto& l) { return l.first == name; });
            if (!kept) layers.DeleteLayer(name);
        }
        for (const auto& [name, hidden] : layers_) {
            if (ILayer* l = layers.GetLayer(name)) l->Hide(hidden);
        }
        layers.SetCurrentLayer(currentLayer_);
        SetMasterUnitInfo(unitType_, unitScale_);
        scene_.SetTime(time_, FALSE);
        scene_.SetCurrentRenderer(renderer_);
    }

private:
    Scene& scene_;
    int unitType_ = UNITS_INCHES;
    float unitScale_ = 1.0f;
    TimeValue time_ = 0;
    RendererInfo renderer_;
    std::vector<Mtl*> materials_;
    std::vector<Node*> nodes_;
    std::vector<std::pair<MSTR, bool>> layers_;
    MSTR currentLayer_;
};

// NOTIFY_FILE_PRE_OPEN for its lifetime, closed by NOTIFY_FILE_POST_OPEN however the load ends.
class FileOpenNotifications {
public:
    FileOpenNotifications() { BroadcastNotification(NOTIFY_FILE_PRE_OPEN); }
    ~FileOpenNotifications() { BroadcastNotification(NOTIFY_FILE_POST_OPEN); }
    FileOpenNotifications(const FileOpenNotifications&) = delete;
    FileOpenNotifications& operator=(const FileOpenNotifications&) = delete;
};

void Apply(const ScenePlan& plan, Scene& scene) {
    if (plan.units) SetMasterUnitInfo(*plan.units, 1.0f);
    scene.SetTime(plan.time, FALSE);
    if (plan.renderer) scene.SetCurrentRenderer(*plan.renderer);
    LayerManager& layers = scene.Layers();
    for (const LayerPlan& l : plan.layers) {
        ILayer* layer = layers.GetLayer(MSTR(l.name));
        if (!layer) {
            MSTR name(l.name);
            layer = layers.CreateLayer(name);
        }
        layer->Hide(l.hidden);
    }
    std::vector<host::Material*> named;
    for (const auto& m : plan.materials) {
        named.push_back(Build(*m, named));
        scene.AddSceneMaterial(named.back());
    }
    ILayer* current = layers.GetLayer(MSTR(plan.currentLayer));
    std::vector<Node*> made;
    FileNodes fileNodes;
    for (const NodePlan& n : plan.nodes) {
        Node* node = scene.CreateNamedNode(n.object ? Build(*n.object) : nullptr, MSTR(n.name));
        ILayer* layer = n.layer ? layers.GetLayer(MSTR(*n.layer)) : current;
        layer->AddToLayer(node);
        if (n.object && n.object->kind == ObjectPlan::Kind::Target) node->SetTarget(true);
        Matrix3 tm = ComposeTransform(n.transform);
        node->SetNodeTM(0, tm);
        if (n.offset) {
            node->SetObjOffsetPos(n.offset->position);
            node->SetObjOffsetRot(n.offset->rotation);
            node->SetObjOffsetScale(ScaleValue(n.offset->scale));
        }
        if (n.wireColor) node->SetWireColor(*n.wireColor);
        node->Hide(n.hidden ? TRUE : FALSE);
        node->SetRenderable(n.renderable ? TRUE : FALSE);
        if (n.material >= 0) node->SetMtl(named[static_cast<std::size_t>(n.material)]);
        made.push_back(node);
        fileNodes[n.name] = node;
    }
    // The objects exist; their state is loaded between the file-open notifications.
    const FileOpenNotifications opening;
    for (std::size_t i = 0; i < plan.nodes.size(); ++i) {
        const NodePlan& n = plan.nodes[i];
        if (!n.object || n.object->kind != ObjectPlan::Kind::Trellon) continue;
        const std::string error =
            SetUpTrellon(n.object->trellon, made[i], scene, fileNodes, At("nodes", i) + ".object");
        if (!error.empty()) throw SceneFileError(error);
    }
    layers.SetCurrentLayer(MSTR(plan.currentLayer));
}

}  // namespace

void LoadSceneText(const std::string& text, const std::string& fileName, Scene& scene) {
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        // The parser's message names the line and column; drop its internal prefix.
        std::string what = e.what();
        if (const auto pos = what.find("] "); pos != std::string::npos) what = what.substr(pos + 2);
        throw SceneFileError(fileName + ": not valid JSON: " + what);
    } catch (const json::exception& e) {
        throw SceneFileError(fileName + ": not valid JSON: " + e.what());
    }
    Reader reader(fileName, scene);
    const ScenePlan plan = reader.Read(doc);
    // Only the objects can still find problems now (their set-up); then everything the load
    // did is taken out again.
    SceneSnapshot snapshot(scene);
    try {
        Apply(plan, scene);
    } catch (const SceneFileError& e) {
        snapshot.Restore();
        throw SceneFileError(fileName + ": " + e.what());
    } catch (const std::exception& e) {
        snapshot.Restore();
        throw SceneFileError(fileName + ": the scene could not be set up: " + e.what());
    }
}

void LoadSceneFile(const std::string& path, Scene& scene) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SceneFileError(path + ": cannot open the file");
    std::ostringstream text;
    text << in.rdbuf();
    LoadSceneText(text.str(), path, scene);
}

}  // namespace host
