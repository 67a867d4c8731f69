// The parameter block as one build reads it. A build (and each render, export or proxy pass)
// reads the block once, at its time, into this plain value and hands it to every consumer: the
// placement walk, the polygon estimate, the proxy bounds and the sweeps. None of them reads the
// block again, so they cannot disagree about what an entry holds or how a missing one reads.
//
// Indexing follows the block: items k = 0 .. objects + posts + ends - 1 (Object_Nodes, then
// Post_Nodes, then End_Nodes), whose shared entries are k + 1 (entry 0 is "All Objects").
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "distribute/random_values.h"
#include "maxtypes.h"
#include "object/display_mode.h"
#include "point3.h"
#include "sweep/sweep_walk.h"

class INode;
class IParamBlock2;

namespace trellon {

// Which node list an item comes from.
enum class CopyKind : std::uint8_t { Object = 0, Post = 1, End = 2 };

// One item k.
struct ItemSettings {
    INode* node = nullptr;  // null when the node is gone
    CopyKind list = CopyKind::Object;
    int kind = 0;  // Item_Kind: 0 mesh, 1 light
    Point3 boxMin, boxMax;
    // Its shared entry k + 1, with the tables the random values need; nullopt when one lacks it.
    std::optional<EntryRandomSettings> entry;
    float startOffset = 0.0f;  // Item_Start_Offset[k + 1]
    float endOffset = 0.0f;    // Item_End_Offset[k + 1]
    int repeats = 0;           // Item_Repeat_Count[k]
    float repeatGap = 0.0f;    // Item_Repeat_Gap[k]
    // The twin switch (Item_Check_1013): a second run of copies beside the first, twinOffset
    // (Item_Spin_1111) further left. With twinAcross (Item_Check_1014) as well, a per-object item
    // runs on its own path and its twin as far to the right.
    bool twin = false;
    bool twinAcross = false;
    float twinOffset = 0.0f;
};

struct BuildSettings {
    TimeValue t = 0;
    DisplayMode mode = DisplayMode::FullMesh;
    bool forceDisplay = false;
    bool showLogo = false;
    float logoSize = 0.0f;
    INode* pathNode = nullptr;  // Spline_Obj
    bool detachPath = false;

    // Entry 0, "All Objects"; nullopt when a table lacks it (then no copy has its values).
    std::optional<EntryRandomSettings> global;
    // The sideways offset every working path carries: entry 0's, or the middle of its range when
    // the entry is randomised.
    float pathOffset = 0.0f;
    float globalStart = 0.0f;  // Item_Start_Offset[0]
    float globalEnd = 0.0f;    // Item_End_Offset[0]
    // Some entry of Item_Start_Offset or Item_End_Offset is not 0.
    bool anyEndOffset = false;

    int objects = 0, posts = 0, ends = 0;
    std::vector<ItemSettings> items;
    // The whole tables the estimate counts with (entry indices checked where they are used).
    std::vector<float> spacings;   // Item_Spacing
    std::vector<int> faceCounts;   // Item_Face_Count
    std::vector<int> cloudCounts;  // Item_Cloud_Count
    // The point-cloud proxies: every item's stored sample points, item after item
    // (cloudCounts[i] for item i; Cloud_Points), and how many of them a copy draws (PointCloud).
    std::vector<Point3> cloudPoints;
    int pointCloud = 10;

    int pattern = 2;  // Geo_Pattern
    bool follow = true, followOri = false;
    int solo = 0;  // Object_Solo
    float knotSpacing = 10.0f, knotThresh = 0.0f;
    std::vector<int> rowItems, rowGroups;  // Sequence_Items, Sequence_Groups (cut to one length)
    int groups = 0;                        // SequenceGroupCount
    std::vector<int> geoArray;             // Geo_Array
    PoolTables pools;

    std::vector<SweepSettings> sweeps;  // one per Sweep_Nodes entry
    // The sweep tables' own entries (0 "All Sweeps", k + 1 sweep k), for the proxies' size
    // estimate: each entry's scale (X when Sweep_Unify_Scale, else Z, percent), height and
    // sideways offset.
    std::vector<float> sweepEntryScales, sweepEntryHeights, sweepEntrySides;
    int sweepSolo = 0;       // Sweep_Solo
    float seamAngle = 0.0f;  // Shape_AngleUVW, radians

    int ItemCount() const { return static_cast<int>(items.size()); }

    static BuildSettings Read(IParamBlock2& pb, TimeValue t);
};

}  // namespace trellon
