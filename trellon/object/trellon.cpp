#include "object/trellon.h"

#include <algorithm>

#include "colour/variants.h"
#include "hold.h"
#include "inode.h"
#include "maxapi.h"
#include "object/display_mode.h"
#include "object/item_tables.h"
#include "object/param_ids.h"
#include "plugin/class_desc.h"
#include "plugin/plugin.h"
#include "render/render_session.h"
#include "resource.h"
#include "splshape.h"
#include "sweep/sweep_builder.h"
#include "windows.h"

namespace trellon {
namespace {

// The host notifications the object subscribes to, each with the object as the parameter.
constexpr int kNotifications[] = {
    NOTIFY_PRE_RENDER,       NOTIFY_POST_RENDER,   NOTIFY_RENDER_PREEVAL,
    NOTIFY_POST_RENDERFRAME, NOTIFY_FILE_PRE_OPEN, NOTIFY_FILE_POST_OPEN,
};

// Render start and frame start carry a pointer to the render time; without one, the host's time.
TimeValue RenderTimeOf(const NotifyInfo* info) {
    if (info->callParam) return *static_cast<const TimeValue*>(info->callParam);
    ::Interface* ip = GetCOREInterface();
    return ip ? ip->GetTime() : 0;
}

constexpr const MCHAR* kPickPathLabel = _M("< Pick Spline Path >");
constexpr const MCHAR* kPickCameraLabel = _M("< Pick Camera >");

// Parameters whose change rebuilds at once: the layout of every copy depends on them.
bool IsLayoutParam(ParamID id) {
    return id == Geo_Pattern || id == Geo_Follow || id == Geo_Follow_Ori || id == Display_Mode;
}

// Per-item settings edited on the object rollout.
bool IsItemParam(ParamID id) {
    switch (id) {
        case KnotSpacing:
        case KnotThresh:
        case Item_Spacing:
        case Item_Spacing_Random:
        case Item_Random_Trans:
        case Item_Check_1118:
        case Item_Start_Offset:
        case Item_End_Offset:
        case Item_Pos_InOut:
        case Item_Pos_InOut_Random:
        case Item_Z_Pos:
        case Item_Z_Pos_Random:
        case Item_X_Rot:
        case Item_X_Rot_Random:
        case Item_Y_Rot:
        case Item_Y_Rot_Random:
        case Item_Z_Rot:
        case Item_Z_Rot_Random:
        case Item_Extra_Rot:
        case Item_Extra_Rot_Random:
        case Item_Unify_Scale:
        case Item_X_Scale:
        case Item_X_Scale_Random:
        case Item_Y_Scale:
        case Item_Y_Scale_Random:
        case Item_Z_Scale:
        case Item_Z_Scale_Random:
        case Item_Mirror_Box:
        case Item_Mirror:
        case Item_Mirror2:
        case Item_Check_1013:
        case Item_Repeat_Count:
        case Item_Repeat_Gap:
        case Item_Spin_1111:
            return true;
        default:
            return false;
    }
}

// Per-shape settings edited on the sweep rollout (126 to 129, 131 to 145, 155, 156).
bool IsSweepParam(ParamID id) {
    return (id >= Shape_Steps && id <= Sweep_Smooth_Angle) ||
           (id >= Sweep_Side_Offset && id <= Sweep_End_Trim) || id == Sweep_Double ||
           id == Sweep_Double_Offset;
}

// Parameters that nothing the object builds or draws reads: the texts and the staging
// checkboxes of the rollouts, the path's measured length, the values stored but never read, the
// colour variation (read by renderers, not by the build) and the camera. Every other parameter
// moves a copy, a sweep or a proxy, so a change leaves the mesh out of date whatever happens
// next (a build now, or the next evaluation). Listing the neutral ones rather than the others
// means a parameter the list forgets costs a rebuild, never a stale mesh.
bool LeavesResultAsItIs(ParamID id) {
    switch (id) {
        case Path_Length:
        case Reserved_Int_3:
        case Geo_Spacing:
        case Geo_UserSpacing:
        case Reserved_Bool_49:
        case Item_Names:
        case Sweep_Names:
        case Random_Trans:
        case Unify_Scale:
        case Mirror_Box:
        case Sweep_Unify_Scale_Staging:
        case Z_Pos:
        case Z_Pos_Random:
        case Pos_InOut:
        case Pos_InOut_Random:
        case Z_Rot:
        case Z_Rot_Random:
        case X_Scale:
        case X_Scale_Random:
        case Mirror:
        case Mirror2:
        case Sweep_Reserved_140:
        case Sweep_Reserved_141:
        case Sweep_Reserved_142:
        case Sweep_Reserved_143:
        case Cam_Radio:
        case CamNode:
        case CamClip:
        case FOV:
            return true;
        default:
            // The colour variation: the picked nodes and the colour and texture settings.
            return id >= Picked_Nodes_50 && id <= Texture_Name_Mode;
    }
}

// The sum of the lengths of every spline of obj, through a spline shape; FALSE when obj is no
// shape and cannot become one.
BOOL PathSplinesLength(Object* obj, TimeValue t, float& length) {
    if (!obj) return FALSE;
    Object* shape = obj;
    if (obj->ClassID() != splineShapeClassID) {
        if (!obj->CanConvertToType(splineShapeClassID)) return FALSE;
        shape = obj->ConvertToType(t, splineShapeClassID);
        if (!shape) return FALSE;
    }
    BOOL ok = FALSE;
    if (shape->IsShapeObject()) {
        auto* curves = static_cast<ShapeObject*>(shape);
        length = 0.0f;
        for (int i = 0; i < curves->NumberOfCurves(t); ++i) length += curves->LengthOfCurve(t, i);
        ok = TRUE;
    }
    // A converted copy is ours alone; the path's own object stays.
    if (shape != obj) shape->DeleteThis();
    return ok;
}

}  // namespace

Trellon::Trellon() {
    // Every object draws its own pools: the generator starts from the calendar time.
    Generator.srand(static_cast<unsigned int>(_time64(nullptr)));
    if (::Interface* ip = GetCOREInterface()) Time = ip->GetTime();
    trellon::GetTrellonDesc()->MakeAutoParamBlocks(this);
    for (int code : kNotifications) RegisterNotification(OnNotify, this, code);
}

// The reference system releases the parameter block when the maker goes.
Trellon::~Trellon() { UnRegisterNotification(OnNotify, this); }

Class_ID Trellon::ClassID() { return TRELLON_CLASS_ID; }

void Trellon::GetClassName(MSTR& s) { s = trellon::GetString(IDS_CLASS_NAME); }

const MCHAR* Trellon::GetObjectName() { return trellon::GetString(IDS_CLASS_NAME); }

BaseInterface* Trellon::GetInterface(Interface_ID id) {
    if (id == TRELLON_RENDER_INTERFACE) return static_cast<KavoInstancer::TrellonRenderFP*>(this);
    if (id == TRELLON_SETUP_INTERFACE) return static_cast<trellon::TrellonSetupFP*>(this);
    return SimpleObject2::GetInterface(id);
}

IParamBlock2* Trellon::GetParamBlockByID(BlockID id) {
    return pblock2 && pblock2->ID() == id ? pblock2 : nullptr;
}

void Trellon::SetReference(int i, RefTargetHandle rtarg) {
    if (i == 0) pblock2 = dynamic_cast<IParamBlock2*>(rtarg);
}

void Trellon::OnNotify(void* param, NotifyInfo* info) {
    auto* self = static_cast<Trellon*>(param);
    if (!self || !info) return;
    switch (info->intcode) {
        case NOTIFY_FILE_PRE_OPEN:
            // The host is about to load parameters; nothing rebuilds until the file is open.
            self->Ready = 0;
            break;
        case NOTIFY_FILE_POST_OPEN:
            // The whole state is in: the first evaluation from now on builds from it.
            self->Ready = 1;
            self->InvalidateMesh();
            break;
        case NOTIFY_PRE_RENDER:
            trellon::OnRenderStart(*self, RenderTimeOf(info));
            break;
        case NOTIFY_RENDER_PREEVAL:
            trellon::OnFrameStart(*self, RenderTimeOf(info));
            break;
        case NOTIFY_POST_RENDERFRAME:
            // Every frame hands out the variant materials from the first one again.
            trellon::OnFrameEnd(*self);
            break;
        case NOTIFY_POST_RENDER:
            trellon::OnRenderEnd(*self);
            break;
        default:
            break;
    }
}

ReferenceTarget* Trellon::Clone(RemapDir& remap) {
    auto* copy = new Trellon();
    copy->ReplaceReference(0, remap.CloneRef(pblock2));
    copy->RefreshObject();
    BaseClone(this, copy, remap);
    return copy;
}

void Trellon::RefreshObject() {
    if (refreshing_) return;
    refreshing_ = true;
    ::Interface* ip = GetCOREInterface();
    if (ip) Time = ip->GetTime();
    ivalid.SetEmpty();
    UpdateMesh(Time);
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    if (ip) ip->RedrawViews(Time);
    refreshing_ = false;
}

void Trellon::InvalidateUI() {
    // A rollout refreshing itself may write a parameter; that does not refresh again.
    if (!pblock2 || refreshingUI_) return;
    refreshingUI_ = true;
    if (ParamBlockDesc2* desc = pblock2->GetDesc()) desc->InvalidateUI();
    refreshingUI_ = false;
}

Mesh* Trellon::GetRenderMesh(TimeValue t, INode* /*inode*/, View& /*view*/, BOOL& needDelete) {
    // The swept shapes only, every one of them whatever Sweep_Solo says; the distributed items
    // reach the renderer as instances or fallback nodes.
    Mesh* render = new Mesh();
    trellon::BuildRenderSweeps(*this, *render, t);
    needDelete = TRUE;
    return render;
}

RefResult Trellon::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle hTarget,
                                    PartID& /*partID*/, RefMessage message, BOOL /*propagate*/) {
    if (!pblock2 || hTarget != pblock2) return REF_SUCCEED;
    const ParamID id = pblock2->LastNotifyParamID();
    switch (message) {
        case REFMSG_CHANGE:
            OnParamChanged(id);
            break;
        case REFMSG_SUBANIM_STRUCTURE_CHANGED:
            // The path node's pipeline changed: a modifier was added to the path.
            if (id == Spline_Obj) CollapsePathStack();
            break;
        case REFMSG_TAB_ELEMENT_NULLED:
            OnTableEntryNulled(id);
            break;
        default:
            break;
    }
    return REF_SUCCEED;
}

void Trellon::OnParamChanged(ParamID id) {
    // The build writes Display_Mode (the polygon limit) and Geo_Array itself, and ends by
    // marking the mesh it made valid: its own writes neither invalidate nor refresh.
    if (building_) return;
    // Open rollouts show the block as it is now, whoever changed it (an undo included); while a
    // list edit is half done they wait for its end, which refreshes them itself.
    if (Ready == 1) InvalidateUI();
    // Whatever happens below, the mesh no longer shows the block: the next evaluation rebuilds
    // it, also while Ready is 0 (a file being opened, a list edit half done).
    const bool changesResult = !LeavesResultAsItIs(id);
    if (changesResult) InvalidateMesh();
    const bool meshMode = trellon::IsMeshMode(trellon::ReadDisplayMode(*pblock2, Time));
    if (id == CamNode) {
        // A single node parameter reports its deleted node as a change, with the entry null.
        if (pblock2->GetINode(CamNode, Time) == nullptr) CameraLabel = kPickCameraLabel;
        return;
    }
    // Moving a colour slider draws the colour offsets anew: the pools empty, and the next render
    // or export fills them again. A file being opened keeps the offsets it saved.
    if (Ready == 1 && (id == Hue_Shift || id == Saturation || id == Brightness || id == Contrast)) {
        trellon::ClearColourPools(*pblock2);
        return;
    }
    if (id == Spline_Obj && pblock2->GetINode(Spline_Obj, Time) == nullptr) {
        // The path was deleted (or cleared): the pick button asks for a new one, and the
        // object falls back to its look without a path.
        PathLabel = kPickPathLabel;
    }
    // Everything else waits while the file loads or a list edit is half done. The path is not
    // measured then either: a loaded Path_Length stands as saved, whatever order the file
    // gives its settings in, and picking a path measures it itself.
    if (Ready != 1) return;
    bool rebuilt = false;
    if (id == Spline_Obj) {
        if (pblock2->GetINode(Spline_Obj, Time) == nullptr) {
            RefreshObject();
            rebuilt = true;
        } else if (meshMode) {
            rebuilt = UpdatePathLength();
        }
    } else if (IsLayoutParam(id)) {
        RefreshObject();
        rebuilt = true;
    } else if (id == Spline_Steps) {
        // The path shows the steps only while the spline rollout, where they are set, is open.
        if (ParamMaps[map_spline] != nullptr) {
            INode* path = pblock2->GetINode(Spline_Obj, Time);
            Object* obj = path ? path->GetObjectRef() : nullptr;
            if (obj && obj->ClassID() == splineShapeClassID) {
                static_cast<SplineShape*>(obj)->SetSteps(pblock2->GetInt(Spline_Steps, Time));
            }
        }
        if (meshMode) {
            RefreshObject();
            rebuilt = true;
        }
    } else if (IsItemParam(id) || IsSweepParam(id) || id == Picked_Nodes_50) {
        // The rollouts bring their controls for the selected row up to date when they are
        // open (ui/); the mesh follows here, in the modes whose mesh holds the copies.
        if (meshMode) {
            RefreshObject();
            rebuilt = true;
        }
    }
    // In the proxy modes, and for the settings no rule above rebuilds for (the pools, the
    // solo entries, DetachPath, the logo...), the change is shown without a build here: the
    // redraw evaluates the object, which rebuilds (and runs the polygon estimate) before a
    // proxy is drawn.
    if (!rebuilt && changesResult) ShowChange();
}

void Trellon::ShowChange() {
    NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    if (::Interface* ip = GetCOREInterface()) ip->RedrawViews(ip->GetTime());
}

bool Trellon::UpdatePathLength() {
    INode* path = pblock2->GetINode(Spline_Obj, Time);
    if (!path || !FindNode()) return false;
    const ObjectState& os = path->EvalWorldState(Time);
    float length = 0.0f;
    if (!PathSplinesLength(os.obj, Time, length)) return false;
    if (length == pblock2->GetFloat(Path_Length, Time)) return false;
    pblock2->SetValue(Path_Length, Time, length);
    if (Ready != 1) return false;
    RefreshObject();
    return true;
}

void Trellon::CollapsePathStack() {
    INode* path = pblock2->GetINode(Spline_Obj, Time);
    if (!path || !FindNode()) return;
    Object* stack = path->GetObjectRef();
    if (!stack || stack->SuperClassID() != GEN_DERIVOB_CLASS_ID) return;
    // The collapse is the object's own housekeeping, not a step the user could undo: the path
    // must stay a plain shape, whatever the undo history.
    theHold.Suspend();
    const ObjectState os = stack->Eval(Time);
    Object* baked = nullptr;
    if (os.obj) {
        RemapDir* remap = NewDefaultRemapDir();
        baked = dynamic_cast<Object*>(remap->CloneRef(os.obj));
        remap->DeleteThis();
    }
    if (baked) {
        // The node lets go of the stack (deleting it) and shows the copy of its result.
        path->SetObjectRef(baked);
        path->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    }
    theHold.Resume();
}

void Trellon::AfterItemsRemoved(bool refresh) {
    // The mesh is out of date either way; while Ready is 0 the rebuild waits for the next
    // evaluation instead of never coming.
    InvalidateMesh();
    if (refresh) RefreshObject();
}

void Trellon::OnTableEntryNulled(ParamID id) {
    switch (id) {
        case Object_Nodes:
        case Post_Nodes:
        case End_Nodes: {
            const auto list = id == Object_Nodes ? trellon::ItemList::Objects
                              : id == Post_Nodes ? trellon::ItemList::Posts
                                                 : trellon::ItemList::Ends;
            bool removed = false;
            bool refresh = false;
            {
                ReadyHold hold(*this);
                refresh = hold.WasReady();
                trellon::ItemTables tables(pblock2, Time);
                removed = tables.RemoveNulledItems(list) > 0;
                if (removed) {
                    // The object rollout goes back to the "All Objects" entry.
                    if (pblock2->Count(Item_Random_Trans) > 0) {
                        pblock2->SetValue(Random_Trans, Time,
                                          pblock2->GetInt(Item_Random_Trans, Time, 0));
                    }
                    if (pblock2->Count(Item_Unify_Scale) > 0) {
                        pblock2->SetValue(Unify_Scale, Time,
                                          pblock2->GetInt(Item_Unify_Scale, Time, 0));
                    }
                }
            }
            if (removed) AfterItemsRemoved(refresh);
            break;
        }
        case Sweep_Nodes: {
            bool removed = false;
            bool refresh = false;
            {
                ReadyHold hold(*this);
                refresh = hold.WasReady();
                removed = trellon::ItemTables(pblock2, Time).RemoveNulledSweeps() > 0;
            }
            if (removed) AfterItemsRemoved(refresh);
            break;
        }
        case Picked_Nodes_50:
            for (int i = pblock2->Count(Picked_Nodes_50) - 1; i >= 0; --i) {
                if (pblock2->GetINode(Picked_Nodes_50, Time, i) == nullptr) {
                    pblock2->Delete(Picked_Nodes_50, i, 1);
                }
            }
            break;
        case CamNode:
            if (pblock2->GetINode(CamNode, Time) == nullptr) CameraLabel = kPickCameraLabel;
            break;
        case Spline_Obj:
            if (pblock2->GetINode(Spline_Obj, Time) == nullptr) PathLabel = kPickPathLabel;
            break;
        default:
            break;
    }
}

namespace {

// Stops at the first node among the object's dependents. The enumeration starts with the object
// itself; whatever stands between the object and its node (a modifier stack's derived object)
// is passed through, so an object under modifiers still finds the node that shows it.
class FindNodeProc : public DependentEnumProc {
public:
    explicit FindNodeProc(const ReferenceTarget* object) : object_(object) {}
    int proc(ReferenceMaker* rmaker) override {
        if (rmaker == object_) return DEP_ENUM_CONTINUE;
        if (rmaker && rmaker->SuperClassID() == BASENODE_CLASS_ID) {
            node = static_cast<INode*>(rmaker);
            return DEP_ENUM_HALT;
        }
        return DEP_ENUM_CONTINUE;
    }
    INode* node = nullptr;

private:
    const ReferenceTarget* object_;
};

}  // namespace

INode* Trellon::FindNode() {
    FindNodeProc finder(this);
    DoEnumDependents(&finder);
    return finder.node;
}

}  // namespace trellon
