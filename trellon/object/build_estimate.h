// The polygon estimate and the display-mode limits of a build.
//
// Before the builders run, the build counts what they would make from the item counts and the
// path's spline lengths alone (never from the item meshes, so the estimate stays cheap) and, past
// fixed limits, lowers Display_Mode to a lighter mode. The counting and the limit tests are plain
// functions of an EstimateInput, so they can be checked without an object; EstimateInputOf
// takes that input from the settings the build read (object/build_settings.h).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "maxtypes.h"
#include "object/display_mode.h"

class BezierShape;
class IParamBlock2;

namespace trellon {
struct BuildSettings;

// The five accumulators. Each group of n copies of item k adds n x Item_Face_Count[k] faces,
// n x Item_Cloud_Count[k] cloud points, 800 n proxy weight, 5 n box size and n copies. Sums stop
// at the largest 64-bit value instead of wrapping.
struct BuildEstimate {
    std::int64_t faces = 0;        // F
    std::int64_t cloudPoints = 0;  // P
    std::int64_t proxyWeight = 0;  // W
    std::int64_t boxSize = 0;      // B
    std::int64_t copies = 0;       // N

    // Adds n copies of an item with faceCount faces and cloudCount cloud points; negative counts
    // (a damaged table) count as 0.
    void AddCopies(std::int64_t n, int faceCount, int cloudCount);
};

// Everything the estimate reads, in the parameter block's own indexing.
struct EstimateInput {
    int pattern = 2;                   // Geo_Pattern: 0 and 1 sequence, 2 per object
    int objectSolo = 0;                // Object_Solo: 0 all items, k > 0 only item k - 1
    int objectCount = 0;               // count of Object_Nodes
    std::vector<float> splineLengths;  // each spline of the path, whole
    std::vector<float> spacings;       // Item_Spacing: entry 0 global, entry k + 1 item k
    std::vector<int> faceCounts;       // Item_Face_Count, entry k item k
    std::vector<int> cloudCounts;      // Item_Cloud_Count, entry k item k
    std::vector<int> sequenceItems;    // Sequence_Items: item index, -1 a null row
    std::vector<int> sequenceGroups;   // Sequence_Groups
};

// The accumulators for a build:
//   pattern 2: each object k (skipped when objectSolo is neither 0 nor k + 1) gets
//     n = SlotsAlongPaths(lengths, spacings[k + 1]) (distribute/copy_layout.h);
//   patterns 0 and 1: n_total = SlotsAlongPaths(lengths, spacings[0]) is shared among the
//     sequence rows, share = n_total / rows (integer division), and each row r whose group is not
//     -1 and whose item passes the solo test adds share copies of item Sequence_Items[r].
// A null row (item -1), an item outside the face-count table and an item without a spacing
// entry add nothing; an item without a cloud-count entry adds no cloud points.
BuildEstimate EstimateBuild(const EstimateInput& in);

// One lowering of the display mode, with the warning the user gets.
struct ModeSwitch {
    trellon::DisplayMode from = trellon::DisplayMode::None;
    trellon::DisplayMode to = trellon::DisplayMode::None;
    const wchar_t* message = nullptr;
};

// Title of the warning box.
inline constexpr const wchar_t* kTooManyPolysTitle = L"Too Many Polys";

// Runs the five limit tests in order, each on the mode as the earlier ones left it, and lowers
// displayMode in place (all comparisons strictly greater):
//   F > 1,000,000 with mode >= 6     -> 2 (Bounding Box)
//   W >   600,000 with mode == 5     -> 2 (Bounding Box)
//   B >   400,000 with mode 4 or 2   -> 1 (Dot)
//   P >   600,000 with mode == 3     -> 2 (Bounding Box)
//   N >   200,000 with mode == 1     -> 0 (None)
// Returns the switches made, in order (empty when the mode stands).
std::vector<ModeSwitch> ApplyPolygonLimits(const BuildEstimate& estimate,
                                           trellon::DisplayMode& displayMode);

// The input of EstimateBuild from the build's settings and the lengths of the splines of path
// (Spline3D::SplineLength). Tables are taken as they are; EstimateBuild checks the indices.
EstimateInput EstimateInputOf(const trellon::BuildSettings& settings, const BezierShape& path);

}  // namespace trellon
