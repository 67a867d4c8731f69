// glTF 2.0 binary (.glb) output of an evaluated scene.
//
// What the file holds:
//   - one glTF node per visible evaluated node (a node hidden by its own flag or by its layer is
//     left out: the file shows what the viewport shows), named as the scene node, in scene order,
//     all at the root of one scene; the node carries the world object transform (object offset
//     included) as translation / rotation / scale;
//   - one mesh per node with faces, one primitive per material its faces show, in the order the
//     faces first use them;
//   - per primitive POSITION (with min/max), NORMAL and, when the mesh has texture coordinates,
//     TEXCOORD_0, interleaved in one buffer view (24 or 32 bytes a vertex), and indices (unsigned
//     short while the primitive has at most 65535 vertices, unsigned int past that, so the
//     restart value never appears).
//
// Conventions:
//   - Axes. The host is right-handed Z-up, glTF right-handed Y-up: a host point (x, y, z) is the
//     glTF point (x, z, -y) (a rotation of -90 degrees about X), applied to positions, normals and
//     node transforms alike (a node transform T becomes C^-1 T C). The host keeps a row-vector
//     Matrix3 whose rows 0..2 are the axes and row 3 the translation; stored row after row that is
//     exactly glTF's column-major layout of the same transform.
//   - Units. glTF lengths are metres: positions and translations are multiplied by the length of
//     one system unit in metres (GetMasterScale(UNITS_METERS)); rotation and scale are unitless.
//   - A transform with shear (a non-uniform scale under a rotated child, say) has no
//     translation / rotation / scale form, which glTF requires of a node; its linear part is then
//     baked into that node's vertices and normals and the node keeps only the translation. A
//     mirroring baked transform reverses the corner order, so front faces stay front faces.
//   - Materials. A face with material ID i shows, for a Multi/Sub-Object material with n slots,
//     sub-material i mod n (a nested multi resolves again with the same ID); any other material
//     is shown by every face. A Trellon object's faces show their item's (or sweep profile's)
//     own material; where the item has none, the object's palette colour stands in, named after
//     the item. Each host material becomes one glTF metallic-roughness material named as the
//     host's, as ShowMaterial (shown_material.h) sees it: its diffuse colour the base colour, a
//     bitmap diffuse map the base-colour texture (its image embedded in the binary part; PNG and
//     JPEG as they are, other formats converted to PNG), a colour correction over a bitmap a
//     tint, 1 - reflection glossiness the roughness, never metallic. Faces without a material, or
//     with an empty multi slot, show the node's wire colour (a material named "Wire RRGGBB",
//     roughness 0.7). Host colours are display (sRGB-encoded) values and glTF factors linear, so
//     they are decoded with the sRGB curve.
//   - Normals follow smoothing groups: at a vertex, faces that share a smoothing-group bit, or are
//     linked through faces that do, share one normal, the normalised sum of their unit face
//     normals; a face with group 0 keeps its own face normal. Vertices are split wherever the
//     normal or the texture vertex differs.
//   - Texture coordinates come from map channel 1 (tVerts / tvFace); glTF's v runs down the image,
//     the host's up, so v becomes 1 - v (w is dropped).
//
// Instanced sources (WriteGlb with `instanced`): each source's mesh is written once, in its object
// space, and each group of its copies is one glTF node carrying that mesh with the extension
// EXT_mesh_gpu_instancing (listed in extensionsUsed and extensionsRequired): per instance
// TRANSLATION, ROTATION and SCALE accessors, the host transforms converted to glTF's frame and
// units as node transforms are. Groups differ by material (a renderer hands out colour variants
// per copy): each group's glTF mesh shares the source's vertex and index accessors and names its
// own materials. Only transforms InstanceableTransform accepts may go into a group: glTF
// instances have translation, rotation and a positive scale, so a copy with shear or a mirror
// must be written as a plain node (the caller's job).
//
// Bad input (a face referring to a vertex or texture vertex the mesh lacks, a non-finite
// coordinate, a unit that is not a positive length, a file too large for the format, a path that
// cannot be written) gives false and a message; nothing is written then.
#pragma once

#include <string>
#include <vector>

#include "evaluated_scene.h"

namespace host {

class Scene;

// Writes `nodes` (as EvaluateScene returns them for `scene`) to `path` as glTF 2.0 binary. The
// scene gives the glTF scene its name (the scene file's name, else "Scene"). False, with a
// message in `error`, when the file is not written.
bool WriteGlb(const std::vector<EvaluatedNode>& nodes, Scene& scene, const std::string& path,
              std::string& error);

// Copies of one source with one material.
struct InstanceGroup {
    Mtl* material = nullptr;  // what the copies show (a multi resolves per face as for nodes)
    std::vector<Matrix3> transforms;  // per copy: object space of the source's mesh -> world
};

// A source mesh and its copies. `source.objectTM` is not used; `source.name` names the nodes
// ("<name>" for the first group, "<name> #k" for group k).
struct InstancedSource {
    EvaluatedNode source;
    std::vector<InstanceGroup> groups;
};

bool WriteGlb(const std::vector<EvaluatedNode>& nodes,
              const std::vector<InstancedSource>& instanced, Scene& scene, const std::string& path,
              std::string& error);

// Whether a copy transform can be a glTF instance: finite, without shear, with a positive
// determinant.
bool InstanceableTransform(const Matrix3& tm);

}  // namespace host
