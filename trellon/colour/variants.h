// Colour variation: each source node gets a family of V materials, its own and V - 1 copies whose
// diffuse colour is shifted by stored random offsets, so the copies of one item do not all look
// alike. Made at render or export time only.
//
// The offsets live in four pools of the parameter block (HueRand, SatRand, BriRand, ConRand), one
// entry per offset set; variant k of every source uses set k, so a saved scene renders with the
// same colours. The pools hold V x n sets (n sources): existing sets are kept when V or n
// change, and redrawn only after the pools are emptied (a colour slider moved, the seed button).
//
// Sources are the item nodes in the order renderers and the export use: end objects, then
// distribution objects, then posts.
#pragma once

#include <string>
#include <vector>

#include "maxtypes.h"

class INode;
class IParamBlock2;
class Mtl;

namespace trellon {

class Trellon;

// The source nodes, end objects first, then distribution objects, then posts (null for a
// deleted node).
std::vector<INode*> SourceNodes(IParamBlock2& pb, TimeValue t);

// Brings the pools to V x n offset sets at the object's RenderTime: longer pools lose their tail,
// shorter ones get new sets drawn from the object's generator, each a hue in [-H, H], then a
// saturation in [-S, S], a brightness in [-B, B] and a contrast in [-C, C] (the four range
// parameters at RenderTime).
void MaintainPools(Trellon& object);

// Empties the four pools: the next use draws every offset anew.
void ClearColourPools(IParamBlock2& pb);

// A shifted copy of `base` for variant k (1 .. V - 1): the copy is made with the host's clone
// operation, which copies the sub-materials and maps too; then every leaf of the copy's tree (the
// copy itself when it has no sub-materials) has its diffuse channel wrapped with the offsets of
// set k, where its class is recognised (material_channels.h) and, with Advance Shift on, the name
// filter lets it. Null without a base.
Mtl* MakeVariant(Trellon& object, Mtl* base, int k);

// Whether the name filter lets a material of this name be shifted: with Texture_Name_Mode 0 only
// names some entry of Texture_Names matches, with 1 only names none matches.
bool FilterLetsShift(IParamBlock2& pb, TimeValue t, const std::wstring& name);

// Fills VariantMtls (one list per source), VariantCursors (0 each) and CreatedMtls for a render,
// with V = Color Variation at RenderTime: with Color Shift on, a source's list is its own material
// renamed "MtlNum0", then MakeVariant for k = 1 .. V - 1 named "MtlNum" k (and kept in
// CreatedMtls). A source without a material, or with Color Shift off, has an empty list.
void BuildVariants(Trellon& object);

}  // namespace trellon
