#include "scene_writer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include <vector>
#include "strclass.h"

#include "iparamb2.h"
#include "json_number.h"
#include "materials.h"
#include "quat.h"
#include "renderers.h"
#include "scene.h"
#include "scene_objects.h"
#include "scene_transform.h"
#include "splshape.h"
#include "triobj.h"
#include "units.h"

namespace host {
namespace {

using json = nlohmann::json;

std::string Narrow(const std::wstring& w) { return ToUTF8(w); }
std::string Narrow(const MCHAR* s) { return Narrow(std::wstring(s ? s : L"")); }

double Num(float f) { return JsonNumber(f); }
json Vec(const Point3& p) { return json::array({Num(p.x), Num(p.y), Num(p.z)}); }

const char* UnitName(int type) {
    switch (type) {
        case UNITS_FEET:
            return "feet";
        case UNITS_MILES:
            return "miles";
        case UNITS_MILLIMETERS:
            return "millimeters";
        case UNITS_CENTIMETERS:
            return "centimeters";
        case UNITS_METERS:
            return "meters";
        case UNITS_KILOMETERS:
            return "kilometers";
        default:
            return "inches";
    }
}

class Writer {
public:
    Writer(Scene& scene, std::filesystem::path folder)
        : scene_(scene), folder_(std::move(folder)) {}
    json Write();

private:
    [[noreturn]] static void Fail(const std::string& what) {
        throw SceneFileError("cannot save the scene: " + what);
    }
    json MaterialJson(Mtl* m, std::size_t listed, bool named);
    json SubMaterialJson(Mtl* s, std::size_t listed);
    json MapJson(Texmap* map, std::size_t listed);
    json MtlParamJson(IParamBlock2& pb, ParamID id, std::size_t listed);
    json MtlParamsJson(IParamBlock2& pb, const std::vector<ParamID>& skip, std::size_t listed);
    json Transform(const Matrix3& tm);
    json ObjectJson(Object* obj, const std::string& node);
    json TrellonJson(Object* obj, const std::string& node);
    json ParamValue(IParamBlock2& block, ParamID id, int type, int at, const std::string& node);

    // The name a listed material is saved under (its own, made unique).
    std::string SavedName(Mtl* m) const;

    Scene& scene_;
    std::filesystem::path folder_;  // where the file goes; empty: files are written as held
    std::vector<Mtl*> materials_;
    std::vector<std::wstring> savedNames_;  // parallel to materials_
};

std::string Writer::SavedName(Mtl* m) const {
    const auto it = std::find(materials_.begin(), materials_.end(), m);
    if (it == materials_.end()) return Narrow(m->GetName().data());
    return Narrow(savedNames_[static_cast<std::size_t>(it - materials_.begin())]);
}

// A sub-material as the file refers to it: by name when it is an earlier entry of the list, else
// inline; null for an empty slot.
json Writer::SubMaterialJson(Mtl* s, std::size_t listed) {
    if (!s) return nullptr;
    const auto end = materials_.begin() + static_cast<std::ptrdiff_t>(listed);
    if (std::find(materials_.begin(), end, s) != end) return SavedName(s);
    return MaterialJson(s, listed, false);
}

// One value of a material's or map's block 0, by its type; null for a type a file does not hold.
json Writer::MtlParamJson(IParamBlock2& pb, ParamID id, std::size_t listed) {
    switch (base_type(pb.GetParameterType(id))) {
        case TYPE_RGBA: {
            const Color c = pb.GetColor(id);
            return json::array({Num(c.r), Num(c.g), Num(c.b)});
        }
        case TYPE_FLOAT:
            return Num(pb.GetFloat(id));
        case TYPE_INT:
        case TYPE_BOOL:
            return pb.GetInt(id);
        case TYPE_STRING:
        case TYPE_FILENAME:
            return Narrow(pb.GetStr(id));
        case TYPE_TEXMAP: {
            auto* map = dynamic_cast<Texmap*>(pb.GetReferenceTarget(id));
            return map ? MapJson(map, listed) : json(nullptr);
        }
        case TYPE_MTL:
            return SubMaterialJson(dynamic_cast<Mtl*>(pb.GetReferenceTarget(id)), listed);
        default:
            return nullptr;
    }
}

// Every parameter of a host material's or map's block 0 but those given otherwise (`skip`) and
// the lists of sub-materials, by internal name, in the block's order.
json Writer::MtlParamsJson(IParamBlock2& pb, const std::vector<ParamID>& skip, std::size_t listed) {
    json j = json::object();
    for (int k = 0; k < pb.NumParams(); ++k) {
        const ParamID id = pb.IndextoID(k);
        const int type = pb.GetParameterType(id);
        if (std::find(skip.begin(), skip.end(), id) != skip.end() || is_tab(type)) continue;
        if (base_type(type) == TYPE_MTL) continue;
        j[Narrow(pb.GetParamDef(id).int_name.data())] = MtlParamJson(pb, id, listed);
    }
    return j;
}

json Writer::MapJson(Texmap* map, std::size_t listed) {
    MSTR cls;
    map->GetClassName(cls);
    json j = json::object();
    j["class"] = Narrow(cls.data());
    if (!map->GetName().isNull()) j["name"] = Narrow(map->GetName().data());
    if (auto* bitmap = dynamic_cast<BitmapMap*>(map)) {
        // The file relative to the saved file's folder, where the reader starts relative paths.
        std::filesystem::path file(ToUTF8(bitmap->File()));
        if (!folder_.empty() && file.is_absolute()) {
            std::error_code ec;
            const std::filesystem::path near = std::filesystem::proximate(file, folder_, ec);
            if (!ec) file = near;
        }
        j["file"] = file.generic_string();
        return j;
    }
    if (IParamBlock2* pb = map->GetParamBlock(0)) {
        json params = MtlParamsJson(*pb, {}, listed);
        if (!params.empty()) j["params"] = std::move(params);
    }
    return j;
}

json Writer::MaterialJson(Mtl* m, std::size_t listed, bool named) {
    MSTR cls;
    m->GetClassName(cls);
    json j = json::object();
    if (named) {
        j["name"] = SavedName(m);
    } else if (!m->GetName().isNull()) {
        j["name"] = Narrow(m->GetName().data());
    }
    j["class"] = Narrow(cls.data());
    auto* hm = dynamic_cast<host::Material*>(m);
    IParamBlock2* pb = hm ? hm->GetParamBlock(0) : nullptr;
    if (hm && pb) {
        // The diffuse colour and map under their short keys, the rest by name.
        const MaterialClass& c = hm->Class();
        if (c.diffuseColour >= 0) j["diffuse"] = MtlParamJson(*pb, c.diffuseColour, listed);
        if (Texmap* map = hm->DiffuseMap()) j["diffuseMap"] = MapJson(map, listed);
        json params = MtlParamsJson(*pb, {c.diffuseColour, c.diffuseMap}, listed);
        if (!params.empty()) j["params"] = std::move(params);
    } else {
        const Color d = m->GetDiffuse();
        j["diffuse"] = json::array({Num(d.r), Num(d.g), Num(d.b)});
    }
    if (m->NumSubMtls() > 0) {
        json subs = json::array();
        for (int i = 0; i < m->NumSubMtls(); ++i)
            subs.push_back(SubMaterialJson(m->GetSubMtl(i), listed));
        j["subMaterials"] = std::move(subs);
    }
    return j;
}

json Writer::Transform(const Matrix3& tm) {
    // Parts that read back to a matrix which decomposes to the same parts: the decomposition of
    // a composed matrix can differ in the last bit, so follow it to its fixed point (one or two
    // steps in practice). Some rotations never settle but alternate between neighbouring floats;
    // then the least of the cycle is written, and since reading it back and decomposing again
    // runs into the same cycle, the next save picks the same parts.
    const auto key = [](const TransformParts& t) {
        return std::array<float, 10>{t.rotation.x, t.rotation.y, t.rotation.z, t.rotation.w,
                                     t.scale.x,    t.scale.y,    t.scale.z,    t.position.x,
                                     t.position.y, t.position.z};
    };
    std::vector<TransformParts> seen = {DecomposeTransform(tm)};
    for (int i = 0; i < 64; ++i) {
        const TransformParts again = DecomposeTransform(ComposeTransform(seen.back()));
        const auto first = std::find_if(seen.begin(), seen.end(), [&](const TransformParts& t) {
            return key(t) == key(again);
        });
        if (first == seen.end()) {
            seen.push_back(again);
            continue;
        }
        // A fixed point is a cycle of one.
        seen.erase(seen.begin(), first);
        break;
    }
    const TransformParts t = *std::min_element(
        seen.begin(), seen.end(),
        [&](const TransformParts& a, const TransformParts& b) { return key(a) < key(b); });
    const Quat& q = t.rotation;
    return {{"position", Vec(t.position)},
            {"quat", json::array({Num(q.x), Num(q.y), Num(q.z), Num(q.w)})},
            {"scale", Vec(t.scale)}};
}

json Writer::ParamValue(IParamBlock2& block, ParamID id, int type, int at,
                        const std::string& node) {
    switch (pb_storage(type)) {
        case PBStorage::Int:
            return block.GetInt(id, 0, at);
        case PBStorage::Float:
            return Num(block.GetFloat(id, 0, at));
        case PBStorage::Point3:
            return Vec(block.GetPoint3(id, 0, at));
        case PBStorage::String:
            return Narrow(block.GetStr(id, 0, at));
        case PBStorage::Reference:
            if (base_type(type) == TYPE_INODE) {
                INode* n = block.GetINode(id, 0, at);
                return n ? json(Narrow(n->GetName())) : json(nullptr);
            }
            break;
        case PBStorage::Matrix3:
        case PBStorage::None:
            break;
    }
    Fail("node \"" + node + "\": parameter " + std::to_string(id) +
         " is of a type scene files cannot hold yet");
}

// Every parameter of the object's block in the block's order, tables whole: loading it back
// gives exactly this block, so no set-up is written.
json Writer::TrellonJson(Object* obj, const std::string& node) {
    IParamBlock2* block = obj->GetParamBlock(0);
    if (!block) Fail("node \"" + node + "\": the Trellon object has no parameter block");
    json params = json::array();
    for (int i = 0; i < block->NumParams(); ++i) {
        const ParamID id = block->IndextoID(i);
        const ParamDef& def = block->GetParamDef(id);
        const int type = root_type(def.type);
        json value;
        if (is_tab(type)) {
            value = json::array();
            for (int k = 0; k < block->Count(id); ++k) {
                value.push_back(ParamValue(*block, id, type, k, node));
            }
        } else {
            value = ParamValue(*block, id, type, 0, node);
        }
        params.push_back({{"id", id},
                          {"name", Narrow(def.int_name.data())},
                          {"type", Narrow(ParamTypeName(type))},
                          {"value", std::move(value)}});
    }
    return {{"type", "Trellon"}, {"params", std::move(params)}};
}

json Writer::ObjectJson(Object* obj, const std::string& node) {
    if (obj->SuperClassID() == GEOMOBJECT_CLASS_ID && obj->ClassID() == kTrellonClassID) {
        return TrellonJson(obj, node);
    }
    if (auto* shape = dynamic_cast<SplineShape*>(obj)) {
        json splines = json::array();
        for (int s = 0; s < shape->shape.SplineCount(); ++s) {
            const Spline3D* sp = shape->shape.splines[s];
            json knots = json::array();
            for (int k = 0; k < sp->KnotCount(); ++k) {
                const int type = sp->GetKnotType(k);
                json knot = {{"type", type == KTYPE_AUTO            ? "smooth"
                                      : type == KTYPE_BEZIER        ? "bezier"
                                      : type == KTYPE_BEZIER_CORNER ? "bezierCorner"
                                                                    : "corner"},
                             {"point", Vec(sp->GetKnotPoint(k))}};
                if ((type & KTYPE_BEZIER) != 0) {
                    knot["in"] = Vec(sp->GetInVec(k));
                    knot["out"] = Vec(sp->GetOutVec(k));
                }
                if (sp->GetLineType(k) == LTYPE_LINE) knot["segment"] = "line";
                knots.push_back(std::move(knot));
            }
            splines.push_back({{"closed", sp->Closed() != 0}, {"knots", std::move(knots)}});
        }
        return {{"type", "spline"}, {"steps", shape->GetSteps()}, {"splines", std::move(splines)}};
    }
    if (auto* tri = dynamic_cast<TriObject*>(obj)) {
        const Mesh& m = tri->GetMesh();
        json verts = json::array(), faces = json::array(), ids = json::array(),
             groups = json::array(), vis = json::array();
        for (int i = 0; i < m.getNumVerts(); ++i) verts.push_back(Vec(m.verts[i]));
        for (int i = 0; i < m.getNumFaces(); ++i) {
            const Face& f = m.faces[i];
            faces.push_back({f.v[0], f.v[1], f.v[2]});
            ids.push_back(f.getMatID());
            groups.push_back(f.getSmGroup());
            vis.push_back(
                {f.getEdgeVis(0) ? 1 : 0, f.getEdgeVis(1) ? 1 : 0, f.getEdgeVis(2) ? 1 : 0});
        }
        json j = {{"type", "mesh"},
                  {"vertices", std::move(verts)},
                  {"faces", std::move(faces)},
                  {"materialIds", std::move(ids)},
                  {"smoothingGroups", std::move(groups)},
                  {"edgeVisibility", std::move(vis)}};
        if (m.getNumTVerts() > 0 && m.tvFace != nullptr) {
            json uvs = json::array(), uvFaces = json::array();
            for (int i = 0; i < m.getNumTVerts(); ++i) uvs.push_back(Vec(m.tVerts[i]));
            for (int i = 0; i < m.getNumFaces(); ++i) {
                uvFaces.push_back({m.tvFace[i].t[0], m.tvFace[i].t[1], m.tvFace[i].t[2]});
            }
            j["uvs"] = std::move(uvs);
            j["uvFaces"] = std::move(uvFaces);
        }
        return j;
    }
    if (auto* so = dynamic_cast<SceneObject*>(obj)) {
        if (so->SuperClassID() == CAMERA_CLASS_ID) return {{"type", "camera"}};
        if (so->SuperClassID() == LIGHT_CLASS_ID) {
            for (const char* kind :
                 {"omni", "spot", "directional", "freeSpot", "targetDirectional"}) {
                SceneObject* probe = CreateLight(kind);
                const bool same = probe->ClassID() == so->ClassID();
                probe->DeleteThis();
                if (same) return {{"type", "light"}, {"kind", kind}};
            }
        }
        return {{"type", "target"}};
    }
    MSTR cls;
    obj->GetClassName(cls);
    Fail("node \"" + node + "\": objects of class \"" + Narrow(cls.data()) +
         "\" cannot be saved yet");
}

json Writer::Write() {
    json doc = json::object();
    doc["format"] = "trellon-scene";
    doc["version"] = 1;
    int unitType = UNITS_INCHES;
    float unitScale = 1.0f;
    GetMasterUnitInfo(&unitType, &unitScale);
    doc["units"] = UnitName(unitType);
    doc["time"] = scene_.GetTime();
    const RendererInfo& renderer = scene_.CurrentRenderer();
    if (renderer.IsNone()) {
        doc["renderer"] = nullptr;
    } else {
        const std::string name = RendererNameOf(renderer.classId);
        if (name.empty()) Fail("the current renderer is of a class scene files do not know");
        doc["renderer"] = {{"class", name}};
        if (renderer.classId == kCoronaRendererClassID)
            doc["renderer"]["version"] = renderer.version;
    }

    LayerManager& layers = scene_.Layers();
    json jl = json::array();
    for (int i = 0; i < layers.GetLayerCount(); ++i) {
        ILayer* l = layers.GetLayer(i);
        jl.push_back({{"name", Narrow(l->GetName().data())}, {"hidden", l->IsHidden()}});
    }
    doc["layers"] = std::move(jl);
    doc["currentLayer"] = Narrow(layers.GetCurrentLayer()->GetName().data());

    // The scene's materials, then those only nodes hold; names must tell them apart.
    materials_ = scene_.SceneMaterials();
    const std::vector<Node*> nodes = scene_.Nodes();
    for (Node* n : nodes) {
        Mtl* m = n->GetMtl();
        if (m && std::find(materials_.begin(), materials_.end(), m) == materials_.end()) {
            materials_.push_back(m);
        }
    }
    // A file refers to materials by name, so each is saved under a name of its own: a name an
    // earlier material took (a converted car paint keeps the name of the paint it replaced), or
    // no name at all, gets the first free number after it, as the host numbers new nodes.
    savedNames_.clear();
    for (Mtl* m : materials_) {
        const std::wstring own = m->GetName().data();
        std::wstring name = own.empty() ? std::wstring(L"Material") : own;
        const auto taken = [this](const std::wstring& n) {
            return std::find(savedNames_.begin(), savedNames_.end(), n) != savedNames_.end();
        };
        for (int k = 1; own.empty() || taken(name); ++k) {
            wchar_t number[16];
            std::swprintf(number, 16, L"%03d", k);
            name = (own.empty() ? std::wstring(L"Material") : own) + number;
            if (!taken(name)) break;
        }
        savedNames_.push_back(name);
    }
    json jm = json::array();
    for (std::size_t i = 0; i < materials_.size(); ++i) {
        jm.push_back(MaterialJson(materials_[i], i, true));
    }
    doc["materials"] = std::move(jm);

    json jn = json::array();
    for (Node* n : nodes) {
        const std::string name = Narrow(n->GetName());
        json j = json::object();
        j["name"] = name;
        if (ILayer* l = n->GetLayer()) j["layer"] = Narrow(l->GetName().data());
        j["transform"] = Transform(n->GetNodeTM(0));
        const Quat q = n->GetObjOffsetRot();
        j["objectOffset"] = {{"position", Vec(n->GetObjOffsetPos())},
                             {"quat", json::array({Num(q.x), Num(q.y), Num(q.z), Num(q.w)})},
                             {"scale", Vec(n->GetObjOffsetScale().s)}};
        const DWORD c = n->GetWireColor();
        j["wireColor"] = {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF};
        j["hidden"] = n->IsHidden() != 0;
        j["renderable"] = n->Renderable() != 0;
        if (Mtl* m = n->GetMtl()) j["material"] = SavedName(m);
        if (Object* obj = n->GetObjectRef()) j["object"] = ObjectJson(obj, name);
        jn.push_back(std::move(j));
    }
    doc["nodes"] = std::move(jn);
    return doc;
}

}  // namespace

std::string SaveSceneText(Scene& scene, const std::string& folder) {
    Writer writer(scene, folder);
    return writer.Write().dump(2) + "\n";
}

void SaveSceneFile(Scene& scene, const std::string& path) {
    const std::string folder =
        std::filesystem::absolute(std::filesystem::path(path)).parent_path().string();
    const std::string text = SaveSceneText(scene, folder);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw SceneFileError(path + ": cannot write the file");
    out << text;
    if (!out) throw SceneFileError(path + ": cannot write the file");
}

}  // namespace host
