#include "distribute/copy_mesh_builder.h"

#include <cstdint>
#include <limits>

#include "distribute/item_meshes.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/count_check.h"

namespace trellon {

namespace {

// Writes each copy's geometry at the cursor, within the room the count made.
class MeshWriter final : public CopyVisitor {
public:
    MeshWriter(Mesh& mesh, const MeshAppendPoint& at, std::int64_t verts, std::int64_t faces,
               Placement& placement, ItemMeshes& meshes, const BuildProgress* progress)
        : progress_(progress),
          verts_(mesh.verts + at.verts),
          faces_(mesh.faces + at.faces),
          nextVert_(at.verts),
          roomVerts_(verts),
          roomFaces_(faces),
          placement_(placement),
          meshes_(meshes) {}

    void Copy(const PlacedCopy& copy) override {
        ++yielded_;
        const TriangleMesh& item = meshes_.Get(placement_, copy.item);
        const auto nv = static_cast<std::int64_t>(item.verts.size());
        const auto nf = static_cast<std::int64_t>(item.faces.size());
        // A copy past the counted room is never written (the arrays end there); the check
        // after the walk reports it.
        if (nv > roomVerts_ - writtenVerts_ || nf > roomFaces_ - writtenFaces_) return;
        const Matrix3& tm = copy.tm;
        Point3* v = verts_ + writtenVerts_;
        for (const Point3& p : item.verts) *v++ = p * tm;
        Face* f = faces_ + writtenFaces_;
        const auto offset = static_cast<DWORD>(nextVert_);
        for (const Face& src : item.faces) {
            f->v[0] = src.v[0] + offset;
            f->v[1] = src.v[1] + offset;
            f->v[2] = src.v[2] + offset;
            f->smGroup = src.smGroup;
            f->flags = src.flags;
            ++f;
        }
        writtenVerts_ += nv;
        writtenFaces_ += nf;
        nextVert_ += nv;
        if (progress_ && progress_->ip && (yielded_ & 0xFFF) == 0 && roomFaces_ > 0) {
            const double part =
                static_cast<double>(writtenFaces_) / static_cast<double>(roomFaces_);
            progress_->ip->ProgressUpdate(
                static_cast<int>(100.0 * (progress_->done + part * progress_->share)));
        }
    }

    std::int64_t Yielded() const { return yielded_; }
    std::int64_t WrittenVerts() const { return writtenVerts_; }
    std::int64_t WrittenFaces() const { return writtenFaces_; }

private:
    const BuildProgress* progress_;
    std::int64_t yielded_ = 0;
    Point3* verts_;
    Face* faces_;
    std::int64_t nextVert_;
    std::int64_t roomVerts_;
    std::int64_t roomFaces_;
    std::int64_t writtenVerts_ = 0;
    std::int64_t writtenFaces_ = 0;
    Placement& placement_;
    ItemMeshes& meshes_;
};

}  // namespace

PassMeshCounts CountPassCopies(Placement& placement, PlacementPass pass, ItemMeshes& meshes) {
    PassMeshCounts counts;
    counts.copies = placement.Count(pass);
    for (std::size_t k = 0; k < counts.copies.perItem.size(); ++k) {
        const std::int64_t n = counts.copies.perItem[k];
        if (n == 0) continue;
        const TriangleMesh& item = meshes.Get(placement, static_cast<int>(k));
        // At most 2^24 copies per spline of items that fit in memory: far from 64-bit overflow.
        counts.verts += n * static_cast<std::int64_t>(item.verts.size());
        counts.faces += n * static_cast<std::int64_t>(item.faces.size());
    }
    return counts;
}

MeshAppendPoint WritePassCopies(Mesh& mesh, const MeshAppendPoint& at, const PassMeshCounts& counts,
                                Placement& placement, PlacementPass pass, ItemMeshes& meshes,
                                const BuildProgress* progress) {
    if (counts.verts == 0 && counts.faces == 0) return {0, 0};
    MeshWriter writer(mesh, at, counts.verts, counts.faces, placement, meshes, progress);
    placement.Walk(pass, writer);
    ExpectCount("copies of a placement pass", counts.copies.total, writer.Yielded());
    ExpectCount("vertices of a placement pass", counts.verts, writer.WrittenVerts());
    ExpectCount("faces of a placement pass", counts.faces, writer.WrittenFaces());
    return {static_cast<int>(writer.WrittenVerts()), static_cast<int>(writer.WrittenFaces())};
}

bool AppendPassCopies(Mesh& mesh, const MeshAppendPoint& at, Placement& placement,
                      PlacementPass pass, ItemMeshes& meshes) {
    const PassMeshCounts counts = CountPassCopies(placement, pass, meshes);
    constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
    if (counts.verts > kIntMax || counts.faces > kIntMax) return false;
    if (counts.verts == 0 && counts.faces == 0) return true;
    if (!GrowMesh(mesh, at, static_cast<int>(counts.verts), static_cast<int>(counts.faces)))
        return false;
    WritePassCopies(mesh, at, counts, placement, pass, meshes);
    return true;
}

}  // namespace trellon
