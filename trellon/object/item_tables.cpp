#include "object/item_tables.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <span>

#include "inode.h"
#include "random.h"

namespace trellon {

namespace {

// Deletes entries start .. start + num - 1, or the part of them the table holds.
void DeleteEntries(IParamBlock2* pb, ParamID id, int start, int num) {
    const int count = pb->Count(id);
    if (start < 0 || num <= 0 || start >= count) return;
    pb->Delete(id, start, std::min(num, count - start));
}

// Writes an int only when it changes, so an edit sends no needless change messages.
void SetIntIfChanged(IParamBlock2* pb, ParamID id, TimeValue t, int v, int tabIndex = 0) {
    if (pb->GetInt(id, t, tabIndex) != v) pb->SetValue(id, t, v, tabIndex);
}

constexpr ParamID NodeListID(ItemList list) {
    return kItemNodeLists[static_cast<std::size_t>(list)];
}

// A run of entries of one table, whatever its type, taken out of the table to be put back
// elsewhere (an item's entries moving with it) or made up as the table's zero (a new entry).
class Entries {
public:
    // The entries start .. start + num - 1 of table id.
    static Entries Read(IParamBlock2* pb, ParamID id, TimeValue t, int start, int num) {
        Entries e(pb->GetParameterType(id));
        for (int i = start; i < start + num; ++i) {
            switch (e.storage_) {
                case PBStorage::Int:
                    e.ints_.push_back(pb->GetInt(id, t, i));
                    break;
                case PBStorage::Float:
                    e.floats_.push_back(pb->GetFloat(id, t, i));
                    break;
                case PBStorage::Point3:
                    e.points_.push_back(pb->GetPoint3(id, t, i));
                    break;
                case PBStorage::String: {
                    const MCHAR* str = pb->GetStr(id, t, i);
                    e.strings_.emplace_back(str ? str : _M(""));
                    break;
                }
                case PBStorage::Reference:
                    e.nodes_.push_back(pb->GetINode(id, t, i));
                    break;
                default:
                    break;
            }
        }
        return e;
    }

    // num entries holding the table's zero: 0, 0.0, the origin, an empty string, no node.
    static Entries Zeros(IParamBlock2* pb, ParamID id, int num) {
        Entries e(pb->GetParameterType(id));
        const auto n = static_cast<std::size_t>(std::max(0, num));
        e.ints_.assign(e.storage_ == PBStorage::Int ? n : 0, 0);
        e.floats_.assign(e.storage_ == PBStorage::Float ? n : 0, 0.0f);
        e.points_.assign(e.storage_ == PBStorage::Point3 ? n : 0, Point3(0.0f, 0.0f, 0.0f));
        e.strings_.assign(e.storage_ == PBStorage::String ? n : 0, MSTR());
        e.nodes_.assign(e.storage_ == PBStorage::Reference ? n : 0, nullptr);
        return e;
    }

    // FALSE for a table type that is never parallel to the items (matrices, other references).
    bool Supported() const { return storage_ != PBStorage::None && storage_ != PBStorage::Matrix3; }

    // Inserts the entries at index at (0 .. count of the table).
    void InsertInto(IParamBlock2* pb, ParamID id, int at) {
        switch (storage_) {
            case PBStorage::Int:
                if (!ints_.empty()) pb->Insert(id, at, Size(ints_), ints_.data());
                break;
            case PBStorage::Float:
                if (!floats_.empty()) pb->Insert(id, at, Size(floats_), floats_.data());
                break;
            case PBStorage::Point3: {
                std::vector<Point3*> ptrs;
                for (Point3& p : points_) ptrs.push_back(&p);
                if (!ptrs.empty()) pb->Insert(id, at, Size(ptrs), ptrs.data());
                break;
            }
            case PBStorage::String: {
                std::vector<const MCHAR*> ptrs;
                for (const MSTR& str : strings_) ptrs.push_back(str.data());
                if (!ptrs.empty()) pb->Insert(id, at, Size(ptrs), ptrs.data());
                break;
            }
            case PBStorage::Reference:
                if (!nodes_.empty()) pb->Insert(id, at, Size(nodes_), nodes_.data());
                break;
            default:
                break;
        }
    }

private:
    explicit Entries(ParamType2 type)
        : storage_(base_type(type) == TYPE_INODE || pb_storage(type) != PBStorage::Reference
                       ? pb_storage(type)
                       : PBStorage::None) {}
    template <class V>
    static int Size(const std::vector<V>& v) {
        return static_cast<int>(v.size());
    }

    PBStorage storage_;
    std::vector<int> ints_;
    std::vector<float> floats_;
    std::vector<Point3> points_;
    std::vector<MSTR> strings_;
    std::vector<INode*> nodes_;
};

// Moves entries from .. from + num - 1 of table id so that they start at index to of the table
// without them. A table that does not hold them all is left alone.
void MoveEntries(IParamBlock2* pb, ParamID id, TimeValue t, int from, int num, int to) {
    const int count = pb->Count(id);
    if (num <= 0 || from < 0 || from + num > count || from == to) return;
    Entries moving = Entries::Read(pb, id, t, from, num);
    if (!moving.Supported()) return;
    pb->Delete(id, from, num);
    moving.InsertInto(pb, id, std::clamp(to, 0, count - num));
}

// Inserts num zero entries at index at; a table shorter than at is left alone.
void InsertZeros(IParamBlock2* pb, ParamID id, int at, int num) {
    if (num <= 0 || at < 0 || at > pb->Count(id)) return;
    Entries::Zeros(pb, id, num).InsertInto(pb, id, at);
}

const SharedEntryDefault* FindDefault(std::span<const SharedEntryDefault> list, ParamID id) {
    for (const SharedEntryDefault& d : list) {
        if (d.id == id) return &d;
    }
    return nullptr;
}

// Inserts one entry holding d's value (the table's zero without one) at index at.
void InsertDefault(IParamBlock2* pb, ParamID id, int at, const SharedEntryDefault* d) {
    if (at < 0 || at > pb->Count(id)) return;
    if (!d) {
        InsertZeros(pb, id, at, 1);
    } else if (d->isInt) {
        int v = d->intValue;
        pb->Insert(id, at, 1, &v);
    } else {
        float v = d->floatValue;
        pb->Insert(id, at, 1, &v);
    }
}

}  // namespace

ItemTables::ItemTables(IParamBlock2* pb, TimeValue t) : pb_(pb), t_(t) {}

int ItemTables::Count(ItemList list) const { return pb_ ? pb_->Count(NodeListID(list)) : 0; }
int ItemTables::ObjectCount() const { return Count(ItemList::Objects); }
int ItemTables::PostCount() const { return Count(ItemList::Posts); }
int ItemTables::EndCount() const { return Count(ItemList::Ends); }
int ItemTables::ItemCount() const { return ObjectCount() + PostCount() + EndCount(); }
int ItemTables::SweepCount() const { return pb_ ? pb_->Count(Sweep_Nodes) : 0; }

int ItemTables::ItemIndex(ItemList list, int i) const {
    if (i < 0 || i >= Count(list)) return -1;
    switch (list) {
        case ItemList::Objects:
            return i;
        case ItemList::Posts:
            return ObjectCount() + i;
        case ItemList::Ends:
            return ObjectCount() + PostCount() + i;
    }
    return -1;
}

BOOL ItemTables::Locate(int item, ItemList& list, int& index) const {
    if (item < 0) return FALSE;
    int first = 0;
    for (ItemList l : {ItemList::Objects, ItemList::Posts, ItemList::Ends}) {
        const int n = Count(l);
        if (item < first + n) {
            list = l;
            index = item - first;
            return TRUE;
        }
        first += n;
    }
    return FALSE;
}

int ItemTables::CloudStart(int item) const {
    const int counted = std::min(item, pb_->Count(Item_Cloud_Count));
    int start = 0;
    for (int k = 0; k < counted; ++k) start += std::max(0, pb_->GetInt(Item_Cloud_Count, t_, k));
    return start;
}

BOOL ItemTables::RemoveItem(int item) {
    ItemList list = ItemList::Objects;
    int index = 0;
    if (!pb_ || !Locate(item, list, index)) return FALSE;

    // The item's point-cloud block, measured before its count goes.
    const int cloudStart = CloudStart(item);
    const int cloudCount = item < pb_->Count(Item_Cloud_Count)
                               ? std::max(0, pb_->GetInt(Item_Cloud_Count, t_, item))
                               : 0;
    const int shared = item + 1;

    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::ItemZeroBased:
                DeleteEntries(pb_, table.id, item, 1);
                break;
            case TableRole::ItemShared:
                DeleteEntries(pb_, table.id, shared, 1);
                break;
            case TableRole::ItemPool:
                DeleteEntries(pb_, table.id, shared * kPoolBlock, kPoolBlock);
                break;
            case TableRole::ItemCloud:
                DeleteEntries(pb_, table.id, cloudStart, cloudCount);
                break;
            case TableRole::EndZeroBased:
                if (list == ItemList::Ends) DeleteEntries(pb_, table.id, index, 1);
                break;
            case TableRole::SweepZeroBased:
            case TableRole::SweepShared:
            case TableRole::SweepFlip:
                break;
        }
    }
    DeleteEntries(pb_, NodeListID(list), index, 1);

    RemoveSequenceRows(item);
    EmptyGeoArray();
    // Object_Solo names an item by index + 1; after a removal that index may name another.
    SetIntIfChanged(pb_, Object_Solo, t_, 0);
    return TRUE;
}

void ItemTables::RemoveSequenceRows(int item) {
    // Rows naming the item go; the items after it move down one place.
    RenumberItems([item](int k) { return k == item ? -1 : k > item ? k - 1 : k; });
    CloseGroupGaps();
}

template <class Remap>
void ItemTables::RenumberItems(Remap remap) {
    // Last row first, so the indices of the rows still to visit stay put.
    const int rows = std::min(pb_->Count(Sequence_Items), pb_->Count(Sequence_Groups));
    for (int r = rows - 1; r >= 0; --r) {
        const int k = pb_->GetInt(Sequence_Items, t_, r);
        if (k < 0) continue;
        const int to = remap(k);
        if (to < 0) {
            DeleteEntries(pb_, Sequence_Items, r, 1);
            DeleteEntries(pb_, Sequence_Groups, r, 1);
        } else {
            SetIntIfChanged(pb_, Sequence_Items, t_, to, r);
        }
    }
}

template <class Remap>
void ItemTables::FollowSolo(Remap remap) {
    const int soloed = pb_->GetInt(Object_Solo, t_) - 1;
    if (soloed >= 0) SetIntIfChanged(pb_, Object_Solo, t_, std::max(0, remap(soloed) + 1));
}

void ItemTables::CloseGroupGaps() {
    // Each number in use becomes its rank among them.
    const int groups = pb_->Count(Sequence_Groups);
    std::map<int, int> rank;
    for (int r = 0; r < groups; ++r) {
        const int g = pb_->GetInt(Sequence_Groups, t_, r);
        if (g >= 0) rank.emplace(g, 0);
    }
    int next = 0;
    for (auto& entry : rank) entry.second = next++;
    for (int r = 0; r < groups; ++r) {
        const int g = pb_->GetInt(Sequence_Groups, t_, r);
        if (g >= 0) SetIntIfChanged(pb_, Sequence_Groups, t_, rank[g], r);
    }
}

void ItemTables::EmptyGeoArray() {
    if (pb_->Count(Geo_Array) > 0) pb_->ZeroCount(Geo_Array);
}

int ItemTables::RemoveNulledItems(ItemList list) {
    if (!pb_) return 0;
    int removed = 0;
    for (int i = Count(list) - 1; i >= 0; --i) {
        if (pb_->GetINode(NodeListID(list), t_, i) != nullptr) continue;
        if (RemoveItem(ItemIndex(list, i))) ++removed;
    }
    return removed;
}

BOOL ItemTables::RemoveSweep(int shape) {
    if (!pb_ || shape < 0 || shape >= SweepCount()) return FALSE;
    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::SweepZeroBased:
            case TableRole::SweepFlip:
                DeleteEntries(pb_, table.id, shape, 1);
                break;
            case TableRole::SweepShared:
                DeleteEntries(pb_, table.id, shape + 1, 1);
                break;
            default:
                break;
        }
    }
    DeleteEntries(pb_, Sweep_Nodes, shape, 1);
    // Sweep_Solo names a shape by index + 1.
    SetIntIfChanged(pb_, Sweep_Solo, t_, 0);
    return TRUE;
}

int ItemTables::RemoveNulledSweeps() {
    if (!pb_) return 0;
    int removed = 0;
    for (int i = SweepCount() - 1; i >= 0; --i) {
        if (pb_->GetINode(Sweep_Nodes, t_, i) != nullptr) continue;
        if (RemoveSweep(i)) ++removed;
    }
    return removed;
}

int ItemTables::AppendSharedEntries() {
    if (!pb_) return 0;
    int appended = 0;
    using Defaults = std::span<const SharedEntryDefault>;
    for (Defaults list : {Defaults(kItemSharedDefaults), Defaults(kSweepSharedDefaults)}) {
        for (const SharedEntryDefault& d : list) {
            if (pb_->Count(d.id) != 0) continue;
            if (d.isInt) {
                int v = d.intValue;
                pb_->Append(d.id, 1, &v);
            } else {
                float v = d.floatValue;
                pb_->Append(d.id, 1, &v);
            }
            ++appended;
        }
    }
    return appended;
}

BOOL ItemTables::RemeasureItem(int item, const NewItem& measured) {
    if (!pb_ || item < 0 || item >= ItemCount()) return FALSE;
    const int cloudStart = CloudStart(item);
    const int oldCount =
        item < pb_->Count(Item_Cloud_Count) ? pb_->GetInt(Item_Cloud_Count, t_, item) : 0;
    const int newCount = static_cast<int>(measured.cloud.size());
    if (cloudStart + oldCount <= pb_->Count(Cloud_Points)) {
        if (oldCount > 0) pb_->Delete(Cloud_Points, cloudStart, oldCount);
        if (newCount > 0) {
            std::vector<Point3> points(measured.cloud);
            std::vector<Point3*> ptrs;
            for (Point3& p : points) ptrs.push_back(&p);
            pb_->Insert(Cloud_Points, cloudStart, newCount, ptrs.data());
        }
    }
    pb_->SetValue(Item_Kind, t_, measured.kind, item);
    pb_->SetValue(Item_Box_Min, t_, measured.boxMin, item);
    pb_->SetValue(Item_Box_Max, t_, measured.boxMax, item);
    pb_->SetValue(Item_Face_Count, t_, measured.faceCount, item);
    pb_->SetValue(Item_Cloud_Count, t_, newCount, item);
    return TRUE;
}

int ItemTables::AddObject(const NewItem& item) {
    if (!pb_ || !item.node) return -1;
    AppendSharedEntries();
    const int k = ObjectCount();
    const int cloudStart = CloudStart(k);
    const int cloudCount = static_cast<int>(item.cloud.size());

    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::ItemZeroBased:
                InsertZeros(pb_, table.id, k, 1);
                break;
            case TableRole::ItemShared:
                InsertDefault(pb_, table.id, k + 1, FindDefault(kItemSharedDefaults, table.id));
                break;
            case TableRole::ItemPool:
                // Only pools that hold blocks for every entry so far get one; empty pools are
                // filled whole by the next regeneration.
                if (pb_->Count(table.id) >= (k + 1) * kPoolBlock) {
                    InsertZeros(pb_, table.id, (k + 1) * kPoolBlock, kPoolBlock);
                }
                break;
            case TableRole::ItemCloud:
                if (cloudCount > 0 && cloudStart <= pb_->Count(table.id)) {
                    std::vector<Point3> points(item.cloud);
                    std::vector<Point3*> ptrs;
                    for (Point3& p : points) ptrs.push_back(&p);
                    pb_->Insert(table.id, cloudStart, cloudCount, ptrs.data());
                }
                break;
            default:
                break;
        }
    }
    // The object's own values in the zero-based tables.
    pb_->SetValue(Item_Names, t_, item.name.data(), k);
    pb_->SetValue(Item_Kind, t_, item.kind, k);
    pb_->SetValue(Item_Box_Min, t_, item.boxMin, k);
    pb_->SetValue(Item_Box_Max, t_, item.boxMax, k);
    pb_->SetValue(Item_Face_Count, t_, item.faceCount, k);
    pb_->SetValue(Item_Cloud_Count, t_, cloudCount, k);
    // A new object starts at the spacing of "All Objects", as a fixed value.
    if (pb_->Count(Item_Spacing) > k + 1) {
        const float spacing = pb_->GetFloat(Item_Spacing, t_, 0);
        pb_->SetValue(Item_Spacing, t_, spacing, k + 1);
        if (pb_->Count(Item_Spacing_Random) > k + 1) {
            pb_->SetValue(Item_Spacing_Random, t_, spacing, k + 1);
        }
    }
    INode* node = item.node;
    pb_->Append(Object_Nodes, 1, &node);

    // Posts and end objects are now one further on; the new object gets its own row.
    const auto shift = [k](int x) { return x >= k ? x + 1 : x; };
    RenumberItems(shift);
    FollowSolo(shift);
    AppendSequenceRow(k);
    EmptyGeoArray();
    return k;
}

int ItemTables::MoveItem(int item, ItemList to) {
    ItemList from = ItemList::Objects;
    int index = 0;
    if (!pb_ || !Locate(item, from, index) || from == to) return -1;

    // The item's new index: the end of list `to` once it has left its own list.
    int target = 0;
    for (ItemList l : {ItemList::Objects, ItemList::Posts, ItemList::Ends}) {
        target += Count(l) - (l == from ? 1 : 0);
        if (l == to) break;
    }

    // Its point-cloud block goes after the blocks of the items that will stand before it.
    std::vector<int> counts;
    for (int k = 0; k < pb_->Count(Item_Cloud_Count); ++k) {
        counts.push_back(std::max(0, pb_->GetInt(Item_Cloud_Count, t_, k)));
    }
    int cloudFrom = 0;
    int cloudTo = 0;
    int cloudCount = 0;
    int seen = 0;
    for (int k = 0; k < static_cast<int>(counts.size()); ++k) {
        const int c = counts[static_cast<std::size_t>(k)];
        if (k < item) cloudFrom += c;
        if (k == item) {
            cloudCount = c;
            continue;
        }
        if (seen++ < target) cloudTo += c;
    }

    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::ItemZeroBased:
                MoveEntries(pb_, table.id, t_, item, 1, target);
                break;
            case TableRole::ItemShared:
                MoveEntries(pb_, table.id, t_, item + 1, 1, target + 1);
                break;
            case TableRole::ItemPool:
                MoveEntries(pb_, table.id, t_, (item + 1) * kPoolBlock, kPoolBlock,
                            (target + 1) * kPoolBlock);
                break;
            case TableRole::ItemCloud:
                if (item < static_cast<int>(counts.size())) {
                    MoveEntries(pb_, table.id, t_, cloudFrom, cloudCount, cloudTo);
                }
                break;
            case TableRole::EndZeroBased:
                if (from == ItemList::Ends) DeleteEntries(pb_, table.id, index, 1);
                if (to == ItemList::Ends) {
                    int check = 0;
                    pb_->Append(table.id, 1, &check);
                }
                break;
            default:
                break;
        }
    }
    INode* node = pb_->GetINode(NodeListID(from), t_, index);
    DeleteEntries(pb_, NodeListID(from), index, 1);
    pb_->Append(NodeListID(to), 1, &node);

    // Items between the old and the new place move by one toward the gap it left.
    const auto moved = [item, target](int x) {
        if (x == item) return target;
        if (item < x && x <= target) return x - 1;
        if (target <= x && x < item) return x + 1;
        return x;
    };
    // Its rows go with it when it stops being a distribution object.
    const bool leavesObjects = from == ItemList::Objects;
    RenumberItems([&](int x) { return leavesObjects && x == item ? -1 : moved(x); });
    FollowSolo(moved);
    CloseGroupGaps();
    if (to == ItemList::Objects) AppendSequenceRow(target);
    EmptyGeoArray();
    return target;
}

int ItemTables::SequenceRowCount() const { return pb_ ? pb_->Count(Sequence_Items) : 0; }

int ItemTables::AppendSequenceRow(int item) {
    if (!pb_ || item < -1 || item >= ItemCount()) return -1;
    // The new row is a group of its own, numbered after the largest. Only the numbers' order
    // means anything, so a file that stored the largest number an int holds has its numbers
    // closed up to their ranks first, leaving room for one more.
    auto largest = [&] {
        int most = -1;
        for (int r = 0; r < pb_->Count(Sequence_Groups); ++r)
            most = std::max(most, pb_->GetInt(Sequence_Groups, t_, r));
        return most;
    };
    int most = largest();
    if (most == std::numeric_limits<int>::max()) {
        CloseGroupGaps();
        most = largest();
    }
    int group = most + 1;
    const int row = pb_->Append(Sequence_Items, 1, &item);
    pb_->Append(Sequence_Groups, 1, &group);
    EmptyGeoArray();
    return row;
}

BOOL ItemTables::ShiftRowUp(int row) {
    const int rows = SequenceRowCount();
    if (!pb_ || row < 1 || row >= rows || pb_->Count(Sequence_Groups) != rows) return FALSE;
    auto group = [this](int r) { return pb_->GetInt(Sequence_Groups, t_, r); };
    const int g = group(row);
    if (g == 0) return FALSE;
    const bool first = group(row - 1) != g;
    const bool alone = first && (row == rows - 1 || group(row + 1) != g);
    if (alone) {
        // Joins the group above; its own number is no longer used.
        pb_->SetValue(Sequence_Groups, t_, group(row - 1), row);
        for (int r = row + 1; r < rows; ++r) pb_->SetValue(Sequence_Groups, t_, group(r) - 1, r);
    } else {
        // k rows of g stand above it: it takes the first row of g, alone, and the rest of g
        // (those k rows and the ones below it) becomes the group after it.
        int k = 0;
        while (row - k - 1 >= 0 && group(row - k - 1) == g) ++k;
        for (int r = row - k + 1; r < rows; ++r) {
            pb_->SetValue(Sequence_Groups, t_, group(r) + 1, r);
        }
        MoveEntries(pb_, Sequence_Items, t_, row, 1, row - k);
    }
    EmptyGeoArray();
    return TRUE;
}

BOOL ItemTables::ShiftRowDown(int row) {
    const int rows = SequenceRowCount();
    if (!pb_ || row < 0 || row >= rows - 1 || pb_->Count(Sequence_Groups) != rows) return FALSE;
    auto group = [this](int r) { return pb_->GetInt(Sequence_Groups, t_, r); };
    const int g = group(row);
    if (g == group(rows - 1)) return FALSE;
    const bool last = group(row + 1) != g;
    const bool alone = last && (row == 0 || group(row - 1) != g);
    if (alone) {
        // Joins the group below, which takes over its number.
        for (int r = row + 1; r < rows; ++r) pb_->SetValue(Sequence_Groups, t_, group(r) - 1, r);
    } else {
        // k rows of g stand below it: it takes the last row of g, alone, as the group after g.
        int k = 0;
        while (row + k + 1 < rows && group(row + k + 1) == g) ++k;
        for (int r = row + k; r < rows; ++r) pb_->SetValue(Sequence_Groups, t_, group(r) + 1, r);
        MoveEntries(pb_, Sequence_Items, t_, row, 1, row + k);
    }
    EmptyGeoArray();
    return TRUE;
}

int ItemTables::AddSweep(const NewSweep& shape) {
    if (!pb_ || !shape.node) return -1;
    AppendSharedEntries();
    const int k = SweepCount();
    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::SweepZeroBased:
                InsertZeros(pb_, table.id, k, 1);
                break;
            case TableRole::SweepFlip:
                InsertZeros(pb_, table.id, pb_->Count(table.id), 1);
                break;
            case TableRole::SweepShared:
                InsertDefault(pb_, table.id, k + 1, FindDefault(kSweepSharedDefaults, table.id));
                break;
            default:
                break;
        }
    }
    pb_->SetValue(Sweep_Names, t_, shape.name.data(), k);
    pb_->SetValue(Shape_Steps, t_, shape.steps, k);
    INode* node = shape.node;
    pb_->Append(Sweep_Nodes, 1, &node);
    return k;
}

void ItemTables::ResetSpacings(float spacing) {
    if (!pb_) return;
    for (ParamID id : {Item_Spacing, Item_Spacing_Random}) {
        for (int e = 0; e < pb_->Count(id); ++e) pb_->SetValue(id, t_, spacing, e);
    }
    pb_->SetValue(KnotSpacing, t_, 2.0f * spacing);
}

}  // namespace trellon
