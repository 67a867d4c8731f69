// The set-up interface "trellonSetup": the set-up operations of setup_ops.h published by name,
// so scripts and the host's scene files can set an object up as a user does.
//
// The interface is mixed into the Trellon class (the object answers GetInterface with it for
// TRELLON_SETUP_INTERFACE); its descriptor is listed with the class descriptor's interfaces, where
// a caller finds a function by its internal name and calls it with named arguments. The set-up
// functions return nothing; the queries after them return what a script or a host reports about
// the object without reading the module's headers. A refused call throws MAXException with the
// reason, which a call by name (InvokeByName) turns into FPS_FAIL and that message.
//
//   seedGenerator(seed)                     the object's pool generator
//   pickPath(node)
//   addItem(node)      addItems(nodes)      distribution objects
//   addShape(node)     addShapes(nodes)     swept shapes
//   addNullRow(row = 0)  deleteRow(row)  shiftUp(row)  shiftDown(row)  makePost(row)
//   makeEnd(row)                            the object list's rows (row 0 "All Objects")
//   deleteShape(row)                        the sweep list's rows (row 0 "All Sweeps")
//   seedTransforms(row = 0)  seedMirror(row = 0)
//   seedColours()                           the colour variation's seed button: the offset pools
//                                           empty, the next render or export draws them anew
//   exportToGeometry()                      the Export button: the copies and sweeps become plain
//                                           nodes on the object's layer and the object's node is
//                                           deleted; the number of nodes made
//   canExport()                             whether the Export button is enabled
//
// Queries. Items are listed in item order (distribution objects, then posts, then end objects),
// the order of every per-item table:
//   copyCounts()        int table   per item, the copies the layout places at the call's time:
//                                   the placement walk's own count (placement.h), so it agrees
//                                   with the mesh in display modes 4 to 6 and with the markers in
//                                   modes 1 to 3 copy for copy
//   itemNodes()         node table  per item, its node (null for a deleted one)
//   itemRoles()         int table   per item, 0 distribution object, 1 post, 2 end object
//   tableLayout(param)  string      how the entries of the parameter with ID param are indexed:
//     "single"      not a table
//     "items"       a node list that makes up the item list (Object_Nodes, Post_Nodes, End_Nodes)
//     "per-item"    entry k belongs to item k
//     "all-items"   entry 0 is "All Objects", entry k + 1 belongs to item k
//     "item-pools"  100 random values per entry of the "all-items" tables: item k owns
//                   (k + 1) * 100 .. (k + 1) * 100 + 99, "All Objects" 0 .. 99
//     "item-cloud"  Item_Cloud_Count[k] points per item, item after item
//     "per-end"     entry i belongs to end object i (its index within End_Nodes)
//     "sweeps"      the node list of the swept shapes
//     "per-sweep"   entry k belongs to shape k
//     "all-sweeps"  entry 0 is "All Sweeps", entry k + 1 belongs to shape k
//     "sweep-flip"  one entry more than shapes (the first made with the object), read at k
//     "sequence"    one entry per sequence row
//     "list"        a list of its own, parallel to nothing
//   An ID the block does not have is refused.
//   tableProblemParam()                     the ID of the first parameter whose table does not
//                                           agree with the items or shapes; -1 when all agree
//   tableProblem()                          what is wrong with that table; empty when all agree
#pragma once

#include "ifnpub.h"
#include "strclass.h"

class INode;

#define TRELLON_SETUP_INTERFACE Interface_ID(0x3C7A1E52, 0x6D2B9F14)

namespace trellon {

class Trellon;

class TrellonSetupFP : public FPMixinInterface {
public:
    // Function IDs. Scripts call by name; the IDs only have to stay distinct.
    enum FnID {
        kSeedGenerator = 0,
        kPickPath = 1,
        kAddItem = 2,
        kAddItems = 3,
        kAddShape = 4,
        kAddShapes = 5,
        kAddNullRow = 6,
        kDeleteRow = 7,
        kShiftUp = 8,
        kShiftDown = 9,
        kMakePost = 10,
        kMakeEnd = 11,
        kDeleteShape = 12,
        kSeedTransforms = 13,
        kSeedMirror = 14,
        kCopyCounts = 15,
        kItemNodes = 16,
        kItemRoles = 17,
        kTableLayout = 18,
        kTableProblemParam = 19,
        kTableProblem = 20,
        kSeedColours = 21,
        kExportToGeometry = 22,
        kCanExport = 23,
    };

    FPInterfaceDesc* GetDesc() override;
    // The object the functions set up: the object the interface is mixed into.
    virtual Trellon& SetupTarget() = 0;

    void SeedGenerator(int seed);
    void PickPath(INode* node);
    void AddItem(INode* node);
    void AddItems(Tab<INode*>& nodes);
    void AddShape(INode* node);
    void AddShapes(Tab<INode*>& nodes);
    void AddNullRow(int row);
    void DeleteRow(int row);
    void ShiftUp(int row);
    void ShiftDown(int row);
    void MakePost(int row);
    void MakeEnd(int row);
    void DeleteShape(int row);
    void SeedTransforms(int row);
    void SeedMirror(int row);
    Tab<int> CopyCounts(TimeValue t);
    Tab<INode*> ItemNodes(TimeValue t);
    Tab<int> ItemRoles();
    MSTR TableLayout(int param);
    int TableProblemParam();
    MSTR TableProblem();
    void SeedColours();
    int ExportToGeometry();
    BOOL CanExport();

    BEGIN_FUNCTION_MAP
    VFN_1(kSeedGenerator, SeedGenerator, TYPE_INT)
    VFN_1(kPickPath, PickPath, TYPE_INODE)
    VFN_1(kAddItem, AddItem, TYPE_INODE)
    VFN_1(kAddItems, AddItems, TYPE_INODE_TAB_BR)
    VFN_1(kAddShape, AddShape, TYPE_INODE)
    VFN_1(kAddShapes, AddShapes, TYPE_INODE_TAB_BR)
    VFN_1(kAddNullRow, AddNullRow, TYPE_INT)
    VFN_1(kDeleteRow, DeleteRow, TYPE_INT)
    VFN_1(kShiftUp, ShiftUp, TYPE_INT)
    VFN_1(kShiftDown, ShiftDown, TYPE_INT)
    VFN_1(kMakePost, MakePost, TYPE_INT)
    VFN_1(kMakeEnd, MakeEnd, TYPE_INT)
    VFN_1(kDeleteShape, DeleteShape, TYPE_INT)
    VFN_1(kSeedTransforms, SeedTransforms, TYPE_INT)
    VFN_1(kSeedMirror, SeedMirror, TYPE_INT)
    FNT_0(kCopyCounts, TYPE_INT_TAB_BV, CopyCounts)
    FNT_0(kItemNodes, TYPE_INODE_TAB_BV, ItemNodes)
    FN_0(kItemRoles, TYPE_INT_TAB_BV, ItemRoles)
    FN_1(kTableLayout, TYPE_TSTR_BV, TableLayout, TYPE_INT)
    FN_0(kTableProblemParam, TYPE_INT, TableProblemParam)
    FN_0(kTableProblem, TYPE_TSTR_BV, TableProblem)
    VFN_0(kSeedColours, SeedColours)
    FN_0(kExportToGeometry, TYPE_INT, ExportToGeometry)
    FN_0(kCanExport, TYPE_BOOL, CanExport)
    END_FUNCTION_MAP
};

// The interface's descriptor: internal name "trellonSetup", owned by the Trellon class
// descriptor, which lists it among its interfaces (TrellonClassDesc::Create).
FPInterfaceDesc* GetTrellonSetupDesc();

}  // namespace trellon
