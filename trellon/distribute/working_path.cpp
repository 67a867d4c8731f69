#include "distribute/working_path.h"

#include <algorithm>
#include <cmath>

#include "distribute/offset_spline.h"
#include "maxapi.h"
#include "object/trellon.h"
#include "polyshp.h"
#include "shape.h"
#include "splshape.h"

namespace trellon {
namespace {

// u brought into [0, 1] as the host's normalised curve parameters bring it: clamped on an open
// path, wrapped on a closed one when outside (1 itself stays the end); NaN reads as 0.
double CurveParam(float u, bool closed) {
    const double w = u;
    if (std::isnan(w)) return 0.0;
    if (w >= 0.0 && w <= 1.0) return w;
    if (!closed || std::isinf(w)) return w < 0.0 ? 0.0 : 1.0;
    const double f = w - std::floor(w);
    return f >= 0.0 && f < 1.0 ? f : 0.0;
}

// The last index i in [0, n) with start[i] <= s (0 when none), among equal entries the last.
// Branch-free halving: queries at scattered distances would mispredict every step of a branching
// search.
int LastSegmentAtOrBefore(const double* start, int n, double s) {
    const double* base = start;
    while (n > 1) {
        const int half = n / 2;
        base = base[half] <= s ? base + half : base;
        n -= half;
    }
    return static_cast<int>(base - start);
}

}  // namespace

struct WorkingPath::Impl {
    SplineShape* shape = nullptr;  // owned; a host object without a node
    bool closed = false;
    std::vector<Point3> points;
    std::vector<double> cumulative;  // segments + 1 lengths from point 0
    std::vector<Point3> directions;  // unit direction per segment
    std::vector<int> knots;          // indices of the points that are knots of the offset spline

    Impl() = default;
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;
    ~Impl() {
        if (shape) shape->DeleteThis();
    }

    int Segments() const {
        const int n = static_cast<int>(points.size());
        return closed ? n : std::max(n - 1, 0);
    }
    const Point3& End(int seg) const {
        return points[static_cast<std::size_t>((seg + 1) % static_cast<int>(points.size()))];
    }

    // Reads the linear spline once: its points, the running length and the segment directions.
    void Cache(const Spline3D& linear);
};

void WorkingPath::Impl::Cache(const Spline3D& linear) {
    closed = linear.Closed() != 0;
    points.clear();
    for (int i = 0; i < linear.KnotCount(); ++i) points.push_back(linear.GetKnotPoint(i));
    const int n = Segments();
    cumulative.assign(static_cast<std::size_t>(n) + 1, 0.0);
    directions.assign(static_cast<std::size_t>(n), Point3(0.0f, 0.0f, 0.0f));

    // Lengths and directions in double, summed in order, so the total is the spline's own
    // SplineLength to the last bit.
    int lastWithLength = -1;
    for (int i = 0; i < n; ++i) {
        const Point3& a = points[static_cast<std::size_t>(i)];
        const Point3& b = End(i);
        const double dx = static_cast<double>(b.x) - a.x;
        const double dy = static_cast<double>(b.y) - a.y;
        const double dz = static_cast<double>(b.z) - a.z;
        const double len = std::sqrt(dx * dx + dy * dy + dz * dz);
        cumulative[static_cast<std::size_t>(i) + 1] = cumulative[static_cast<std::size_t>(i)] + len;
        if (len > 0.0) {
            directions[static_cast<std::size_t>(i)] = Point3(dx / len, dy / len, dz / len);
            lastWithLength = i;
        }
    }
    if (lastWithLength < 0) return;  // a path of no length: every tangent is zero

    // A segment without length takes the direction of the next one that has a length (round
    // the loop on a closed path); on an open path those after the last such segment take its
    // direction.
    const int passes = closed ? 2 : 1;
    Point3 carry;
    bool have = false;
    for (int k = passes * n - 1; k >= 0; --k) {
        const auto seg = static_cast<std::size_t>(k % n);
        if (cumulative[seg + 1] > cumulative[seg]) {
            carry = directions[seg];
            have = true;
        } else if (have) {
            directions[seg] = carry;
        }
    }
    if (!closed)
        for (int i = lastWithLength + 1; i < n; ++i)
            directions[static_cast<std::size_t>(i)] =
                directions[static_cast<std::size_t>(lastWithLength)];
}

WorkingPath::WorkingPath() = default;
WorkingPath::WorkingPath(WorkingPath&&) noexcept = default;
WorkingPath& WorkingPath::operator=(WorkingPath&&) noexcept = default;
WorkingPath::~WorkingPath() = default;

WorkingPath WorkingPath::Build(Trellon& object, const BezierShape& shape, int index, float d,
                               TimeValue t) {
    WorkingPath path;
    Spline3D* source = shape.GetSpline(index);
    if (!source || source->KnotCount() < 2) return path;

    // Step 1: the working path object, made by the host, with the path shape's steps (a shape
    // with adaptive steps gives an adaptive working path).
    auto* working = static_cast<SplineShape*>(CreateInstance(SHAPE_CLASS_ID, splineShapeClassID));
    if (!working) return path;
    auto impl = std::make_unique<Impl>();
    impl->shape = working;
    if (shape.steps < 0)
        working->SetAdaptive(TRUE);
    else
        working->SetSteps(shape.steps);
    BezierShape& held = working->GetShape();

    // Step 2: the offset spline, spline 0 of the working path.
    Spline3D* offset = held.NewSpline();
    OffsetSpline(object, *source, d, *offset);
    held.UpdateSels();
    held.InvalidateGeomCache();

    // Step 3: flatten it at the steps into a spline of corner knots (point = in = out), closed
    // when the source is, and drop the curved spline. The polyline keeps its direction: nesting
    // only reports, nothing is reversed.
    PolyShape poly;
    working->MakePolyShape(t, poly);
    poly.OrganizeCurves(t);
    Spline3D* linear = held.NewSpline();
    if (poly.numLines > 0) {
        const PolyLine& line = poly.lines[0];
        for (int i = 0; i < line.numPts; ++i) {
            const Point3 p = line.pts[i].p;
            linear->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
            if (line.pts[i].flags & POLYPT_KNOT) impl->knots.push_back(i);
        }
    }
    if (source->Closed()) linear->SetClosed(1);
    held.DeleteSpline(0);
    held.UpdateSels();
    held.InvalidateGeomCache();

    // Step 4: the sampling cache.
    impl->Cache(*held.GetSpline(0));
    path.impl_ = std::move(impl);
    return path;
}

float WorkingPath::Length() const {
    return impl_ && !impl_->cumulative.empty() ? static_cast<float>(impl_->cumulative.back())
                                               : 0.0f;
}

bool WorkingPath::Closed() const { return impl_ && impl_->closed; }

bool WorkingPath::Empty() const { return !impl_ || impl_->points.empty(); }

void WorkingPath::Sample(float u, Point3& position, Point3& tangent) const {
    if (Empty()) {
        position = Point3(0.0f, 0.0f, 0.0f);
        tangent = Point3(0.0f, 0.0f, 0.0f);
        return;
    }
    const Impl& p = *impl_;
    const int n = p.Segments();
    if (n == 0) {
        position = p.points.front();
        tangent = Point3(0.0f, 0.0f, 0.0f);
        return;
    }

    // The distance along the path, and the last segment starting at or before it (among
    // segments starting at the same distance, the later one).
    const double target = CurveParam(u, p.closed) * p.cumulative[static_cast<std::size_t>(n)];
    const int seg = LastSegmentAtOrBefore(p.cumulative.data(), n, target);

    const auto s = static_cast<std::size_t>(seg);
    const double len = p.cumulative[s + 1] - p.cumulative[s];
    const double frac = len > 0.0 ? std::clamp((target - p.cumulative[s]) / len, 0.0, 1.0) : 0.0;
    const Point3& a = p.points[s];
    const Point3& b = p.End(seg);
    position = Point3(a.x + (static_cast<double>(b.x) - a.x) * frac,
                      a.y + (static_cast<double>(b.y) - a.y) * frac,
                      a.z + (static_cast<double>(b.z) - a.z) * frac);
    tangent = p.directions[s];
}

Point3 WorkingPath::Position(float u) const {
    Point3 position, tangent;
    Sample(u, position, tangent);
    return position;
}

Point3 WorkingPath::Tangent(float u) const {
    Point3 position, tangent;
    Sample(u, position, tangent);
    return tangent;
}

const std::vector<Point3>& WorkingPath::Points() const {
    static const std::vector<Point3> kNone;
    return impl_ ? impl_->points : kNone;
}

std::vector<float> WorkingPath::KnotDistances() const {
    std::vector<float> distances;
    if (Empty()) return distances;
    const Impl& p = *impl_;
    for (const int k : p.knots) {
        if (k < static_cast<int>(p.cumulative.size()))
            distances.push_back(static_cast<float>(p.cumulative[static_cast<std::size_t>(k)]));
    }
    if (p.closed && !distances.empty()) distances.push_back(Length());
    return distances;
}

SplineShape* WorkingPath::Shape() const { return impl_ ? impl_->shape : nullptr; }

}  // namespace trellon
