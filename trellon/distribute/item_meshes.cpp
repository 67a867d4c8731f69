#include "distribute/item_meshes.h"

#include "distribute/placement.h"
#include "inode.h"
#include "mesh.h"
#include "object.h"
#include "object/marker_mesh.h"
#include "triobj.h"

namespace trellon {

namespace {

constexpr int kItemColours = 26;

// The mesh's faces and vertices, each face given the material; faces with a vertex index
// outside the mesh are dropped.
TriangleMesh Copy(const std::vector<Point3>& verts, const Face* faces, int faceCount,
                  MtlID material) {
    TriangleMesh out;
    out.verts = verts;
    out.faces.reserve(static_cast<std::size_t>(faceCount));
    const auto n = static_cast<DWORD>(verts.size());
    for (int i = 0; i < faceCount; ++i) {
        const Face& f = faces[i];
        if (f.v[0] >= n || f.v[1] >= n || f.v[2] >= n) continue;
        Face c;
        c.setVerts(f.v[0], f.v[1], f.v[2]);
        c.setSmGroup(f.smGroup);
        c.flags = f.flags & EDGE_ALL;
        c.setMatID(material);
        out.faces.push_back(c);
    }
    return out;
}

TriangleMesh Copy(const TriangleMesh& m, MtlID material) {
    return Copy(m.verts, m.faces.data(), static_cast<int>(m.faces.size()), material);
}

TriangleMesh FromMesh(const Mesh& mesh, MtlID material) {
    std::vector<Point3> verts(mesh.verts, mesh.verts + mesh.getNumVerts());
    return Copy(verts, mesh.faces, mesh.getNumFaces(), material);
}

TriangleMesh Marker(float size, MtlID material) {
    Mesh marker;
    if (!MakeMarkerMesh(marker, size)) return {};
    return FromMesh(marker, material);
}

// The node's object at t as a triangle mesh; an object converted for this is deleted again.
TriangleMesh NodeMesh(INode* node, TimeValue t, MtlID material) {
    Object* object = node->EvalWorldState(t).obj;
    if (!object) return {};
    if (auto* tri = dynamic_cast<TriObject*>(object)) return FromMesh(tri->GetMesh(), material);
    if (!object->CanConvertToType(triObjectClassID)) return {};
    Object* converted = object->ConvertToType(t, triObjectClassID);
    TriangleMesh result;
    if (auto* tri = dynamic_cast<TriObject*>(converted))
        result = FromMesh(tri->GetMesh(), material);
    if (converted && converted != object) converted->DeleteThis();
    return result;
}

}  // namespace

MtlID MaterialForItem(int item) {
    if (item < 0) return 0;
    return static_cast<MtlID>(item % kItemColours + 1);
}

ItemMeshes::ItemMeshes(TimeValue t, DisplayMode displayMode)
    : t_(t), mode_(IsMeshMode(displayMode) ? displayMode : DisplayMode::FullMesh) {}

ItemMeshes::~ItemMeshes() = default;

const TriangleMesh& ItemMeshes::Get(const Placement& placement, int k) {
    static const TriangleMesh kNothing;
    if (k < 0 || k >= placement.ItemCount()) return kNothing;
    if (meshes_.size() < static_cast<std::size_t>(placement.ItemCount()))
        meshes_.resize(static_cast<std::size_t>(placement.ItemCount()));
    std::unique_ptr<TriangleMesh>& slot = meshes_[static_cast<std::size_t>(k)];
    if (!slot) slot = std::make_unique<TriangleMesh>(Evaluate(placement, k));
    return *slot;
}

TriangleMesh ItemMeshes::Evaluate(const Placement& placement, int k) const {
    const PlacementItem& item = placement.Item(k);
    if (!item.node) return {};
    const MtlID material = MaterialForItem(k);
    const bool light = item.kind == 1;
    if (mode_ == DisplayMode::FullMesh)
        return light ? Marker(SceneMarkerSize(), material) : NodeMesh(item.node, t_, material);
    if (light) return Marker(1.0f, material);
    if (mode_ == DisplayMode::Placeholders) return Copy(ProxyMesh(), material);
    return Copy(PyramidMesh(item.boxMin, item.boxMax), material);
}

}  // namespace trellon
