// The mesh's viewport side: picking and snapping through a graphics window, and the display
// interface that turns the mesh into render items.

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include "Graphics/IMeshDisplay2.h"
#include "graphwin.h"
#include "inode.h"
#include "matrix3.h"
#include "mesh.h"
#include "object.h"

namespace MaxSDK::Graphics {

void GenerateMeshRenderItemsContext::GenerateDefaultContext(
    const UpdateDisplayContext& updateDisplayContext) {
    mMeshElementDescriptions.clear();
    if (updateDisplayContext.GetShowSolid()) {
        mMeshElementDescriptions.push_back({MeshElementTypeSolidMesh});
    }
    if (updateDisplayContext.GetShowWireframe()) {
        mMeshElementDescriptions.push_back({MeshElementTypeWireframe});
    }
}

void GenerateMeshRenderItemsContext::RemoveInvisibleMeshElementDescriptions(
    const RenderNodeHandle& renderNode) {
    INode* node = renderNode.GetMaxNode();
    if (node != nullptr && node->IsNodeHidden(TRUE)) mMeshElementDescriptions.clear();
}

namespace {

// The display interface of one Mesh object; it reads the mesh it belongs to.
class MeshDisplay2 : public IMeshDisplay2 {
public:
    explicit MeshDisplay2(Mesh& mesh) : mesh_(mesh) {}

    bool PrepareDisplay(const GenerateMeshRenderItemsContext& /*context*/) override {
        auto solid = std::make_shared<RenderItemGeometry>();
        solid->type = MeshElementTypeSolidMesh;
        solid->positions.assign(mesh_.verts, mesh_.verts + mesh_.numVerts);
        auto wire = std::make_shared<RenderItemGeometry>();
        wire->type = MeshElementTypeWireframe;
        wire->positions = solid->positions;
        const auto n = static_cast<DWORD>(mesh_.numVerts);
        for (int f = 0; f < mesh_.numFaces; ++f) {
            const Face& face = mesh_.faces[f];
            if (face.Hidden() || face.v[0] >= n || face.v[1] >= n || face.v[2] >= n) continue;
            const std::array<int, 3> tri = {static_cast<int>(face.v[0]),
                                            static_cast<int>(face.v[1]),
                                            static_cast<int>(face.v[2])};
            solid->triangles.push_back(tri);
            for (int e = 0; e < 3; ++e) {
                if (!face.getEdgeVis(e)) continue;
                const int a = tri[static_cast<std::size_t>(e)];
                const int b = tri[static_cast<std::size_t>((e + 1) % 3)];
                wire->edges.push_back({std::min(a, b), std::max(a, b)});
            }
        }
        // An edge two faces share is drawn once.
        std::sort(wire->edges.begin(), wire->edges.end());
        wire->edges.erase(std::unique(wire->edges.begin(), wire->edges.end()), wire->edges.end());
        solid_ = std::move(solid);
        wire_ = std::move(wire);
        return true;
    }

    bool GetRenderItems(const GenerateMeshRenderItemsContext& context,
                        UpdateNodeContext& /*nodeContext*/, IRenderItemContainer& target) override {
        if (!solid_) return false;
        for (const MeshElementDescription& d : context.mMeshElementDescriptions) {
            target.AddRenderItem(
                RenderItemHandle(d.type == MeshElementTypeWireframe ? wire_ : solid_));
        }
        return true;
    }

private:
    Mesh& mesh_;
    std::shared_ptr<const RenderItemGeometry> solid_;
    std::shared_ptr<const RenderItemGeometry> wire_;
};

}  // namespace
}  // namespace MaxSDK::Graphics

BaseInterface* Mesh::GetInterface(Interface_ID id) {
    if (id != IMesh_DISPLAY2_INTERFACE_ID) return nullptr;
    if (!display_) display_ = std::make_shared<MaxSDK::Graphics::MeshDisplay2>(*this);
    return display_.get();
}

BOOL Mesh::select(GraphicsWindow* gw, Material* /*ma*/, HitRegion* hr, int abortOnHit,
                  int /*numMat*/) {
    if (gw == nullptr) return FALSE;
    if (hr != nullptr) gw->setHitRegion(hr);
    const auto n = static_cast<DWORD>(numVerts);
    for (int f = 0; f < numFaces; ++f) {
        const Face& face = faces[f];
        if (face.Hidden() || face.v[0] >= n || face.v[1] >= n || face.v[2] >= n) continue;
        Point3 tri[3] = {verts[face.v[0]], verts[face.v[1]], verts[face.v[2]]};
        gw->triangle(tri, nullptr);
        if (abortOnHit && gw->checkHitCode()) return TRUE;
    }
    return gw->checkHitCode();
}

void Mesh::snap(GraphicsWindow* gw, SnapInfo* snap, IPoint2* p, Matrix3& tm) {
    if (gw == nullptr || snap == nullptr || p == nullptr) return;
    for (int i = 0; i < numVerts; ++i) {
        IPoint3 screen;
        gw->wTransPoint(&verts[i], &screen);
        const double dx = static_cast<double>(screen.x) - p->x;
        const double dy = static_cast<double>(screen.y) - p->y;
        const double d = std::sqrt(dx * dx + dy * dy);
        if (!(d <= snap->strength)) continue;
        const int dist = static_cast<int>(std::lround(d));
        const bool better = snap->vertPriority < snap->priority ||
                            (snap->vertPriority == snap->priority && dist < snap->bestDist);
        if (!better) continue;
        snap->priority = snap->vertPriority;
        snap->bestDist = dist;
        snap->bestWorld = verts[i] * tm;
        snap->bestScreen = IPoint2(screen.x, screen.y);
    }
}
