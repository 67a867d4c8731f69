#include "object/create_callback.h"

#include <cmath>

#include "colour/palette.h"
#include "imtl.h"
#include "inode.h"
#include "maxapi.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "object/trellon_layer.h"

namespace trellon {
namespace {

TimeValue CurrentTime() {
    Interface* ip = GetCOREInterface();
    return ip ? ip->GetTime() : 0;
}

}  // namespace

TrellonCreateCallBack& GetTrellonCreateCallBack() {
    static TrellonCreateCallBack callback;
    return callback;
}

int TrellonCreateCallBack::proc(ViewExp* vpt, int msg, int point, int /*flags*/, IPoint2 m,
                                Matrix3& mat) {
    if (!vpt || !vpt->IsAlive()) return CREATE_STOP;
    switch (msg) {
        case MOUSE_FREEMOVE: {
            IPoint2 snapped;
            vpt->SnapPreview(m, snapped, nullptr, SNAP_IN_3D);
            return CREATE_CONTINUE;
        }
        case MOUSE_POINT:
        case MOUSE_MOVE:
            return OnPoint(*vpt, msg, point, m, mat);
        case MOUSE_ABORT:
            return CREATE_ABORT;
        default:
            return CREATE_CONTINUE;
    }
}

int TrellonCreateCallBack::OnPoint(ViewExp& vpt, int msg, int point, IPoint2 m, Matrix3& mat) {
    if (point >= 2) return CREATE_STOP;
    if (!ob_ || !ob_->pblock2) return CREATE_ABORT;
    const TimeValue t = CurrentTime();

    // The object must not snap to itself while it is being placed.
    ob_->suspendSnap = TRUE;
    if (point == 0) {
        sp0_ = m;
        IPoint2 snapped;
        p0_ = vpt.SnapPoint(m, snapped, nullptr, SNAP_IN_3D);
        mat.SetTrans(p0_);
        ob_->pblock2->SetValue(Logo_size, t, 0.0f);
        SetUpNewObject(t);
        return CREATE_CONTINUE;
    }

    // Point 1: the size is the drag measured along the construction plane's Y axis, whichever
    // way the mouse went.
    const float r =
        std::fabs(vpt.SnapLength(vpt.GetCPDisp(p0_, Point3(0.0f, 1.0f, 0.0f), sp0_, m)));
    ob_->pblock2->SetValue(Logo_size, t, r);
    ob_->mesh.InvalidateGeomCache();
    ob_->InvalidateMesh();
    ob_->UpdateMesh(t);
    if (msg != MOUSE_POINT) return CREATE_CONTINUE;
    // Placed: other objects may snap to it from now on.
    ob_->suspendSnap = FALSE;
    return CREATE_STOP;
}

void TrellonCreateCallBack::SetUpNewObject(TimeValue t) {
    // Many parameters change in a row; the drag rebuilds the mesh once they are all set.
    Trellon::ReadyHold hold(*ob_);
    if (INode* node = ob_->FindNode()) {
        AlignNodeToWorld(node, t);
        // Entry 0 of the palette is the object's own colour; the items take the others.
        node->SetWireColor(PaletteColourWord(0));
        AssignPaletteMaterial(node, t);
        PutOnTrellonLayer(node);
    }
    trellon::ItemTables(ob_->pblock2, t).AppendSharedEntries();
}

void AlignNodeToWorld(INode* node, TimeValue t) {
    if (!node) return;
    Matrix3 aligned{1};  // identity
    aligned.SetTrans(node->GetNodeTM(t).GetTrans());
    node->SetNodeTM(t, aligned);
}

void AssignPaletteMaterial(INode* node, TimeValue t) {
    if (!node) return;
    auto* multi =
        static_cast<MultiMtl*>(CreateInstance(MATERIAL_CLASS_ID, Class_ID(MULTI_CLASS_ID, 0)));
    if (!multi) return;
    // Named after the node, so the materials of several objects stay apart in the editor.
    MSTR base(node->GetName());
    base += _M("_Palette");
    multi->SetName(base);
    multi->SetNumSubMtls(kPaletteSize);
    for (int i = 0; i < kPaletteSize; ++i) {
        auto* sub =
            static_cast<Mtl*>(CreateInstance(MATERIAL_CLASS_ID, Class_ID(DMTL_CLASS_ID, 0)));
        if (!sub) continue;
        MSTR name;
        name.printf(_M("%ls_%02d"), base.data(), i);
        sub->SetName(name);
        sub->SetDiffuse(PaletteColour(i), t);
        multi->SetSubMtl(i, sub);
    }
    node->SetMtl(multi);
}

CreateMouseCallBack* Trellon::GetCreateMouseCallBack() {
    TrellonCreateCallBack& callback = GetTrellonCreateCallBack();
    callback.SetObj(this);
    return &callback;
}

}  // namespace trellon
