// IMeshDisplay2: a mesh's display interface, which turns the mesh into render items for the
// viewport; a mesh hands it out for IMesh_DISPLAY2_INTERFACE_ID (Mesh::GetInterface). An object
// whose result is a mesh draws it from its PrepareDisplay and UpdatePerNodeItems:
//
//   GenerateMeshRenderItemsContext context;
//   context.GenerateDefaultContext(displayContext);
//   meshDisplay->PrepareDisplay(context);                     // once per change of the mesh
//   ...
//   context.RemoveInvisibleMeshElementDescriptions(nodeContext.GetRenderNode());
//   meshDisplay->GetRenderItems(context, nodeContext, container);   // per node
//
// PrepareDisplay takes a snapshot of the mesh (vertex positions, the triangles of the faces that
// are not hidden and whose corners exist, their visible edges, each edge once), as the viewport
// uploads its buffers; GetRenderItems adds one item per element description of the context,
// made from that snapshot, and answers false (adding nothing) when nothing was prepared.
#pragma once

#include <vector>

#include "../baseinterface.h"
#include "IRenderItemContainer.h"
#include "RenderItemHandle.h"
#include "RenderNodeHandle.h"
#include "UpdateDisplayContext.h"
#include "UpdateNodeContext.h"

constexpr Interface_ID IMesh_DISPLAY2_INTERFACE_ID(0x177B2945, 0x776A1F62);

namespace MaxSDK::Graphics {

// One part of the mesh to draw.
struct MeshElementDescription {
    MeshElementType type = MeshElementTypeSolidMesh;
};

class GenerateMeshRenderItemsContext {
public:
    // The element descriptions the viewport's shading asks for: shaded faces when it shows
    // them, then the wireframe when it shows edges.
    void GenerateDefaultContext(const UpdateDisplayContext& updateDisplayContext);
    // Removes every description the node does not show: all of them for a node that is hidden
    // (by itself or by its layer), none otherwise.
    void RemoveInvisibleMeshElementDescriptions(const RenderNodeHandle& renderNode);

    std::vector<MeshElementDescription> mMeshElementDescriptions;
};

class IMeshDisplay2 : public BaseInterface {
public:
    Interface_ID GetID() override { return IMesh_DISPLAY2_INTERFACE_ID; }
    BaseInterface* GetInterface(Interface_ID id) override {
        return id == IMesh_DISPLAY2_INTERFACE_ID ? this : BaseInterface::GetInterface(id);
    }
    virtual bool PrepareDisplay(
        const GenerateMeshRenderItemsContext& generateRenderItemsContext) = 0;
    virtual bool GetRenderItems(const GenerateMeshRenderItemsContext& generateRenderItemsContext,
                                UpdateNodeContext& nodeContext,
                                IRenderItemContainer& targetRenderItemContainer) = 0;
};

}  // namespace MaxSDK::Graphics
