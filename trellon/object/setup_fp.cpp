#include "object/setup_fp.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "colour/variants.h"
#include "distribute/placement.h"
#include "export/render_nodes.h"
#include "iparamb2.h"
#include "object/item_tables.h"
#include "object/param_block.h"
#include "object/param_ids.h"
#include "object/setup_ops.h"
#include "object/trellon.h"
#include "plugin/plugin.h"

namespace trellon {
namespace {

using FP = TrellonSetupFP;

// Per function: ID, internal name, description, result type, flags, argument count, then per
// argument its name, description and type, and a default for the rows that may be left out.
// clang-format off
FPInterfaceDesc setupDesc(TRELLON_SETUP_INTERFACE, _M("trellonSetup"), 0, GetTrellonDesc(),
    FP_MIXIN,
    FP::kSeedGenerator, _M("seedGenerator"), 0, TYPE_VOID, 0, 1,
        _M("seed"), 0, TYPE_INT,
    FP::kPickPath, _M("pickPath"), 0, TYPE_VOID, 0, 1,
        _M("node"), 0, TYPE_INODE,
    FP::kAddItem, _M("addItem"), 0, TYPE_VOID, 0, 1,
        _M("node"), 0, TYPE_INODE,
    FP::kAddItems, _M("addItems"), 0, TYPE_VOID, 0, 1,
        _M("nodes"), 0, TYPE_INODE_TAB_BR,
    FP::kAddShape, _M("addShape"), 0, TYPE_VOID, 0, 1,
        _M("node"), 0, TYPE_INODE,
    FP::kAddShapes, _M("addShapes"), 0, TYPE_VOID, 0, 1,
        _M("nodes"), 0, TYPE_INODE_TAB_BR,
    FP::kAddNullRow, _M("addNullRow"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT, f_keyArgDefault, 0,
    FP::kDeleteRow, _M("deleteRow"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kShiftUp, _M("shiftUp"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kShiftDown, _M("shiftDown"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kMakePost, _M("makePost"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kMakeEnd, _M("makeEnd"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kDeleteShape, _M("deleteShape"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT,
    FP::kSeedTransforms, _M("seedTransforms"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT, f_keyArgDefault, 0,
    FP::kSeedMirror, _M("seedMirror"), 0, TYPE_VOID, 0, 1,
        _M("row"), 0, TYPE_INT, f_keyArgDefault, 0,
    FP::kCopyCounts, _M("copyCounts"), 0, TYPE_INT_TAB_BV, 0, 0,
    FP::kItemNodes, _M("itemNodes"), 0, TYPE_INODE_TAB_BV, 0, 0,
    FP::kItemRoles, _M("itemRoles"), 0, TYPE_INT_TAB_BV, 0, 0,
    FP::kTableLayout, _M("tableLayout"), 0, TYPE_TSTR_BV, 0, 1,
        _M("param"), 0, TYPE_INT,
    FP::kTableProblemParam, _M("tableProblemParam"), 0, TYPE_INT, 0, 0,
    FP::kTableProblem, _M("tableProblem"), 0, TYPE_TSTR_BV, 0, 0,
    FP::kSeedColours, _M("seedColours"), 0, TYPE_VOID, 0, 0,
    FP::kExportToGeometry, _M("exportToGeometry"), 0, TYPE_INT, 0, 0,
    FP::kCanExport, _M("canExport"), 0, TYPE_BOOL, 0, 0,
    p_end);
// clang-format on

const MCHAR* RoleLayout(trellon::TableRole role) {
    switch (role) {
        case trellon::TableRole::ItemZeroBased:
            return _M("per-item");
        case trellon::TableRole::ItemShared:
            return _M("all-items");
        case trellon::TableRole::ItemPool:
            return _M("item-pools");
        case trellon::TableRole::ItemCloud:
            return _M("item-cloud");
        case trellon::TableRole::EndZeroBased:
            return _M("per-end");
        case trellon::TableRole::SweepZeroBased:
            return _M("per-sweep");
        case trellon::TableRole::SweepShared:
            return _M("all-sweeps");
        case trellon::TableRole::SweepFlip:
            return _M("sweep-flip");
    }
    return _M("list");
}

}  // namespace

FPInterfaceDesc* GetTrellonSetupDesc() { return &setupDesc; }

FPInterfaceDesc* TrellonSetupFP::GetDesc() { return &setupDesc; }

void TrellonSetupFP::SeedGenerator(int seed) { trellon::SeedGenerator(SetupTarget(), seed); }
void TrellonSetupFP::PickPath(INode* node) { trellon::PickPath(SetupTarget(), node); }
void TrellonSetupFP::AddItem(INode* node) { trellon::AddItem(SetupTarget(), node); }
void TrellonSetupFP::AddItems(Tab<INode*>& nodes) { trellon::AddItems(SetupTarget(), nodes); }
void TrellonSetupFP::AddShape(INode* node) { trellon::AddShape(SetupTarget(), node); }
void TrellonSetupFP::AddShapes(Tab<INode*>& nodes) { trellon::AddShapes(SetupTarget(), nodes); }
void TrellonSetupFP::AddNullRow(int row) { trellon::AddNullRow(SetupTarget(), row); }
void TrellonSetupFP::DeleteRow(int row) { trellon::DeleteRow(SetupTarget(), row); }
void TrellonSetupFP::ShiftUp(int row) { trellon::ShiftUp(SetupTarget(), row); }
void TrellonSetupFP::ShiftDown(int row) { trellon::ShiftDown(SetupTarget(), row); }
void TrellonSetupFP::MakePost(int row) { trellon::MakePost(SetupTarget(), row); }
void TrellonSetupFP::MakeEnd(int row) { trellon::MakeEnd(SetupTarget(), row); }
void TrellonSetupFP::DeleteShape(int row) { trellon::DeleteShape(SetupTarget(), row); }
void TrellonSetupFP::SeedTransforms(int row) { trellon::SeedTransforms(SetupTarget(), row); }
void TrellonSetupFP::SeedMirror(int row) { trellon::SeedMirror(SetupTarget(), row); }
int TrellonSetupFP::ExportToGeometry() { return trellon::ExportToGeometry(SetupTarget()); }

BOOL TrellonSetupFP::CanExport() {
    Trellon& obj = SetupTarget();
    IParamBlock2* pb = obj.GetParamBlock(0);
    return pb && trellon::CanExport(*pb, obj.Time) ? TRUE : FALSE;
}

void TrellonSetupFP::SeedColours() {
    if (IParamBlock2* pb = SetupTarget().GetParamBlock(0)) trellon::ClearColourPools(*pb);
}

Tab<int> TrellonSetupFP::CopyCounts(TimeValue t) {
    Trellon& object = SetupTarget();
    const int items = trellon::ItemTables(object.GetParamBlock(0), t).ItemCount();
    std::vector<std::int64_t> copies(static_cast<std::size_t>(std::max(items, 0)), 0);
    // The same walk the builders run, counted pass by pass without composing transforms.
    trellon::Placement placement = trellon::Placement::Prepare(object, t);
    for (const trellon::PlacementPass pass : placement.Passes()) {
        const trellon::PassCounts counts = placement.Count(pass);
        const std::size_t n = std::min(copies.size(), counts.perItem.size());
        for (std::size_t k = 0; k < n; ++k) copies[k] += counts.perItem[k];
    }
    Tab<int> result;
    for (const std::int64_t c : copies) {
        const int v = static_cast<int>(std::min<std::int64_t>(c, INT_MAX));
        result.Append(1, &v);
    }
    return result;
}

Tab<INode*> TrellonSetupFP::ItemNodes(TimeValue t) {
    IParamBlock2* pb = SetupTarget().GetParamBlock(0);
    Tab<INode*> result;
    if (!pb) return result;
    for (const ParamID list : trellon::kItemNodeLists) {
        for (int i = 0; i < pb->Count(list); ++i) {
            INode* node = pb->GetINode(list, t, i);
            result.Append(1, &node);
        }
    }
    return result;
}

Tab<int> TrellonSetupFP::ItemRoles() {
    IParamBlock2* pb = SetupTarget().GetParamBlock(0);
    Tab<int> result;
    if (!pb) return result;
    // The node lists in item order are the roles 0, 1, 2.
    for (std::size_t role = 0; role < trellon::kItemNodeLists.size(); ++role) {
        const int r = static_cast<int>(role);
        for (int i = 0; i < pb->Count(trellon::kItemNodeLists[role]); ++i) result.Append(1, &r);
    }
    return result;
}

MSTR TrellonSetupFP::TableLayout(int param) {
    ParamBlockDesc2* desc = GetTrellonParamBlockDesc();
    const auto id = static_cast<ParamID>(param);
    if (param < SHRT_MIN || param > SHRT_MAX || !desc->HasParam(id)) {
        const std::string why =
            "the parameter block has no parameter with ID " + std::to_string(param);
        throw MAXException(MSTR::FromUTF8(why).data());
    }
    if (!is_tab(desc->GetParamDef(id).type)) return MSTR(_M("single"));
    for (const ParamID list : trellon::kItemNodeLists) {
        if (id == list) return MSTR(_M("items"));
    }
    if (id == Sweep_Nodes) return MSTR(_M("sweeps"));
    if (id == Sequence_Items || id == Sequence_Groups) return MSTR(_M("sequence"));
    for (const trellon::ItemTable& table : trellon::kItemTables) {
        if (table.id == id) return MSTR(RoleLayout(table.role));
    }
    return MSTR(_M("list"));
}

// The first table that does not agree with the items or shapes, as the item tables judge it.
namespace {
std::vector<trellon::TableProblem> Problems(Trellon& obj) {
    return trellon::ItemTables(obj.GetParamBlock(0), obj.Time).FindProblems();
}
}  // namespace

int TrellonSetupFP::TableProblemParam() {
    const std::vector<trellon::TableProblem> problems = Problems(SetupTarget());
    return problems.empty() ? -1 : problems.front().param;
}

MSTR TrellonSetupFP::TableProblem() {
    const std::vector<trellon::TableProblem> problems = Problems(SetupTarget());
    return problems.empty() ? MSTR() : MSTR::FromUTF8(problems.front().text);
}

}  // namespace trellon
