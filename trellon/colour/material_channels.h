// Which materials the colour variation can shift, and where each keeps its diffuse channel.
//
// The variation shifts a material's diffuse colour by wrapping its diffuse channel in a
// colour-correction map (class (0x2D0, 0) of the texture-map super class): the map takes the
// material's diffuse map as its input map, or, without one, its diffuse colour as its input
// colour, carries the variant's hue, saturation, brightness and contrast offsets, and becomes the
// material's diffuse map. The channels are parameters of the material's block 0, by class:
//
//   class                       diffuse colour   diffuse map
//   Standard                    1                11
//   VRayMtl                     0                10
//   CoronaMtl                   0                10
//   fR-* surfaces (25 classes)  0                10
//
// The containers (Blend, Double Sided, Shell Material, Shellac, Top/Bottom, VRay2SidedMtl,
// VRayBlendMtl, VRayMtlWrapper, fR-2Sided, fR-Override, fR-REWrapper) have no channel of their
// own: the variation reaches the materials they hold, as it reaches a multi's. Any other class
// (a car paint among them) is left as it is.
#pragma once

#include <string>

#include "iparamb2.h"
#include "maxtypes.h"
#include "strclass.h"

class Mtl;
class Texmap;

namespace trellon {

inline constexpr Class_ID kColourCorrectionClassID(0x2D0, 0);

// The colour-correction map's parameters in its block 0.
enum ColourCorrectionParam : ParamID {
    kCorrectionColour = 0,
    kCorrectionMap = 1,
    kCorrectionHue = 7,
    kCorrectionSaturation = 8,
    kCorrectionBrightness = 12,
    kCorrectionContrast = 13,
};

enum class ShiftKind { None, Leaf, Container };

struct DiffuseChannel {
    ShiftKind kind = ShiftKind::None;
    ParamID colour = -1;  // in block 0, leaves only
    ParamID map = -1;
};

// The channel of a class by the name the host reports for it.
DiffuseChannel DiffuseChannelOf(const std::wstring& className);

// One variant's offsets: hue (degrees), saturation, brightness and contrast.
struct ColourOffsets {
    float hue = 0.0f;
    float saturation = 0.0f;
    float brightness = 0.0f;
    float contrast = 0.0f;
};

// Wraps a leaf material's diffuse channel in a new colour-correction map carrying the offsets
// (see above). False, changing nothing, for a class that is not a recognised leaf, a material
// without a block, or when the host cannot make the map.
bool ShiftDiffuse(Mtl& mtl, const ColourOffsets& offsets, TimeValue t);

// The name filter: whether `name` matches the entry `pattern`. An entry ending in "*" matches a
// name that begins with the rest of the entry; any other entry matches the whole name. Letters
// compare without regard to case ("wood*" matches "Wood_Oak" and "WOODEN", not "OakWood").
bool NameMatchesEntry(const std::wstring& name, const std::wstring& pattern);

}  // namespace trellon
