// Trellon: the procedural object that fills a picked spline with copies of scene objects.
//
// All persistent state lives in the parameter block, reference 0 (param_ids.h). The object also
// carries the render instancing interface, so a renderer reaches it by asking the object for
// TRELLON_RENDER_INTERFACE, and the set-up interface (setup_fp.h) for TRELLON_SETUP_INTERFACE.
//
// Life of an object: the constructor builds the block, seeds the pool generator from the
// calendar time and subscribes to the host's file and render notifications; the destructor
// unsubscribes. Every change reaches NotifyRefChanged through the block (which parameter:
// LastNotifyParamID). A change to anything the object builds or draws from invalidates the
// mesh at once, so the next evaluation rebuilds whatever else happens; some changes also
// rebuild at once (RefreshObject), the others are shown by a redraw that evaluates. Between the
// file-open notifications, and while a list edit changes several tables in a row, Ready is 0
// and nothing rebuilds or redraws; the file's post-open notification invalidates the mesh, so
// the first build after a load sees the whole state.
// The item tables are edited only through trellon::ItemTables (item_tables.h).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "iparamb2.h"
#include "matrix3.h"
#include "notify.h"
#include "object/setup_fp.h"
#include "random.h"
#include "render/render_fp.h"
#include "simpobj.h"
#include "strclass.h"
#include "tab.h"
#include "windows.h"

class ILayer;
class IObjParam;
class IParamMap2;
class Mtl;
class Spline3D;

namespace trellon {

class KavoBridge;

class Trellon : public SimpleObject2,
                public KavoInstancer::TrellonRenderFP,
                public trellon::TrellonSetupFP {
public:
    // Builds the parameter block into reference 0 through the class descriptor.
    Trellon();
    ~Trellon() override;

    // Identity.
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    Class_ID ClassID() override;
    void GetClassName(MSTR& s) override;
    const MCHAR* GetObjectName() override;
    // New nodes are named "Trellon_" plus the number the host appends.
    void InitNodeName(MSTR& s) override { s = _M("Trellon_"); }
    void DeleteThis() override { delete this; }

    // The render and set-up interfaces for their IDs; every other ID goes to the object base.
    using SimpleObject2::GetInterface;
    BaseInterface* GetInterface(Interface_ID id) override;
    // The set-up interface works on this object.
    Trellon& SetupTarget() override { return *this; }

    // The one parameter block: sub-animatable 0, reference 0, and every block index.
    int NumSubs() override { return 1; }
    Animatable* SubAnim(int i) override { return i == 0 ? pblock2 : nullptr; }
    // The host asks for seven blocks; every index answers with the one block.
    int NumParamBlocks() override { return 7; }
    IParamBlock2* GetParamBlock(int /*i*/) override { return pblock2; }
    IParamBlock2* GetParamBlockByID(BlockID id) override;
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int /*i*/) override { return pblock2; }

    // The one creation callback, bound to this object (create_callback.cpp).
    CreateMouseCallBack* GetCreateMouseCallBack() override;
    // Reacts to the block's messages only (parameter changes, the path's modifier stack
    // changing, node entries nulled by deleted nodes); always REF_SUCCEED.
    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override;
    // A new object whose block is the remap's copy of this one's: the same path, items and
    // shapes (nodes are shared), independent settings from then on.
    ReferenceTarget* Clone(RemapDir& remap) override;
    // The build driver (build_driver.cpp).
    void BuildMesh(TimeValue t) override;

    // Evaluation: the object is its own result, valid only at the time asked for.
    ObjectState Eval(TimeValue /*t*/) override { return ObjectState(this); }
    Interval ObjectValidity(TimeValue t) override { return Interval(t, t); }
    // Conversion and collapse: the built mesh, as any simple object offers it.
    int CanConvertToType(Class_ID obtype) override {
        return SimpleObject2::CanConvertToType(obtype);
    }
    Object* ConvertToType(TimeValue t, Class_ID obtype) override {
        return SimpleObject2::ConvertToType(t, obtype);
    }
    void GetCollapseTypes(Tab<Class_ID>& clist, Tab<MSTR*>& nlist) override {
        SimpleObject2::GetCollapseTypes(clist, nlist);
    }
    // A new mesh the host deletes (needDelete TRUE). The distributed items reach a renderer as
    // instances or fallback nodes, never through this mesh; the swept shapes' render variant
    // fills it once the sweep is built, until then it is empty.
    Mesh* GetRenderMesh(TimeValue t, INode* inode, View& view, BOOL& needDelete) override;

    // The viewport (display/trellon_display.cpp). In the proxy modes (Display_Mode 0 to 3)
    // Display draws markers for the copies and sweeps, and hit testing adds them to the mesh;
    // in the mesh modes the host draws the mesh through PrepareDisplay and UpdatePerNodeItems.
    // PrepareDisplay rebuilds (RefreshObject) whenever the mesh is not valid at the host's time,
    // in every mode: a change that only invalidated it, or a file just opened, reaches the view;
    // the redraw the rebuild asks for then finds it valid, so an always-empty proxy-mode mesh
    // does not rebuild on every redraw. The bounding boxes are estimated from the path and the
    // items in the proxy modes (display/proxy_bounds.h).
    int Display(TimeValue t, INode* inode, ViewExp* vpt, int flags) override;
    int HitTest(TimeValue t, INode* inode, int type, int crossing, int flags, IPoint2* p,
                ViewExp* vpt) override;
    void Snap(TimeValue t, INode* inode, SnapInfo* snap, IPoint2* p, ViewExp* vpt) override;
    void GetLocalBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;
    void GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) override;
    bool PrepareDisplay(
        const MaxSDK::Graphics::UpdateDisplayContext& prepareDisplayContext) override;
    bool UpdatePerNodeItems(
        const MaxSDK::Graphics::UpdateDisplayContext& updateDisplayContext,
        MaxSDK::Graphics::UpdateNodeContext& nodeContext,
        MaxSDK::Graphics::IRenderItemContainer& targetRenderItemContainer) override;

    // The render interface (render/render_calls.cpp): the instance lists of the render in
    // progress, filled by PrepareInstances from the placement at RenderTime.
    int PrepareInstances() override;
    INode* GetSourceNode(int sourceIndex) override;
    int GetInstanceCount() override;
    // An instance outside the lists gives -1, the identity and no material (and moves no
    // material cursor): a caller's mistake must not bring the host down.
    int GetInstanceSource(int instance) override;
    Matrix3 GetInstanceTM(int instance) override;
    Matrix3 GetSourceOffsetTM(INode* node) override;
    Mtl* GetInstanceMtl(int instance) override;
    TimeValue GetRenderTime(int unused) override;
    // The command panel (ui/rollouts.cpp): the create panel (flags BEGIN_EDIT_CREATE) shows the
    // title rollout, the modify panel (flags 0) all seven; EndEditParams ends a pick mode and
    // closes them.
    void BeginEditParams(IObjParam* ip, ULONG flags, Animatable* prev) override;
    void EndEditParams(IObjParam* ip, ULONG flags, Animatable* next) override;

    // The common last step of every edit: rebuild at the host's current time, tell the
    // dependents, redraw the viewports.
    void RefreshObject();
    // Asks the block's descriptor to refresh every open rollout.
    void InvalidateUI();

    // Holds Ready at 0 for its lifetime (an edit of several parameters in a row), then puts
    // back what it was. WasReady tells whether the edit should end in a refresh.
    class ReadyHold {
    public:
        explicit ReadyHold(Trellon& object) : object_(object), saved_(object.Ready) {
            object.Ready = 0;
        }
        ~ReadyHold() { object_.Ready = saved_; }
        ReadyHold(const ReadyHold&) = delete;
        ReadyHold& operator=(const ReadyHold&) = delete;
        bool WasReady() const { return saved_ == 1; }

    private:
        Trellon& object_;
        int saved_;
    };

    // The node that shows this object: the first node among its dependents, or null while the
    // object has none yet.
    INode* FindNode();

    // Length of segment i of spline between parameters u0 and u1, with the points moved o
    // sideways (distribute/segment_length.cpp). Uses none of the object's state.
    float SegmentLength(Spline3D& spline, int i, float u0, float u1, float o);

    // The object's own fast generator (xorshift with Marsaglia's seeds), for the render and
    // colour variation.
    std::array<std::uint32_t, 3> PickGenerator{123456789u, 362436069u, 521288629u};

    // Render-time state: empty outside a render.
    std::vector<std::int32_t> InstanceSources;   // per instance, its source index
    std::vector<Matrix3> InstanceTMs;            // per instance, its world transform
    std::vector<Mtl*> CreatedMtls;               // materials made by colour variation
    std::vector<std::vector<Mtl*>> VariantMtls;  // per source index, the materials it cycles
    std::vector<std::int32_t> VariantCursors;    // per source index, materials handed out
    std::vector<std::int32_t> MtlIdStep;         // per source index, ID step between variants
    std::vector<std::int32_t> MeshNodeCount;     // per source index, mesh nodes made for it
    Tab<INode*> TempNodes;                       // nodes made for the render in progress
    Tab<INode*> ExportNodes;                     // nodes made by the export to geometry
    TimeValue RenderTime = 0;
    // The route of the render in progress (render/render_session.h).
    trellon::KavoBridge* BridgeObject = nullptr;  // the bridge library's object while in use
    HMODULE BridgeModule = nullptr;               // the loaded bridge library
    INode* BridgeNode = nullptr;                  // the bridge's node, deleted after the render
    int NativeInstancing = 0;                     // 1 while Corona reads the lists itself
    ILayer* SavedCurrentLayer = nullptr;          // the current layer before the render
    ILayer* SwitchedLayer = nullptr;              // the layer made current for the render

    // Draws the random pools; seeded from the calendar time, so each object draws its own.
    Random Generator;

    // Points of the last proxy drawing refused for memory: the drawers say so once per count,
    // not on every redraw (object/mesh_fit.h).
    std::int64_t RefusedProxyPoints = -1;

    // Texts of the camera label and of the path pick button.
    MSTR CameraLabel;
    MSTR PathLabel;

    // The open rollouts, one slot per parameter map number 0 .. 10; null while closed.
    std::array<IParamMap2*, 11> ParamMaps{};

    // Selected row of the object rollout's list; -1 for none.
    int SelectedRow = -1;
    // Selected row of the sweep rollout's list (0 "All Sweeps"); -1 for none.
    int SelectedSweepRow = -1;
    // 0 while a file is being opened or a list edit changes several parameters in a row:
    // refreshes driven by notifications are skipped meanwhile.
    int Ready = 1;
    // Time of the last refresh.
    TimeValue Time = 0;
    // The host's interface while the object's parameters are being edited.
    IObjParam* Interface = nullptr;

private:
    void SetReference(int i, RefTargetHandle rtarg) override;

    // The host's notifications, with this object as the parameter.
    static void OnNotify(void* param, NotifyInfo* info);
    void OnParamChanged(ParamID id);
    void OnTableEntryNulled(ParamID id);
    // Path_Length from the path's splines, when the path's length changed; true when that
    // refreshed the object.
    bool UpdatePathLength();
    // Tells the dependents and redraws without building: the next evaluation rebuilds.
    void ShowChange();
    // After a deletion emptied item or shape entries: invalidate, and refresh when asked.
    void AfterItemsRemoved(bool refresh);
    // Bakes the path node's modifier stack into a plain shape.
    void CollapsePathStack();

    // Set while RefreshObject runs: a parameter written by the build (the display mode lowered
    // by the polygon limit) must not start a second build inside the first.
    bool refreshing_ = false;
    // Set while BuildMesh runs: a build asked for inside it (a refresh reached from a parameter
    // the build writes) leaves the mesh to the build in progress, and the block's notifications
    // of those writes change nothing.
    bool building_ = false;
    // Set while the open rollouts refresh themselves (InvalidateUI).
    bool refreshingUI_ = false;
};

}  // namespace trellon
