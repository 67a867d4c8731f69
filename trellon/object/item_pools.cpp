// The item tables' random pools: which block of kPoolBlock values a request redraws, and the
// drawing itself (ItemTables, item_tables.h).
#include <span>
#include <vector>

#include "object/item_tables.h"
#include "random.h"

namespace trellon {

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

}  // namespace trellon
