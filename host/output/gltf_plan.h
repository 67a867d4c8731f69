// What a .glb will hold, planned before any of its binary part is written, and the writing of
// that binary part (gltf_binary.cpp): the plan types the writer (gltf_writer.cpp) fills in and
// hands on.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "matrix3.h"

namespace host {

class OutputFile;
class ProgressBar;

namespace gltf {

// How one node's object space reaches glTF: vertices go through vertexTM (units, axes and any
// baked part), normals through normalTM, and the node carries translation, rotation and scale.
struct NodeFrame {
    Matrix3 vertexTM{1};
    Matrix3 normalTM{1};
    bool reverse = false;  // vertexTM mirrors: the corners are written in reverse order
    std::vector<double> translation;
    std::vector<double> rotation;
    std::vector<double> scale;
};

// A vertex as the file holds it: position, normal and (with texture coordinates) the texture
// coordinate, interleaved, so a primitive's vertices are one region that can grow at its end.
constexpr std::size_t kPositionAndNormal = 24;
constexpr std::size_t kWithTexture = 32;

// One primitive: the faces of one glTF material.
struct PrimitivePlan {
    int material = -1;
    std::uint32_t faces = 0;
    // Known once the node's corners are numbered (WriteNodeData):
    std::uint32_t vertices = 0;
    std::array<float, 3> min{}, max{};
    // Its regions of the binary part (offsets from its start).
    std::uint64_t indicesAt = 0, verticesAt = 0;
    bool ShortIndices() const { return vertices <= 0xFFFFu; }
    std::uint64_t IndexBytes() const {
        return (static_cast<std::uint64_t>(faces) * 3 * (ShortIndices() ? 2 : 4) + 3) & ~3ull;
    }
};

struct NodePlan {
    const EvaluatedNode* node = nullptr;
    NodeFrame frame;
    bool uvs = false;
    bool smoothing = false;  // some face has a smoothing group
    std::vector<PrimitivePlan> prims;
    std::vector<std::pair<MtlID, int>> idPrims;  // each material ID the faces use, its primitive
    // Per material ID up to the largest the faces use, its primitive; -1 for an ID no face uses.
    // (IDs are mostly small: the table reaches the largest rather than holding all 65536.)
    std::vector<int> primOfId;
    // An instanced source: its groups, each group's material per primitive, and where each
    // group's TRANSLATION, ROTATION and SCALE regions start in the binary part.
    const InstancedSource* instanced = nullptr;
    std::vector<std::vector<int>> groupMaterials;
    std::vector<std::uint64_t> groupAt;
    std::uint64_t Stride() const { return uvs ? kWithTexture : kPositionAndNormal; }
};

// One copy's glTF instance transform: translation (metres), rotation (x, y, z, w) and scale of
// C^-1 tm C, C the change to glTF's axes. False for shear, a mirror or a number that is not
// finite.
bool InstanceTRS(const Matrix3& tm, double metres, std::array<float, 3>& t, std::array<float, 4>& r,
                 std::array<float, 3>& s);

// Writes one node's primitives at `binAt` (file offset of the binary part) + `offset`; returns
// the bytes written. The node's plan gets its vertex counts, bounds and region offsets. The
// progress bar goes from `done` to `done` + `share` on the way.
std::uint64_t WriteNodeData(NodePlan& plan, OutputFile& file, std::uint64_t binAt,
                            std::uint64_t offset, ProgressBar& progress, double done, double share);

// Writes an instanced plan's groups after `offset`: per group the TRANSLATION, ROTATION and SCALE
// regions one after the other; returns the bytes written. The caller has kept every transform
// InstanceTRS refuses out of the groups.
std::uint64_t WriteInstances(NodePlan& plan, double metres, OutputFile& file, std::uint64_t binAt,
                             std::uint64_t offset);

}  // namespace gltf
}  // namespace host
