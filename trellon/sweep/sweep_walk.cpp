// The sweep walk: passes from the block and the path, their rings, and their mesh (sweep_walk.h).
#include "sweep/sweep_walk.h"

#include <limits>
#include <utility>

#include "distribute/offset_spline.h"
#include "distribute/path_shape.h"
#include "distribute/working_path.h"
#include "inode.h"
#include "iparamb2.h"
#include "mesh.h"
#include "object/build_settings.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "polyshp.h"
#include "shape.h"
#include "sweep/sweep_profile.h"

namespace trellon {
namespace {

// The samples of every path spline moved d sideways: one offset spline per path spline (mitred
// knots), flattened at the path shape's own steps without optimisation, then sampled with the
// trims. A path spline of fewer than two knots gives a run without samples.
std::vector<PathRun> OffsetRuns(Trellon& object, const BezierShape& path, float d, float startTrim,
                                float endTrim) {
    BezierShape offset;
    offset.steps = path.steps;
    offset.optimize = FALSE;
    for (int i = 0; i < path.SplineCount(); ++i) {
        Spline3D* target = offset.NewSpline();
        if (Spline3D* source = path.GetSpline(i)) OffsetSpline(object, *source, d, *target);
    }
    offset.UpdateSels();
    offset.InvalidateGeomCache();
    PolyShape poly;
    offset.MakePolyShape(poly);  // the shape's own steps

    std::vector<PathRun> runs;
    runs.reserve(static_cast<std::size_t>(poly.numLines));
    for (int i = 0; i < poly.numLines; ++i)
        runs.push_back(SamplePath(poly.lines[i], startTrim, endTrim, offset.GetSpline(i)));
    return runs;
}

// One texture row: U along the line, each point's running V, W 0; the seam copy of a closed line
// carries its first point's V.
void WriteRow(UVVert* row, const ProfileLine& line, const std::vector<float>& v) {
    const int p = line.Points();
    for (int m = 0; m < p; ++m)
        row[m] = UVVert(line.u[static_cast<std::size_t>(m)], v[static_cast<std::size_t>(m)], 0.0f);
    if (line.closed) row[p] = UVVert(1.0f, v[0], 0.0f);
}

// The two triangles of every quad between ring `prev` and ring `cur` (first vertex indices) and
// their texture faces between texture rows tprev and tcur. With c the vertex of point m in the
// current ring and c - P the same point in the previous ring, the hidden edge is always the
// diagonal from c to c + 1 - P. Smoothing group 0; the material in the high bits of the flags.
void WriteQuads(Face* f, TVFace* tf, const ProfileLine& line, DWORD prev, DWORD cur, DWORD tprev,
                DWORD tcur, bool flip, MtlID material) {
    const DWORD p = static_cast<DWORD>(line.Points());
    const DWORD quads = line.closed ? p : p - 1;
    const DWORD mat = static_cast<DWORD>(material) << FACE_MATID_SHIFT;
    for (DWORD m = 0; m < quads; ++m) {
        const DWORD m1 = m + 1 == p ? 0 : m + 1;
        const DWORD pm = prev + m, pm1 = prev + m1, cm = cur + m, cm1 = cur + m1;
        // Texture rows hold the seam copy at index P, so m + 1 never wraps.
        const DWORD tpm = tprev + m, tpm1 = tprev + m + 1, tcm = tcur + m, tcm1 = tcur + m + 1;
        if (!flip) {
            f[0].setVerts(pm, pm1, cm);
            f[0].flags = mat | EDGE_A | EDGE_C;
            f[1].setVerts(pm1, cm1, cm);
            f[1].flags = mat | EDGE_A | EDGE_B;
            tf[0].setTVerts(tpm, tpm1, tcm);
            tf[1].setTVerts(tpm1, tcm1, tcm);
        } else {
            f[0].setVerts(cm, pm1, pm);
            f[0].flags = mat | EDGE_B | EDGE_C;
            f[1].setVerts(cm, cm1, pm1);
            f[1].flags = mat | EDGE_A | EDGE_B;
            tf[0].setTVerts(tcm, tpm1, tpm);
            tf[1].setTVerts(tcm, tcm1, tpm1);
        }
        f[0].smGroup = 0;
        f[1].smGroup = 0;
        f += 2;
        tf += 2;
    }
}

struct Cursor {
    int vert;
    int face;
    int tvert;
};

// Writes one pass from the cursor and moves it past what was written.
void EmitPass(const SweepPass& pass, Mesh& mesh, Cursor& at) {
    std::vector<float> v;
    for (const ProfileLine& line : pass.lines) {
        const int p = line.Points();
        const int rowSize = line.RowSize();
        for (int r = 0; r < static_cast<int>(pass.runs.size()); ++r) {
            const PathRun& run = pass.runs[static_cast<std::size_t>(r)];
            const int n = static_cast<int>(run.samples.size());
            const SweepCounts c = BlockCounts(p, line.closed, n, run.loop, run.seams);
            if (c.verts == 0) continue;
            Point3* block = mesh.verts + at.vert;
            const bool textured = c.faces > 0;
            UVVert* rows = textured ? mesh.tVerts + at.tvert : nullptr;
            Face* faces = mesh.faces + at.face;
            TVFace* tfaces = textured ? mesh.tvFace + at.face : nullptr;
            const auto vertIndex = [&](int ring) { return static_cast<DWORD>(at.vert + ring * p); };
            const auto rowIndex = [&](int row) {
                return static_cast<DWORD>(at.tvert + row * rowSize);
            };
            const float perUnit = 1.0f / pass.tileLength;
            const std::size_t quadFaces = textured ? 2u * (line.closed ? p : p - 1) : 0u;
            v.assign(static_cast<std::size_t>(p), 0.0f);

            int row = 0;
            int prevOut = 0;
            for (int i = 0; i < n; ++i) {
                const Matrix3 tm = pass.RingMatrix(r, i);
                Point3* ring = block + static_cast<std::ptrdiff_t>(i) * p;
                for (int m = 0; m < p; ++m) ring[m] = line.points[static_cast<std::size_t>(m)] * tm;
                if (!textured) continue;

                // V runs on along each profile point's own track.
                if (i > 0)
                    for (int m = 0; m < p; ++m)
                        v[static_cast<std::size_t>(m)] += Length(ring[m] - ring[m - p]) * perUnit;
                const int in = row++;
                WriteRow(rows + static_cast<std::ptrdiff_t>(in) * rowSize, line, v);
                int out = in;
                if (SeamAt(run.samples.data(), n, i, run.loop, pass.seamAngle)) {
                    // A sharp turn: the faces after it get their own row.
                    out = row++;
                    WriteRow(rows + static_cast<std::ptrdiff_t>(out) * rowSize, line, v);
                }
                if (i > 0) {
                    WriteQuads(faces, tfaces, line, vertIndex(i - 1), vertIndex(i),
                               rowIndex(prevOut), rowIndex(in), pass.flip, pass.material);
                    faces += quadFaces;
                    tfaces += quadFaces;
                }
                prevOut = out;
            }
            if (textured && run.loop) {
                // The closing faces from the last ring back to the first, on a row of their own
                // that continues V.
                const Point3* lastRing = block + static_cast<std::ptrdiff_t>(n - 1) * p;
                for (int m = 0; m < p; ++m)
                    v[static_cast<std::size_t>(m)] += Length(block[m] - lastRing[m]) * perUnit;
                const int closing = row++;
                WriteRow(rows + static_cast<std::ptrdiff_t>(closing) * rowSize, line, v);
                WriteQuads(faces, tfaces, line, vertIndex(n - 1), vertIndex(0), rowIndex(prevOut),
                           rowIndex(closing), pass.flip, pass.material);
            }
            at.vert += static_cast<int>(c.verts);
            at.face += static_cast<int>(c.faces);
            at.tvert += static_cast<int>(c.tverts);
        }
    }
}

// Gives channel 1 one texture face per face, keeping the entries it has.
bool SizeTextureFaces(Mesh& mesh, int count) {
    const int have = mesh.getNumMapFaces(1);
    if (have == count && mesh.mapSupport(1)) return true;
    return mesh.setNumTVFaces(count, have > 0 ? TRUE : FALSE) != FALSE;
}

}  // namespace

Matrix3 SweepPass::RingMatrix(int run, int i) const {
    const PathRun& r = runs[static_cast<std::size_t>(run)];
    return SampleFrame(r.samples.data(), static_cast<int>(r.samples.size()), i, r.loop) *
           objectFromPath;
}

void SweepPass::Ring(int line, int run, int i, Point3* out) const {
    const Matrix3 tm = RingMatrix(run, i);
    for (const Point3& q : lines[static_cast<std::size_t>(line)].points) *out++ = q * tm;
}

void SweepPass::Count() {
    counts = SweepCounts();
    for (PathRun& run : runs) {
        const int n = static_cast<int>(run.samples.size());
        run.seams = 0;
        for (int i = 1; i < n; ++i)
            if (SeamAt(run.samples.data(), n, i, run.loop, seamAngle)) ++run.seams;
    }
    for (const ProfileLine& line : lines)
        for (const PathRun& run : runs)
            counts += BlockCounts(line.Points(), line.closed, static_cast<int>(run.samples.size()),
                                  run.loop, run.seams);
}

std::vector<SweepPass> PrepareSweepPasses(Trellon& object, TimeValue t,
                                          const SweepOptions& options) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb || pb->Count(Sweep_Nodes) <= 0) return {};
    const BuildSettings settings = BuildSettings::Read(*pb, t);
    // A converted path object lives as long as `path`, to the end of this call.
    const PathShape path = PathShape::Evaluate(settings.pathNode, t);
    if (!path.Shape()) return {};
    return PrepareSweepPasses(object, settings, *path.Shape(), options);
}

std::vector<SweepPass> PrepareSweepPasses(Trellon& object, const BuildSettings& settings,
                                          const BezierShape& shape, const SweepOptions& options) {
    std::vector<SweepPass> passes;
    if (settings.sweeps.empty() || !settings.pathNode) return passes;
    const TimeValue t = settings.t;
    const Matrix3 objectFromPath =
        ObjectFromPathTM(object, settings.pathNode, t, settings.detachPath);
    const float tile = TextureTileLength();
    const int solo = options.honourSolo ? settings.sweepSolo : 0;

    for (int k = 0; k < static_cast<int>(settings.sweeps.size()); ++k) {
        if (solo > 0 && k != solo - 1) continue;
        if (options.onlySweep >= 0 && k != options.onlySweep) continue;
        const SweepSettings& s = settings.sweeps[static_cast<std::size_t>(k)];
        if (!s.profile) continue;
        PolyShape poly;
        if (!ProfilePolylines(*s.profile, s.steps, t, poly)) continue;
        // The profile sits relative to its node's pivot.
        const Point3 pivot =
            s.profile->GetNodeTM(t).GetTrans() - s.profile->GetObjectTM(t).GetTrans();
        const std::vector<ProfileLine> lines = ProfileLines(poly, pivot, s);

        for (int copy = 0; copy < (s.twin ? 2 : 1); ++copy) {
            SweepPass pass;
            pass.sweep = k;
            pass.twin = copy == 1;
            pass.material = static_cast<MtlID>(kSweepMaterialBase + k);
            pass.flip = s.Flip();
            pass.seamAngle = options.seamAngle;
            pass.tileLength = tile;
            pass.objectFromPath = objectFromPath;
            pass.objectFromPath.SetTrans(objectFromPath.GetTrans() + Point3(0.0f, 0.0f, s.height));
            pass.lines = lines;
            const float d = s.sideOffset + (pass.twin ? s.twinOffset : 0.0f);
            pass.runs = OffsetRuns(object, shape, d, s.startTrim, s.endTrim);
            pass.Count();
            passes.push_back(std::move(pass));
        }
    }
    return passes;
}

SweepCounts TotalCounts(std::span<const SweepPass> passes) {
    SweepCounts total;
    for (const SweepPass& pass : passes) total += pass.counts;
    return total;
}

bool SizeSweepTexture(Mesh& mesh, int tverts, int faceCount) {
    return mesh.setNumTVerts(tverts, TRUE) && SizeTextureFaces(mesh, faceCount);
}

void FillSweepPasses(std::span<const SweepPass> passes, Mesh& mesh, const MeshAppendPoint& at,
                     int tvBase) {
    Cursor cursor{at.verts, at.faces, tvBase};
    for (const SweepPass& pass : passes) EmitPass(pass, mesh, cursor);
    mesh.InvalidateGeomCache();
    mesh.InvalidateTopologyCache();
}

bool WriteSweepPasses(std::span<const SweepPass> passes, Mesh& mesh, const MeshAppendPoint& at) {
    const SweepCounts total = TotalCounts(passes);
    if (total.verts == 0) return true;

    constexpr std::int64_t kIntMax = std::numeric_limits<int>::max();
    const int tvBase = mesh.getNumTVerts();
    if (total.verts > kIntMax - at.verts || total.faces > kIntMax - at.faces ||
        total.tverts > kIntMax - tvBase)
        return false;
    if (!GrowMesh(mesh, at, static_cast<int>(total.verts), static_cast<int>(total.faces)))
        return false;

    // Texture faces of the faces below `at` (the distribution's, which come without texture
    // coordinates): the channel is turned on for the whole mesh and their texture faces, zeroed,
    // all refer to texture vertex 0. That vertex is the first one written here, U 0 and V 0 (the
    // first point of a profile line on the first ring), so those faces sit at the texture's
    // origin. A mesh that already had texture vertices and faces keeps them; ours come after.
    const int faceCount = at.faces + static_cast<int>(total.faces);
    if (total.tverts > 0 &&
        !SizeSweepTexture(mesh, tvBase + static_cast<int>(total.tverts), faceCount)) {
        mesh.setNumTVerts(tvBase, TRUE);
        mesh.setNumVerts(at.verts, TRUE);
        mesh.setNumFaces(at.faces, TRUE);
        return false;
    }
    FillSweepPasses(passes, mesh, at, tvBase);
    return true;
}

}  // namespace trellon
