#include "gltf_plan.h"

// The binary part of a .glb: each node's indices and interleaved vertices, and the instance
// transforms of instanced sources, streamed from the meshes into their places in the file.

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>

#include "output_file.h"
#include "progress_bar.h"
#include "shared_vertices.h"

namespace host::gltf {
namespace {

// Where one primitive's indices and vertices go while the faces are walked: straight into their
// regions of the file, or, for a primitive whose regions cannot be placed yet, held in memory
// (indices at full width) until the walk has counted its vertices.
struct PrimitiveOut {
    std::unique_ptr<RegionWriter> indices, vertices;
    std::vector<std::uint32_t> heldIndices;
    std::vector<float> heldVertices;
    std::uint32_t written = 0;  // vertices out so far
};

// The zeros after a primitive's indices that end its region on 4 bytes.
void PutIndexPadding(RegionWriter& indices, const PrimitivePlan& p) {
    const std::uint64_t used = std::uint64_t{p.faces} * 3 * (p.ShortIndices() ? 2 : 4);
    for (std::uint64_t pad = used; pad < p.IndexBytes(); ++pad) indices.Put(std::uint8_t{0});
}

// Writes a primitive's held indices and vertices at its regions.
void WriteHeld(const PrimitivePlan& p, PrimitiveOut& out, OutputFile& file, std::uint64_t binAt) {
    {
        RegionWriter indices(file, binAt + p.indicesAt, p.IndexBytes());
        for (const std::uint32_t i : out.heldIndices) {
            if (p.ShortIndices())
                indices.Put(static_cast<std::uint16_t>(i));
            else
                indices.Put(i);
        }
        PutIndexPadding(indices, p);
    }
    file.WriteAt(binAt + p.verticesAt, out.heldVertices.data(),
                 out.heldVertices.size() * sizeof(float));
    out.heldVertices = {};
    out.heldIndices = {};
}

}  // namespace

// The faces are walked once, writing as they go: each face's corners into its primitive's index
// region (in reverse order where the frame mirrors) and, the first time a corner uses a class,
// that class's vertex into the primitive's vertex region. The vertices are thus numbered in the
// order the faces first use them, which also keeps a face's vertices close together for the
// viewer's vertex cache.
//
// What the walk cannot know in advance is how many vertices a primitive gets, and with that the
// width of its indices (16 bits up to 65535 vertices) and where the next region starts. So the
// corners are first numbered without writing until the primitive with the most faces passes
// 65535 vertices: its indices are 32 bits wide then, its regions go first and its vertex region
// grows at the end; the other primitives, usually a small share, are held in memory and written
// after it. When the numbering reaches the last face instead, every count is known and every
// primitive is written in place. Numbering goes face by face in one order both times, so a class
// numbered before the walk is the next vertex out when the walk first reaches it.
std::uint64_t WriteNodeData(NodePlan& plan, OutputFile& file, std::uint64_t binAt,
                            std::uint64_t offset, ProgressBar& progress, double done,
                            double share) {
    const Mesh& mesh = plan.node->Geometry();
    if (plan.prims.empty()) return 0;
    gltf::SharedVertices shared(mesh, plan.uvs, plan.frame.normalTM, plan.primOfId);
    shared.Prepare(plan.smoothing);
    const std::array<int, 3> order =
        plan.frame.reverse ? std::array<int, 3>{0, 2, 1} : std::array<int, 3>{0, 1, 2};
    std::vector<std::uint32_t> numbered(plan.prims.size(), 0);
    // The classes of face f's corners in writing order (of primitive k), each numbered the first
    // time it is met. (The classes may move as they grow: they are looked up afresh each time.)
    auto number = [&](int f, std::size_t k, std::array<std::uint32_t, 3>& inOrder) {
        std::uint32_t c[3];
        shared.FaceClasses(f, c);
        VertexClass* classes = shared.Classes();
        for (std::size_t n = 0; n < 3; ++n) {
            inOrder[n] = c[order[n]];
            VertexClass& cls = classes[inOrder[n]];
            if (cls.index == 0) cls.index = ++numbered[k];
        }
    };

    const auto big = static_cast<std::size_t>(
        std::max_element(
            plan.prims.begin(), plan.prims.end(),
            [](const PrimitivePlan& a, const PrimitivePlan& b) { return a.faces < b.faces; }) -
        plan.prims.begin());
    int f = 0;
    std::array<std::uint32_t, 3> corners{};
    for (; f < mesh.numFaces && numbered[big] <= 0xFFFFu; ++f)
        number(f, shared.PrimitiveOf(mesh.faces[f]), corners);
    const bool counted = f == mesh.numFaces;

    // The regions placed now: every primitive's when all are counted, else the largest's, whose
    // vertex count is then only known to be past 65535.
    const std::uint64_t stride = plan.Stride();
    std::vector<PrimitiveOut> out(plan.prims.size());
    std::uint64_t at = offset;
    for (std::size_t k = 0; k < plan.prims.size(); ++k) {
        if (!counted && k != big) continue;
        PrimitivePlan& p = plan.prims[k];
        p.vertices = numbered[k];
        p.indicesAt = at;
        p.verticesAt = p.indicesAt + p.IndexBytes();
        at = p.verticesAt + std::uint64_t{p.vertices} * stride;
        out[k].indices = std::make_unique<RegionWriter>(file, binAt + p.indicesAt, p.IndexBytes());
        out[k].vertices = std::make_unique<RegionWriter>(
            file, binAt + p.verticesAt,
            counted ? p.vertices * stride : RegionWriter::kRegionBuffer);
    }
    for (PrimitivePlan& p : plan.prims) {
        p.min.fill(std::numeric_limits<float>::infinity());
        p.max.fill(-std::numeric_limits<float>::infinity());
    }

    const Matrix3& tm = plan.frame.vertexTM;
    const bool uvs = plan.uvs;
    const double perFace = share / std::max(mesh.numFaces, 1);
    for (f = 0; f < mesh.numFaces; ++f) {
        if ((f & 0xFFFF) == 0) progress.Update(done + perFace * f);
        const Face& face = mesh.faces[f];
        const std::size_t k = shared.PrimitiveOf(face);
        PrimitivePlan& prim = plan.prims[k];
        PrimitiveOut& sink = out[k];
        number(f, k, corners);
        const VertexClass* classes = shared.Classes();
        std::array<std::uint32_t, 3> index;
        for (std::size_t n = 0; n < 3; ++n) {
            const std::uint32_t c = corners[n];
            const VertexClass& cls = classes[c];
            if (cls.index > sink.written) {
                // The walk meets classes in the order they were numbered (see above).
                if (cls.index != ++sink.written)
                    throw std::logic_error("glTF writer: vertex " + std::to_string(cls.index) +
                                           " met as vertex " + std::to_string(sink.written));
                const Point3 p = mesh.verts[face.v[order[n]]] * tm;
                const float* normal = shared.Normal(c);
                std::array<float, 8> vertex = {p.x, p.y, p.z, normal[0], normal[1], normal[2]};
                for (std::size_t i = 0; i < 3; ++i) {
                    prim.min[i] = std::min(prim.min[i], vertex[i]);
                    prim.max[i] = std::max(prim.max[i], vertex[i]);
                }
                if (uvs) {
                    const UVVert& uv = mesh.tVerts[shared.Tv(c)];
                    vertex[6] = uv.x;
                    vertex[7] = 1.0f - uv.y;
                }
                if (sink.vertices && uvs)
                    sink.vertices->Put<kWithTexture>(vertex.data());
                else if (sink.vertices)
                    sink.vertices->Put<kPositionAndNormal>(vertex.data());
                else
                    sink.heldVertices.insert(sink.heldVertices.end(), vertex.begin(),
                                             vertex.begin() + static_cast<long>(stride / 4));
            }
            index[n] = cls.index - 1;
        }
        if (!sink.indices) {
            sink.heldIndices.insert(sink.heldIndices.end(), index.begin(), index.end());
        } else if (prim.ShortIndices()) {
            sink.indices->Put(std::array<std::uint16_t, 3>{static_cast<std::uint16_t>(index[0]),
                                                           static_cast<std::uint16_t>(index[1]),
                                                           static_cast<std::uint16_t>(index[2])});
        } else {
            sink.indices->Put(index);
        }
    }

    // The placed primitives' index regions end on 4 bytes; the held ones go after them.
    for (std::size_t k = 0; k < plan.prims.size(); ++k) {
        PrimitivePlan& p = plan.prims[k];
        if (out[k].written != numbered[k])
            throw std::logic_error("glTF writer: " + std::to_string(numbered[k]) +
                                   " vertices numbered, " + std::to_string(out[k].written) +
                                   " written");
        if (out[k].indices) {
            PutIndexPadding(*out[k].indices, p);
        }
        if (!counted && k == big) {
            p.vertices = numbered[k];
            at = p.verticesAt + std::uint64_t{p.vertices} * stride;
        }
    }
    for (std::size_t k = 0; k < plan.prims.size(); ++k) {
        if (out[k].indices) continue;
        PrimitivePlan& p = plan.prims[k];
        p.vertices = numbered[k];
        p.indicesAt = at;
        p.verticesAt = p.indicesAt + p.IndexBytes();
        at = p.verticesAt + std::uint64_t{p.vertices} * stride;
        WriteHeld(p, out[k], file, binAt);
    }
    return at - offset;
}

std::uint64_t WriteInstances(NodePlan& plan, double metres, OutputFile& file, std::uint64_t binAt,
                             std::uint64_t offset) {
    std::uint64_t at = offset;
    for (const InstanceGroup& g : plan.instanced->groups) {
        const std::uint64_t n = g.transforms.size();
        plan.groupAt.push_back(at);
        RegionWriter translations(file, binAt + at, n * 12);
        RegionWriter rotations(file, binAt + at + n * 12, n * 16);
        RegionWriter scales(file, binAt + at + n * 28, n * 12);
        std::array<float, 3> t{}, s{};
        std::array<float, 4> r{};
        for (const Matrix3& tm : g.transforms) {
            if (!InstanceTRS(tm, metres, t, r, s)) {
                // Not an instance (the caller should have drawn it as a node): hidden at the
                // origin by a zero scale rather than drawn wrong.
                t = {0.0f, 0.0f, 0.0f};
                r = {0.0f, 0.0f, 0.0f, 1.0f};
                s = {0.0f, 0.0f, 0.0f};
            }
            translations.Put(t);
            rotations.Put(r);
            scales.Put(s);
        }
        at += n * 40;
    }
    return at - offset;
}

}  // namespace host::gltf
