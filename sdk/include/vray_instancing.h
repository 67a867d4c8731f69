// The instancing hook the host's V-Ray renderer publishes while it renders (a core interface,
// found with GetCOREInterface(VRAY_INSTANCING_INTERFACE)): a plug-in library that turns an
// object's copies into renderer instances registers an instance source, and at every frame the
// renderer asks each source for its instances. The renderer forgets every source when it closes,
// before the host sends NOTIFY_POST_RENDER, so a library unloaded at render end is never called
// again.
#pragma once

#include "ifnpub.h"
#include "matrix3.h"
#include "maxtypes.h"

class INode;
class Mtl;

#define VRAY_INSTANCING_INTERFACE Interface_ID(0x3E6A0C15, 0x7B2D4F81)

// Receives one frame's instances: the source node's geometry (object space) drawn at `tm`
// (object space to world) with material `mtl` (null: the source node's own material).
class VRayInstanceSink {
public:
    virtual void AddInstance(INode* source, const Matrix3& tm, Mtl* mtl) = 0;

protected:
    ~VRayInstanceSink() = default;
};

// A registered source: hands the renderer its instances for the frame at time t.
class VRayInstanceSource {
public:
    virtual void CollectInstances(TimeValue t, VRayInstanceSink& sink) = 0;

protected:
    ~VRayInstanceSource() = default;
};

class IVRayInstancing : public FPStaticInterface {
public:
    // Registers `source` for the object on `objectNode` until the renderer closes.
    virtual void AddInstanceSource(INode* objectNode, VRayInstanceSource* source) = 0;
};
