#include "object/setup_ops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "box3.h"
#include "hold.h"
#include "ifnpub.h"
#include "inode.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/car_paint.h"
#include "object/marker_mesh.h"
#include "object/trellon.h"
#include "object/trellon_layer.h"
#include "plugin/class_desc.h"
#include "random.h"
#include "splshape.h"
#include "triobj.h"
#include "windows.h"

namespace trellon {

namespace {

// An object class of the same maker that distributes copies itself; it cannot be an item.
constexpr Class_ID kExcludedItemClass(0x44D846F8, 0x0F96323D);

constexpr const MCHAR* kPathNamePrefix = _M("Spline_For_Trellon_");

// The car-paint question and what follows a Yes.
constexpr const MCHAR* kCarPaintCaption = _M("Car Paint Material");
constexpr const MCHAR* kCarPaintOne =
    _M("Your Material or Sub-Material is a VRay Car Paint. Would you like us to change this to a "
       "similar VRayMtl??");
constexpr const MCHAR* kCarPaintMany =
    _M("One or More Objects have a Material or Sub-Material that is a VRay Car Paint. Would you "
       "like us to change this to a similar VRayMtl??");
constexpr UINT kCarPaintBox = MB_YESNO | MB_ICONEXCLAMATION | MB_SYSTEMMODAL;

[[noreturn]] void Refuse(const std::wstring& why) { throw MAXException(why.c_str()); }

std::wstring Quoted(INode* node) {
    const MCHAR* name = node ? node->GetName() : nullptr;
    return std::wstring(L"node '") + (name ? name : L"") + L"'";
}

TimeValue CurrentTime(const Trellon& obj) {
    Interface* ip = GetCOREInterface();
    return ip ? ip->GetTime() : obj.Time;
}

IParamBlock2* RequireBlock(Trellon& obj) {
    if (!obj.pblock2) Refuse(L"the object has no parameter block");
    return obj.pblock2;
}

int AskHost(const MCHAR* text, UINT type) {
    Interface* ip = GetCOREInterface();
    return MessageBox(ip ? ip->GetMAXHWnd() : nullptr, text, kCarPaintCaption, type);
}

// Runs edit with Ready held at 0, then refreshes once when the object was ready before.
template <class Edit>
void AsOneStep(Trellon& obj, Edit edit) {
    bool refresh = false;
    {
        Trellon::ReadyHold hold(obj);
        refresh = hold.WasReady();
        edit();
    }
    obj.InvalidateUI();
    if (refresh) obj.RefreshObject();
}

// --- Checks --------------------------------------------------------------------------------

void CheckNotOwnNode(Trellon& obj, INode* node, const wchar_t* what) {
    if (!node) Refuse(std::wstring(L"no node given for ") + what);
    if (node == obj.FindNode()) {
        Refuse(Quoted(node) + L" holds this Trellon object and cannot be " + what);
    }
}

Object* Evaluated(INode* node, TimeValue t) {
    Object* o = node->EvalWorldState(t).obj;
    if (!o) Refuse(Quoted(node) + L" holds no object");
    return o;
}

// A path or a swept shape: a shape that becomes a spline shape, not the current path.
Object* CheckShapeNode(Trellon& obj, INode* node, TimeValue t, const wchar_t* what) {
    CheckNotOwnNode(obj, node, what);
    if (node == obj.pblock2->GetINode(Spline_Obj, t)) {
        Refuse(Quoted(node) + L" is the path already and cannot be " + what);
    }
    Object* o = Evaluated(node, t);
    if (o->SuperClassID() != SHAPE_CLASS_ID || !o->IsShapeObject() ||
        !o->CanConvertToType(splineShapeClassID)) {
        Refuse(Quoted(node) + L" is not a shape that converts to a spline and cannot be " + what);
    }
    return o;
}

void CheckItemNode(Trellon& obj, INode* node, TimeValue t) {
    static constexpr const wchar_t* kWhat = L"a distribution object";
    CheckNotOwnNode(obj, node, kWhat);
    Object* o = Evaluated(node, t);
    if (o->SuperClassID() == LIGHT_CLASS_ID) {
        if (node->IsTarget()) Refuse(Quoted(node) + L" is a target and cannot be " + kWhat);
        return;
    }
    if (o->SuperClassID() != GEOMOBJECT_CLASS_ID) {
        Refuse(Quoted(node) + L" is neither geometry nor a light and cannot be " + kWhat);
    }
    if (o->ClassID() == TRELLON_CLASS_ID) {
        Refuse(Quoted(node) + L" holds a Trellon object and cannot be " + kWhat);
    }
    if (o->ClassID() == kExcludedItemClass) {
        Refuse(Quoted(node) + L" holds an object of a class that cannot be " + kWhat);
    }
    if (!o->CanConvertToType(triObjectClassID)) {
        Refuse(Quoted(node) + L" does not convert to a triangle mesh and cannot be " + kWhat);
    }
}

ListRow RequireRow(Trellon& obj, int row, TimeValue t) {
    const int rows = ObjectListRowCount(obj.pblock2, t);
    if (row < 0 || row >= rows) {
        Refuse(L"row " + std::to_wstring(row) + L" is not in the object list (rows 0 to " +
               std::to_wstring(rows - 1) + L")");
    }
    return ObjectListRow(obj.pblock2, t, row);
}

// A row whose item an edit works on: not "All Objects", not a null row.
ListRow RequireItemRow(Trellon& obj, int row, TimeValue t, const wchar_t* edit) {
    const ListRow r = RequireRow(obj, row, t);
    if (r.kind == RowKind::AllObjects) {
        Refuse(std::wstring(L"row 0 is \"All Objects\"; ") + edit + L" needs an item's row");
    }
    if (r.item < 0) {
        Refuse(L"row " + std::to_wstring(row) + L" is a null row; " + edit + L" needs an item");
    }
    return r;
}

// --- Changes -------------------------------------------------------------------------------

// The node's object as a plain spline shape: the pipeline's result, converted when it is
// another kind of shape and copied when it belongs to a modifier stack, becomes the node's own
// object. The bake keeps the path what the pick saw; it is not a step the user could undo.
SplineShape* BakeSplineShape(INode* node, TimeValue t) {
    Object* result = node->EvalWorldState(t).obj;
    if (!result) return nullptr;
    if (result == node->GetObjectRef() && result->ClassID() == splineShapeClassID) {
        return static_cast<SplineShape*>(result);
    }
    Object* shape = result->ConvertToType(t, splineShapeClassID);
    if (shape == result) {
        RemapDir* remap = NewDefaultRemapDir();
        shape = dynamic_cast<Object*>(remap->CloneRef(result));
        remap->DeleteThis();
    }
    if (!shape || shape->ClassID() != splineShapeClassID) {
        if (shape && shape != result) shape->DeleteThis();
        return nullptr;
    }
    HoldSuspend suspend;
    node->SetObjectRef(shape);
    node->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
    return static_cast<SplineShape*>(shape);
}

// The shape's own interpolation steps (a spline shape's, or those of the spline shape it
// converts to).
int ShapeSteps(Object* o, TimeValue t) {
    if (o->ClassID() == splineShapeClassID) return static_cast<SplineShape*>(o)->GetSteps();
    Object* converted = o->ConvertToType(t, splineShapeClassID);
    if (!converted) return 0;
    const int steps = converted->ClassID() == splineShapeClassID
                          ? static_cast<SplineShape*>(converted)->GetSteps()
                          : 0;
    if (converted != o) converted->DeleteThis();
    return steps;
}

// Adds a checked node as a distribution object and draws new pools for the longer tables.
void AddCheckedItem(Trellon& obj, INode* node, TimeValue t) {
    NewItem item;
    if (!MeasureItem(node, t, RuntimeRandom(), item)) Refuse(Quoted(node) + L" gives no mesh");
    PutOnTrellonLayer(node);
    ItemTables tables(obj.pblock2, t);
    tables.AddObject(item);
    tables.RegenerateTransformPools(0, obj.Generator);
    tables.RegenerateMirrorPool(0, obj.Generator);
}

void AddCheckedShape(Trellon& obj, INode* node, TimeValue t) {
    PutOnTrellonLayer(node);
    NewSweep shape;
    shape.node = node;
    shape.name = node->GetName();
    shape.steps = ShapeSteps(Evaluated(node, t), t);
    ItemTables(obj.pblock2, t).AddSweep(shape);
}

// Makes the row's item a member of `list`, or a distribution object again when it is one.
void ConvertRow(Trellon& obj, int row, ItemList list) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    const bool post = list == ItemList::Posts;
    const wchar_t* edit = post ? L"makePost" : L"makeEnd";
    const ListRow r = RequireItemRow(obj, row, t, edit);
    const RowKind own = post ? RowKind::Post : RowKind::End;
    const RowKind other = post ? RowKind::End : RowKind::Post;
    if (r.kind == other) {
        Refuse(L"row " + std::to_wstring(row) + (post ? L" is an end object" : L" is a post") +
               L"; make it a distribution object first");
    }
    const ItemList to = r.kind == own ? ItemList::Objects : list;
    AsOneStep(obj, [&] {
        ItemTables(obj.pblock2, t).MoveItem(r.item, to);
        obj.SelectedRow = -1;
    });
}

void SeedPools(Trellon& obj, int row, bool mirror) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    RequireRow(obj, row, t);
    AsOneStep(obj, [&] {
        ItemTables tables(obj.pblock2, t);
        if (mirror) {
            tables.RegenerateMirrorPool(row, obj.Generator);
        } else {
            tables.RegenerateTransformPools(row, obj.Generator);
        }
    });
}

}  // namespace

// --- Operations ------------------------------------------------------------------------------

void SeedGenerator(Trellon& obj, int seed) { obj.Generator.srand(static_cast<unsigned int>(seed)); }

void PickPath(Trellon& obj, INode* node) {
    const TimeValue t = CurrentTime(obj);
    IParamBlock2* pb = RequireBlock(obj);
    Object* o = CheckShapeNode(obj, node, t, L"the path");
    if (static_cast<ShapeObject*>(o)->NumberOfCurves(t) < 1) {
        Refuse(Quoted(node) + L" has no splines and cannot be the path");
    }
    AsOneStep(obj, [&] {
        SplineShape* shape = BakeSplineShape(node, t);
        if (!shape) Refuse(Quoted(node) + L" does not become a spline shape");
        obj.SelectedRow = -1;
        pb->SetValue(Spline_Obj, t, node);
        shape->SetSteps(pb->GetInt(Spline_Steps, t));

        MSTR name(kPathNamePrefix);
        if (Interface* ip = GetCOREInterface()) ip->MakeNameUnique(name);
        node->SetName(name.data());
        obj.PathLabel = MSTR(node->GetName());

        float length = 0.0f;
        for (int i = 0; i < shape->NumberOfCurves(t); ++i) length += shape->LengthOfCurve(t, i);
        pb->SetValue(Path_Length, t, length);
        if (pb->GetInt(Geo_UserSpacing, t) == 0) {
            ItemTables(pb, t).ResetSpacings(PathSpacing(shape->LengthOfCurve(t, 0)));
        }
    });
}

void AddItem(Trellon& obj, INode* node) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    CheckItemNode(obj, node, t);
    // A car paint is converted before the object is added; No leaves the object out.
    if (HasCarPaint(node)) {
        if (AskHost(kCarPaintOne, kCarPaintBox) != IDYES) return;
        ConvertCarPaint(node);
    }
    AsOneStep(obj, [&] {
        obj.SelectedRow = -1;
        AddCheckedItem(obj, node, t);
    });
}

void AddItems(Trellon& obj, const Tab<INode*>& nodes) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    for (int i = 0; i < nodes.Count(); ++i) {
        try {
            CheckItemNode(obj, nodes[i], t);
        } catch (const MAXException& e) {
            Refuse(L"nodes[" + std::to_wstring(i) + L"]: " + e.message.data());
        }
    }
    if (nodes.Count() == 0) return;
    AsOneStep(obj, [&] {
        obj.SelectedRow = -1;
        // One question for the whole list, at the first object with a car paint: Yes converts
        // and adds it and every later one, No adds none of them.
        bool asked = false;
        bool convert = false;
        for (int i = 0; i < nodes.Count(); ++i) {
            INode* node = nodes[i];
            if (HasCarPaint(node)) {
                if (!asked) convert = AskHost(kCarPaintMany, kCarPaintBox) == IDYES;
                asked = true;
                if (!convert) continue;
                ConvertCarPaint(node);
            }
            AddCheckedItem(obj, node, t);
        }
    });
}

void AddShape(Trellon& obj, INode* node) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    CheckShapeNode(obj, node, t, L"a swept shape");
    AsOneStep(obj, [&] { AddCheckedShape(obj, node, t); });
}

void AddShapes(Trellon& obj, const Tab<INode*>& nodes) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    for (int i = 0; i < nodes.Count(); ++i) {
        try {
            CheckShapeNode(obj, nodes[i], t, L"a swept shape");
        } catch (const MAXException& e) {
            Refuse(L"nodes[" + std::to_wstring(i) + L"]: " + e.message.data());
        }
    }
    if (nodes.Count() == 0) return;
    AsOneStep(obj, [&] {
        for (int i = 0; i < nodes.Count(); ++i) AddCheckedShape(obj, nodes[i], t);
    });
}

void UpdateItems(Trellon& obj) {
    const TimeValue t = CurrentTime(obj);
    IParamBlock2* pb = RequireBlock(obj);
    AsOneStep(obj, [&] {
        ItemTables tables(pb, t);
        for (int k = 0; k < tables.ItemCount(); ++k) {
            ItemList list = ItemList::Objects;
            int index = 0;
            if (!tables.Locate(k, list, index)) continue;
            INode* node = pb->GetINode(kItemNodeLists[static_cast<std::size_t>(list)], t, index);
            NewItem item;
            if (node && MeasureItem(node, t, RuntimeRandom(), item)) tables.RemeasureItem(k, item);
        }
    });
}

bool CanBePath(Trellon& obj, INode* node) {
    if (!obj.pblock2) return false;
    try {
        Object* o = CheckShapeNode(obj, node, CurrentTime(obj), L"the path");
        return static_cast<ShapeObject*>(o)->NumberOfCurves(CurrentTime(obj)) >= 1;
    } catch (const MAXException&) {
        return false;
    }
}

bool CanBeItem(Trellon& obj, INode* node) {
    if (!obj.pblock2) return false;
    try {
        CheckItemNode(obj, node, CurrentTime(obj));
        return true;
    } catch (const MAXException&) {
        return false;
    }
}

bool CanBeShape(Trellon& obj, INode* node) {
    if (!obj.pblock2) return false;
    try {
        CheckShapeNode(obj, node, CurrentTime(obj), L"a swept shape");
        return true;
    } catch (const MAXException&) {
        return false;
    }
}

void AddNullRow(Trellon& obj, int /*row*/) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    AsOneStep(obj, [&] { ItemTables(obj.pblock2, t).AppendSequenceRow(-1); });
}

void DeleteRow(Trellon& obj, int row) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    const ListRow r = RequireItemRow(obj, row, t, L"deleteRow");
    AsOneStep(obj, [&] {
        ItemTables(obj.pblock2, t).RemoveItem(r.item);
        obj.SelectedRow = -1;
    });
}

void ShiftUp(Trellon& obj, int row) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    const ListRow r = RequireRow(obj, row, t);
    if (r.kind != RowKind::Sequence) {
        Refuse(L"row " + std::to_wstring(row) + L" is not a sequence row; shiftUp moves those");
    }
    AsOneStep(obj, [&] { ItemTables(obj.pblock2, t).ShiftRowUp(r.sequenceRow); });
}

void ShiftDown(Trellon& obj, int row) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    const ListRow r = RequireRow(obj, row, t);
    if (r.kind != RowKind::Sequence) {
        Refuse(L"row " + std::to_wstring(row) + L" is not a sequence row; shiftDown moves those");
    }
    AsOneStep(obj, [&] { ItemTables(obj.pblock2, t).ShiftRowDown(r.sequenceRow); });
}

void MakePost(Trellon& obj, int row) { ConvertRow(obj, row, ItemList::Posts); }

void MakeEnd(Trellon& obj, int row) { ConvertRow(obj, row, ItemList::Ends); }

void DeleteShape(Trellon& obj, int row) {
    const TimeValue t = CurrentTime(obj);
    RequireBlock(obj);
    const int shapes = ItemTables(obj.pblock2, t).SweepCount();
    if (row == 0) Refuse(L"row 0 is \"All Sweeps\"; deleteShape needs a shape's row");
    if (row < 1 || row > shapes) {
        Refuse(L"row " + std::to_wstring(row) + L" is not in the sweep list (rows 0 to " +
               std::to_wstring(shapes) + L")");
    }
    AsOneStep(obj, [&] { ItemTables(obj.pblock2, t).RemoveSweep(row - 1); });
}

void SeedTransforms(Trellon& obj, int row) { SeedPools(obj, row, false); }

void SeedMirror(Trellon& obj, int row) { SeedPools(obj, row, true); }

// --- The object list -------------------------------------------------------------------------

int ObjectListRowCount(IParamBlock2* pb, TimeValue t) {
    if (!pb) return 0;
    ItemTables tables(pb, t);
    const int first =
        pb->GetInt(Geo_Pattern, t) < 2 ? tables.SequenceRowCount() : tables.ObjectCount();
    return 1 + first + tables.PostCount() + tables.EndCount();
}

ListRow ObjectListRow(IParamBlock2* pb, TimeValue t, int row) {
    ListRow r;
    if (!pb || row < 0 || row >= ObjectListRowCount(pb, t)) return r;
    if (row == 0) {
        r.kind = RowKind::AllObjects;
        return r;
    }
    ItemTables tables(pb, t);
    const bool sequence = pb->GetInt(Geo_Pattern, t) < 2;
    const int first = sequence ? tables.SequenceRowCount() : tables.ObjectCount();
    int i = row - 1;
    if (i < first) {
        if (sequence) {
            r.kind = RowKind::Sequence;
            r.sequenceRow = i;
            const int k = pb->GetInt(Sequence_Items, t, i);
            r.item = k >= 0 && k < tables.ItemCount() ? k : -1;
        } else {
            r.kind = RowKind::Object;
            r.item = i;
        }
        return r;
    }
    i -= first;
    if (i < tables.PostCount()) {
        r.kind = RowKind::Post;
        r.item = tables.ItemIndex(ItemList::Posts, i);
        return r;
    }
    r.kind = RowKind::End;
    r.item = tables.ItemIndex(ItemList::Ends, i - tables.PostCount());
    return r;
}

// --- Measuring an item -----------------------------------------------------------------------

Random& RuntimeRandom() {
    static Random runtime;
    return runtime;
}

int UniformBelow(Random& rng, int n) {
    if (n <= 1) return 0;
    const auto wanted = static_cast<std::uint64_t>(n);
    std::uint64_t range = 1;
    int draws = 0;
    while (range < wanted) {
        range <<= 15;
        ++draws;
    }
    const std::uint64_t limit = range - range % wanted;
    for (;;) {
        std::uint64_t v = 0;
        for (int d = 0; d < draws; ++d) v = (v << 15) | static_cast<std::uint64_t>(rng.rand());
        if (v < limit) return static_cast<int>(v % wanted);
    }
}

std::vector<int> ShuffledOrder(int n, Random& rng) {
    std::vector<int> order(static_cast<std::size_t>(std::max(0, n)));
    for (int i = 0; i < n; ++i) order[static_cast<std::size_t>(i)] = i;
    for (int i = 1; i < n; ++i) {
        std::swap(order[static_cast<std::size_t>(i)],
                  order[static_cast<std::size_t>(UniformBelow(rng, i + 1))]);
    }
    return order;
}

bool MeasureItem(INode* node, TimeValue t, Random& shuffle, NewItem& item) {
    if (!node) return false;
    Object* o = node->EvalWorldState(t).obj;
    if (!o) return false;
    item.node = node;
    item.name = MSTR(node->GetName());

    Mesh marker;
    const Mesh* mesh = nullptr;
    Object* converted = nullptr;
    if (o->SuperClassID() == LIGHT_CLASS_ID) {
        const float s = SceneMarkerSize();
        if (!MakeMarkerMesh(marker, s)) return false;
        mesh = &marker;
        item.kind = 1;
        item.boxMin = Point3(-s / 2.0f, -s / 2.0f, -s / 2.0f);
        item.boxMax = Point3(s / 2.0f, s / 2.0f, s / 2.0f);
    } else {
        converted = o->ConvertToType(t, triObjectClassID);
        if (!converted || converted->ClassID() != triObjectClassID) {
            if (converted && converted != o) converted->DeleteThis();
            return false;
        }
        mesh = &static_cast<TriObject*>(converted)->GetMesh();
        item.kind = 0;
        const Box3 box = mesh->getBoundingBox();
        item.boxMin = box.IsEmpty() ? Point3(0.0f, 0.0f, 0.0f) : box.pmin;
        item.boxMax = box.IsEmpty() ? Point3(0.0f, 0.0f, 0.0f) : box.pmax;
    }

    item.faceCount = mesh->getNumFaces();
    const int vertices = mesh->getNumVerts();
    const std::vector<int> order = ShuffledOrder(vertices, shuffle);
    const int cloud = std::min(vertices, kMaxCloudPoints);
    item.cloud.clear();
    item.cloud.reserve(static_cast<std::size_t>(cloud));
    for (int i = 0; i < cloud; ++i) {
        item.cloud.push_back(mesh->getVert(order[static_cast<std::size_t>(i)]));
    }
    if (converted && converted != o) converted->DeleteThis();
    return true;
}

float PathSpacing(float firstSplineLength) {
    return std::floor(firstSplineLength / 10.0f * 100.0f + 0.5f) / 100.0f;
}

}  // namespace trellon
