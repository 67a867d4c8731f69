// The path side of the sweep walk: samples along the offset path, the frame at each sample, the
// texture seams, and what a block of rings counts (sweep_walk.h).
#include <algorithm>
#include <cmath>

#include "polyshp.h"
#include "spline3d.h"
#include "sweep/sweep_walk.h"

namespace trellon {
namespace {

constexpr float kPi = 3.14159265f;

bool IsZero(const Point3& v) { return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f; }

// round(x * 1000) / 1000 with halves rounding up: directions that agree to three decimals in X
// and Y continue straight on.
float Round3(float x) { return std::floor(x * 1000.0f + 0.5f) / 1000.0f; }

float ClampedAcos(float c) { return std::acos(std::clamp(c, -1.0f, 1.0f)); }

// The unit directions into and out of sample i, from the nearest samples before and after it
// that do not coincide with it: two samples at one place (a polyline vertex under a trimmed end,
// a doubled knot) share the direction the path has there instead of losing it. Zero where no
// such neighbour exists (the ends of an open run, a run at one point).
void Directions(const Point3* s, int n, int i, bool loop, Point3& in, Point3& out) {
    in = Point3(0.0f, 0.0f, 0.0f);
    out = Point3(0.0f, 0.0f, 0.0f);
    const auto step = [&](int j, int by) { return loop ? (j + by + n) % n : j + by; };
    for (int j = step(i, -1), seen = 0; j >= 0 && j < n && seen < n - 1; j = step(j, -1), ++seen) {
        if (!(s[j] == s[i])) {
            in = Normalize(s[i] - s[j]);
            break;
        }
    }
    for (int j = step(i, 1), seen = 0; j >= 0 && j < n && seen < n - 1; j = step(j, 1), ++seen) {
        if (!(s[j] == s[i])) {
            out = Normalize(s[j] - s[i]);
            break;
        }
    }
}

void PutRows(Matrix3& m, const Point3& r0, const Point3& r1, const Point3& r2, const Point3& r3) {
    m.SetRow(0, r0);
    m.SetRow(1, r1);
    m.SetRow(2, r2);
    m.SetRow(3, r3);
}

}  // namespace

PathRun SamplePath(const PolyLine& line, float startTrim, float endTrim, const Spline3D* curve) {
    PathRun run;
    const int n = line.numPts;
    const bool closed = line.IsClosed() != 0;
    if (n < 2) return run;
    const double a = startTrim > 0.0f ? startTrim : 0.0;
    const double b = endTrim > 0.0f ? endTrim : 0.0;

    // T: the polyline's length, the closing edge included on a closed line.
    const auto point = [&](int v) -> const Point3& { return line.pts[v % n].p; };
    const auto edge = [&](int v) {
        const Point3& p = point(v);
        const Point3& q = point(v - 1);
        const double dx = static_cast<double>(p.x) - q.x;
        const double dy = static_cast<double>(p.y) - q.y;
        const double dz = static_cast<double>(p.z) - q.z;
        return std::sqrt(dx * dx + dy * dy + dz * dz);
    };
    const int last = closed ? n : n - 1;  // the walk's last vertex (n: the closing vertex q_0)
    double total = 0.0;
    for (int v = 1; v <= last; ++v) total += edge(v);
    if (!(total > 0.0) || a + b >= total) return run;
    run.loop = closed && a == 0.0 && b == 0.0;

    // A trimmed end lies on the curve itself at the fraction of its length the trim cuts off, not
    // on the chord between two polyline vertices (without the curve, on the polyline).
    const auto at = [&](double u) {
        const float f = static_cast<float>(u);
        return curve != nullptr ? curve->InterpCurve3D(f, SPLINE_INTERP_NORMALIZED)
                                : line.InterpCurve3D(f, POLYSHP_INTERP_NORMALIZED);
    };

    // The first sample at s0: the first vertex itself without a start trim.
    std::vector<Point3>& out = run.samples;
    out.reserve(static_cast<std::size_t>(last) + 2);
    out.push_back(a == 0.0 ? point(0) : at(a / total));

    // Walk the vertices past the first, comparing travelled lengths with the trims (in lengths,
    // not fractions, so a trim that ends exactly on a vertex meets it exactly). A vertex within
    // a hair of a trimmed end counts as lying on it: it is sampled once, as that end, never
    // twice. A vertex is a sample when it lies past the start trim; the walk stops, before
    // sampling, past the end trim, at the walk's last vertex without an end trim, and at the
    // closing vertex of a closed line.
    const double hair = total * 1e-6;
    const double stop = total - b;
    double travelled = 0.0;
    bool endReached = false;
    for (int v = 1; v <= last; ++v) {
        travelled += edge(v);
        const bool lastVertex = v == last;
        if ((lastVertex && b == 0.0) || (closed && lastVertex)) break;
        if (travelled > stop + hair) break;
        if (travelled <= a + hair) continue;
        out.push_back(point(v));
        if (travelled >= stop - hair) {
            endReached = true;
            break;
        }
    }

    // The last sample at the end trim, except on a loop, whose rings wrap to the first, and
    // except when the walk's last sample already lies there.
    if (!run.loop && !endReached) out.push_back(b == 0.0 ? point(last) : at(1.0 - b / total));
    return run;
}

Matrix3 SampleFrame(const Point3* s, int n, int i, bool loop) {
    Matrix3 frame(1);
    if (n <= 0 || i < 0 || i >= n) return frame;
    Point3 in, out;
    Directions(s, n, i, loop, in, out);
    const bool both = !IsZero(in) && !IsZero(out);
    const bool corner = both && (Round3(in.x) != Round3(out.x) || Round3(in.y) != Round3(out.y));
    const Point3 bisector = both ? Normalize(in + out) : Point3(0.0f, 0.0f, 0.0f);

    if (!corner || IsZero(bisector)) {
        // A straight sample (or a turn straight back, which has no mitre): the arbitrary-axis
        // frame of the direction of travel; with both directions the one between them.
        Point3 dir = !IsZero(bisector) ? bisector : (!IsZero(in) ? in : out);
        // Only a run whose samples all coincide has no direction at all: the cross-section then
        // stands upright, as ArbAxis makes it for +Z.
        if (IsZero(dir)) dir = Point3(0.0f, 0.0f, 1.0f);
        ArbAxis(dir, frame);
        frame.SetRow(3, s[i]);
        return frame;
    }

    // A corner: the frame of the incoming direction, turned about in x bisector until its third
    // row lies on the bisector.
    ArbAxis(in, frame);
    Point3 r0 = frame.GetRow(0), r1 = frame.GetRow(1);
    const Point3 axis = Normalize(CrossProd(in, bisector));
    if (!IsZero(axis)) {
        const Matrix3 turn = RotAngleAxisMatrix(axis, ClampedAcos(DotProd(in, bisector)));
        r0 = VectorTransform(r0, turn);
        r1 = VectorTransform(r1, turn);
    }

    // The mitre stretch: across the bend (in the cross-section's plane, perpendicular to the
    // bend axis in x out) the outline grows by 1 / sin(alpha / 2), alpha being the angle between
    // the path pieces (pi on a straight run), so both pieces keep the outline's width.
    const float alpha = ClampedAcos(-DotProd(in, out));
    const float sinHalf = std::sin(0.5f * alpha);
    const Point3 across = Normalize(CrossProd(Normalize(CrossProd(in, out)), bisector));
    if (sinHalf > 0.0f && !IsZero(across)) {
        const float grow = 1.0f / sinHalf - 1.0f;
        r0 += across * (grow * DotProd(r0, across));
        r1 += across * (grow * DotProd(r1, across));
    }
    PutRows(frame, r0, r1, bisector, s[i]);
    return frame;
}

bool SeamAt(const Point3* s, int n, int i, bool loop, float seamAngle) {
    const bool inner = i > 0 && (i < n - 1 || (loop && i == n - 1));
    if (!inner || n < 3) return false;
    Point3 in, out;
    Directions(s, n, i, loop, in, out);
    if (IsZero(in) || IsZero(out)) return false;
    // The turning angle acos(in . out) is greater than the seam angle; compared on the cosine.
    if (seamAngle < 0.0f) return true;
    if (seamAngle >= kPi) return false;
    return DotProd(in, out) < std::cos(seamAngle);
}

SweepCounts BlockCounts(int points, bool closedLine, int samples, bool loop, int seams) {
    SweepCounts c;
    if (points <= 0 || samples <= 0) return c;
    const std::int64_t p = points;
    const std::int64_t n = samples;
    c.verts = n * p;
    if (points < 2 || samples < 2) return c;
    const std::int64_t pairs = loop ? n : n - 1;
    const std::int64_t quads = closedLine ? p : p - 1;
    c.faces = 2 * pairs * quads;
    const std::int64_t rows = n + seams + (loop ? 1 : 0);
    c.tverts = rows * (closedLine ? p + 1 : p);
    return c;
}

}  // namespace trellon
