// The invariants of the parallel item tables, checked after every edit (ItemTables::FindProblems,
// item_tables.h): each table's length against its items or shapes, and the sequence's rows.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "object/item_tables.h"

namespace trellon {

namespace {

// "Item_Spacing (parameter 102): " and what is wrong with it, naming the parameter as a scene
// file or a script does.
std::string Describe(IParamBlock2* pb, ParamID id, const std::string& what) {
    std::string name;
    if (ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr; desc && desc->HasParam(id)) {
        name = desc->GetParamDef(id).int_name.ToUTF8() + " ";
    }
    return name + "(parameter " + std::to_string(id) + "): " + what;
}

std::string LengthMismatch(IParamBlock2* pb, ParamID id, int count, const std::string& expected) {
    return Describe(pb, id,
                    "holds " + std::to_string(count) + (count == 1 ? " entry" : " entries") +
                        ", expected " + expected);
}

}  // namespace

std::vector<std::string> ItemTables::CheckInvariants() const {
    std::vector<std::string> texts;
    for (TableProblem& p : FindProblems()) texts.push_back(std::move(p.text));
    return texts;
}

std::vector<TableProblem> ItemTables::FindProblems() const {
    std::vector<TableProblem> problems;
    if (!pb_) {
        problems.push_back({-1, "no parameter block"});
        return problems;
    }
    const int items = ItemCount();
    const int ends = EndCount();
    const int shapes = SweepCount();
    const auto report = [&](ParamID id, const std::string& what) {
        problems.push_back({id, Describe(pb_, id, what)});
    };
    const auto mismatch = [&](ParamID id, int count, const std::string& expected) {
        problems.push_back({id, LengthMismatch(pb_, id, count, expected)});
    };

    // A table with a shared first entry holds one entry per member plus that entry; while the
    // family is empty it may also hold none (an object made without the creation callback).
    auto checkShared = [&](ParamID id, int members, int per, const char* what) {
        const int count = pb_->Count(id);
        if (count == (members + 1) * per || (members == 0 && count == 0)) return;
        mismatch(id, count, std::to_string((members + 1) * per) + " (" + what + ")");
    };
    auto checkExact = [&](ParamID id, int expected, const char* what) {
        const int count = pb_->Count(id);
        if (count != expected) mismatch(id, count, std::to_string(expected) + " (" + what + ")");
    };

    for (const ItemTable& table : kItemTables) {
        switch (table.role) {
            case TableRole::ItemZeroBased:
                checkExact(table.id, items, "one per item");
                break;
            case TableRole::ItemShared:
                checkShared(table.id, items, 1, "the \"All Objects\" entry and one per item");
                break;
            case TableRole::ItemPool:
                checkShared(table.id, items, kPoolBlock,
                            "100 for the \"All Objects\" entry and 100 per item");
                break;
            case TableRole::ItemCloud: {
                // In 64 bits: counts near the int range must not wrap the sum.
                std::int64_t sum = 0;
                bool negative = false;
                for (int k = 0; k < pb_->Count(Item_Cloud_Count); ++k) {
                    const int c = pb_->GetInt(Item_Cloud_Count, t_, k);
                    negative = negative || c < 0;
                    sum += std::max(0, c);
                }
                if (negative) report(Item_Cloud_Count, "a count is negative");
                if (sum > std::numeric_limits<int>::max()) {
                    report(Item_Cloud_Count, "the counts add up past what a table can hold");
                } else {
                    checkExact(table.id, static_cast<int>(sum), "the sum of Item_Cloud_Count");
                }
                break;
            }
            case TableRole::EndZeroBased:
                checkExact(table.id, ends, "one per end object");
                break;
            case TableRole::SweepZeroBased:
                checkExact(table.id, shapes, "one per sweep shape");
                break;
            case TableRole::SweepShared:
            case TableRole::SweepFlip:
                checkShared(table.id, shapes, 1, "the \"All Sweeps\" entry and one per shape");
                break;
        }
    }

    // The sequence: rows of (item or -1, group), the groups numbered 0, 1, ... in row order, so
    // each group's rows are one run and the numbers in use are 0 .. G-1.
    const int rows = pb_->Count(Sequence_Items);
    if (pb_->Count(Sequence_Groups) != rows) {
        mismatch(Sequence_Groups, pb_->Count(Sequence_Groups),
                 std::to_string(rows) + " (one per sequence row)");
        return problems;
    }
    for (int r = 0; r < rows; ++r) {
        const int k = pb_->GetInt(Sequence_Items, t_, r);
        if (k < -1 || k >= items) {
            report(Sequence_Items, "row " + std::to_string(r) + " names item " + std::to_string(k) +
                                       " of " + std::to_string(items));
        }
        const int g = pb_->GetInt(Sequence_Groups, t_, r);
        const int expectedLow = r == 0 ? 0 : pb_->GetInt(Sequence_Groups, t_, r - 1);
        // In 64 bits: a damaged table may hold the largest int.
        if (g != expectedLow && !(r > 0 && std::int64_t{g} == std::int64_t{expectedLow} + 1)) {
            report(Sequence_Groups,
                   "row " + std::to_string(r) + " has group " + std::to_string(g) +
                       " after group " +
                       (r == 0 ? std::string("none") : std::to_string(expectedLow)));
        }
    }
    return problems;
}

}  // namespace trellon
