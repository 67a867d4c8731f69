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

struct ShownMaterial {
    std::string name;  // UTF-8
    Color baseColour{0.5f, 0.5f, 0.5f};
    std::string textureFile;  // empty: no texture
    float roughness = 1.0f;
};

// The correction of a colour-correction map (its hue, saturation, brightness and contrast) applied
// to c.
Color CorrectColour(const Color& c, Texmap* correction);

// The material m shows, as above; `name` is m's own.
ShownMaterial ShowMaterial(Mtl* m);

// The mean colour of an image file (0 to 1 per channel), or none when it cannot be read.
std::optional<Color> MeanImageColour(const std::string& file);

// The material each material ID of a Trellon node's faces shows: item k's copies carry ID k + 1
// (IDs past 26 wrap to 1) and show the material of the first item with that ID, sweep k's faces
// carry 27 + k and show its profile node's material. An ID whose item or profile has no material
// keeps the node's own (the palette colour), so the table holds null for it. Empty for a node that
// is not a Trellon object.
std::vector<Mtl*> TrellonFaceMaterials(Scene& scene, INode* node);

}  // namespace host
