// Internal helpers shared by the spline and polyline curve parameters (not part of the SDK).
#pragma once

#include <cmath>

namespace trellon_sdk_detail {

// A curve parameter brought into [0,1]: clamped on an open curve; wrapped on a closed one when it
// lies outside (1 itself stays the end). NaN reads as 0, infinities clamp.
inline double CurveParam(double u, bool closed) {
    if (std::isnan(u)) return 0.0;
    if (u >= 0.0 && u <= 1.0) return u;
    if (!closed || std::isinf(u)) return u < 0.0 ? 0.0 : 1.0;
    const double w = u - std::floor(u);
    return w >= 0.0 && w < 1.0 ? w : 0.0;
}

// The segment that PARAM_SIMPLE maps u (already in [0,1]) to over n > 0 segments, and the
// parameter inside it.
inline int SimpleSegment(double u, int n, double& t) {
    double x = u * n;
    int seg = static_cast<int>(std::floor(x));
    if (seg >= n) seg = n - 1;
    if (seg < 0) seg = 0;
    t = x - seg;
    if (t < 0.0) t = 0.0;
    if (t > 1.0) t = 1.0;
    return seg;
}

// The last index i in [0, n) with a[i] <= s, for ascending a with a[0] <= s (0 otherwise); among
// equal entries the last one. Branch-free halving: random queries would mispredict every step of
// a branching binary search.
inline int LastAtOrBelow(const double* a, int n, double s) {
    const double* base = a;
    while (n > 1) {
        const int half = n / 2;
        base = base[half] <= s ? base + half : base;
        n -= half;
    }
    return static_cast<int>(base - a);
}

}  // namespace trellon_sdk_detail
