#include "object/item_tables.h"

#include <algorithm>
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

std::string Describe(ParamID id, const char* what) {
    return "parameter " + std::to_string(id) + ": " + what;
}

std::string CountMismatch(ParamID id, int count, const std::string& expected) {
    return Describe(id, "holds ") + std::to_string(count) + " entries, expected " + expected;
}

constexpr ParamID NodeListID(ItemList list) {
    return kItemNodeLists[static_cast<std::size_t>(list)];
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
    if (pb_->Count(Geo_Array) > 0) pb_->ZeroCount(Geo_Array);
    // Object_Solo names an item by index + 1; after a removal that index may name another.
    SetIntIfChanged(pb_, Object_Solo, t_, 0);
    return TRUE;
}

void ItemTables::RemoveSequenceRows(int item) {
    // Rows naming the item go, last first so the earlier row indices stay put.
    for (int r = pb_->Count(Sequence_Items) - 1; r >= 0; --r) {
        if (pb_->GetInt(Sequence_Items, t_, r) != item) continue;
        DeleteEntries(pb_, Sequence_Items, r, 1);
        DeleteEntries(pb_, Sequence_Groups, r, 1);
    }
    // The items after it move down one place.
    const int rows = pb_->Count(Sequence_Items);
    for (int r = 0; r < rows; ++r) {
        const int k = pb_->GetInt(Sequence_Items, t_, r);
        if (k > item) pb_->SetValue(Sequence_Items, t_, k - 1, r);
    }
    // Close the gaps in the group numbers: each number in use becomes its rank among them.
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

int ItemTables::PoolSlot(int r) const {
    if (!pb_ || r < 0) return -1;
    const int rows = pb_->Count(Sequence_Groups);
    if (r > 0 && r < rows + 1 && pb_->GetInt(Geo_Pattern, t_) < 2) {
        // A row the item column lacks (tables out of step) has no item either.
        if (r - 1 >= pb_->Count(Sequence_Items)) return -1;
        const int item = pb_->GetInt(Sequence_Items, t_, r - 1);
        return item < 0 ? -1 : item + 1;
    }
    return r;
}

BOOL ItemTables::RegenerateTransformPools(int r, Random& generator) {
    return RegeneratePools(r, kTransformPools, false, generator);
}

BOOL ItemTables::RegenerateMirrorPool(int r, Random& generator) {
    static constexpr ParamID kMirror[] = {Pool_Mirror};
    return RegeneratePools(r, kMirror, true, generator);
}

BOOL ItemTables::RegeneratePools(int r, std::span<const ParamID> pools, bool coin,
                                 Random& generator) {
    const int slot = PoolSlot(r);
    if (slot < 0) return FALSE;
    bool empty = false;
    bool holdsSlot = true;
    for (ParamID id : pools) {
        const int count = pb_->Count(id);
        empty = empty || count == 0;
        holdsSlot = holdsSlot && count >= (slot + 1) * kPoolBlock;
    }
    const bool refill = slot == 0 || empty;
    if (!refill && !holdsSlot) return FALSE;

    // Values are drawn round by round, one per pool, into one array per pool, then written;
    // the order of the draws is what fixes the values, not the order of the writes.
    // A refill covers every shared entry: "All Objects" and each item, posts and end objects
    // included. Posts and end objects read their values at their own item index, so a pool that
    // stopped after the distribution objects would leave them reading past its end.
    const int slots = refill ? ItemCount() + 1 : 1;
    const std::size_t n = static_cast<std::size_t>(slots) * kPoolBlock;
    std::vector<std::vector<int>> coins(coin ? pools.size() : 0, std::vector<int>(n));
    std::vector<std::vector<float>> floats(coin ? 0 : pools.size(), std::vector<float>(n));
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t p = 0; p < pools.size(); ++p) {
            const int v = generator.rand();
            if (coin) {
                coins[p][i] = v % 2;
            } else {
                // rand() / (s_rand_max + 1) * 100, in single precision: [0, 100).
                floats[p][i] =
                    static_cast<float>(v) / static_cast<float>(Random::s_rand_max + 1) * 100.0f;
            }
        }
    }

    for (std::size_t p = 0; p < pools.size(); ++p) {
        const ParamID id = pools[p];
        if (refill) {
            if (pb_->Count(id) > 0) pb_->ZeroCount(id);
            if (coin) {
                pb_->Append(id, static_cast<int>(n), coins[p].data());
            } else {
                pb_->Append(id, static_cast<int>(n), floats[p].data());
            }
            continue;
        }
        const int first = slot * kPoolBlock;
        for (int i = 0; i < kPoolBlock; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (coin) {
                pb_->SetValue(id, t_, coins[p][at], first + i);
            } else {
                pb_->SetValue(id, t_, floats[p][at], first + i);
            }
        }
    }
    return TRUE;
}

std::vector<std::string> ItemTables::CheckInvariants() const {
    std::vector<std::string> problems;
    if (!pb_) {
        problems.emplace_back("no parameter block");
        return problems;
    }
    const int items = ItemCount();
    const int ends = EndCount();
    const int shapes = SweepCount();

    // A table with a shared first entry holds one entry per member plus that entry; while the
    // family is empty it may also hold none (an object made without the creation callback).
    auto checkShared = [&](ParamID id, int members, int per) {
        const int count = pb_->Count(id);
        if (count == (members + 1) * per || (members == 0 && count == 0)) return;
        problems.push_back(CountMismatch(id, count, std::to_string((members + 1) * per)));
    };
    auto checkExact = [&](ParamID id, int expected) {
        const int count = pb_->Count(id);
        if (count != expected)
            problems.push_back(CountMismatch(id, count, std::to_string(expected)));
    };

    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::ItemZeroBased:
                checkExact(table.id, items);
                break;
            case TableRole::ItemShared:
                checkShared(table.id, items, 1);
                break;
            case TableRole::ItemPool:
                checkShared(table.id, items, kPoolBlock);
                break;
            case TableRole::ItemCloud: {
                int sum = 0;
                bool negative = false;
                for (int k = 0; k < pb_->Count(Item_Cloud_Count); ++k) {
                    const int c = pb_->GetInt(Item_Cloud_Count, t_, k);
                    negative = negative || c < 0;
                    sum += std::max(0, c);
                }
                if (negative) problems.push_back(Describe(Item_Cloud_Count, "a count is negative"));
                checkExact(table.id, sum);
                break;
            }
            case TableRole::EndZeroBased:
                checkExact(table.id, ends);
                break;
            case TableRole::SweepZeroBased:
                checkExact(table.id, shapes);
                break;
            case TableRole::SweepShared:
            case TableRole::SweepFlip:
                checkShared(table.id, shapes, 1);
                break;
        }
    }

    // The sequence: rows of (item or -1, group), the groups numbered 0, 1, ... in row order, so
    // each group's rows are one run and the numbers in use are 0 .. G-1.
    const int rows = pb_->Count(Sequence_Items);
    if (pb_->Count(Sequence_Groups) != rows) {
        problems.push_back(CountMismatch(Sequence_Groups, pb_->Count(Sequence_Groups),
                                         std::to_string(rows) + " (one per sequence row)"));
        return problems;
    }
    for (int r = 0; r < rows; ++r) {
        const int k = pb_->GetInt(Sequence_Items, t_, r);
        if (k < -1 || k >= items) {
            problems.push_back(Describe(Sequence_Items, "row ") + std::to_string(r) +
                               " names item " + std::to_string(k) + " of " + std::to_string(items));
        }
        const int g = pb_->GetInt(Sequence_Groups, t_, r);
        const int expectedLow = r == 0 ? 0 : pb_->GetInt(Sequence_Groups, t_, r - 1);
        if (g != expectedLow && !(r > 0 && g == expectedLow + 1)) {
            problems.push_back(Describe(Sequence_Groups, "row ") + std::to_string(r) +
                               " has group " + std::to_string(g) + " after group " +
                               (r == 0 ? std::string("none") : std::to_string(expectedLow)));
        }
    }
    return problems;
}

}  // namespace trellon
