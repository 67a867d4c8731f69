// The set-up operations of a Trellon object: picking the path, adding distribution objects and
// swept shapes, and the object list's edits (null rows, delete, shift, posts and end objects,
// the random seeds). The pickers, the list dialogs and the rollouts run these, and so does the
// published interface "trellonSetup" (setup_fp.h) through which scripts and the host's scene
// files set an object up.
//
// Each operation is one step for the user: it checks its request first and refuses it by
// throwing MAXException with a message naming the problem, before anything changes; then it
// makes every change with Ready held at 0 (so no table notification rebuilds in between), and
// ends with one RefreshObject when the object was ready before. The tables are edited through
// trellon::ItemTables only, so they stay parallel.
//
// Rows are the rows of the object rollout's list, as the user sees them: row 0 is "All Objects";
// with Geo_Pattern 0 or 1 the sequence rows follow (row r is sequence row r - 1, which names an
// item or is a null row), with Geo_Pattern 2 one row per distribution object (row r is object
// r - 1); then one row per post and one per end object. Shape rows are the sweep rollout's:
// row 0 is "All Sweeps", row r is shape r - 1.
#pragma once

#include <vector>

#include "object/item_tables.h"
#include "tab.h"

class INode;
class Mesh;
class Random;

namespace trellon {

class Trellon;

// --- Operations --------------------------------------------------------------------------------

// Seeds the object's pool generator, so the pools it draws from now on repeat.
void SeedGenerator(Trellon& obj, int seed);

// Makes node the path. Refused: no node, the object's own node, the current path, a node whose
// object is not a shape that converts to a spline shape, a shape without splines. The node's
// object becomes a plain spline shape (its modifier stack baked in, outside the undo record),
// with the interpolation steps of Spline Steps; the node is renamed with the unique name the
// host makes from "Spline_For_Trellon_"; Path_Length := the sum of the splines' lengths; while
// Geo_UserSpacing is 0 the spacings are reset from the first spline's length (PathSpacing).
// The object list's selection is cleared.
void PickPath(Trellon& obj, INode* node);

// Adds node as a distribution object, as a pick does. Refused: no node, the object's own node,
// a node holding a Trellon object or another object the module cannot distribute, an object
// that is neither a light nor geometry that converts to a triangle mesh, a light's target.
// A node whose material tree holds a car-paint material is asked about first (a message box
// with Yes and No): Yes converts its car paints (ConvertCarPaint) and adds it, No leaves it out.
void AddItem(Trellon& obj, INode* node);
// Adds the nodes in list order, as the object list dialog does: every node is checked first
// and the whole list refused when one is; nodes with a car-paint material ask one question for
// the list, at the first of them: Yes converts and adds every one of them, No adds none. An
// empty list changes nothing.
void AddItems(Trellon& obj, const Tab<INode*>& nodes);

// Adds node as a swept shape. Refused: no node, the object's own node, the current path, a
// node whose object is not a shape that converts to a spline shape.
void AddShape(Trellon& obj, INode* node);
// Adds the nodes in list order, all checked first; an empty list changes nothing.
void AddShapes(Trellon& obj, const Tab<INode*>& nodes);

// Measures every item's mesh again, as when it was added (MeasureItem): boxes, face counts,
// kinds and point clouds follow meshes edited since. An item whose node is gone or gives no mesh
// keeps what it had.
void UpdateItems(Trellon& obj);

// What the pickers and list dialogs offer: TRUE for a node the operation would take.
bool CanBePath(Trellon& obj, INode* node);
bool CanBeItem(Trellon& obj, INode* node);
bool CanBeShape(Trellon& obj, INode* node);

// Appends a null row (a gap) to the sequence, in a group of its own. The row argument is the
// list's selection, which the add does not use: the row is always appended.
void AddNullRow(Trellon& obj, int row);
// Removes the item of the row with all its entries, its cloud points and its sequence rows.
// Refused: a row outside the list, row 0, a null row.
void DeleteRow(Trellon& obj, int row);
// Moves a sequence row up or down one level (ItemTables::ShiftRowUp / ShiftRowDown); a row
// that cannot move further is left as it is. Refused: a row that is not a sequence row.
void ShiftUp(Trellon& obj, int row);
void ShiftDown(Trellon& obj, int row);
// On a sequence or object row: the row's item becomes a post (its node and entries move to the
// end of the post section, its sequence rows go). On a post row: the post becomes a
// distribution object again (to the end of the object section, with a new sequence row).
// Refused: a row outside the list, row 0, a null row, an end object's row.
void MakePost(Trellon& obj, int row);
// The same between the distribution objects and the end objects; refused on a post's row.
void MakeEnd(Trellon& obj, int row);
// Removes the swept shape of the sweep list's row. Refused: row 0 and rows outside the list.
void DeleteShape(Trellon& obj, int row);
// Draws new values for the float pools / the mirror pool: row 0 all of them, any other row the
// block of its item (ItemTables::PoolSlot; a null row has none, and nothing changes). Refused:
// a row outside the list.
void SeedTransforms(Trellon& obj, int row);
void SeedMirror(Trellon& obj, int row);

// --- The object list ---------------------------------------------------------------------------

enum class RowKind { AllObjects, Sequence, Object, Post, End, None };

struct ListRow {
    RowKind kind = RowKind::None;
    // The item the row shows; -1 for row 0, a null row and a row outside the list.
    int item = -1;
    // Sequence rows: the row's index in the sequence tables; -1 otherwise.
    int sequenceRow = -1;
};

// What row `row` of the object list shows, for the tables as they are.
ListRow ObjectListRow(IParamBlock2* pb, TimeValue t, int row);
// Number of rows of the object list, "All Objects" included.
int ObjectListRowCount(IParamBlock2* pb, TimeValue t);

// --- Measuring an item -------------------------------------------------------------------------

// Most point-cloud points an item keeps.
inline constexpr int kMaxCloudPoints = 3000;

// The C runtime's generator (rand, 15-bit draws) that the point-cloud shuffle draws from: one
// per module, seeded as the runtime is at start (1), apart from the objects' own generators.
Random& RuntimeRandom();
// A uniform integer in [0, n) from rng's 15-bit draws: as many draws as n needs are put side by
// side, and a value from the incomplete top of their range is drawn again, so no result is
// favoured. 0 for n <= 1, with no draw.
int UniformBelow(Random& rng, int n);
// 0 .. n - 1 shuffled by Fisher and Yates: for i from 1 to n - 1, entry i is exchanged with
// entry UniformBelow(rng, i + 1).
std::vector<int> ShuffledOrder(int n, Random& rng);

// What node brings as a distribution object at time t: a light (super class 0x30) the marker
// mesh at the scene's marker size, kind 1, the marker's box as a cube of that size about the
// origin; anything else its mesh (converted to a triangle mesh when it is not one), kind 0, the
// mesh's box (the origin for a mesh without vertices). Face count, cloud count min(vertices,
// kMaxCloudPoints) and the cloud points (the first vertices of ShuffledOrder, drawn from
// shuffle) come from that mesh. FALSE when node's object gives no mesh.
bool MeasureItem(INode* node, TimeValue t, Random& shuffle, NewItem& item);

// The spacing set when a path whose first spline has length L is picked: a tenth of L rounded
// to two decimals, floor(L / 10 * 100 + 0.5) / 100.
float PathSpacing(float firstSplineLength);

}  // namespace trellon
