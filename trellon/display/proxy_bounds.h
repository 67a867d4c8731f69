// The object's bounding boxes while the copies are drawn as proxies (Display_Mode 0 to 3) and the
// mesh does not hold them. In the mesh modes, and without a path node or without any item or
// shape, the boxes are the mesh's own.
//
// The world box joins two estimates:
//
//   The size estimate, in world space, from the path's world box and the sizes of the item and
//   shape nodes, cheap and generous in height:
//     1. B = the path object's world box joined with W, the mesh's box through the node's object
//        transform.
//     2. h = the highest top (largest maximum Z) of the item nodes' world boxes; g = the largest
//        maximum X, Y or Z of the shape nodes' world boxes (both at least 0: the box never
//        shrinks).
//     3. s = m + a, from each entry's scale value v: its X scale range when the entry is unified,
//        else its Z range; the low value, or the larger of low and high where the entry is random
//        and random values count. m, from 0.01, is raised to v / 100 - 1 by every object entry
//        (random counts), every post and end entry and every sweep entry, "All Sweeps" included
//        (low values only); a = 0.01 + v / 100 of the "All Objects" entry (random counts).
//     4. B grows in X and Y by g + o and in Z by h s + g; its top by up, its bottom by down. up
//        and down sum the positive and the negative height offsets of every object entry (the
//        random value too where the entry is random), of every post and end entry and of every
//        sweep entry; o is the largest magnitude of any entry's sideways offset.
//
//   The reach estimate, which holds every proxy the drawers draw and every sweep vertex:
//     - the copies: the path's own box in the path's space grown by how far a copy reaches from
//       its point on the path (its item's farthest corner from the pivot times the largest scale,
//       the path offsets at the knots' mitres, the deviations and heights; a roll about the
//       direction of travel can turn offsets any way across the path), carried into the object's
//       space as the placement carries the path;
//     - the sweeps: the box of every vertex of every ring of the sweep walk, exactly (a profile
//       is swept in its own object space, whatever its node's scale);
//     then carried into world space by the node's object transform.
//
// The local box is the world box moved by minus the centre of W (the origin while the mesh is
// empty), as the host reads it in the proxy modes.
#pragma once

#include "box3.h"
#include "matrix3.h"
#include "maxtypes.h"

class BezierShape;
class INode;
class IParamBlock2;
class ViewExp;

namespace trellon {

class Trellon;

inline constexpr float kMaxMitre = 100.0f;

struct SizeEstimate {
    Box3 path;                // the path object's world box (empty: no path)
    Box3 mesh;                // W
    float itemHeight = 0.0f;  // h
    float sweepSize = 0.0f;   // g
    float scaleMax = 0.01f;   // m
    float scaleAll = 1.01f;   // a
    float up = 0.0f;
    float down = 0.0f;
    float sideways = 0.0f;  // o
};

struct ReachEstimate {
    Box3 path;                  // the path object's own box, in the path's space (empty: no path)
    Matrix3 objectFromPath{1};  // as the placement carries the path into the object's space
    float itemReach = 0.0f;     // farthest corner of an item (or its stored box, its bulb) from
                                // its pivot
    float scale = 1.02f;        // the largest scale a copy can get
    float sideways = 0.0f;      // path offsets and deviations of the copies
    float up = 0.0f;            // height offsets of the copies, up and down
    float down = 0.0f;
    bool roll = false;     // some entry rolls its copies about the direction of travel
    float mitre = 1.0f;    // the largest 1 / |sin x| over the path's knots (at most kMaxMitre)
    bool anyItem = false;  // the copies count (otherwise only the sweeps do)
    Box3 sweeps;           // every sweep vertex, in the object's space
};

struct ProxyBoundsInput {
    SizeEstimate size;
    ReachEstimate reach;
    Matrix3 objectTM{1};  // the node's object transform
};

// Whether the boxes are estimated: a path node, at least one item or shape, and a proxy mode.
bool UsesProxyBounds(IParamBlock2& pb, TimeValue t);

// Reads the input at t (the mesh brought up to date first). Without a node the object transform
// is the identity.
ProxyBoundsInput ReadProxyBoundsInput(Trellon& object, INode* node, TimeValue t, ViewExp* vp);

// The size estimate (world space); empty when B is.
Box3 SizeEstimateBox(const SizeEstimate& in);
// The reach estimate (the object's space); empty when there is nothing to hold.
Box3 ReachBox(const ReachEstimate& in);

// The world box and the local box, as listed above.
Box3 EstimateProxyWorldBox(const ProxyBoundsInput& in);
Box3 EstimateProxyLocalBox(const ProxyBoundsInput& in);

// The mitre factor of the path's shape (1 for straight paths and without a shape).
float PathMitreFactor(const BezierShape* shape);

}  // namespace trellon
