#include "recording_window.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace host {
namespace {

double Distance(const Point2& a, const Point2& b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return std::sqrt(dx * dx + dy * dy);
}

// Distance from p to the segment a-b.
double SegmentDistance(const Point2& p, const Point2& a, const Point2& b) {
    const double ex = static_cast<double>(b.x) - a.x;
    const double ey = static_cast<double>(b.y) - a.y;
    const double len2 = ex * ex + ey * ey;
    if (len2 == 0.0) return Distance(p, a);
    const double u = std::clamp(((p.x - a.x) * ex + (p.y - a.y) * ey) / len2, 0.0, 1.0);
    const double dx = a.x + u * ex - p.x;
    const double dy = a.y + u * ey - p.y;
    return std::sqrt(dx * dx + dy * dy);
}

bool InTriangle(const Point2& p, const std::vector<Point2>& t) {
    auto side = [&](const Point2& a, const Point2& b) {
        return (static_cast<double>(b.x) - a.x) * (p.y - a.y) -
               (static_cast<double>(b.y) - a.y) * (p.x - a.x);
    };
    const double s0 = side(t[0], t[1]);
    const double s1 = side(t[1], t[2]);
    const double s2 = side(t[2], t[0]);
    return (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
}

struct Rect {
    double left, top, right, bottom;
    bool Empty() const { return right < left || bottom < top; }
    bool Holds(const Point2& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
};

// Whether the segment a-b meets the rectangle (Liang-Barsky clipping leaves some of it).
bool SegmentMeetsRect(const Point2& a, const Point2& b, const Rect& r) {
    double t0 = 0.0, t1 = 1.0;
    const double dx = static_cast<double>(b.x) - a.x;
    const double dy = static_cast<double>(b.y) - a.y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - r.left, r.right - a.x, a.y - r.top, r.bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0.0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
        if (t0 > t1) return false;
    }
    return true;
}

// The segments of a primitive: consecutive points, and the closing one when asked for.
template <class F>
void ForEachSegment(const std::vector<Point2>& pts, bool closed, F f) {
    for (std::size_t i = 1; i < pts.size(); ++i) f(pts[i - 1], pts[i]);
    if (closed && pts.size() > 2) f(pts.back(), pts.front());
}

}  // namespace

PointBlocks::Block::Block(std::size_t n)
    : bytes(std::max(n * sizeof(Point3), HugeArray::kHugePageBytes)),
      capacity(bytes / sizeof(Point3)) {
    points = static_cast<Point3*>(HugeArray::AllocateZeroed(bytes));
    if (points == nullptr) throw std::bad_alloc();
}

PointBlocks::Block::~Block() { HugeArray::Free(points, bytes); }

Point3* PointBlocks::Add(std::size_t n) {
    // A block holds 2 MiB of points, or one longer polyline alone.
    if (blocks_.empty() || blocks_.back()->capacity - blocks_.back()->used < n)
        blocks_.push_back(std::make_shared<Block>(n));
    Block& b = *blocks_.back();
    Point3* at = b.points + b.used;
    b.used += n;
    return at;
}

RecordingGraphicsWindow::RecordingGraphicsWindow(const TopViewport& view) : view_(view) {}

void RecordingGraphicsWindow::setColor(ColorType t, float r, float g, float b) {
    if (t == LINE_COLOR) lineColor_ = Point3(r, g, b);
    if (t == FILL_COLOR) fillColor_ = Point3(r, g, b);
}

Point3 RecordingGraphicsWindow::WorldToScreen(const Point3& world) const {
    const float s = view_.WorldPerPixel();
    const Point3& o = view_.Origin();
    return Point3((world.x - o.x) / s, -(world.y - o.y) / s, world.z);
}

std::vector<Point2> RecordingGraphicsWindow::ToScreen(const Point3* xyz, int n) const {
    std::vector<Point2> out;
    out.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        const Point3 s = WorldToScreen(xyz[i] * tm_);
        out.emplace_back(s.x, s.y);
    }
    return out;
}

void RecordingGraphicsWindow::marker(Point3* xyz, MarkerType type) {
    if (xyz == nullptr) return;
    if (Picking()) {
        Test(ToScreen(xyz, 1), false, false);
        return;
    }
    record_.markers.push_back({*xyz * tm_, lineColor_, type});
}

void RecordingGraphicsWindow::polyline(int ct, Point3* xyz, Point3* /*rgb*/, int closed,
                                       int* /*es*/) {
    if (xyz == nullptr || ct <= 0) return;
    if (Picking()) {
        Test(ToScreen(xyz, ct), closed != 0, false);
        return;
    }
    const auto n = static_cast<std::size_t>(ct);
    Point3* points = record_.points.Add(n);
    for (std::size_t i = 0; i < n; ++i) points[i] = xyz[i] * tm_;
    record_.polylines.push_back({std::span<const Point3>(points, n), closed != 0, lineColor_});
}

void RecordingGraphicsWindow::triangle(Point3* xyz, Point3* /*rgb*/) {
    if (xyz == nullptr) return;
    if (Picking()) {
        Test(ToScreen(xyz, 3), true, true);
        return;
    }
    record_.triangles.push_back({{xyz[0] * tm_, xyz[1] * tm_, xyz[2] * tm_}, fillColor_});
}

DWORD RecordingGraphicsWindow::hTransPoint(const Point3* in, IPoint3* out) {
    return wTransPoint(in, out);
}

DWORD RecordingGraphicsWindow::wTransPoint(const Point3* in, IPoint3* out) {
    if (in == nullptr || out == nullptr) return 0;
    const Point3 s = WorldToScreen(*in * tm_);
    *out = IPoint3(static_cast<int>(std::lround(s.x)), static_cast<int>(std::lround(s.y)),
                   static_cast<int>(std::lround(s.z)));
    return 0;
}

void RecordingGraphicsWindow::transPoint(const Point3* in, Point3* out) {
    if (in == nullptr || out == nullptr) return;
    *out = WorldToScreen(*in * tm_);
}

void RecordingGraphicsWindow::setHitRegion(HitRegion* rgn) {
    hasRegion_ = rgn != nullptr;
    if (rgn != nullptr) region_ = *rgn;
}

void RecordingGraphicsWindow::clearHitCode() {
    hit_ = FALSE;
    hitDistance_ = kNoHitDistance;
    report_ = HitReport{};
}

DrawRecord RecordingGraphicsWindow::Take() { return std::exchange(record_, DrawRecord{}); }

void RecordingGraphicsWindow::Test(const std::vector<Point2>& pts, bool closed, bool solid) {
    ++report_.tested;
    if (!hasRegion_ || pts.empty()) return;
    bool hit = false;
    double dist = 0.0;
    const bool triangle = solid && pts.size() == 3;
    switch (region_.type) {
        case POINT_RGN: {
            const Point2 p(static_cast<float>(region_.pt.x), static_cast<float>(region_.pt.y));
            dist = pts.size() == 1 ? Distance(p, pts[0]) : std::numeric_limits<double>::max();
            ForEachSegment(pts, closed, [&](const Point2& a, const Point2& b) {
                dist = std::min(dist, SegmentDistance(p, a, b));
            });
            if (triangle && InTriangle(p, pts)) dist = 0.0;
            hit = dist <= region_.epsilon;
            break;
        }
        case RECT_RGN: {
            const Rect r{
                static_cast<double>(region_.rect.left), static_cast<double>(region_.rect.top),
                static_cast<double>(region_.rect.right), static_cast<double>(region_.rect.bottom)};
            if (r.Empty()) break;
            if (region_.crossing) {
                hit = std::any_of(pts.begin(), pts.end(),
                                  [&](const Point2& q) { return r.Holds(q); });
                ForEachSegment(pts, closed, [&](const Point2& a, const Point2& b) {
                    hit = hit || SegmentMeetsRect(a, b, r);
                });
                const Point2 centre(static_cast<float>((r.left + r.right) / 2),
                                    static_cast<float>((r.top + r.bottom) / 2));
                hit = hit || (triangle && InTriangle(centre, pts));
            } else {
                hit = std::all_of(pts.begin(), pts.end(),
                                  [&](const Point2& q) { return r.Holds(q); });
            }
            break;
        }
        case CIRCLE_RGN: {
            const Point2 c(static_cast<float>(region_.circle.x),
                           static_cast<float>(region_.circle.y));
            const double radius = region_.circle.r;
            auto inside = [&](const Point2& q) { return Distance(c, q) <= radius; };
            if (region_.crossing) {
                hit = std::any_of(pts.begin(), pts.end(), inside);
                ForEachSegment(pts, closed, [&](const Point2& a, const Point2& b) {
                    hit = hit || SegmentDistance(c, a, b) <= radius;
                });
                hit = hit || (triangle && InTriangle(c, pts));
            } else {
                hit = std::all_of(pts.begin(), pts.end(), inside);
            }
            break;
        }
        default:
            break;
    }
    if (!hit) return;
    ++report_.hits;
    hit_ = TRUE;
    hitDistance_ = std::min(hitDistance_, static_cast<DWORD>(std::lround(dist)));
}

}  // namespace host
