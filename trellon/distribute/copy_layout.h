// Where copies stand along one working path: the pure arithmetic of the placement walk
// (placement.h), as distances or normalised parameters of a path of length L. Nothing here reads
// the parameter block; the walk passes the values in.
#pragma once

#include <functional>
#include <span>
#include <vector>

namespace trellon {

// The one cap of every count of copies, slots or posts, whether of one spline, of a whole path
// (the group sequence's length) or of the polygon estimate: a spacing near zero is cut here
// instead of filling memory or the saved block. Why 2^24: a slot's place along its path is the
// float i / (n - 1), and beyond 2^24 consecutive slot numbers are no longer distinct floats, so
// further slots would only stand on top of earlier ones. Every display limit of the estimate is
// far below it, so the cap never changes which mode a build falls back to.
inline constexpr int kMaxSlots = 1 << 24;

// The slots at `spacing` on a path of length L between the start offset s0 and the end offset
// s1: n = int((L - (s0 + s1)) / spacing), worked in double, at most kMaxSlots; 0 when the spacing
// or L is not a positive number or the offsets leave no room. The sequence pattern's slots, the
// group sequence's length and the estimate all count with it.
int SlotCount(float L, float s0, float s1, float spacing);

// The slots along several paths one after the other, without offsets: the sum of
// SlotCount(L, 0, 0, spacing) over the lengths, at most kMaxSlots in all.
int SlotsAlongPaths(std::span<const float> lengths, float spacing);

// Normalised parameter of slot i of n: the slots are spread evenly from s0 to L - s1, the last
// one ending exactly at L - s1: u = s0 / L + i / (n - 1) * (1 - (s0 + s1) / L). A single slot
// (n = 1) stands at s0, where the first of several would.
float SequenceSlotParam(int i, int n, float L, float s0, float s1);

// Distances of the per-object pattern's copies at a fixed spacing: copy j at s0 + j * spacing,
// n = int((L - (s0 + s1)) / spacing + 1) copies; on a closed path the last one is dropped when
// it would come within 0.75 spacing of the end (where the first copy stands again). No copies
// for a spacing or L that is not a positive number.
std::vector<float> FixedSpacingDistances(float L, float s0, float s1, float spacing, bool closed);
// Their count alone, without the list (copy j stands at s0 + j * spacing, in float).
int FixedSpacingCount(float L, float s0, float s1, float spacing, bool closed);

// The same with a gap drawn per copy: gap(j) for j = 0, 1, ... Gaps are laid end to end as long
// as their running sum stays within L - reserve - (s0 + s1); with n gaps laid, copies stand at
// s0 plus the sums of the first j gaps, j = 0 .. n. (Counting the copy before the first gap
// gives the fixed spacing's count when every gap is equal: 11 copies on an open path of 100 at
// gaps of 10, 10 on a closed one with a reserve of 7.5.) A gap that is not a positive number
// ends the row, and no copy stands when even the first does not fit (s0 + s1 + reserve > L).
std::vector<float> RandomSpacingDistances(float L, float s0, float s1, float reserve,
                                          const std::function<float(int)>& gap);

// Equal parts of a span of length `span` between two knots with posts every knotSpacing:
// m = span / knotSpacing rounded half up; 1 (no inner post) when m is below 1.5 or knotSpacing
// is not a positive number.
int SpanDivisions(float span, float knotSpacing);

// Post distances on one spline, ascending: every knot distance and, in each span between
// consecutive knot distances, the inner points dividing it into SpanDivisions equal parts. On a
// closed spline the last knot distance is the closing one (the path's length, where the first
// knot stands again): it ends the closing span but gets no post of its own.
std::vector<float> PostDistances(std::span<const float> knotDistances, bool closed,
                                 float knotSpacing);

// Normalised parameters of the sequence slots between posts. Posts stand at the ascending
// parameters `posts`; with closingSpan (a closed path without start or end offsets) a last span
// runs from the last post to the end (1), where the first post stands again. In each span from a to
// b the clearance T = max(knotThresh / L, spacing / L * (1/100 - 1)) is kept free at both ends,
// leaving F = (b - T) - (a + T); with m = F / (spacing / L), c items stand at a + T + i * F / (c +
// 1), i = 1 .. c, where c = floor(m) when the fraction of m is at least 0.5, floor(m) - 1
// otherwise, and 0 when m is below 1.5. Nothing for a spacing or L that is not positive.
std::vector<float> BetweenPostParams(std::span<const float> posts, bool closingSpan, float L,
                                     float knotThresh, float spacing);

}  // namespace trellon
