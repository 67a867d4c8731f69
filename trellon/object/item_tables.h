// The one place that edits the object's parallel item tables.
//
// The items (Object_Nodes, then Post_Nodes, then End_Nodes, one combined item index) and the
// swept shapes (Sweep_Nodes) each own a family of tables kept parallel to them. kItemTables
// below says which table belongs to which family and how it is indexed; every operation here
// walks that description, so a table is never forgotten by one operation and remembered by
// another. The rollouts, pickers, list dialogs and notifications call these operations instead
// of editing the tables themselves.
//
// Indexing (k is the item's index, or the shape's index):
//   ItemZeroBased   entry k
//   ItemShared      entry 0 is "All Objects", entry k + 1 belongs to item k
//   ItemPool        100 values per entry of the shared tables: item k owns (k + 1) * 100 .. + 99
//   ItemCloud       Item_Cloud_Count[k] points after those of items 0 .. k - 1
//   EndZeroBased    one entry per end object, at its index within End_Nodes
//   SweepZeroBased  entry k
//   SweepShared     entry 0 is "All Sweeps", entry k + 1 belongs to shape k
//   SweepFlip       one entry more than shapes (made with "All Sweeps"), read at k
//
// The sequence (Sequence_Items / Sequence_Groups rows) refers to items by index, so removing an
// item also removes its rows and closes the gap it leaves in the item numbers and in the group
// numbers (see RemoveItem); adding or moving an item renumbers the rows' item indices the same
// way. Geo_Array, the random group order drawn from the sequence, is emptied by every item and
// sequence edit; the next build draws it again.
//
// Group numbers: every edit leaves the groups as runs of consecutive rows numbered 0, 1, 2, ...
// in row order. A new row (a new item, a null row, a post or end object made a distribution
// object again) is a group of its own after the last. After rows are removed (an item deleted,
// made a post or an end object), the numbers still in use are renumbered by rank, which keeps
// their order: a group left without rows disappears and the groups after it move up by one.
//
// Every table write notifies the block's owner. A caller that owns the object holds its Ready
// at 0 for the whole operation (Trellon::ReadyHold) and refreshes once afterwards, so no
// rebuild sees the tables half edited.
//
// An entry that a table lacks (a shared table without its "All Objects" entry because the
// object was made by a script, pools not filled yet) is skipped, not invented: the operations
// delete what is there and CheckInvariants reports what is not as it should be.
#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "iparamb2.h"
#include "object/param_ids.h"
#include "point3.h"
#include "strclass.h"

class Random;

namespace trellon {

enum class TableRole {
    ItemZeroBased,
    ItemShared,
    ItemPool,
    ItemCloud,
    EndZeroBased,
    SweepZeroBased,
    SweepShared,
    SweepFlip,
};

struct ItemTable {
    ParamID id;
    TableRole role;
};

// A table that does not agree with the items or shapes, and how.
struct TableProblem {
    ParamID param = -1;
    std::string text;  // "Item_Spacing (parameter 102): holds 5 entries, expected 4 (...)"
};

// Values each pool holds per entry of its shared tables.
inline constexpr int kPoolBlock = 100;

// The ten float pools, in the order one round of a regeneration draws them.
inline constexpr std::array<ParamID, 10> kTransformPools = {
    Pool_Spacing, Pool_Pos_InOut, Pool_Z_Pos,   Pool_X_Rot,   Pool_Y_Rot,
    Pool_Z_Rot,   Pool_Extra_Rot, Pool_X_Scale, Pool_Y_Scale, Pool_Z_Scale};

// The node lists, in item-index order.
inline constexpr std::array<ParamID, 3> kItemNodeLists = {Object_Nodes, Post_Nodes, End_Nodes};

// Every table kept parallel to the items or to the swept shapes.
inline constexpr ItemTable kItemTables[] = {
    // Zero-based item tables.
    {Item_Names, TableRole::ItemZeroBased},
    {Item_Kind, TableRole::ItemZeroBased},
    {Item_Box_Max, TableRole::ItemZeroBased},
    {Item_Box_Min, TableRole::ItemZeroBased},
    {Item_Cloud_Count, TableRole::ItemZeroBased},
    {Item_Face_Count, TableRole::ItemZeroBased},
    {Item_Check_1013, TableRole::ItemZeroBased},
    {Item_Repeat_Count, TableRole::ItemZeroBased},
    {Item_Repeat_Gap, TableRole::ItemZeroBased},
    {Item_Spin_1111, TableRole::ItemZeroBased},
    {Item_Check_1121, TableRole::ItemZeroBased},
    {Item_Spin_1032, TableRole::ItemZeroBased},
    {Item_Check_1014, TableRole::ItemZeroBased},
    // Item tables with the "All Objects" entry first.
    {Item_Random_Trans, TableRole::ItemShared},
    {Item_Pos_InOut, TableRole::ItemShared},
    {Item_Pos_InOut_Random, TableRole::ItemShared},
    {Item_Z_Pos, TableRole::ItemShared},
    {Item_Z_Pos_Random, TableRole::ItemShared},
    {Item_X_Rot, TableRole::ItemShared},
    {Item_X_Rot_Random, TableRole::ItemShared},
    {Item_Y_Rot, TableRole::ItemShared},
    {Item_Y_Rot_Random, TableRole::ItemShared},
    {Item_Z_Rot, TableRole::ItemShared},
    {Item_Z_Rot_Random, TableRole::ItemShared},
    {Item_Extra_Rot, TableRole::ItemShared},
    {Item_Extra_Rot_Random, TableRole::ItemShared},
    {Item_Unify_Scale, TableRole::ItemShared},
    {Item_X_Scale, TableRole::ItemShared},
    {Item_X_Scale_Random, TableRole::ItemShared},
    {Item_Y_Scale, TableRole::ItemShared},
    {Item_Y_Scale_Random, TableRole::ItemShared},
    {Item_Z_Scale, TableRole::ItemShared},
    {Item_Z_Scale_Random, TableRole::ItemShared},
    {Item_Mirror_Box, TableRole::ItemShared},
    {Item_Mirror, TableRole::ItemShared},
    {Item_Mirror2, TableRole::ItemShared},
    {Item_Spacing, TableRole::ItemShared},
    {Item_Spacing_Random, TableRole::ItemShared},
    {Item_Start_Offset, TableRole::ItemShared},
    {Item_End_Offset, TableRole::ItemShared},
    {Item_Check_1118, TableRole::ItemShared},
    // Random pools.
    {Pool_Spacing, TableRole::ItemPool},
    {Pool_Pos_InOut, TableRole::ItemPool},
    {Pool_Z_Pos, TableRole::ItemPool},
    {Pool_X_Rot, TableRole::ItemPool},
    {Pool_Y_Rot, TableRole::ItemPool},
    {Pool_Z_Rot, TableRole::ItemPool},
    {Pool_Extra_Rot, TableRole::ItemPool},
    {Pool_X_Scale, TableRole::ItemPool},
    {Pool_Y_Scale, TableRole::ItemPool},
    {Pool_Z_Scale, TableRole::ItemPool},
    {Pool_Mirror, TableRole::ItemPool},
    // Point-cloud points, one block per item.
    {Cloud_Points, TableRole::ItemCloud},
    // End objects only.
    {End_Check_1119, TableRole::EndZeroBased},
    // Swept shapes.
    {Sweep_Names, TableRole::SweepZeroBased},
    {Shape_Steps, TableRole::SweepZeroBased},
    {Sweep_Smooth_Angle, TableRole::SweepZeroBased},
    {Sweep_Double, TableRole::SweepZeroBased},
    {Sweep_Double_Offset, TableRole::SweepZeroBased},
    {Shape_Flip_Normals, TableRole::SweepFlip},
    {Shape_Flip_Object, TableRole::SweepFlip},
    {Sweep_Side_Offset, TableRole::SweepShared},
    {Sweep_Height_Offset, TableRole::SweepShared},
    {Sweep_X_Rot, TableRole::SweepShared},
    {Sweep_Y_Rot, TableRole::SweepShared},
    {Sweep_Z_Rot, TableRole::SweepShared},
    {Sweep_Unify_Scale, TableRole::SweepShared},
    {Sweep_X_Scale, TableRole::SweepShared},
    {Sweep_Y_Scale, TableRole::SweepShared},
    {Sweep_Z_Scale, TableRole::SweepShared},
    // The reserved tables are kept parallel to the shapes but a new object gives them no "All
    // Sweeps" entry, so they hold one entry per shape, at the shape's own index.
    {Sweep_Reserved_140, TableRole::SweepZeroBased},
    {Sweep_Reserved_141, TableRole::SweepZeroBased},
    {Sweep_Reserved_142, TableRole::SweepZeroBased},
    {Sweep_Reserved_143, TableRole::SweepZeroBased},
    {Sweep_Start_Trim, TableRole::SweepShared},
    {Sweep_End_Trim, TableRole::SweepShared},
};

// The value of a table's entry 0: an int for INT_TAB tables, a float for FLOAT_TAB tables.
struct SharedEntryDefault {
    ParamID id;
    bool isInt;
    int intValue;
    float floatValue;
};

constexpr SharedEntryDefault IntEntry(ParamID id, int v) { return {id, true, v, 0.0f}; }
constexpr SharedEntryDefault FloatEntry(ParamID id, float v) { return {id, false, 0, v}; }

// Entry 0 ("All Objects") of every shared item table, the values a new object starts with:
// offsets, rotations and mirror angles 0, scales and spacings 100, unified scale on, the
// switches off.
inline constexpr SharedEntryDefault kItemSharedDefaults[] = {
    IntEntry(Item_Random_Trans, 0),
    FloatEntry(Item_Pos_InOut, 0.0f),
    FloatEntry(Item_Pos_InOut_Random, 0.0f),
    FloatEntry(Item_Z_Pos, 0.0f),
    FloatEntry(Item_Z_Pos_Random, 0.0f),
    FloatEntry(Item_X_Rot, 0.0f),
    FloatEntry(Item_X_Rot_Random, 0.0f),
    FloatEntry(Item_Y_Rot, 0.0f),
    FloatEntry(Item_Y_Rot_Random, 0.0f),
    FloatEntry(Item_Z_Rot, 0.0f),
    FloatEntry(Item_Z_Rot_Random, 0.0f),
    FloatEntry(Item_Extra_Rot, 0.0f),
    FloatEntry(Item_Extra_Rot_Random, 0.0f),
    IntEntry(Item_Unify_Scale, 1),
    FloatEntry(Item_X_Scale, 100.0f),
    FloatEntry(Item_X_Scale_Random, 100.0f),
    FloatEntry(Item_Y_Scale, 100.0f),
    FloatEntry(Item_Y_Scale_Random, 100.0f),
    FloatEntry(Item_Z_Scale, 100.0f),
    FloatEntry(Item_Z_Scale_Random, 100.0f),
    IntEntry(Item_Mirror_Box, 0),
    FloatEntry(Item_Mirror, 0.0f),
    FloatEntry(Item_Mirror2, 0.0f),
    FloatEntry(Item_Spacing, 100.0f),
    FloatEntry(Item_Spacing_Random, 100.0f),
    FloatEntry(Item_Start_Offset, 0.0f),
    FloatEntry(Item_End_Offset, 0.0f),
    IntEntry(Item_Check_1118, 0),
};

// The sweep tables that get an entry when the object is created: the two flip tables and the
// "All Sweeps" entry of the shared sweep tables. Sweep_Reserved_140 .. 143 get none; a new
// object starts without them.
inline constexpr SharedEntryDefault kSweepSharedDefaults[] = {
    IntEntry(Shape_Flip_Normals, 0),     IntEntry(Shape_Flip_Object, 0),
    FloatEntry(Sweep_Side_Offset, 0.0f), FloatEntry(Sweep_Height_Offset, 0.0f),
    FloatEntry(Sweep_X_Rot, 0.0f),       FloatEntry(Sweep_Y_Rot, 0.0f),
    FloatEntry(Sweep_Z_Rot, 0.0f),       IntEntry(Sweep_Unify_Scale, 1),
    FloatEntry(Sweep_X_Scale, 100.0f),   FloatEntry(Sweep_Y_Scale, 100.0f),
    FloatEntry(Sweep_Z_Scale, 100.0f),   FloatEntry(Sweep_Start_Trim, 0.0f),
    FloatEntry(Sweep_End_Trim, 0.0f),
};

// Which node list an item belongs to.
enum class ItemList { Objects = 0, Posts = 1, Ends = 2 };

// What a new distribution object brings to the zero-based item tables: its node and the values
// measured on its mesh. Every other table gets its new object's default (see AddObject).
struct NewItem {
    INode* node = nullptr;
    MSTR name;
    int kind = 0;  // Item_Kind: 0 a mesh, 1 a light shown by the marker mesh
    Point3 boxMin{0.0f, 0.0f, 0.0f};
    Point3 boxMax{0.0f, 0.0f, 0.0f};
    int faceCount = 0;
    // The point-cloud points in their stored order; their number is Item_Cloud_Count.
    std::vector<Point3> cloud;
};

// What a new swept shape brings: its node, its name and its own interpolation steps.
struct NewSweep {
    INode* node = nullptr;
    MSTR name;
    int steps = 0;
};

class ItemTables {
public:
    // Edits pb's tables; values are read and written at time t. A null block gives an editor
    // that counts nothing and changes nothing.
    ItemTables(IParamBlock2* pb, TimeValue t);

    int ObjectCount() const;
    int PostCount() const;
    int EndCount() const;
    int ItemCount() const;
    int SweepCount() const;
    int Count(ItemList list) const;
    // The item index of entry i of a node list, or -1 when there is no such entry.
    int ItemIndex(ItemList list, int i) const;
    // The node list holding item k and k's index within it; FALSE when k is not an item.
    BOOL Locate(int item, ItemList& list, int& index) const;

    // Removes item k, as one operation: its node entry, its entries in every item table, its
    // point-cloud block, its End_Check_1119 entry (an end object), its pool blocks, the
    // sequence rows naming it; higher item indices in the sequence drop by one and the group
    // numbers are closed up; Geo_Array is emptied and Object_Solo reset to 0 (it named an item
    // by index). FALSE, changing nothing, when k is not an item.
    //
    // Group numbers: when the removed rows were the last rows of their group, that group
    // number is no longer in use; every group number above it is lowered by one, so the
    // numbers in use stay 0 .. G-1 in the order they had (the rule the item indices follow).
    BOOL RemoveItem(int item);
    // Removes every item of list whose node entry is null (its node was deleted), highest
    // first; returns how many were removed.
    int RemoveNulledItems(ItemList list);

    // Removes swept shape k from Sweep_Nodes and every sweep table; resets Sweep_Solo. FALSE,
    // changing nothing, when k is not a shape.
    BOOL RemoveSweep(int shape);
    // Removes every shape whose node entry is null; returns how many were removed.
    int RemoveNulledSweeps();

    // Adds a distribution object as one operation, at item index k = count(Object_Nodes) (after
    // the distribution objects, before the posts and end objects), and returns k. The object's
    // node is appended to Object_Nodes; the zero-based tables take the values of item (the
    // other zero-based tables 0), its points go into Cloud_Points after those of items
    // 0 .. k - 1; the shared tables take their kItemSharedDefaults value, except Item_Spacing
    // and Item_Spacing_Random, which both copy Item_Spacing[0]; each filled pool gets a block
    // of zeros for the object, to be drawn by a regeneration. The sequence gets a row for the
    // object in a group of its own, rows naming later items (posts, end objects) follow their
    // items, and Object_Solo keeps naming the item it named. A block without the shared
    // entries gets them first (AppendSharedEntries). -1, changing nothing, for a null node or
    // a null block.
    int AddObject(const NewItem& item);

    // Moves item k to the end of list `to`, as one operation: its node entry, its entries in
    // every item table, its pool blocks and its point-cloud block move to its new item index,
    // which is returned. Leaving the distribution objects, the item's sequence rows go; coming
    // back to them, it gets a row in a group of its own. Becoming an end object it gets an
    // End_Check_1119 entry 0; leaving the end objects it loses its entry. Items between the
    // old and the new index move by one; the sequence rows and Object_Solo follow them;
    // Geo_Array is emptied. -1, changing nothing, when k is not an item or is already in `to`.
    int MoveItem(int item, ItemList to);

    // Puts what item k's mesh measures now in place of what it measured when it was added: its
    // box, face count and kind, and its point-cloud block (the new points replace the old, so
    // the blocks after it move when the count changes). The item's node, name and settings stay.
    // FALSE, changing nothing, when k is not an item.
    BOOL RemeasureItem(int item, const NewItem& measured);

    // Number of sequence rows.
    int SequenceRowCount() const;
    // Appends a sequence row naming item (-1: a null row, a gap in the sequence) in a group of
    // its own, numbered one more than the largest in use (0 for the first row); empties
    // Geo_Array. Returns the new row's index, or -1 (nothing changed) when item is neither -1
    // nor an item.
    int AppendSequenceRow(int item);

    // Moves sequence row r (0-based) up one level. With g its group: nothing happens when r is
    // the first row or g is 0. A row that stands alone in its group joins the group above (it
    // becomes that group's last row; the groups after it move up by one). A row that shares
    // its group leaves it and becomes a group of its own just before it: its item moves to the
    // group's first row and the items above it in the group move down one place. Only the
    // sequence tables change. TRUE when something moved.
    BOOL ShiftRowUp(int row);
    // The downward counterpart: nothing happens when r is the last row or g is the last group.
    // A row alone in its group joins the group below (it becomes that group's first row; the
    // groups after it move up by one). A row that shares its group leaves it and becomes a
    // group of its own just after it: its item moves to the group's last row and the items
    // below it in the group move up one place. TRUE when something moved.
    BOOL ShiftRowDown(int row);

    // Appends a swept shape as one operation and returns its index: Sweep_Nodes, Sweep_Names and
    // Shape_Steps take shape's values, the other zero-based sweep tables 0, the flip tables an
    // entry 0, the shared sweep tables their kSweepSharedDefaults value. A block without the
    // shared entries gets them first. -1, changing nothing, for a null node or a null block.
    int AddSweep(const NewSweep& shape);

    // The spacings of a newly picked path: every entry of Item_Spacing and Item_Spacing_Random
    // ("All Objects" and every item) := spacing, KnotSpacing := 2 * spacing.
    void ResetSpacings(float spacing);

    // The set-up of a new object: appends entry 0, with its value from kItemSharedDefaults and
    // kSweepSharedDefaults, to each of those tables that is still empty, and returns how many
    // tables received it. A table that has entries is left alone, so a repeated set-up adds
    // nothing and existing items keep their places.
    int AppendSharedEntries();

    // The pool slot a regeneration request r names: in Geo_Pattern 0 and 1 a request
    // 0 < r <= (sequence rows) names row r - 1, whose item k owns slot k + 1 (-1, nothing to
    // regenerate, for a row without item); any other r is the slot itself (0 is "All Objects";
    // in Geo_Pattern 2 the rollout passes item + 1). A negative r names no slot (-1).
    int PoolSlot(int r) const;

    // Draws new values for the ten float pools. Slot 0, or pools that are not all filled yet,
    // clear and refill them all: count(Object_Nodes) + 1 slots of 100 rounds, each round one
    // value rand() / (s_rand_max + 1) * 100 (single precision) per pool in kTransformPools
    // order. Any other slot has its 100 values replaced in place, in the same round order.
    // FALSE, changing nothing, when r names no slot or a slot the pools do not hold.
    BOOL RegenerateTransformPools(int r, Random& generator);
    // The same for Pool_Mirror, one value rand() % 2 per round.
    BOOL RegenerateMirrorPool(int r, Random& generator);

    // What is wrong with the tables, one sentence each; empty when every invariant holds:
    // the item tables have one entry per item (shared tables one more, or none at all while
    // there are no items), each pool 100 values per shared entry (or none while there are no
    // items), Cloud_Points the sum of Item_Cloud_Count, End_Check_1119 one entry per end
    // object, the sweep tables likewise for the shapes, the sequence rows pairs whose items
    // exist (or -1), whose groups are contiguous runs numbered 0 .. G-1.
    std::vector<std::string> CheckInvariants() const;
    // The same, each with the parameter it is about (-1 without a block), in the same order.
    std::vector<TableProblem> FindProblems() const;

private:
    int CloudStart(int item) const;
    BOOL RegeneratePools(int r, std::span<const ParamID> pools, bool coin, Random& generator);
    void RemoveSequenceRows(int item);
    // Rewrites every sequence row's item index k >= 0 as remap(k); a row whose item remap
    // answers -1 for goes.
    template <class Remap>
    void RenumberItems(Remap remap);
    // Object_Solo (item + 1) follows its item to remap(item).
    template <class Remap>
    void FollowSolo(Remap remap);
    // Renumbers the group numbers in use by rank: 0 .. G-1 in their order.
    void CloseGroupGaps();
    void EmptyGeoArray();

    IParamBlock2* pb_;
    TimeValue t_;
};

}  // namespace trellon
