#include "build_plan.h"

#include <cstddef>
#include <string>
#include <vector>

#include "layers.h"
#include "materials.h"
#include "matrix3.h"
#include "notify.h"
#include "plan_reader.h"
#include "scene.h"
#include "scene_objects.h"
#include "splshape.h"
#include "trellon_setup.h"
#include "triobj.h"
#include "units.h"

namespace host::scene_file {

namespace {

// Building the checked plan into the scene; only a Trellon object's own set-up can still fail,
// and then the nodes made so far are deleted again.
host::Material* Build(const MaterialPlan& p, const std::vector<host::Material*>& named);

Mtl* Build(const SubMaterialPlan& s, const std::vector<host::Material*>& named) {
    if (s.inlined) return Build(*s.inlined, named);
    if (s.named >= 0) return named[static_cast<std::size_t>(s.named)];
    return nullptr;
}

MtlBase* Build(const MapPlan& p, const std::vector<host::Material*>& named);

// Writes the checked values into the block of a new material or map.
void SetParams(IParamBlock2& pb, const std::vector<MtlParamPlan>& params,
               const std::vector<host::Material*>& named) {
    for (const MtlParamPlan& v : params) {
        switch (v.type) {
            case TYPE_RGBA:
                pb.SetValue(v.id, 0, v.colour);
                break;
            case TYPE_FLOAT:
                pb.SetValue(v.id, 0, v.number);
                break;
            case TYPE_INT:
            case TYPE_BOOL:
                pb.SetValue(v.id, 0, v.integer);
                break;
            case TYPE_STRING:
            case TYPE_FILENAME:
                pb.SetValue(v.id, 0, v.text.c_str());
                break;
            case TYPE_TEXMAP:
                pb.SetValue(v.id, 0,
                            v.map ? static_cast<ReferenceTarget*>(Build(*v.map, named))
                                  : static_cast<ReferenceTarget*>(nullptr));
                break;
            case TYPE_MTL:
                pb.SetValue(v.id, 0, static_cast<ReferenceTarget*>(Build(v.material, named)));
                break;
            default:
                break;
        }
    }
}

MtlBase* Build(const MapPlan& p, const std::vector<host::Material*>& named) {
    MtlBase* map = NewMaterialOrMap(p.cls);
    if (!p.name.empty()) map->SetName(MSTR(p.name));
    SetParams(*map->GetParamBlock(0), p.params, named);
    return map;
}

host::Material* Build(const MaterialPlan& p, const std::vector<host::Material*>& named) {
    auto* m = dynamic_cast<host::Material*>(NewMaterialOrMap(p.cls));
    if (!p.name.empty()) m->SetName(MSTR(p.name));
    SetParams(*m->GetParamBlock(0), p.params, named);
    std::vector<Mtl*> subs;
    for (const SubMaterialPlan& s : p.subs) subs.push_back(Build(s, named));
    m->SetSubMaterials(subs);
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

// NOTIFY_FILE_PRE_OPEN for its lifetime, closed by NOTIFY_FILE_POST_OPEN however the load ends.
class FileOpenNotifications {
public:
    FileOpenNotifications() { BroadcastNotification(NOTIFY_FILE_PRE_OPEN); }
    ~FileOpenNotifications() { BroadcastNotification(NOTIFY_FILE_POST_OPEN); }
    FileOpenNotifications(const FileOpenNotifications&) = delete;
    FileOpenNotifications& operator=(const FileOpenNotifications&) = delete;
};

}  // namespace

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

}  // namespace host::scene_file
