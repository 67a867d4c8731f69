#include "polyshp.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "curve_param.h"
#include "matrix3.h"

using trellon_sdk_detail::CurveParam;
using trellon_sdk_detail::SimpleSegment;

// ---------------------------------------------------------------------------------------------
// PolyLine

PolyLine::PolyLine(const PolyLine& from)
    : flags(from.flags),
      bdBox(from.bdBox),
      store_(from.store_),
      cacheValid_(from.cacheValid_),
      cumLength_(from.cumLength_),
      segDir_(from.segDir_) {
    SyncPointer();
}

PolyLine::PolyLine(PolyLine&& from) noexcept
    : flags(from.flags),
      bdBox(from.bdBox),
      store_(std::move(from.store_)),
      cacheValid_(from.cacheValid_),
      cumLength_(std::move(from.cumLength_)),
      segDir_(std::move(from.segDir_)) {
    SyncPointer();
    from.store_.clear();
    from.cacheValid_ = false;
    from.SyncPointer();
}

PolyLine& PolyLine::operator=(const PolyLine& from) {
    if (this == &from) return *this;
    flags = from.flags;
    bdBox = from.bdBox;
    store_ = from.store_;
    cacheValid_ = from.cacheValid_;
    cumLength_ = from.cumLength_;
    segDir_ = from.segDir_;
    SyncPointer();
    return *this;
}

PolyLine& PolyLine::operator=(PolyLine&& from) noexcept {
    if (this == &from) return *this;
    flags = from.flags;
    bdBox = from.bdBox;
    store_ = std::move(from.store_);
    cacheValid_ = from.cacheValid_;
    cumLength_ = std::move(from.cumLength_);
    segDir_ = std::move(from.segDir_);
    SyncPointer();
    from.store_.clear();
    from.cacheValid_ = false;
    from.SyncPointer();
    return *this;
}

void PolyLine::SyncPointer() {
    numPts = static_cast<int>(store_.size());
    pts = store_.empty() ? nullptr : store_.data();
}

void PolyLine::Init() {
    store_.clear();
    flags = 0;
    bdBox.Init();
    SyncPointer();
    InvalidateGeomCache();
}

int PolyLine::Segments() const {
    if (numPts <= 0) return 0;
    return IsClosed() ? numPts : numPts - 1;
}

BOOL PolyLine::SetNumPts(int count, BOOL keep) {
    if (count < 0) count = 0;
    if (!keep) store_.clear();
    store_.resize(static_cast<std::size_t>(count));
    SyncPointer();
    InvalidateGeomCache();
    return TRUE;
}

void PolyLine::Append(const PolyPt& p) {
    store_.push_back(p);
    SyncPointer();
    InvalidateGeomCache();
}

void PolyLine::Reverse(BOOL keepZero) {
    if (numPts < 2) return;
    if (keepZero && IsClosed())
        std::reverse(store_.begin() + 1, store_.end());
    else
        std::reverse(store_.begin(), store_.end());
    InvalidateGeomCache();
}

void PolyLine::BuildCache() const {
    const int n = Segments();
    cumLength_.assign(static_cast<std::size_t>(n) + 1, 0.0);
    segDir_.assign(static_cast<std::size_t>(n), Point3(0.0f, 0.0f, 0.0f));
    std::vector<char> own(static_cast<std::size_t>(n), 0);
    int lastOwn = -1;
    for (int i = 0; i < n; ++i) {
        const Point3& a = pts[i].p;
        const Point3& b = pts[(i + 1) % numPts].p;
        const double dx = static_cast<double>(b.x) - a.x;
        const double dy = static_cast<double>(b.y) - a.y;
        const double dz = static_cast<double>(b.z) - a.z;
        const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
        cumLength_[i + 1] = cumLength_[i] + len;
        if (len > 0.0) {
            segDir_[i] = Point3(dx / len, dy / len, dz / len);
            own[i] = 1;
            lastOwn = i;
        }
    }
    // Zero-length segments take the direction of the next segment with a length. Scanning
    // backwards carries that direction; a closed line goes round twice so the wrap is seen.
    if (lastOwn >= 0) {
        const int passes = IsClosed() ? 2 : 1;
        Point3 carry;
        bool have = false;
        for (int k = passes * n - 1; k >= 0; --k) {
            const int i = k % n;
            if (own[i]) {
                carry = segDir_[i];
                have = true;
            } else if (have) {
                segDir_[i] = carry;
            }
        }
        // The open end has no next segment: the last one with a length serves.
        if (!IsClosed())
            for (int i = lastOwn + 1; i < n; ++i) segDir_[i] = segDir_[lastOwn];
    }
    cacheValid_ = true;
}

int PolyLine::FindSegment(double s, double& frac) const {
    const int n = Segments();
    // The last segment start at or before s; among equal starts (zero-length segments) the
    // later one, which has the length.
    const int i = trellon_sdk_detail::LastAtOrBelow(cumLength_.data(), n, s);
    const double len = cumLength_[i + 1] - cumLength_[i];
    frac = len > 0.0 ? (s - cumLength_[i]) / len : 0.0;
    frac = std::clamp(frac, 0.0, 1.0);
    return i;
}

int PolyLine::Locate(float u, int ptype, double& frac) const {
    const int n = Segments();
    const double w = CurveParam(u, IsClosed() != 0);
    if (ptype == POLYSHP_INTERP_NORMALIZED) {
        if (!cacheValid_) BuildCache();
        return FindSegment(w * cumLength_[n], frac);
    }
    return SimpleSegment(w, n, frac);
}

Point3 PolyLine::PointOnSegment(int seg, double frac) const {
    const Point3& a = pts[seg].p;
    const Point3& b = pts[(seg + 1) % numPts].p;
    return a + (b - a) * static_cast<float>(frac);
}

Point3 PolyLine::InterpCurve3D(float u, int ptype) const {
    if (numPts == 0) return Point3(0.0f, 0.0f, 0.0f);
    if (Segments() == 0) return pts[0].p;
    double frac = 0.0;
    const int seg = Locate(u, ptype, frac);
    return PointOnSegment(seg, frac);
}

Point3 PolyLine::TangentCurve3D(float u, int ptype) const {
    if (Segments() == 0) return Point3(0.0f, 0.0f, 0.0f);
    if (!cacheValid_) BuildCache();
    double frac = 0.0;
    return segDir_[Locate(u, ptype, frac)];
}

float PolyLine::CurveLength() const {
    const int n = Segments();
    if (n == 0) return 0.0f;
    if (!cacheValid_) BuildCache();
    return static_cast<float>(cumLength_[n]);
}

double PolyLine::SignedArea2D() const {
    if (numPts < 3) return 0.0;
    // Relative to point 0, so that far-off coordinates keep their precision.
    const double ox = pts[0].p.x, oy = pts[0].p.y;
    double twice = 0.0;
    for (int i = 0; i < numPts; ++i) {
        const Point3& a = pts[i].p;
        const Point3& b = pts[(i + 1) % numPts].p;
        twice += (a.x - ox) * (b.y - oy) - (b.x - ox) * (a.y - oy);
    }
    return twice * 0.5;
}

BOOL PolyLine::IsClockWise() const { return SignedArea2D() < 0.0 ? TRUE : FALSE; }

BOOL PolyLine::Inside(const Point3& p) const {
    if (numPts < 3) return FALSE;
    bool inside = false;
    for (int i = 0; i < numPts; ++i) {
        const Point3& a = pts[i].p;
        const Point3& b = pts[(i + 1) % numPts].p;
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = a.x + (static_cast<double>(p.y) - a.y) *
                                       (static_cast<double>(b.x) - a.x) /
                                       (static_cast<double>(b.y) - a.y);
            if (p.x < x) inside = !inside;
        }
    }
    return inside ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// GenericHierarchy

BOOL GenericHierarchy::AddEntry(int data, int parent) {
    if (data < 0) return FALSE;
    bool parentFound = parent == -1;
    for (const Entry& e : entries_) {
        if (e.data == data) return FALSE;
        if (e.data == parent) parentFound = true;
    }
    if (!parentFound) return FALSE;
    entries_.push_back({data, parent});
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// PolyShape

PolyShape::PolyShape(const PolyShape& from) : store_(from.store_) { SyncPointer(); }

PolyShape::PolyShape(PolyShape&& from) noexcept : store_(std::move(from.store_)) {
    SyncPointer();
    from.store_.clear();
    from.SyncPointer();
}

PolyShape& PolyShape::operator=(const PolyShape& from) {
    if (this == &from) return *this;
    store_ = from.store_;
    SyncPointer();
    return *this;
}

PolyShape& PolyShape::operator=(PolyShape&& from) noexcept {
    if (this == &from) return *this;
    store_ = std::move(from.store_);
    SyncPointer();
    from.store_.clear();
    from.SyncPointer();
    return *this;
}

void PolyShape::SyncPointer() {
    numLines = static_cast<int>(store_.size());
    lines = store_.empty() ? nullptr : store_.data();
}

void PolyShape::NewShape() {
    store_.clear();
    SyncPointer();
}

BOOL PolyShape::SetNumLines(int count, BOOL keep) {
    if (count < 0) count = 0;
    if (!keep) store_.clear();
    store_.resize(static_cast<std::size_t>(count));
    SyncPointer();
    return TRUE;
}

void PolyShape::Reverse(const BitArray& reverse, BOOL keepZero) {
    const int n = std::min(numLines, reverse.GetSize());
    for (int i = 0; i < n; ++i)
        if (reverse[i]) lines[i].Reverse(keepZero);
}

namespace {

struct Outline {
    bool closed = false;  // a closed line with at least three points: it can hold others
    double area = 0.0;    // unsigned XY area
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0;
    double eps = 0.0;  // distance below which a point counts as lying on the outline
};

double DistanceToSegment2D(const Point3& q, const Point3& a, const Point3& b) {
    const double abx = static_cast<double>(b.x) - a.x, aby = static_cast<double>(b.y) - a.y;
    const double aqx = static_cast<double>(q.x) - a.x, aqy = static_cast<double>(q.y) - a.y;
    const double len2 = abx * abx + aby * aby;
    double t = len2 > 0.0 ? (aqx * abx + aqy * aby) / len2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    const double dx = aqx - t * abx, dy = aqy - t * aby;
    return std::sqrt(dx * dx + dy * dy);
}

bool OnOutline(const PolyLine& line, const Point3& q, double eps) {
    for (int i = 0; i < line.numPts; ++i)
        if (DistanceToSegment2D(q, line.pts[i].p, line.pts[(i + 1) % line.numPts].p) <= eps)
            return true;
    return false;
}

// Whether closed line `inner` lies inside closed line `outer` (XY). The first point of inner off
// outer's outline decides; when all lie on it the lines coincide and count as nested.
bool Holds(const PolyLine& outer, const Outline& o, const PolyLine& inner, const Outline& in) {
    if (in.minX < o.minX - o.eps || in.maxX > o.maxX + o.eps || in.minY < o.minY - o.eps ||
        in.maxY > o.maxY + o.eps)
        return false;
    for (int k = 0; k < inner.numPts; ++k) {
        const Point3& q = inner.pts[k].p;
        if (OnOutline(outer, q, o.eps)) continue;
        return outer.Inside(q) != 0;
    }
    return true;
}

}  // namespace

void PolyShape::OrganizeCurves(TimeValue /*t*/, ShapeHierarchy* hier) const {
    if (!hier) return;
    const int n = numLines;
    hier->New(n);

    // Step 1: outline facts per line.
    std::vector<Outline> info(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const PolyLine& line = lines[i];
        Outline& o = info[i];
        o.closed = line.IsClosed() && line.numPts >= 3;
        if (!o.closed) continue;
        o.area = std::fabs(line.SignedArea2D());
        o.minX = o.maxX = line.pts[0].p.x;
        o.minY = o.maxY = line.pts[0].p.y;
        for (int k = 1; k < line.numPts; ++k) {
            o.minX = std::min(o.minX, static_cast<double>(line.pts[k].p.x));
            o.maxX = std::max(o.maxX, static_cast<double>(line.pts[k].p.x));
            o.minY = std::min(o.minY, static_cast<double>(line.pts[k].p.y));
            o.maxY = std::max(o.maxY, static_cast<double>(line.pts[k].p.y));
        }
        o.eps = 1e-6 * std::max({o.maxX - o.minX, o.maxY - o.minY, 1e-30});
    }

    // Step 2: the parent of each closed line is its smallest container. Only a line that ranks
    // above (larger area, or equal area and a lower index) may contain another, so the nesting
    // cannot form a cycle, even for duplicates.
    const auto ranksAbove = [&](int j, int i) {
        return info[j].area > info[i].area || (info[j].area == info[i].area && j < i);
    };
    std::vector<int> parent(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
        if (!info[i].closed) continue;
        for (int j = 0; j < n; ++j) {
            if (j == i || !info[j].closed || !ranksAbove(j, i)) continue;
            if (parent[i] != -1 && !ranksAbove(parent[i], j)) continue;  // not smaller
            if (Holds(lines[j], info[j], lines[i], info[i])) parent[i] = j;
        }
    }

    // Step 3: depths, then the hierarchy with parents entered before their children.
    std::vector<int> depth(static_cast<std::size_t>(n), 0);
    for (int i = 0; i < n; ++i)
        for (int p = parent[i]; p != -1; p = parent[p]) ++depth[i];
    std::vector<int> order(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return depth[a] < depth[b]; });
    for (int i : order) hier->hier.AddEntry(i, parent[i]);

    // Step 4: even depths run counter-clockwise, odd depths clockwise.
    for (int i = 0; i < n; ++i) {
        if (!info[i].closed) continue;
        const bool wantClockwise = depth[i] % 2 == 1;
        if ((lines[i].IsClockWise() != 0) != wantClockwise) hier->reverse.Set(i);
    }
}
