// The host's graphics window: it records what objects draw instead of putting pixels anywhere,
// and in its picking state tests what they would draw against a hit region.
//
// Screen. The window belongs to a TopViewport and uses its mapping: the world point (x, y, z)
// lies at the screen point ((x - ox) / s, -(y - oy) / s) in pixels (x right, y down), s the
// viewport's world units per pixel and (ox, oy) its origin; the depth is z. Every point drawn is
// first taken to world space by the current transform (setTransform).
//
// Recording. Outside the picking state each marker, polyline and triangle is recorded in world
// space with the line colour (markers, polylines) or the fill colour (triangles) in force when
// it was drawn. Take() hands the records over and starts afresh.
//
// Picking. With GW_PICK in the rendering limits nothing is recorded; each primitive is tested
// against the hit region (setHitRegion; until one is given nothing hits):
//   - a point region hits a marker within epsilon pixels of the point, a polyline with a segment
//     (the closing one included) within epsilon pixels, and a triangle that holds the point or
//     has an edge within epsilon pixels (the viewport is taken as shaded, so faces are solid);
//     the hit distance is the distance in pixels, rounded, 0 inside a triangle;
//   - a rectangle or circle region, with crossing set, hits a primitive that has a point inside
//     it or a segment (edge) crossing it, and a triangle that holds the region's centre; without
//     crossing only a primitive whose every point lies inside; the hit distance is 0. A
//     rectangle whose right edge is left of its left edge (or bottom above top) holds nothing.
// A hit sets the hit code and lowers the hit distance; clearHitCode clears the code and sets the
// distance to its largest value. The hit report counts the primitives tested and hit since the
// last clearHitCode.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <span>
#include <vector>

#include "graphwin.h"
#include "hugearray.h"
#include "viewport.h"

namespace host {

// Storage for a record's arrays. A pass over a large object records hundreds of thousands of
// primitives into fresh memory, and the first touch of every 4 KiB page is a fault that costs
// more than recording the primitive: blocks of 2 MiB and more come from HugeArray, which backs
// them with 2 MiB pages.
template <class T>
struct RecordAllocator {
    using value_type = T;
    RecordAllocator() = default;
    template <class U>
    explicit RecordAllocator(const RecordAllocator<U>& /*other*/) {}
    T* allocate(std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < HugeArray::kHugeArrayThreshold) return std::allocator<T>().allocate(n);
        void* p = HugeArray::AllocateZeroed(bytes);
        if (p == nullptr) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < HugeArray::kHugeArrayThreshold) {
            std::allocator<T>().deallocate(p, n);
        } else {
            HugeArray::Free(p, bytes);
        }
    }
    template <class U>
    bool operator==(const RecordAllocator<U>& /*other*/) const {
        return true;
    }
};
template <class T>
using RecordArray = std::vector<T, RecordAllocator<T>>;

struct DrawnMarker {
    Point3 point;  // world space
    Point3 color;
    MarkerType type = DOT_MRKR;
};

// A polyline's points live in blocks its record shares (a proxy pass draws hundreds of thousands
// of short polylines: one allocation each would cost more than the drawing).
struct DrawnPolyline {
    std::span<const Point3> points;  // world space
    bool closed = false;
    Point3 color;
};

struct DrawnTriangle {
    std::array<Point3, 3> points;  // world space
    Point3 color;
};

// Blocks of points that never move once filled, so the polylines' spans stay valid while any
// copy of the record that holds them lives.
class PointBlocks {
public:
    // Room for n points, contiguous, in the current block or a new one.
    Point3* Add(std::size_t n);

private:
    struct Block {
        explicit Block(std::size_t points);
        ~Block();
        Block(const Block&) = delete;
        Block& operator=(const Block&) = delete;
        Point3* points = nullptr;
        std::size_t bytes = 0, used = 0, capacity = 0;
    };
    std::vector<std::shared_ptr<Block>> blocks_;
};

struct DrawRecord {
    RecordArray<DrawnMarker> markers;
    RecordArray<DrawnPolyline> polylines;
    RecordArray<DrawnTriangle> triangles;
    PointBlocks points;  // the polylines' points
    bool Empty() const { return markers.empty() && polylines.empty() && triangles.empty(); }
};

struct HitReport {
    int tested = 0;  // primitives tested since the last clearHitCode
    int hits = 0;    // of those, the ones that met the region
};

// Rendering limits of a new window: a lit, z-buffered wireframe-capable view.
constexpr DWORD kDefaultRndLimits = GW_WIREFRAME | GW_ILLUM | GW_Z_BUFFER | GW_POLY_EDGES;
// The hit distance after clearHitCode.
constexpr DWORD kNoHitDistance = 0xFFFFFFFFu;

class RecordingGraphicsWindow : public GraphicsWindow {
public:
    // The window of `view`, which must outlive it.
    explicit RecordingGraphicsWindow(const TopViewport& view);

    // GraphicsWindow
    void setTransform(const Matrix3& m) override { tm_ = m; }
    void setRndLimits(DWORD l) override { limits_ = l; }
    DWORD getRndLimits() override { return limits_; }
    DWORD getRndMode() override { return limits_; }
    void setColor(ColorType t, float r, float g, float b) override;
    Material* getMaterial() override { return &material_; }
    void marker(Point3* xyz, MarkerType type) override;
    void polyline(int ct, Point3* xyz, Point3* rgb, int closed, int* es) override;
    void triangle(Point3* xyz, Point3* rgb) override;
    DWORD hTransPoint(const Point3* in, IPoint3* out) override;
    DWORD wTransPoint(const Point3* in, IPoint3* out) override;
    void transPoint(const Point3* in, Point3* out) override;
    void setHitRegion(HitRegion* rgn) override;
    void clearHitCode() override;
    BOOL checkHitCode() override { return hit_; }
    void setHitCode(BOOL h) override { hit_ = h; }
    DWORD getHitDistance() override { return hitDistance_; }
    void setHitDistance(DWORD dist) override { hitDistance_ = dist; }

    // Host side.
    const Matrix3& Transform() const { return tm_; }
    const Point3& LineColor() const { return lineColor_; }
    bool Picking() const { return (limits_ & GW_PICK) != 0; }
    const HitReport& Report() const { return report_; }
    const DrawRecord& Record() const { return record_; }
    // Hands over what was drawn since the last Take and starts a new record.
    DrawRecord Take();
    // The screen position (pixels, as floats) and depth of a world point.
    Point3 WorldToScreen(const Point3& world) const;

private:
    // Screen points of object-space points, through the current transform.
    std::vector<Point2> ToScreen(const Point3* xyz, int n) const;
    // Tests one primitive (its screen points; closed: the last joins the first; solid: a filled
    // triangle) against the region and records a hit.
    void Test(const std::vector<Point2>& pts, bool closed, bool solid);

    const TopViewport& view_;
    Matrix3 tm_{1};
    DWORD limits_ = kDefaultRndLimits;
    Point3 lineColor_{1.0f, 1.0f, 1.0f};
    Point3 fillColor_{0.5f, 0.5f, 0.5f};
    Material material_;
    HitRegion region_;
    bool hasRegion_ = false;
    BOOL hit_ = FALSE;
    DWORD hitDistance_ = kNoHitDistance;
    HitReport report_;
    DrawRecord record_;
};

}  // namespace host
