#include "spline3d.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "curve_param.h"
#include "matrix3.h"

namespace trellon_sdk_detail {

static Vec3d operator+(const Vec3d& a, const Vec3d& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
static Vec3d operator-(const Vec3d& a, const Vec3d& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
static Vec3d operator-(const Vec3d& a) { return {-a.x, -a.y, -a.z}; }
static Vec3d operator*(const Vec3d& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
static double Dot(const Vec3d& a, const Vec3d& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
static double Len(const Vec3d& a) { return std::sqrt(Dot(a, a)); }
static Vec3d Unit(const Vec3d& a) {
    const double l = Len(a);
    return l > 0.0 ? a * (1.0 / l) : Vec3d{0.0, 0.0, 0.0};
}
static Vec3d ToVec(const Point3& p) { return {p.x, p.y, p.z}; }
static Point3 ToPoint(const Vec3d& v) { return Point3(v.x, v.y, v.z); }

// The cubic and its derivatives.
static Vec3d BezPoint(const SplineSegment& s, double t) {
    const double mt = 1.0 - t;
    return s.p0 * (mt * mt * mt) + s.p1 * (3.0 * mt * mt * t) + s.p2 * (3.0 * mt * t * t) +
           s.p3 * (t * t * t);
}
static Vec3d BezD1(const SplineSegment& s, double t) {
    const double mt = 1.0 - t;
    return ((s.p1 - s.p0) * (mt * mt) + (s.p2 - s.p1) * (2.0 * mt * t) + (s.p3 - s.p2) * (t * t)) *
           3.0;
}
static Vec3d BezD2(const SplineSegment& s, double t) {
    return ((s.p2 - s.p1 * 2.0 + s.p0) * (1.0 - t) + (s.p3 - s.p2 * 2.0 + s.p1) * t) * 6.0;
}
static Vec3d BezD3(const SplineSegment& s) { return (s.p3 - s.p2 * 3.0 + s.p1 * 3.0 - s.p0) * 6.0; }
static double PolygonLength(const SplineSegment& s) {
    return Len(s.p1 - s.p0) + Len(s.p2 - s.p1) + Len(s.p3 - s.p2);
}

// 5-point Gauss-Legendre rule for the arc length of [a, b]: exact for polynomials of degree 9,
// and |B'(t)| is the square root of a quartic, smooth away from stationary points.
static double GaussLength(const SplineSegment& s, double a, double b) {
    static constexpr double kX[5] = {0.0, -0.5384693101056831, 0.5384693101056831,
                                     -0.9061798459386640, 0.9061798459386640};
    static constexpr double kW[5] = {0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
                                     0.2369268850561891, 0.2369268850561891};
    const double half = 0.5 * (b - a), mid = 0.5 * (a + b);
    double sum = 0.0;
    for (int i = 0; i < 5; ++i) sum += kW[i] * Len(BezD1(s, mid + half * kX[i]));
    return sum * half;
}

// Halves the interval until the two halves agree with the whole to tol. A stationary point (a
// kink of |B'|) converges more slowly, hence the depth bound.
static double AdaptiveLength(const SplineSegment& s, double a, double b, double whole, double tol,
                             int depth) {
    const double m = 0.5 * (a + b);
    const double left = GaussLength(s, a, m), right = GaussLength(s, m, b);
    if (depth <= 0 || std::fabs(left + right - whole) <= tol) return left + right;
    return AdaptiveLength(s, a, m, left, 0.5 * tol, depth - 1) +
           AdaptiveLength(s, m, b, right, 0.5 * tol, depth - 1);
}

static double ArcLength(const SplineSegment& s, double t0, double t1, double tol) {
    if (t1 <= t0) return 0.0;
    return AdaptiveLength(s, t0, t1, GaussLength(s, t0, t1), tol, 16);
}

// Whether both handles lie on the chord between the knots (within float resolution). Such a
// cubic moves monotonically along the chord, so its arc length is the chord.
static bool HandlesOnChord(const SplineSegment& s) {
    const Vec3d c = s.p3 - s.p0;
    const double L = Len(c);
    if (L == 0.0) return false;
    double scale = 0.0;
    for (const Vec3d* p : {&s.p0, &s.p1, &s.p2, &s.p3})
        scale = std::max({scale, std::fabs(p->x), std::fabs(p->y), std::fabs(p->z)});
    const double tol = 1e-6 * L + 8.0 * FLT_EPSILON * scale;
    for (const Vec3d* q : {&s.p1, &s.p2}) {
        const Vec3d d = *q - s.p0;
        const double along = Dot(d, c) / L;
        if (along < -tol || along > L + tol) return false;
        if (Len(d - c * (along / L)) > tol) return false;
    }
    return true;
}

}  // namespace trellon_sdk_detail

using namespace trellon_sdk_detail;

namespace {

constexpr int kTablePieces = 16;

// The derivative per unit chord length at P of the parabola through A, P, C parameterised by
// chord length (Bessel's tangent).
Vec3d BesselTangent(const Vec3d& A, const Vec3d& P, const Vec3d& C) {
    const double a = Len(P - A), b = Len(C - P);
    if (a == 0.0 && b == 0.0) return {0.0, 0.0, 0.0};
    if (a == 0.0) return (C - P) * (1.0 / b);
    if (b == 0.0) return (P - A) * (1.0 / a);
    return (P - A) * (b / ((a + b) * a)) + (C - P) * (a / ((a + b) * b));
}

// Extremes of one coordinate of a cubic Bezier with the given control values, added to lo/hi.
void AxisExtremes(double p0, double p1, double p2, double p3, double& lo, double& hi) {
    lo = std::min({lo, p0, p3});
    hi = std::max({hi, p0, p3});
    // dB/dt / 3 = A t^2 + B t + C.
    const double a = p1 - p0, b = p2 - p1, c = p3 - p2;
    const double A = a - 2.0 * b + c, B = 2.0 * (b - a), C = a;
    double roots[2];
    int n = 0;
    const double scale = std::fabs(a) + std::fabs(b) + std::fabs(c);
    if (std::fabs(A) <= 1e-12 * scale) {
        if (B != 0.0) roots[n++] = -C / B;
    } else {
        const double disc = B * B - 4.0 * A * C;
        if (disc >= 0.0) {
            // The stable pair of roots.
            const double q = -0.5 * (B + std::copysign(std::sqrt(disc), B));
            roots[n++] = q / A;
            if (q != 0.0) roots[n++] = C / q;
        }
    }
    for (int i = 0; i < n; ++i) {
        const double t = roots[i];
        if (!(t > 0.0 && t < 1.0)) continue;
        const double mt = 1.0 - t;
        const double v =
            p0 * mt * mt * mt + 3.0 * p1 * mt * mt * t + 3.0 * p2 * mt * t * t + p3 * t * t * t;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
}

bool IsValidKnotType(int t) { return t >= KTYPE_AUTO && t <= KTYPE_BEZIER_CORNER; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// SplineKnot

SplineKnot::SplineKnot(int k, int l, Point3 p, Point3 in, Point3 out, int mtlID, DWORD flags)
    : point_(p), in_(in), out_(out), mtl_(static_cast<MtlID>(mtlID)), flags_(flags) {
    SetKtype(k);
    SetLtype(l);
}

void SplineKnot::SetKtype(int t) { ktype_ = IsValidKnotType(t) ? t : KTYPE_CORNER; }

// ---------------------------------------------------------------------------------------------
// Spline3D: knots and edits

Spline3D::Spline3D(int itype, int dtype, int ptype) : iType_(itype), dType_(dtype), pType_(ptype) {}

void Spline3D::NewSpline() {
    knots_.clear();
    closed_ = false;
    Edited();
}

int Spline3D::Segments() const {
    const int n = KnotCount();
    if (n == 0) return 0;
    return closed_ ? n : n - 1;
}

int Spline3D::SetClosed(int flag) {
    const bool want = flag != 0;
    if (want == closed_) return 0;
    closed_ = want;
    Edited();
    return 1;
}

int Spline3D::AddKnot(const SplineKnot& k, int where) {
    if (where < 0 || where > KnotCount()) where = KnotCount();
    knots_.insert(knots_.begin() + where, k);
    Edited();
    return 1;
}

int Spline3D::GetKnotType(int i) const { return ValidKnot(i) ? knots_[i].Ktype() : -1; }

int Spline3D::GetLineType(int i) const { return ValidKnot(i) ? knots_[i].Ltype() : -1; }

Point3 Spline3D::GetKnotPoint(int i) const {
    return ValidKnot(i) ? knots_[i].Knot() : Point3(0.0f, 0.0f, 0.0f);
}

void Spline3D::SetKnotPoint(int i, const Point3& p) {
    if (!ValidKnot(i)) return;
    knots_[i].SetKnot(p);
    Edited();
}

Point3 Spline3D::GetInVec(int i) const {
    return ValidKnot(i) ? knots_[i].InVec() : Point3(0.0f, 0.0f, 0.0f);
}

void Spline3D::SetInVec(int i, const Point3& p) {
    if (!ValidKnot(i)) return;
    knots_[i].SetInVec(p);
    Edited();
}

Point3 Spline3D::GetOutVec(int i) const {
    return ValidKnot(i) ? knots_[i].OutVec() : Point3(0.0f, 0.0f, 0.0f);
}

void Spline3D::SetOutVec(int i, const Point3& p) {
    if (!ValidKnot(i)) return;
    knots_[i].SetOutVec(p);
    Edited();
}

Point3 Spline3D::GetRelInVec(int i) const {
    return ValidKnot(i) ? knots_[i].InVec() - knots_[i].Knot() : Point3(0.0f, 0.0f, 0.0f);
}

Point3 Spline3D::GetRelOutVec(int i) const {
    return ValidKnot(i) ? knots_[i].OutVec() - knots_[i].Knot() : Point3(0.0f, 0.0f, 0.0f);
}

// ---------------------------------------------------------------------------------------------
// Handles

void Spline3D::AutoHandles(int i, Point3& in, Point3& out) const {
    const int n = KnotCount();
    const Vec3d P = ToVec(knots_[i].Knot());
    const bool hasPrev = closed_ || i > 0;
    const bool hasNext = closed_ || i < n - 1;
    const auto point = [&](int k) { return ToVec(knots_[(k + n) % n].Knot()); };
    Vec3d inV = P, outV = P;
    if (hasPrev && hasNext) {
        const Vec3d A = point(i - 1), C = point(i + 1);
        const Vec3d m = BesselTangent(A, P, C);
        inV = P - m * (Len(P - A) / 3.0);
        outV = P + m * (Len(C - P) / 3.0);
    } else if (hasNext) {
        // First knot of an open spline: the end slope of the parabola through knots 0, 1, 2.
        const Vec3d C = point(1);
        const double b = Len(C - P);
        if (b > 0.0) {
            Vec3d m = (C - P) * (1.0 / b);
            if (n > 2) m = m * 2.0 - BesselTangent(P, C, point(2));
            outV = P + m * (b / 3.0);
        }
    } else if (hasPrev) {
        // Last knot of an open spline, mirrored.
        const Vec3d A = point(n - 2);
        const double a = Len(P - A);
        if (a > 0.0) {
            Vec3d m = (P - A) * (1.0 / a);
            if (n > 2) m = m * 2.0 - BesselTangent(point(n - 3), A, P);
            inV = P - m * (a / 3.0);
        }
    }
    in = ToPoint(inV);
    out = ToPoint(outV);
}

void Spline3D::ComputeBezPoints() {
    const int n = KnotCount();
    for (int i = 0; i < n; ++i) {
        SplineKnot& k = knots_[i];
        if (k.Ktype() == KTYPE_AUTO) {
            Point3 in, out;
            AutoHandles(i, in, out);
            k.SetInVec(in);
            k.SetOutVec(out);
        } else if (k.Ktype() == KTYPE_CORNER) {
            const Point3 P = k.Knot();
            const bool hasPrev = closed_ || i > 0;
            const bool hasNext = closed_ || i < n - 1;
            k.SetInVec(hasPrev ? P + (knots_[(i + n - 1) % n].Knot() - P) / 3.0f : P);
            k.SetOutVec(hasNext ? P + (knots_[(i + 1) % n].Knot() - P) / 3.0f : P);
        }
    }
    Edited();
}

void Spline3D::Reverse(BOOL keepZero) {
    const int n = KnotCount();
    if (n < 2) {
        if (n == 1) {
            const Point3 in = knots_[0].InVec();
            knots_[0].SetInVec(knots_[0].OutVec());
            knots_[0].SetOutVec(in);
            Edited();
        }
        return;
    }
    const bool keep = keepZero && closed_;
    const auto oldIndex = [&](int j) { return keep ? (n - j) % n : n - 1 - j; };
    std::vector<SplineKnot> rev(knots_.size());
    for (int j = 0; j < n; ++j) {
        SplineKnot k = knots_[oldIndex(j)];
        const Point3 in = k.InVec();
        k.SetInVec(k.OutVec());
        k.SetOutVec(in);
        // New segment j is the old segment that started at the new knot j+1; its line type and
        // material travel with it. The unused attributes of an open spline's last knot stay.
        const int startOld = (j + 1 < n || closed_) ? oldIndex((j + 1) % n) : oldIndex(j);
        k.SetLtype(knots_[startOld].Ltype());
        k.SetMatID(knots_[startOld].GetMatID());
        rev[j] = k;
    }
    knots_.swap(rev);
    Edited();
}

// ---------------------------------------------------------------------------------------------
// Geometry cache

Spline3D::Segment Spline3D::MakeSegment(int i) const {
    const SplineKnot& a = knots_[i];
    const SplineKnot& b = knots_[NextKnot(i)];
    Segment s;
    s.p0 = ToVec(a.Knot());
    s.p3 = ToVec(b.Knot());
    if (a.Ltype() == LTYPE_LINE) {
        const Vec3d third = (s.p3 - s.p0) * (1.0 / 3.0);
        s.p1 = s.p0 + third;
        s.p2 = s.p3 - third;
        s.straight = true;
    } else {
        s.p1 = ToVec(a.OutVec());
        s.p2 = ToVec(b.InVec());
        s.straight = HandlesOnChord(s);
    }
    const double chord = Len(s.p3 - s.p0);
    s.point = s.straight ? chord == 0.0 : PolygonLength(s) == 0.0;
    if (s.straight) {
        s.dir = Unit(s.p3 - s.p0);
        s.length = chord;
        s.startTan = s.endTan = s.dir;
    } else if (!s.point) {
        s.startTan = TangentAt(s, 0.0);
        s.endTan = TangentAt(s, 1.0);
    }
    return s;
}

const Spline3D::Cache& Spline3D::Geometry() const {
    Cache& c = cache_;
    if (c.valid) return c;
    const int n = Segments();
    c.segs.assign(static_cast<std::size_t>(n), Segment());
    c.cum.assign(static_cast<std::size_t>(n) + 1, 0.0);
    c.table.clear();
    int lastOwn = -1;
    for (int i = 0; i < n; ++i) {
        Segment& s = c.segs[i];
        s = MakeSegment(i);
        if (!s.straight && !s.point) {
            // Step 1: arc length at t = k/16 of each curved segment.
            s.table = static_cast<int>(c.table.size());
            const double tol = 1e-10 * PolygonLength(s);
            double acc = 0.0;
            c.table.push_back(0.0);
            for (int k = 0; k < kTablePieces; ++k) {
                acc += ArcLength(s, static_cast<double>(k) / kTablePieces,
                                 static_cast<double>(k + 1) / kTablePieces, tol / kTablePieces);
                c.table.push_back(acc);
            }
            s.length = acc;
        }
        c.cum[i + 1] = c.cum[i] + s.length;
        if (!s.point) lastOwn = i;
    }
    // Step 2: a segment that is a single point borrows the start tangent of the next segment with
    // a length (round twice on a closed spline), or at an open end the previous one's end tangent.
    if (lastOwn >= 0) {
        const int passes = closed_ ? 2 : 1;
        Vec3d carry{0.0, 0.0, 0.0};
        bool have = false;
        for (int k = passes * n - 1; k >= 0; --k) {
            Segment& s = c.segs[k % n];
            if (!s.point) {
                carry = s.startTan;
                have = true;
            } else if (have) {
                s.startTan = s.endTan = s.dir = carry;
            }
        }
        if (!closed_)
            for (int i = lastOwn + 1; i < n; ++i)
                c.segs[i].startTan = c.segs[i].endTan = c.segs[i].dir = c.segs[lastOwn].endTan;
    }
    c.valid = true;
    return c;
}

// ---------------------------------------------------------------------------------------------
// Evaluation

Spline3D::Vec Spline3D::TangentAt(const Segment& s, double t) const {
    if (s.straight) return s.dir;
    const double eps = 1e-9 * PolygonLength(s);
    const Vec3d d1 = BezD1(s, t);
    if (Len(d1) > eps) return Unit(d1);
    // dB/dt vanishes: beyond the stationary point the curve travels along B'' (B'(t+h) ~ B'' h),
    // before the end along -B''; if that vanishes too, along B''' (B'(t+h) ~ B''' h^2 / 2).
    const Vec3d d2 = BezD2(s, t);
    if (Len(d2) > eps) return Unit(t < 1.0 ? d2 : -d2);
    const Vec3d d3 = BezD3(s);
    if (Len(d3) > eps) return Unit(d3);
    return Unit(s.p3 - s.p0);
}

double Spline3D::ParamAtLength(const Segment& s, double length) const {
    const double* tab = cache_.table.data() + s.table;
    if (!(length > 0.0)) return 0.0;
    if (length >= tab[kTablePieces]) return 1.0;
    // Step 1: the table piece holding the length.
    const int k = trellon_sdk_detail::LastAtOrBelow(tab, kTablePieces, length);
    double lo = static_cast<double>(k) / kTablePieces;
    double hi = static_cast<double>(k + 1) / kTablePieces;
    const double base = tab[k], piece = tab[k + 1] - tab[k];
    const double start = lo;
    double t = piece > 0.0 ? lo + (length - base) / piece / kTablePieces : lo;
    // Step 2: Newton on S(t) - length, S' = |B'|, kept inside the bracket [lo, hi].
    const double tol = 1e-8 * s.length;
    const double intTol = 1e-12 * s.length;
    for (int iter = 0; iter < 60; ++iter) {
        const double f = base + ArcLength(s, start, t, intTol) - length;
        if (std::fabs(f) <= tol) break;
        if (f > 0.0)
            hi = t;
        else
            lo = t;
        const double speed = Len(BezD1(s, t));
        double next = speed > 0.0 ? t - f / speed : 0.5 * (lo + hi);
        if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
        if (hi - lo <= 1e-15) break;
        t = next;
    }
    return t;
}

int Spline3D::Locate(float u, int ptype, double& param, bool& chordFrac) const {
    const int n = Segments();
    const double w = trellon_sdk_detail::CurveParam(u, closed_);
    chordFrac = false;
    if (ptype != PARAM_NORMALIZED) return trellon_sdk_detail::SimpleSegment(w, n, param);
    const Cache& c = Geometry();
    const double target = w * c.cum[n];
    // The last segment starting at or before the target; among equal starts (segments of no
    // length) the later one.
    const int i = trellon_sdk_detail::LastAtOrBelow(c.cum.data(), n, target);
    const Segment& s = c.segs[i];
    const double local = target - c.cum[i];
    if (s.straight || s.point) {
        chordFrac = true;
        param = s.length > 0.0 ? std::clamp(local / s.length, 0.0, 1.0) : 0.0;
    } else {
        param = ParamAtLength(s, local);
    }
    return i;
}

Point3 Spline3D::PointAt(const Segment& s, double param, bool chordFrac) const {
    if (chordFrac) return ToPoint(s.p0 + (s.p3 - s.p0) * param);
    return ToPoint(BezPoint(s, param));
}

Point3 Spline3D::InterpBezier3D(int segment, float t, int ptype) const {
    const int n = Segments();
    if (n == 0) return KnotCount() ? knots_[0].Knot() : Point3(0.0f, 0.0f, 0.0f);
    segment = std::clamp(segment, 0, n - 1);
    const double tt = std::isnan(t) ? 0.0 : std::clamp(static_cast<double>(t), 0.0, 1.0);
    if (ptype != PARAM_NORMALIZED) return ToPoint(BezPoint(MakeSegment(segment), tt));
    const Segment& s = Geometry().segs[segment];
    if (s.straight || s.point) return PointAt(s, tt, true);
    return PointAt(s, ParamAtLength(s, tt * s.length), false);
}

Point3 Spline3D::TangentBezier3D(int segment, float t, int ptype) const {
    const int n = Segments();
    if (n == 0) return Point3(0.0f, 0.0f, 0.0f);
    segment = std::clamp(segment, 0, n - 1);
    const double tt = std::isnan(t) ? 0.0 : std::clamp(static_cast<double>(t), 0.0, 1.0);
    const Segment& s = Geometry().segs[segment];
    if (s.straight || s.point) return ToPoint(s.dir);
    const double param = ptype == PARAM_NORMALIZED ? ParamAtLength(s, tt * s.length) : tt;
    return ToPoint(TangentAt(s, param));
}

Point3 Spline3D::InterpCurve3D(float u, int ptype) const {
    const int n = Segments();
    if (n == 0) return KnotCount() ? knots_[0].Knot() : Point3(0.0f, 0.0f, 0.0f);
    double param = 0.0;
    bool chordFrac = false;
    const int seg = Locate(u, ptype, param, chordFrac);
    if (ptype != PARAM_NORMALIZED) return ToPoint(BezPoint(MakeSegment(seg), param));
    return PointAt(cache_.segs[seg], param, chordFrac);
}

Point3 Spline3D::TangentCurve3D(float u, int ptype) const {
    const int n = Segments();
    if (n == 0) return Point3(0.0f, 0.0f, 0.0f);
    double param = 0.0;
    bool chordFrac = false;
    const int seg = Locate(u, ptype, param, chordFrac);
    const Segment& s = Geometry().segs[seg];
    if (s.straight || s.point) return ToPoint(s.dir);
    return ToPoint(TangentAt(s, param));
}

float Spline3D::SplineLength() const {
    const Cache& c = Geometry();
    return static_cast<float>(c.cum.back());
}

Box3 Spline3D::GetBBox(Matrix3* tm) const {
    Box3 box;
    const auto place = [&](const Point3& p) { return tm ? p * *tm : p; };
    const int n = Segments();
    if (n == 0) {
        if (KnotCount()) box += place(knots_[0].Knot());
        return box;
    }
    for (int i = 0; i < n; ++i) {
        const Segment s = MakeSegment(i);
        const Vec3d q0 = ToVec(place(ToPoint(s.p0))), q1 = ToVec(place(ToPoint(s.p1)));
        const Vec3d q2 = ToVec(place(ToPoint(s.p2))), q3 = ToVec(place(ToPoint(s.p3)));
        double lo[3] = {q0.x, q0.y, q0.z}, hi[3] = {q0.x, q0.y, q0.z};
        AxisExtremes(q0.x, q1.x, q2.x, q3.x, lo[0], hi[0]);
        AxisExtremes(q0.y, q1.y, q2.y, q3.y, lo[1], hi[1]);
        AxisExtremes(q0.z, q1.z, q2.z, q3.z, lo[2], hi[2]);
        box += Point3(lo[0], lo[1], lo[2]);
        box += Point3(hi[0], hi[1], hi[2]);
    }
    return box;
}

// ---------------------------------------------------------------------------------------------
// Polyline

int Spline3D::AdaptiveSteps(const Segment& s) const {
    if (s.straight || s.point) return 0;
    // Total turning of the tangent, from 17 samples; one chord per 7.5 degrees.
    double turn = 0.0;
    Vec3d prev = TangentAt(s, 0.0);
    for (int k = 1; k <= kTablePieces; ++k) {
        const Vec3d cur = TangentAt(s, static_cast<double>(k) / kTablePieces);
        turn += std::acos(std::clamp(Dot(prev, cur), -1.0, 1.0));
        prev = cur;
    }
    const int chords = static_cast<int>(std::ceil(turn / (PI / 24.0) - 1e-6));
    return std::clamp(chords - 1, 0, 100);
}

void Spline3D::MakePolyLine(PolyLine& line, int steps, BOOL optimize) const {
    line.Init();
    const int nk = KnotCount();
    const int n = Segments();
    if (nk == 0) return;
    const auto knotFlags = [&](int i) {
        const int kt = knots_[i].Ktype();
        return POLYPT_KNOT | ((kt == KTYPE_AUTO || kt == KTYPE_BEZIER) ? POLYPT_SMOOTH : 0u);
    };
    steps = std::min(steps, 1000);

    // Step 1: count, so the line is sized once.
    std::vector<Segment> segs(static_cast<std::size_t>(n));
    std::vector<int> inner(static_cast<std::size_t>(n));
    int total = closed_ ? 0 : 1;
    for (int i = 0; i < n; ++i) {
        segs[i] = MakeSegment(i);
        if (steps < 0)
            inner[i] = AdaptiveSteps(segs[i]);
        else
            inner[i] = optimize && (segs[i].straight || segs[i].point) ? 0 : steps;
        total += inner[i] + 1;
    }
    line.SetNumPts(total, FALSE);

    // Step 2: fill: each segment's start knot and interior points, then an open end's knot.
    int w = 0;
    for (int i = 0; i < n; ++i) {
        const MtlID mtl = knots_[i].GetMatID();
        line.pts[w++] = PolyPt(knots_[i].Knot(), knotFlags(i), i, mtl);
        for (int k = 1; k <= inner[i]; ++k) {
            const double t = static_cast<double>(k) / (inner[i] + 1);
            line.pts[w++] =
                PolyPt(ToPoint(BezPoint(segs[i], t)), POLYPT_INTERPOLATED | POLYPT_SMOOTH, i, mtl);
        }
    }
    if (!closed_) line.pts[w++] = PolyPt(knots_[n].Knot(), knotFlags(n), n, knots_[n].GetMatID());
    if (closed_) line.Close();
    line.InvalidateGeomCache();
}
