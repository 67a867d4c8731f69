// Reading the objects of a scene file's nodes: splines, lines, meshes (inline or imported from
// a file), boxes, spheres, lights, cameras and targets. Trellon objects: read_trellon.cpp.
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "mesh_import.h"
#include "plan_reader.h"
#include "scene_objects.h"

namespace host::scene_file {

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

}  // namespace host::scene_file
