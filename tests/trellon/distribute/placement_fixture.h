// A Trellon object in a host scene with a path and items whose every table entry is in place, for
// the placement walk and the mesh builders. Rebuilds are held off (Ready 0) while the tests set
// the tables; they walk the placement or call BuildMesh themselves.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "distribute/placement.h"
#include "object/item_tables.h"
#include "object/lifecycle_scene.h"
#include "random.h"
#include "splshape.h"
#include "support/param_tables.h"

namespace placement_test {

using namespace trellon;

using lifecycle::Line;
using lifecycle::NewShape;

// A counter-clockwise square of the given side from the origin, closed: length 4 * side.
inline Line Square(float side) { return {lifecycle::Square(side), true}; }

// A straight open line along +X from (0, y).
inline Line Straight(float length, float y = 0.0f) {
    return {{Point3(0.0f, y, 0.0f), Point3(length, y, 0.0f)}, false};
}

// One copy as a test reads it.
struct Seen {
    int item;
    trellon::CopyKind kind;
    int source;
    int spline;
    Point3 at;  // where the item's pivot lands
    int globalPool;
    int itemPool;
    Matrix3 tm;
};

class PlacementScene : public ::testing::Test {
protected:
    void SetUp() override {
        s.object->Ready = 0;
        trellon::ItemTables(s.pb, 0).AppendSharedEntries();
    }

    INode* SetPath(const std::vector<Line>& lines) {
        INode* node = s.scene.CreateNamedNode(NewShape(lines), MSTR(L"Path"));
        s.pb->SetValue(Spline_Obj, 0, node);
        return node;
    }

    // A box item of the given size (corner at its pivot), then moved on to `list`. Returns its
    // item index.
    int AddItem(ParamID list = Object_Nodes, float size = 2.0f, int kind = 0) {
        const int k =
            AddMesh(lifecycle::NewBox(size), Point3(0, 0, 0), Point3(size, size, size), kind);
        if (list == Object_Nodes) return k;
        return trellon::ItemTables(s.pb, 0).MoveItem(
            k, list == Post_Nodes ? trellon::ItemList::Posts : trellon::ItemList::Ends);
    }

    // A distribution object of 12 faces on a node of its own at `at`, added as the item tables
    // add one: its stored box and sample points, the "All Objects" spacing. Returns its item
    // index.
    int AddMesh(TriObject* mesh, const Point3& boxMin, const Point3& boxMax, int kind = 0,
                std::vector<Point3> cloud = {}, const Point3& at = Point3(0, 0, 0)) {
        trellon::ItemTables tables(s.pb, 0);
        trellon::NewItem item;
        item.name = MSTR((L"Item" + std::to_wstring(tables.ItemCount())).c_str());
        item.node = s.scene.CreateNamedNode(mesh, item.name);
        Matrix3 tm = TransMatrix(at);
        item.node->SetNodeTM(0, tm);
        item.kind = kind;
        item.boxMin = boxMin;
        item.boxMax = boxMax;
        item.faceCount = 12;
        item.cloud = std::move(cloud);
        return tables.AddObject(item);
    }

    void SetInts(ParamID id, const std::vector<int>& values) { support::SetInts(s.pb, id, values); }
    // An entry of a shared table: entry 0 "All Objects", entry k + 1 item k.
    void SetEntry(ParamID id, int entry, float v) { s.pb->SetValue(id, 0, v, entry); }
    void SetEntry(ParamID id, int entry, int v) { s.pb->SetValue(id, 0, v, entry); }
    void Set(ParamID id, int v) { s.pb->SetValue(id, 0, v); }
    void Set(ParamID id, float v) { s.pb->SetValue(id, 0, v); }

    // Fills every pool from a seeded generator.
    void SeedPools(unsigned seed) {
        Random generator;
        generator.srand(seed);
        trellon::ItemTables tables(s.pb, 0);
        tables.RegenerateTransformPools(0, generator);
        tables.RegenerateMirrorPool(0, generator);
    }

    // The copies of a pass, in placement order.
    std::vector<Seen> Walk(trellon::PlacementPass pass, trellon::PlacementOptions options = {}) {
        trellon::Placement placement = trellon::Placement::Prepare(*s.object, 0, options);
        std::vector<Seen> seen;
        placement.ForEachCopy(pass, [&](const trellon::PlacedCopy& c) {
            seen.push_back(Seen{c.item, c.kind, c.source, c.spline, c.tm.GetTrans(), c.globalPool,
                                c.itemPool, c.tm});
        });
        return seen;
    }

    lifecycle::TrellonScene s;
};

}  // namespace placement_test
