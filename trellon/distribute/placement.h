// The placement walk: where every copy of every item stands. It is the one place that lays the
// copies out (working paths, sequence slots and groups, per-object spacing and repeats, posts at
// knots, end objects, counters, random values, the copy transform), and it hands each copy, in
// placement order, to a consumer: the mesh builders, the proxy drawers, the renderer instance
// lists, the export. So every view of the distribution agrees, copy for copy.
//
// How to use it:
//
//   trellon::Placement placement = trellon::Placement::Prepare(object, t);
//   for (trellon::PlacementPass pass : placement.Passes()) {
//       const trellon::PassCounts counts = placement.Count(pass);  // size arrays once
//       placement.ForEachCopy(pass, [&](const trellon::PlacedCopy& copy) {
//           // copy.item, copy.source, copy.kind, copy.tm (item object space -> object space)
//       });
//   }
//
// Prepare reads the parameter block once, at time t, into a BuildSettings (object/
// build_settings.h), or takes the build's; with the item nodes' transforms that is all the walks
// read. Count runs the walk without sampling the path or
// composing transforms (cheap), and yields exactly the copies the full walk yields. A walk
// holds no state between calls: every pass starts its counters at 0, so walking a pass twice
// gives the same copies. Working paths are built on first use and kept for the placement's
// life.
//
// The passes are the builders of a build, in order: the end objects (when End_Nodes is not
// empty), then the posts (when Post_Nodes is not empty: the posts, then the distribution among
// them), else the per-object pattern (Geo_Pattern 2) or the sequence pattern (0 and 1).
//
// What a copy is not given: an item whose node is missing, and with Object_Solo = k > 0 every
// item but k - 1. Such copies still take their place in the layout (their counters advance), so
// the copies that remain keep their positions and random values.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "distribute/path_shape.h"
#include "distribute/working_path_cache.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "object/build_settings.h"
#include "point3.h"

class INode;

namespace trellon {

class Trellon;

enum class PlacementPass : std::uint8_t {
    Ends,       // end objects at both ends of each open spline
    Posts,      // posts at knots, then the sequence between them or the per-object pattern
    PerObject,  // Geo_Pattern 2 without posts
    Sequence,   // Geo_Pattern 0 and 1 without posts
};

// One copy, as the walk yields it.
struct PlacedCopy {
    // Item object space -> the Trellon object's space (the mesh's), or world space with
    // PlacementOptions::worldSpace. The identity in a counting walk.
    Matrix3 tm{1};
    int item = 0;    // index in the item list: Object_Nodes, then posts, then end objects
    int source = 0;  // source index for renderers: end objects, then objects, then posts
    CopyKind kind = CopyKind::Object;
    int spline = 0;      // spline of the path shape
    float u = 0.0f;      // normalised parameter on the copy's working path
    int globalPool = 0;  // pool index of its "All Objects" values (c0)
    int itemPool = 0;    // pool index of its item values (k * 100 + 100 + c[k])
};

// Copies of one pass, per item index.
struct PassCounts {
    std::vector<std::int64_t> perItem;
    std::int64_t total = 0;
};

struct PlacementOptions {
    // Transforms in world space (the object space times the Trellon node's object transform),
    // for renderers and the export; the mesh builders want the object's own space.
    bool worldSpace = false;
};

// An item as the walk sees it.
struct PlacementItem {
    INode* node = nullptr;
    int kind = 0;  // Item_Kind: 0 mesh, 1 light
    Point3 boxMin;
    Point3 boxMax;
    CopyKind list = CopyKind::Object;
};

// Receives the copies of a walk.
class CopyVisitor {
public:
    virtual ~CopyVisitor() = default;
    virtual void Copy(const PlacedCopy& copy) = 0;
};

class Placement {
public:
    // Reads the object's block at t, evaluates the path node (Spline_Obj) into a shape and finds
    // the transforms. Without a block, a path node or a path that becomes a shape, the
    // placement has no passes.
    static Placement Prepare(Trellon& object, TimeValue t, const PlacementOptions& options = {});
    // The build driver's form: the block already read into `settings` (at settings.t) and the
    // path node already evaluated into the shape of `paths`, both of which must outlive the
    // placement; the working paths built for the slot count are handed on rather than built
    // again.
    static Placement Prepare(Trellon& object, const BuildSettings& settings, WorkingPathCache paths,
                             const PlacementOptions& options = {});

    Placement(Placement&&) noexcept;
    Placement& operator=(Placement&&) noexcept;
    ~Placement();

    // The settings the placement was read from; nullptr when it has no passes for want of a
    // block or a path.
    const BuildSettings* Settings() const;

    // The passes of a build, in order (see above); empty without a path or items.
    std::vector<PlacementPass> Passes() const;

    // Walks one pass, handing each copy to the visitor in placement order.
    void Walk(PlacementPass pass, CopyVisitor& visitor);
    template <class F>
    void ForEachCopy(PlacementPass pass, F&& f) {
        struct Adapter final : CopyVisitor {
            explicit Adapter(F& fn) : fn_(fn) {}
            void Copy(const PlacedCopy& copy) override { fn_(copy); }
            F& fn_;
        } adapter(f);
        Walk(pass, adapter);
    }
    // The copies one pass yields, per item, without composing their transforms.
    PassCounts Count(PlacementPass pass);

    int ItemCount() const;
    // Item k; an index outside the items gives an empty item.
    const PlacementItem& Item(int k) const;

    // What a prepared placement holds (placement.cpp).
    struct State;

private:
    explicit Placement(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace trellon
