// Trellon: the procedural object that fills a picked spline with copies of scene objects.
//
// All persistent state lives in the parameter block, reference 0 (param_ids.h). The object also
// carries the render instancing interface, so a renderer reaches it by asking the object for
// TRELLON_RENDER_INTERFACE.
//
// This is the object's identity and parameter-block plumbing. The mesh build, the creation
// callback and the reactions to parameter changes are not here yet: BuildMesh leaves the mesh
// empty, GetCreateMouseCallBack answers null, and NotifyRefChanged takes no action.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "iparamb2.h"
#include "matrix3.h"
#include "random.h"
#include "render/render_fp.h"
#include "simpobj.h"
#include "strclass.h"
#include "tab.h"

class IObjParam;
class IParamMap2;
class Mtl;
class Spline3D;

class Trellon : public SimpleObject2, public KavoInstancer::TrellonRenderFP {
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

    // The render interface for its ID; every other ID goes to the object base.
    using SimpleObject2::GetInterface;
    BaseInterface* GetInterface(Interface_ID id) override;

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
    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override;
    // The build driver (build_driver.cpp).
    void BuildMesh(TimeValue t) override;

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
    std::vector<std::int32_t> InstanceSources;  // per instance, its source index
    std::vector<Matrix3> InstanceTMs;           // per instance, its world transform
    std::vector<Mtl*> CreatedMtls;              // materials made by colour variation
    std::vector<std::vector<Mtl*>> VariantMtls;  // per source index, the materials it cycles
    std::vector<std::int32_t> VariantCursors;    // per source index, materials handed out
    std::vector<std::int32_t> MtlIdStep;         // per source index, ID step between variants
    std::vector<std::int32_t> MeshNodeCount;     // per source index, mesh nodes made for it
    Tab<INode*> TempNodes;                       // nodes made for the render in progress
    Tab<INode*> ExportNodes;                     // nodes made by the export to geometry
    TimeValue RenderTime = 0;

    // Draws the random pools; seeded from the calendar time, so each object draws its own.
    Random Generator;

    // Texts of the camera label and of the path pick button.
    MSTR CameraLabel;
    MSTR PathLabel;

    // The open rollouts, one slot per parameter map number 0 .. 10; null while closed.
    std::array<IParamMap2*, 11> ParamMaps{};

    // Selected row of the object rollout's list; -1 for none.
    int SelectedRow = -1;
    // 0 while a file is being opened or a list edit changes several parameters in a row:
    // refreshes driven by notifications are skipped meanwhile.
    int Ready = 1;
    // Time of the last refresh.
    TimeValue Time = 0;
    // The host's interface while the object's parameters are being edited.
    IObjParam* Interface = nullptr;

private:
    void SetReference(int i, RefTargetHandle rtarg) override;
};
