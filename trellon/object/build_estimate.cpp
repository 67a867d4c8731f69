#include "object/build_estimate.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "distribute/copy_layout.h"
#include "object/build_settings.h"
#include "object/param_ids.h"
#include "shape.h"
#include "spline3d.h"

using trellon::DisplayMode;

namespace trellon {
namespace {

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

// a + b for non-negative values, stopping at the largest value instead of wrapping.
std::int64_t SaturatingAdd(std::int64_t a, std::int64_t b) {
    return a > kInt64Max - b ? kInt64Max : a + b;
}

// The value at index i of a table copied from the block, or -1 when there is none.
int EntryOrNone(const std::vector<int>& table, int i) {
    return i >= 0 && i < static_cast<int>(table.size()) ? table[static_cast<size_t>(i)] : -1;
}

bool SoloSkips(int objectSolo, int item) { return objectSolo != 0 && objectSolo != item + 1; }

// Adds n copies of item k. An item the face-count table does not hold is not an item of this
// block and adds nothing; a missing cloud count counts as none.
void AddItem(BuildEstimate& e, const EstimateInput& in, int k, std::int64_t n) {
    if (k < 0 || k >= static_cast<int>(in.faceCounts.size())) return;
    e.AddCopies(n, in.faceCounts[static_cast<size_t>(k)], EntryOrNone(in.cloudCounts, k));
}

void EstimatePerObject(BuildEstimate& e, const EstimateInput& in) {
    for (int k = 0; k < in.objectCount; ++k) {
        if (SoloSkips(in.objectSolo, k)) continue;
        if (k + 1 >= static_cast<int>(in.spacings.size())) break;
        const std::int64_t n =
            trellon::SlotsAlongPaths(in.splineLengths, in.spacings[static_cast<size_t>(k) + 1]);
        AddItem(e, in, k, n);
    }
}

void EstimateSequence(BuildEstimate& e, const EstimateInput& in) {
    const auto rows = static_cast<std::int64_t>(in.sequenceItems.size());
    if (rows == 0 || in.spacings.empty()) return;
    const std::int64_t share = trellon::SlotsAlongPaths(in.splineLengths, in.spacings[0]) / rows;
    for (std::int64_t r = 0; r < rows; ++r) {
        const int group = EntryOrNone(in.sequenceGroups, static_cast<int>(r));
        if (group == -1) continue;
        const int k = in.sequenceItems[static_cast<size_t>(r)];
        if (k < 0 || SoloSkips(in.objectSolo, k)) continue;
        AddItem(e, in, k, share);
    }
}

// One limit test: when the accumulator passes the limit and the mode is one the test watches,
// the mode becomes `to`.
struct LimitTest {
    std::int64_t BuildEstimate::*value;
    std::int64_t limit;
    bool (*watches)(DisplayMode mode);
    DisplayMode to;
    const wchar_t* message;
};

constexpr const wchar_t* kToBox =
    L"There are too many polys to show, it will now switch to Bounding Box";
constexpr const wchar_t* kToDot = L"There are too many polys to show, it will now switch to Dot";
constexpr const wchar_t* kToNone = L"There are too many polys to show, it will now switch to None";

// The order matters: each test reads the mode the earlier ones left, so a full mesh that is
// too heavy can fall through Bounding Box to Dot to None in one build.
constexpr std::array<LimitTest, 5> kLimitTests{{
    {&BuildEstimate::faces, 1'000'000, [](DisplayMode m) { return m == DisplayMode::FullMesh; },
     DisplayMode::Boxes, kToBox},
    {&BuildEstimate::proxyWeight, 600'000,
     [](DisplayMode m) { return m == DisplayMode::Placeholders; }, DisplayMode::Boxes, kToBox},
    {&BuildEstimate::boxSize, 400'000,
     [](DisplayMode m) { return m == DisplayMode::Pyramids || m == DisplayMode::Boxes; },
     DisplayMode::Dots, kToDot},
    {&BuildEstimate::cloudPoints, 600'000,
     [](DisplayMode m) { return m == DisplayMode::PointCloud; }, DisplayMode::Boxes, kToBox},
    {&BuildEstimate::copies, 200'000, [](DisplayMode m) { return m == DisplayMode::Dots; },
     DisplayMode::None, kToNone},
}};

}  // namespace

void BuildEstimate::AddCopies(std::int64_t n, int faceCount, int cloudCount) {
    if (n <= 0) return;
    // n fits in an int and so do the counts, so each product fits in 63 bits.
    faces = SaturatingAdd(faces, n * std::max(faceCount, 0));
    cloudPoints = SaturatingAdd(cloudPoints, n * std::max(cloudCount, 0));
    proxyWeight = SaturatingAdd(proxyWeight, 800 * n);
    boxSize = SaturatingAdd(boxSize, 5 * n);
    copies = SaturatingAdd(copies, n);
}

BuildEstimate EstimateBuild(const EstimateInput& in) {
    BuildEstimate e;
    if (in.pattern == 2) {
        EstimatePerObject(e, in);
    } else {
        EstimateSequence(e, in);
    }
    return e;
}

std::vector<ModeSwitch> ApplyPolygonLimits(const BuildEstimate& estimate,
                                           DisplayMode& displayMode) {
    std::vector<ModeSwitch> switches;
    for (const LimitTest& test : kLimitTests) {
        if (estimate.*test.value > test.limit && test.watches(displayMode)) {
            switches.push_back({displayMode, test.to, test.message});
            displayMode = test.to;
        }
    }
    return switches;
}

EstimateInput EstimateInputOf(const trellon::BuildSettings& settings, const BezierShape& path) {
    EstimateInput in;
    in.pattern = settings.pattern;
    in.objectSolo = settings.solo;
    in.objectCount = settings.objects;
    for (int i = 0; i < path.SplineCount(); ++i) {
        if (const Spline3D* spline = path.GetSpline(i)) {
            in.splineLengths.push_back(spline->SplineLength());
        }
    }
    in.spacings = settings.spacings;
    in.faceCounts = settings.faceCounts;
    in.cloudCounts = settings.cloudCounts;
    in.sequenceItems = settings.rowItems;
    in.sequenceGroups = settings.rowGroups;
    return in;
}

}  // namespace trellon
