// What a host material looks like to a viewer that knows base colour, texture and roughness (the
// glTF writer's PBR materials), and which material each face of a Trellon object shows.
//
// From a material:
//   - base colour: the diffuse colour of its class (a container shows its first material, a
//     multi the slot of the face);
//   - texture: the image file of a bitmap diffuse map that has an image;
//   - a colour-correction diffuse map is applied: over a colour, the corrected colour is the base
//     colour; over a bitmap, the bitmap is the texture and the correction is carried as a tint
//     (the base colour factor that takes the image's mean colour to its corrected colour, each
//     channel at most 1, since a factor can only darken);
//   - roughness: 1 - the class's reflection glossiness (VRayMtl, CoronaMtl: 0 to 1; Standard:
//     glossiness 0 to 100 over 100) as an approximation of a glossy reflection; 1 for the
//     classes without one; never metallic.
//
// Colour correction, as the host's Color Correction map applies it to a colour (each step on
// the result of the one before): the hue turns by hueShift degrees; the saturation is scaled by
// 1 + saturation / 100; brightness / 100 is added to each channel; each channel is scaled about
// 0.5 by 1 + contrast / 100; the result is clamped to [0, 1].
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "color.h"

class INode;
class Mtl;
class Texmap;

namespace host {

class Scene;

struct MaterialLook {
    std::string name;  // UTF-8
    Color baseColour{0.5f, 0.5f, 0.5f};
    std::string textureFile;  // empty: no texture
    float roughness = 1.0f;
};

// The correction of a colour-correction map (its hue, saturation, brightness and contrast) applied
// to c.
Color CorrectColour(const Color& c, Texmap* correction);

// The material m shows, as above; `name` is m's own.
MaterialLook ShowMaterial(Mtl* m);

// The mean colour of an image file (0 to 1 per channel), or none when it cannot be read.
std::optional<Color> MeanImageColour(const std::string& file);

// What the faces with one material ID of a Trellon node show: the material of the item or
// profile they come from (null when it has none: the node's own palette colour stands in) and that
// item's or profile's node name, which names the palette colour where it stands in.
struct FaceSource {
    Mtl* material = nullptr;
    std::string name;  // UTF-8; empty for an ID no item or profile carries
};

// Per material ID of a Trellon node's faces, its source: item k's copies carry ID k + 1 (IDs past
// 26 wrap to 1) and show the material of the first item with that ID, sweep k's faces carry
// 27 + k and show its profile node's material. Empty for a node that is not a Trellon object.
std::vector<FaceSource> TrellonFaceMaterials(Scene& scene, INode* node);

}  // namespace host
