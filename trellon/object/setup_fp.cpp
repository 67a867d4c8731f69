#include "object/setup_fp.h"

#include <vector>

#include "iparamb2.h"
#include "object/item_tables.h"
#include "object/setup_ops.h"
#include "object/trellon.h"
#include "plugin/plugin.h"

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
    FP::kTableProblemParam, _M("tableProblemParam"), 0, TYPE_INT, 0, 0,
    FP::kTableProblem, _M("tableProblem"), 0, TYPE_TSTR_BV, 0, 0,
    p_end);
// clang-format on

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
