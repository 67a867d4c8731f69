#include "evaluated_scene.h"

#include "box3.h"
#include "imtl.h"
#include "inode.h"
#include "object.h"
#include "scene.h"
#include "simpobj.h"
#include "triobj.h"

namespace host {

bool IsShown(INode* node) { return node && !node->IsHidden(HIDE_CHECK_LAYER); }

Mtl* ShownMaterial(Mtl* m, int id) {
    constexpr int kMaxDepth = 16;
    for (int depth = 0; m && m->IsMultiMtl(); ++depth) {
        const int n = m->NumSubMtls();
        if (n <= 0 || depth == kMaxDepth) return nullptr;
        m = m->GetSubMtl(id % n);
    }
    return m;
}

bool EvaluateNode(INode* node, TimeValue t, EvaluatedNode& out) {
    if (!node) return false;
    const ObjectState& os = node->EvalWorldState(t);
    Object* obj = os.obj;
    if (!obj || obj->SuperClassID() != GEOMOBJECT_CLASS_ID) return false;
    if (!obj->CanConvertToType(triObjectClassID)) return false;
    // A simple object's mesh is what its conversion would copy: it is read where it is.
    if (auto* simple = dynamic_cast<SimpleObjectBase*>(obj)) {
        simple->UpdateMesh(t);
        out.node = node;
        out.name = ToUTF8(node->GetName());
        out.objectTM = node->GetObjectTM(t);
        out.owned = Mesh();
        out.shared = &simple->mesh;
        out.material = node->GetMtl();
        out.wireColor = node->GetWireColor();
        return true;
    }
    Object* converted = obj->ConvertToType(t, triObjectClassID);
    if (!converted) return false;
    auto* tri = dynamic_cast<TriObject*>(converted);
    if (!tri) {
        // A conversion that answers with something else is the object's fault; it is not
        // geometry the writers can take.
        if (converted != obj) converted->DeleteMe();
        return false;
    }
    out.node = node;
    out.name = ToUTF8(node->GetName());
    out.objectTM = node->GetObjectTM(t);
    out.material = node->GetMtl();
    out.wireColor = node->GetWireColor();
    if (converted == obj) {
        // An editable mesh is its own result.
        out.owned = Mesh();
        out.shared = &tri->mesh;
    } else {
        // A conversion's result is a temporary the caller owns: its mesh is taken over.
        out.owned = std::move(tri->mesh);
        out.shared = nullptr;
        converted->DeleteMe();
    }
    return true;
}

std::vector<EvaluatedNode> EvaluateScene(Scene& scene, TimeValue t) {
    std::vector<EvaluatedNode> result;
    for (Node* node : scene.Nodes()) {
        EvaluatedNode evaluated;
        if (EvaluateNode(node, t, evaluated)) result.push_back(std::move(evaluated));
    }
    return result;
}

void EvaluateShownNodes(Scene& scene, TimeValue t) {
    for (Node* node : scene.Nodes()) {
        if (!IsShown(node)) continue;
        Object* obj = node->EvalWorldState(t).obj;
        if (!obj) continue;
        Box3 box;
        obj->GetWorldBoundBox(t, node, nullptr, box);
    }
}

}  // namespace host
