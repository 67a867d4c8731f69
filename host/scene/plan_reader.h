// The reader of a scene file: checks the JSON document and turns it into a ScenePlan
// (scene_plan.h), touching nothing in the scene. Every problem throws one SceneFileError that
// names the file, the JSON path and what is wrong.
//
// Its parts are read in three files: read_document.cpp (the document, layers, materials,
// nodes, transforms, the renderer), read_objects.cpp (the object types) and read_trellon.cpp
// (Trellon objects: set-up operations and parameters).
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <initializer_list>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "iparamb2.h"
#include "material_classes.h"
#include "name_choices.h"
#include "scene_plan.h"
#include "scene_reader.h"

namespace host {
class Scene;
}  // namespace host

namespace host::scene_file {

using json = nlohmann::json;

// UTF-8 to wide characters; malformed bytes are reported by the caller's path. The SDK's
// conversion replaces what it cannot read, so a text is well formed exactly when it comes back
// unchanged (this also refuses overlong forms and encoded surrogates).
bool Widen(const std::string& s, std::wstring& out);

// Wide characters back to UTF-8, for messages.
std::string Narrow(const std::wstring& w);

// A parameter type's name (ASCII) for messages.
std::string TypeName(int type);

// The JSON paths of a key of an object and of an element of a list.
std::string Key(const std::string& path, const char* key);
std::string At(const std::string& path, std::size_t i);

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
    std::unique_ptr<MapPlan> Map(const json& j, const std::string& path,
                                 const ScenePlan& plan) const;
    // The parameters of "params" (an object of internal names) of a material or map class.
    void MtlParams(const json& j, const std::string& path, const MaterialClass& cls,
                   const ScenePlan& plan, std::vector<MtlParamPlan>& out) const;
    MtlParamPlan MtlParam(const json& j, const std::string& path, const ParamDef& def,
                          const ScenePlan& plan) const;
    SubMaterialPlan SubMaterial(const json& j, const std::string& path,
                                const ScenePlan& plan) const;
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

}  // namespace host::scene_file
