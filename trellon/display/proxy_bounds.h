// The object's bounding box while the copies are drawn as proxies (Display_Mode 0 to 3) and the
// mesh does not hold them: an estimate from the path and the items that holds every proxy the
// drawers draw and every vertex of the mesh. In the mesh modes, and without a path node or
// without any item or shape, the boxes are the mesh's own.
//
// The estimate, in the object's space:
//   1. B = the path object's box carried into the object's space by the transform the placement
//      uses (PathToObjectTM: the path node's rotation, and the path's position relative to the
//      object unless DetachPath), joined with the mesh's box.
//   2. Sizes: the item height h, the largest maximum Z of the item nodes' world boxes (at least
//      0); the item reach r, the largest distance from an item node's pivot to a corner of its
//      world box or of its stored box (a light item also to its bulb); the sweep size g, the
//      largest of the maximum X, Y and Z of the shape nodes' world boxes, or, when larger, a
//      shape's reach from its pivot times its cross-section scale and the path's mitre factor.
//   3. Scale factor s = m + a: a = 0.01 + v / 100 for the "All Objects" entry and m, from 0.01,
//      the largest v / 100 - 1 of the item entries (random high values counted where the entry
//      is random) and of the sweep entries, v being the X scale of a unified entry and the
//      largest of X, Y and Z otherwise. h and r are multiplied by s.
//   4. Growth: X and Y by g + r + f max(o, w) + max(up, down), Z by max(h, r) + g + o, on both
//      sides; then the heights: the top by up, the bottom by down.
//   Here o is the items' sideways reach: twice the largest magnitude of the "All Objects"
//   sideways offsets plus twice the largest of the items' (a copy is moved by the path offset,
//   its item's own offset and the deviation of the global value); w the sweeps', the largest
//   magnitude of a sweep's total offset (its twin's included); up the positive Z offsets of
//   every item entry (the random value too where the entry is random) and every sweep entry's
//   height offset, summed, and down the negative ones as magnitudes. An item's roll (its X
//   rotation) turns the copy about the path's direction together with its sideways and height
//   offsets, so those reach sideways and upwards alike. f, the mitre factor, is the largest
//   1 / |sin x| over the path's knots, x half the angle between the directions to the knot's
//   neighbours (offset knots move along their mitres by that much), at most kMaxMitre.
// The local box is B; the world box is the box of B's corners through the node's object
// transform. A generous bound, not a tight one: the sizes are taken as spheres about the pivots
// because the copies may be turned any way.
#pragma once

#include "box3.h"
#include "maxtypes.h"

class INode;
class IParamBlock2;
class Trellon;
class ViewExp;

namespace trellon {

inline constexpr float kMaxMitre = 100.0f;

// What the estimate is made from.
struct ProxyBoundsInput {
    Box3 path;                // the path's box in the object's space (empty: no path)
    Box3 mesh;                // the mesh's box
    float itemHeight = 0.0f;  // h
    float itemReach = 0.0f;   // r
    float sweepSize = 0.0f;   // g
    float scaleMax = 0.01f;   // m
    float scaleAll = 1.01f;   // a
    float up = 0.0f;
    float down = 0.0f;
    float sideways = 0.0f;       // o, the items'
    float sweepSideways = 0.0f;  // w
    float mitre = 1.0f;          // f
};

// Whether the boxes are estimated: a path node, at least one item or shape, and a proxy mode.
bool UsesProxyBounds(IParamBlock2& pb, TimeValue t);

// Reads the input at t (the mesh brought up to date first).
ProxyBoundsInput ReadProxyBoundsInput(Trellon& object, TimeValue t, ViewExp* vp);

// The estimate in the object's space (steps 3 and 4 applied to B).
Box3 EstimateProxyBox(const ProxyBoundsInput& in);

// The mitre factor of the path node's shape at t (1 for straight paths and without a path).
float PathMitreFactor(INode* pathNode, TimeValue t);

}  // namespace trellon
