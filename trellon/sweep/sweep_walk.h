// The sweep walk: how a picked shape is carried along the path as a tube of rings.
//
// Every consumer of the swept shapes (the viewport mesh, the render mesh, the export nodes and the
// proxy drawer) runs this one walk, so they agree ring for ring:
//
//   PrepareSweepPasses   reads the block and the path once and yields one SweepPass per sweep
//                        (and per twin copy of a sweep with Sweep_Double): the profile lines
//                        already pivoted, scaled, flipped and rotated; the samples of every path
//                        spline along the offset path, trimmed; the transform into the object's
//                        space; the material, flip, seam angle and the counts.
//   SweepPass::Ring      the vertices of one ring (dots and wireframe of the proxy drawer).
//   WriteSweepPasses     counts the passes, sizes the mesh once and fills vertices, faces, texture
//                        vertices and texture faces by index.
//
// Geometry of one pass:
//   - Offset path: each path spline moved d sideways (offset_spline.h: positive d to the left of
//     the direction of travel seen from +Z, mitred knots), at the path shape's steps, flattened
//     into a polyline q_0 .. q_{N-1} (closing edge included when closed) of length T.
//   - Samples (SamplePath): the point at the start trim a, every polyline vertex strictly past it,
//     and the point at the end trim b; the trimmed ends are read on the offset spline itself, the
//     vertices are the polyline's. A closed spline with a = b = 0 is a loop: its samples are
//     exactly its N vertices and the last ring joins the first.
//   - Frame (SampleFrame) at sample S_i from the incoming and outgoing directions, compared in X
//     and Y rounded to three decimals: a straight sample takes ArbAxis(direction); a corner takes
//     ArbAxis(incoming) turned so its third row lies on the bisector, and is stretched by
//     1 / sin(alpha / 2) across the bend (alpha the angle between the two path pieces), so the
//     outline keeps its width through the corner (a mitre joint).
//   - Vertex: profile point q (pivot, scale, flip and rotation applied once per pass) at sample
//     S_i is S_i + q.x F0 + q.y F1 + q.z F2, then the path's rotation and translation and the
//     height offset (one affine matrix per ring).
//
// Mesh layout, per pass: for every profile line j, for every path spline L with n samples, n
// rings of P_j vertices. Faces: two triangles per quad between neighbouring rings (and from the
// last ring to the first on a loop), P_j - 1 quads per ring pair on an open line, P_j on a closed
// one; none for a line of one point or a spline of fewer than two samples; no caps. Texture
// coordinates: U along the profile (a closed line repeats its first point at U = 1), V the running
// distance of each profile point along the path divided by the tile length; a sample turning by
// more than the seam angle gets a second row (the same coordinates, so the faces on either side
// share no texture vertex), and a loop one more row for its closing faces. V adds the true length
// of each track's edges, at corners too (where the mitre makes the outer tracks longer than the
// inner ones), so V stays continuous along every track and the texture keeps one scale on it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "distribute/random_values.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "object/mesh_builder.h"
#include "point3.h"

class BezierShape;
class INode;
class IParamBlock2;
class Mesh;
class PolyLine;
class Spline3D;

namespace trellon {

class Trellon;

// First material index of the sweeps: sweep k gets 27 + k.
inline constexpr int kSweepMaterialBase = 27;

// What one sweep k reads from the block, with entry 0 ("All Sweeps") already combined.
struct SweepSettings {
    INode* profile = nullptr;        // Sweep_Nodes[k]; null when the node is gone
    int steps = -1;                  // Shape_Steps[k]; negative: the profile's own steps
    bool flipNormals = false;        // Shape_Flip_Normals[k]
    bool flipObject = false;         // Shape_Flip_Object[k]
    float sideOffset = 0.0f;         // Sweep_Side_Offset[k+1] + [0]
    float height = 0.0f;             // Sweep_Height_Offset[k+1] + [0]
    Point3 rotation;                 // Sweep_X/Y/Z_Rot[k+1] + [0], radians
    Point3 scale{1.0f, 1.0f, 1.0f};  // from Sweep_X/Y/Z_Scale and both Sweep_Unify_Scale flags
    float startTrim = 0.0f;          // Sweep_Start_Trim[k+1] + [0]
    float endTrim = 0.0f;            // Sweep_End_Trim[k+1] + [0]
    bool twin = false;               // Sweep_Double[k]
    float twinOffset = 0.0f;         // Sweep_Double_Offset[k]
    float smoothAngle = 0.0f;        // Sweep_Smooth_Angle[k], radians

    // The winding: Shape_Flip_Normals, inverted when Shape_Flip_Object mirrors the outline.
    bool Flip() const { return flipObject ? !flipNormals : flipNormals; }
};

// Reads sweep k. An entry a table lacks reads as its neutral value (offsets, trims and angles 0,
// scales 100 percent, unify on, the profile's own steps).
SweepSettings ReadSweepSettings(IParamBlock2& pb, TimeValue t, int k);

// The per-axis scale of the cross-section from the X/Y/Z scales (percent) of entry 0 and of the
// sweep's entry, and the two unify switches: the sweep's value counts as a change from 100
// percent added to the all-sweeps value.
Point3 SweepScale(const Point3& all, const Point3& own, bool unifyAll, bool unifyOwn);

// The texture tile length (scene units per V unit) for the system unit: millimetres 25000,
// centimetres and inches 2500, every other unit 25.
float TextureTileLength();

// One cross-section line of the profile, in the cross-section's own axes.
struct ProfileLine {
    std::vector<Point3> points;  // P points, pivoted, scaled, flipped and rotated
    std::vector<float> u;        // U of each point, and of the seam copy at U = 1 on a closed line
    bool closed = false;

    int Points() const { return static_cast<int>(points.size()); }
    // Texture vertices per texture row.
    int RowSize() const { return closed ? Points() + 1 : Points(); }
};

// The samples of one path spline along the offset path.
struct PathRun {
    std::vector<Point3> samples;  // in the path's object space
    bool loop = false;            // the last ring joins the first
    int seams = 0;                // samples that get a second texture row (see SeamAt)
};

// Counts of one pass or of several (texture faces are as many as faces).
struct SweepCounts {
    std::int64_t verts = 0;
    std::int64_t faces = 0;
    std::int64_t tverts = 0;

    SweepCounts& operator+=(const SweepCounts& c) {
        verts += c.verts;
        faces += c.faces;
        tverts += c.tverts;
        return *this;
    }
};

// The counts of one profile line swept along one path run with `seams` extra texture rows.
SweepCounts BlockCounts(int points, bool closedLine, int samples, bool loop, int seams);

// The samples of a polyline from start trim a to end trim b (lengths; negative trims count as
// 0), as listed at the top of this file. The trimmed ends are read on `curve`, the spline the
// polyline was made from, at the fraction of the polyline's length they cut off (without a
// curve, on the polyline). A vertex on (or within a millionth of the length of) a trimmed end is
// that end's one sample. No samples when the polyline has fewer than two points or no length,
// or when the trims leave nothing (a + b at least its length).
PathRun SamplePath(const PolyLine& line, float startTrim, float endTrim,
                   const Spline3D* curve = nullptr);

// The frame at sample i of n samples (loop: S_{n-1} and S_0 are neighbours): rows 0 and 1 the
// cross-section's X and Y axes (stretched across the bend at a corner), row 2 its normal along
// the path, row 3 the sample itself. The directions come from the nearest neighbours that do not
// coincide with the sample, so a sample doubled in place keeps the frame of the path there.
Matrix3 SampleFrame(const Point3* samples, int n, int i, bool loop);

// Whether sample i turns by more than seamAngle (radians): inner samples only, and on a loop
// also the last one (against S_0). Coincident neighbours are looked past, as for the frame.
bool SeamAt(const Point3* samples, int n, int i, bool loop, float seamAngle);

// One sweep (or its twin) ready to be written.
class SweepPass {
public:
    int sweep = 0;              // k, the index in Sweep_Nodes
    bool twin = false;          // the Sweep_Double copy
    MtlID material = 0;         // 27 + k
    bool flip = false;          // reversed winding
    float seamAngle = 0.0f;     // radians
    float tileLength = 25.0f;   // scene units per V unit
    Matrix3 objectFromPath{1};  // path space to object space, height included
    std::vector<ProfileLine> lines;
    std::vector<PathRun> runs;
    SweepCounts counts;

    // The matrix that carries profile point q of ring i of run L into the object's space.
    Matrix3 RingMatrix(int run, int i) const;
    // The P_j vertices of ring i of line j along run L, in the object's space, into out.
    void Ring(int line, int run, int i, Point3* out) const;
    // Recomputes counts (and every run's seams) from the lines and runs.
    void Count();
};

// Which sweeps a walk yields and how.
struct SweepOptions {
    bool honourSolo = true;  // Sweep_Solo n > 0 keeps only sweep n - 1 (the viewport)
    float seamAngle = 0.0f;  // texture seam angle, radians
    int onlySweep = -1;      // >= 0: only this sweep (the export, one node per sweep)
};

// The passes of a call, in order: sweep 0, its twin, sweep 1, ... Nothing without sweeps, without
// a path node, or with a path that is no shape. A sweep whose profile node is gone or is no shape
// yields no pass. Each profile's own step count is set to Shape_Steps[k] only while its polylines
// are made, and put back.
// This form reads the block and evaluates the path itself, for a walk of its own (the proxies,
// the render mesh, the export).
std::vector<SweepPass> PrepareSweepPasses(Trellon& object, TimeValue t,
                                          const SweepOptions& options);
// The build's form: the block as the build read it and the path shape it evaluated.
struct BuildSettings;
std::vector<SweepPass> PrepareSweepPasses(Trellon& object, const BuildSettings& settings,
                                          const BezierShape& shape, const SweepOptions& options);

// The counts of all the passes together.
SweepCounts TotalCounts(std::span<const SweepPass> passes);

// Turns texture coordinates on for a mesh of faceCount faces with tverts texture vertices (the
// ones below kept): every face gets a texture face, the faces that had none referring to texture
// vertex 0. False when memory is not there.
bool SizeSweepTexture(Mesh& mesh, int tverts, int faceCount);

// Writes the passes into a mesh already sized for them (by the build driver, once for every
// builder): vertices and faces from `at`, texture vertices from tvBase, and the passes' texture
// faces.
void FillSweepPasses(std::span<const SweepPass> passes, Mesh& mesh, const MeshAppendPoint& at,
                     int tvBase);

// Appends the passes to the mesh from `at` (its current counts): sized once for all of them,
// filled by index. Texture vertices are numbered after those the mesh holds; faces below `at`
// keep their texture faces, or, when the mesh had none, get texture faces that all refer to
// texture vertex 0. Returns false, adding nothing, when the mesh cannot grow.
bool WriteSweepPasses(std::span<const SweepPass> passes, Mesh& mesh, const MeshAppendPoint& at);

}  // namespace trellon
