// The length of part of one Bezier segment, optionally measured along a curve moved sideways.
// The offset spline scales its handles by these lengths, so they are measured the same way for
// the source (o = 0) and for its offset copy (o = -d).
#include <array>

#include "object/trellon.h"
#include "spline3d.h"

namespace trellon {
namespace {

// Parameter step to the neighbouring samples that give the local direction of travel.
constexpr float kNeighbourStep = 0.01f;

// The point at parameter u of segment i moved o sideways: o * (t.y, -t.x, 0), to the right of the
// direction of travel t for o > 0, where t is the chord between the neighbouring samples at
// u -+ 0.01. A neighbour that falls off the segment continues on the adjacent segment of a closed
// spline and is clamped to the segment's end on an open one.
Point3 MovedSideways(const Spline3D& spline, int i, float u, float o) {
    const int segments = spline.Segments();
    const bool closed = spline.Closed() != 0;
    const Point3 p = spline.InterpBezier3D(i, u);

    Point3 before;
    const float ub = u - kNeighbourStep;
    if (ub >= 0.0f)
        before = spline.InterpBezier3D(i, ub);
    else if (closed)
        before = spline.InterpBezier3D((i - 1 + segments) % segments, ub + 1.0f);
    else
        before = spline.InterpBezier3D(i, 0.0f);

    Point3 after;
    const float ua = u + kNeighbourStep;
    if (ua <= 1.0f)
        after = spline.InterpBezier3D(i, ua);
    else if (closed)
        after = spline.InterpBezier3D((i + 1) % segments, ua - 1.0f);
    else
        after = spline.InterpBezier3D(i, 1.0f);

    // Normalize leaves a zero chord (a segment without length) zero: the point does not move.
    const Point3 t = Normalize(after - before);
    return Point3(p.x + o * t.y, p.y - o * t.x, p.z);
}

}  // namespace

float Trellon::SegmentLength(Spline3D& spline, int i, float u0, float u1, float o) {
    // A segment the spline does not have has no length.
    if (i < 0 || i >= spline.Segments()) return 0.0f;

    // Six samples, five chords: u0 + k*h for k = 0..4, then u1 itself.
    const float h = (u1 - u0) / 5.0f;
    std::array<Point3, 6> p;
    for (int k = 0; k < 6; ++k) {
        const float u = k < 5 ? u0 + static_cast<float>(k) * h : u1;
        p[k] = o == 0.0f ? spline.InterpBezier3D(i, u) : MovedSideways(spline, i, u, o);
    }

    float length = 0.0f;
    for (int k = 0; k < 5; ++k) length += Length(p[k + 1] - p[k]);
    return length;
}

}  // namespace trellon
