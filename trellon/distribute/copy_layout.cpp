#include "distribute/copy_layout.h"

#include <algorithm>
#include <cmath>

namespace trellon {

namespace {

bool Positive(float v) { return v > 0.0f && std::isfinite(v); }

// int(x) truncated toward zero, limited to [0, kMaxSlots]; NaN gives 0.
int ClampedCount(double x) {
    if (!(x > 0.0)) return 0;
    if (x >= static_cast<double>(kMaxSlots)) return kMaxSlots;
    return static_cast<int>(x);
}

}  // namespace

int SlotCount(float L, float s0, float s1, float spacing) {
    if (!Positive(L) || !Positive(spacing)) return 0;
    return ClampedCount((static_cast<double>(L) - (static_cast<double>(s0) + s1)) / spacing);
}

int SlotsAlongPaths(std::span<const float> lengths, float spacing) {
    int n = 0;
    for (const float L : lengths) n = std::min(kMaxSlots, n + SlotCount(L, 0.0f, 0.0f, spacing));
    return n;
}

float SequenceSlotParam(int i, int n, float L, float s0, float s1) {
    if (!(L > 0.0f)) return 0.0f;
    const float start = s0 / L;
    if (n <= 1) return start;
    const float span = 1.0f - (s0 + s1) / L;
    return start + static_cast<float>(i) / static_cast<float>(n - 1) * span;
}

int FixedSpacingCount(float L, float s0, float s1, float spacing, bool closed) {
    if (!Positive(L) || !Positive(spacing)) return 0;
    int n = ClampedCount((static_cast<double>(L) - (static_cast<double>(s0) + s1)) / spacing + 1.0);
    // A closed path needs room before its end, where the first copy stands again.
    if (closed && n > 0 && static_cast<float>(n - 1) * spacing + 0.75f * spacing > L) --n;
    return n;
}

std::vector<float> FixedSpacingDistances(float L, float s0, float s1, float spacing, bool closed) {
    std::vector<float> distances;
    const int n = FixedSpacingCount(L, s0, s1, spacing, closed);
    distances.reserve(static_cast<std::size_t>(n));
    for (int j = 0; j < n; ++j) distances.push_back(s0 + static_cast<float>(j) * spacing);
    return distances;
}

std::vector<float> RandomSpacingDistances(float L, float s0, float s1, float reserve,
                                          const std::function<float(int)>& gap) {
    std::vector<float> distances;
    const float limit = L - reserve - (s0 + s1);
    if (!(limit >= 0.0f) || !std::isfinite(limit)) return distances;
    distances.push_back(s0);
    float sum = 0.0f;
    for (int j = 0; j + 1 < kMaxSlots; ++j) {
        const float g = gap(j);
        if (!Positive(g) || sum + g > limit) break;
        sum += g;
        distances.push_back(s0 + sum);
    }
    return distances;
}

int SpanDivisions(float span, float knotSpacing) {
    if (!Positive(knotSpacing) || !(span > 0.0f)) return 1;
    const double m = static_cast<double>(span) / knotSpacing;
    if (!(m >= 1.5)) return 1;
    const double whole = std::floor(m);
    const double parts = m - whole >= 0.5 ? whole + 1.0 : whole;
    return parts >= kMaxSlots ? kMaxSlots : static_cast<int>(parts);
}

std::vector<float> PostDistances(std::span<const float> knotDistances, bool closed,
                                 float knotSpacing) {
    std::vector<float> posts;
    const std::size_t n = knotDistances.size();
    for (std::size_t i = 0; i < n; ++i) {
        const bool closingKnot = closed && n > 1 && i + 1 == n;
        if (!closingKnot) posts.push_back(knotDistances[i]);
        if (i + 1 == n) break;
        const float a = knotDistances[i];
        const float span = knotDistances[i + 1] - a;
        const int parts = SpanDivisions(span, knotSpacing);
        for (int j = 1; j < parts && posts.size() < kMaxSlots; ++j)
            posts.push_back(a + span * static_cast<float>(j) / static_cast<float>(parts));
    }
    return posts;
}

std::vector<float> BetweenPostParams(std::span<const float> posts, bool closingSpan, float L,
                                     float knotThresh, float spacing) {
    std::vector<float> params;
    if (!Positive(L) || !Positive(spacing) || posts.empty()) return params;
    const float clearance = std::max(knotThresh / L, spacing / L * (1.0f / 100.0f - 1.0f));
    auto span = [&](float a, float b) {
        const float free = (b - clearance) - (a + clearance);
        // In path units, so that round spans and spacings give round counts.
        const double m = static_cast<double>(free) * L / spacing;
        if (!(m >= 1.5)) return;
        const double whole = std::floor(m);
        // At most kMaxSlots on the whole spline, not in each span.
        const double room = static_cast<double>(kMaxSlots) - static_cast<double>(params.size());
        const double c = std::min(m - whole >= 0.5 ? whole : whole - 1.0, room);
        const int count = static_cast<int>(c);
        if (count <= 0) return;
        for (int i = 1; i <= count; ++i)
            params.push_back(a + clearance +
                             static_cast<float>(i) * free / static_cast<float>(count + 1));
    };
    for (std::size_t i = 0; i + 1 < posts.size(); ++i) span(posts[i], posts[i + 1]);
    if (closingSpan) span(posts.back(), 1.0f);
    return params;
}

}  // namespace trellon
