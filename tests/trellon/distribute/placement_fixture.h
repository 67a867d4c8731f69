// A Trellon object in a host scene with a path and items whose every table entry is in place, for
// the placement walk and the mesh builders. Rebuilds are held off (Ready 0) while the tests set
// the tables; they walk the placement or call BuildMesh themselves.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "distribute/placement.h"
#include "object/item_tables.h"
#include "object/lifecycle_scene.h"
#include "random.h"
#include "splshape.h"

namespace placement_test {

// Straight corner-knot splines, each closed or open, as one shape.
struct Line {
    std::vector<Point3> points;
    bool closed = false;
};

inline SplineShape* NewShape(const std::vector<Line>& lines) {
    auto* shape = new SplineShape();
    for (const Line& line : lines) {
        Spline3D* spline = shape->shape.NewSpline();
        for (const Point3& p : line.points)
            spline->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_LINE, p, p, p));
        if (line.closed) spline->SetClosed(1);
        spline->ComputeBezPoints();
    }
    shape->shape.UpdateSels();
    shape->shape.InvalidateGeomCache();
    return shape;
}

// A counter-clockwise square of the given side from the origin, closed: length 4 * side.
inline Line Square(float side) {
    return {{Point3(0.0f, 0.0f, 0.0f), Point3(side, 0.0f, 0.0f), Point3(side, side, 0.0f),
             Point3(0.0f, side, 0.0f)},
            true};
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

    // A box item of the given size (corner at its pivot) appended to `list`, with every table
    // entry a picked item gets: zero-based entries 0 (the box stored), shared entries the
    // "All Objects" defaults with the spacing copied from entry 0. Items must be added objects
    // first, then posts, then end objects, so every table stays parallel.
    int AddItem(ParamID list = Object_Nodes, float size = 2.0f, int kind = 0) {
        const int k = s.pb->Count(Object_Nodes) + s.pb->Count(Post_Nodes) + s.pb->Count(End_Nodes);
        const std::wstring name = L"Item" + std::to_wstring(k);
        INode* node = s.AddBox(name.c_str(), size);
        s.pb->Append(list, 1, &node);
        if (list == End_Nodes) AppendInt(End_Check_1119, 0);
        for (const trellon::ItemTable& t : trellon::kItemTables) {
            if (t.role != trellon::TableRole::ItemZeroBased) continue;
            if (t.id == Item_Names) {
                const MCHAR* n = name.c_str();
                s.pb->Append(Item_Names, 1, &n);
            } else if (t.id == Item_Box_Min || t.id == Item_Box_Max) {
                Point3 p =
                    t.id == Item_Box_Min ? Point3(0.0f, 0.0f, 0.0f) : Point3(size, size, size);
                Point3* pp = &p;
                s.pb->Append(t.id, 1, &pp);
            } else if (base_type(s.pb->GetParameterType(t.id)) == TYPE_FLOAT) {
                float f = 0.0f;
                s.pb->Append(t.id, 1, &f);
            } else {
                AppendInt(t.id, t.id == Item_Kind ? kind : 0);
            }
        }
        for (const trellon::SharedEntryDefault& d : trellon::kItemSharedDefaults) {
            if (d.isInt) {
                AppendInt(d.id, d.intValue);
            } else {
                float f = d.id == Item_Spacing || d.id == Item_Spacing_Random
                              ? s.pb->GetFloat(Item_Spacing, 0, 0)
                              : d.floatValue;
                s.pb->Append(d.id, 1, &f);
            }
        }
        return k;
    }

    void AppendInt(ParamID id, int v) { s.pb->Append(id, 1, &v); }
    void SetInts(ParamID id, const std::vector<int>& values) {
        s.pb->ZeroCount(id);
        for (int v : values) AppendInt(id, v);
    }
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
