// The random values of one copy: each copy of an item takes its offsets, angles, scales and
// mirror angle between a low and a high value, at a point chosen by a stored pool value in
// [0, 100). The builders read an entry's tables once (EntryRandomSettings), read the pool values
// at the copy's pool index (ReadCopyPoolValues), and combine the "All Objects" entry with the
// item's entry (CombineCopyValues). Everything here but the two readers is a pure function.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "maxtypes.h"

class IParamBlock2;

namespace trellon {

// Degrees to radians, with the factor the stored angles have always been converted with.
inline constexpr float kDegToRad = 0.017453292f;

// A copy's value between low and high: low when the entry's randomness is off, else
// low + (high - low) / 100 * poolValue. high may lie below low; the value then runs downward.
float CopyValue(float low, float high, bool randomOn, float poolValue);
// The same for an angle stored in degrees, in radians.
float CopyAngle(float lowDeg, float highDeg, bool randomOn, float poolValue);

// Pool index of the "All Objects" values for global counter c0, and of item k's values for its
// counter c. Counters wrap from 99 to 0, so a counter is taken modulo 100 (a negative one
// too): the 101st copy of an item reads the values of its 1st. An item index below 0 has no
// pool block (-1).
int GlobalPoolIndex(int c0);
int ItemPoolIndex(int item, int counter);

// Scale factor of one axis: the global and the item percent added as offsets from 100 %,
// global / 100 + (item / 100 - 1); 100 and 100 give 1.
float AxisScale(float globalPercent, float itemPercent);
// The three axis factors; a unify switch makes that entry's X percent stand for its Y and Z.
std::array<float, 3> ScaleFactors(const std::array<float, 3>& globalPercent, bool globalUnify,
                                  const std::array<float, 3>& itemPercent, bool itemUnify);

// The mirror angle of an entry, in radians: none when its mirror switch is off, else mirror
// (coin 0) or mirror2 (any other coin), given in degrees.
float MirrorAngle(bool mirrorOn, float mirrorDeg, float mirror2Deg, int coin);

// A low/high pair of one entry.
struct RandomRange {
    float low = 0.0f;
    float high = 0.0f;
};

// Everything of one entry (0 "All Objects", k + 1 item k) that the random values need, read
// once per entry rather than once per copy. Angles in degrees, scales in percent.
struct EntryRandomSettings {
    bool randomOn = false;   // Item_Random_Trans
    bool unifyScale = true;  // Item_Unify_Scale
    bool mirrorOn = false;   // Item_Mirror_Box
    RandomRange spacing{100.0f, 100.0f};
    RandomRange sideOffset;  // Item_Pos_InOut
    RandomRange height;      // Item_Z_Pos
    RandomRange xRot, yRot, zRot, extraRot;
    RandomRange xScale{100.0f, 100.0f}, yScale{100.0f, 100.0f}, zScale{100.0f, 100.0f};
    float mirror = 0.0f;
    float mirror2 = 0.0f;
};

// Reads entry e of the shared item tables at time t; nullopt when some table lacks entry e.
std::optional<EntryRandomSettings> ReadEntryRandomSettings(IParamBlock2& pb, TimeValue t, int e);

// The pool values at one pool index, one per pool.
struct CopyPoolValues {
    float spacing = 0.0f;
    float sideOffset = 0.0f;
    float height = 0.0f;
    float xRot = 0.0f, yRot = 0.0f, zRot = 0.0f, extraRot = 0.0f;
    float xScale = 0.0f, yScale = 0.0f, zScale = 0.0f;
    int mirror = 0;
};

// Reads the eleven pools at index i; nullopt when some pool does not hold it.
std::optional<CopyPoolValues> ReadCopyPoolValues(IParamBlock2& pb, TimeValue t, int i);

// All eleven pools read once, for a walk that reads the values of thousands of copies.
class PoolTables {
public:
    static PoolTables Read(IParamBlock2& pb, TimeValue t);
    // The values at index i. A pool that does not hold i (not filled yet) gives 0 there, which
    // puts a randomised value at its low end.
    CopyPoolValues At(int i) const;

private:
    std::array<std::vector<float>, 10> floats_;  // in kTransformPools order
    std::vector<int> mirror_;
};

// One entry's values for one copy: offsets in scene units, angles and the mirror angle in
// radians, scales in percent.
struct EntryCopyValues {
    float sideOffset = 0.0f;
    float height = 0.0f;
    float xRot = 0.0f, yRot = 0.0f, zRot = 0.0f, extraRot = 0.0f;
    std::array<float, 3> scalePercent{100.0f, 100.0f, 100.0f};
    float mirrorAngle = 0.0f;
};

EntryCopyValues EntryValues(const EntryRandomSettings& s, const CopyPoolValues& pool);

// A copy's spacing gap from its entry: Item_Spacing .. Item_Spacing_Random.
float SpacingValue(const EntryRandomSettings& s, float poolValue);

// The combined values of a copy: offsets and angles are the global plus the item value, the
// scales the per-axis factors of ScaleFactors, the mirror angle the global plus the item mirror
// angle (added by the placement to the Z angle of the item's rotation).
struct CopyValues {
    float sideOffset = 0.0f;
    float height = 0.0f;
    float xRot = 0.0f, yRot = 0.0f, zRot = 0.0f, extraRot = 0.0f;
    std::array<float, 3> scale{1.0f, 1.0f, 1.0f};
    float mirrorAngle = 0.0f;
};

CopyValues CombineCopyValues(const EntryRandomSettings& global, const CopyPoolValues& globalPool,
                             const EntryRandomSettings& item, const CopyPoolValues& itemPool);
// The same from the two entries' values, each with its entry's unify switch.
CopyValues CombineEntryValues(const EntryCopyValues& global, bool globalUnify,
                              const EntryCopyValues& item, bool itemUnify);

}  // namespace trellon
