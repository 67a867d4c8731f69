#include "evaluated_scene.h"

#include "box3.h"
#include "imtl.h"
#include "inode.h"
#include "object.h"
#include "scene.h"
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
    out.mesh = tri->mesh;
    out.material = node->GetMtl();
    out.wireColor = node->GetWireColor();
    // A conversion result other than the object itself is a temporary the caller owns.
    if (converted != obj) converted->DeleteMe();
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
