// The object in the viewport: legacy drawing, the current viewport's render items, bounds, hit
// testing and snapping (Trellon methods; see trellon.h).

#include "Graphics/IMeshDisplay2.h"
#include "display/display_dispatch.h"
#include "display/proxy_bounds.h"
#include "display/proxy_draw.h"
#include "graphwin.h"
#include "inode.h"
#include "maxapi.h"
#include "object/display_mode.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "viewexp.h"

namespace trellon {
namespace {

using MaxSDK::Graphics::GenerateMeshRenderItemsContext;
using MaxSDK::Graphics::IMeshDisplay2;

trellon::DisplayMode ModeAt(IParamBlock2* pb, TimeValue t) {
    return pb ? trellon::ReadDisplayMode(*pb, t) : trellon::DisplayMode::None;
}

IMeshDisplay2* MeshDisplay(Mesh& mesh) {
    return static_cast<IMeshDisplay2*>(mesh.GetInterface(IMesh_DISPLAY2_INTERFACE_ID));
}

// Saves a window's rendering limits and puts them back when it goes.
class RndLimitsScope {
public:
    RndLimitsScope(GraphicsWindow& gw, DWORD limits) : gw_(gw), saved_(gw.getRndLimits()) {
        gw.setRndLimits(limits);
    }
    ~RndLimitsScope() { gw_.setRndLimits(saved_); }
    RndLimitsScope(const RndLimitsScope&) = delete;
    RndLimitsScope& operator=(const RndLimitsScope&) = delete;

private:
    GraphicsWindow& gw_;
    DWORD saved_;
};

}  // namespace

int Trellon::Display(TimeValue t, INode* inode, ViewExp* vpt, int /*flags*/) {
    if (vpt == nullptr || !vpt->IsAlive() || inode == nullptr) return 0;
    GraphicsWindow* gw = vpt->getGW();
    if (gw == nullptr) return 0;
    gw->setTransform(inode->GetObjectTM(t));
    UpdateMesh(t);
    // The mesh modes are drawn by the current viewport from the mesh (PrepareDisplay).
    if (trellon::IsMeshMode(ModeAt(pblock2, t))) return 1;
    trellon::RunDisplayDispatcher(*this, t, *gw, inode);
    return 1;
}

bool Trellon::PrepareDisplay(const MaxSDK::Graphics::UpdateDisplayContext& prepareDisplayContext) {
    // A mesh that is out of date at the host's time (a change only invalidated it, a file was
    // just opened) goes through the rebuild-and-redraw step first, in every mode: the proxy
    // modes' estimate and group sequence live in that build too. The step's own redraw comes
    // back here with the mesh valid, so the chain ends after one round instead of rebuilding an
    // ever-empty proxy-mode mesh on every redraw.
    ::Interface* ip = GetCOREInterface();
    const TimeValue now = ip ? ip->GetTime() : prepareDisplayContext.GetDisplayTime();
    if (!ivalid.InInterval(now)) RefreshObject();
    if (mesh.getNumVerts() == 0) return false;
    IMeshDisplay2* display = MeshDisplay(mesh);
    if (display == nullptr) return false;
    GenerateMeshRenderItemsContext context;
    context.GenerateDefaultContext(prepareDisplayContext);
    display->PrepareDisplay(context);
    return true;
}

bool Trellon::UpdatePerNodeItems(
    const MaxSDK::Graphics::UpdateDisplayContext& updateDisplayContext,
    MaxSDK::Graphics::UpdateNodeContext& nodeContext,
    MaxSDK::Graphics::IRenderItemContainer& targetRenderItemContainer) {
    if (mesh.getNumVerts() == 0) return false;
    IMeshDisplay2* display = MeshDisplay(mesh);
    if (display == nullptr) return false;
    GenerateMeshRenderItemsContext context;
    context.GenerateDefaultContext(updateDisplayContext);
    context.RemoveInvisibleMeshElementDescriptions(nodeContext.GetRenderNode());
    display->GetRenderItems(context, nodeContext, targetRenderItemContainer);
    return true;
}

int Trellon::HitTest(TimeValue t, INode* inode, int type, int crossing, int hitFlags, IPoint2* p,
                     ViewExp* vpt) {
    if (vpt == nullptr || !vpt->IsAlive() || inode == nullptr || p == nullptr) return 0;
    GraphicsWindow* gw = vpt->getGW();
    if (gw == nullptr) return 0;
    HitRegion region;
    MakeHitRegion(region, type, crossing, 4, p);
    gw->setHitRegion(&region);
    const RndLimitsScope picking(*gw, (gw->getRndLimits() | GW_PICK) & ~GW_ILLUM);
    gw->clearHitCode();
    gw->setTransform(inode->GetObjectTM(t));
    UpdateMesh(t);
    int result = mesh.select(gw, gw->getMaterial(), &region, hitFlags & HIT_ABORTONHIT, 1);
    // The proxies are not in the mesh: the dispatcher draws them in the picking state.
    if (!trellon::IsMeshMode(ModeAt(pblock2, t))) {
        trellon::RunDisplayDispatcher(*this, t, *gw, inode);
        if (gw->checkHitCode()) result = TRUE;
    }
    return result;
}

void Trellon::Snap(TimeValue t, INode* inode, SnapInfo* snap, IPoint2* p, ViewExp* vpt) {
    if (suspendSnap || vpt == nullptr || !vpt->IsAlive() || inode == nullptr) return;
    GraphicsWindow* gw = vpt->getGW();
    if (gw == nullptr) return;
    Matrix3 tm = inode->GetObjectTM(t);
    gw->setTransform(tm);
    UpdateMesh(t);
    mesh.snap(gw, snap, p, tm);
}

void Trellon::GetLocalBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) {
    if (pblock2 != nullptr && trellon::UsesProxyBounds(*pblock2, t)) {
        box = trellon::EstimateProxyLocalBox(trellon::ReadProxyBoundsInput(*this, inode, t, vp));
        return;
    }
    SimpleObject2::GetLocalBoundBox(t, inode, vp, box);
}

void Trellon::GetWorldBoundBox(TimeValue t, INode* inode, ViewExp* vp, Box3& box) {
    if (pblock2 != nullptr && trellon::UsesProxyBounds(*pblock2, t)) {
        box = trellon::EstimateProxyWorldBox(trellon::ReadProxyBoundsInput(*this, inode, t, vp));
        return;
    }
    SimpleObject2::GetWorldBoundBox(t, inode, vp, box);
}

}  // namespace trellon
