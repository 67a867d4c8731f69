// A host scene with one Trellon object, a path of corner knots and swept profiles, for the sweep
// builders. Paths and profiles default to 0 interpolation steps, so their polylines are their
// knots and every number can be worked out by hand.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <cmath>
#include <vector>

#include "distribute/random_values.h"
#include "mesh.h"
#include "object/item_tables.h"
#include "object/lifecycle_scene.h"
#include "object/mesh_builder.h"
#include "splshape.h"
#include "sweep/sweep_builder.h"

namespace sweep_scene {

using namespace trellon;

using support::Near;

// Mesh vertices from `first` on against the expected points.
inline void ExpectVerts(const Mesh& m, const std::vector<Point3>& want, int first = 0,
                        float tol = 1e-4f) {
    ASSERT_GE(m.getNumVerts(), first + int(want.size()));
    for (std::size_t i = 0; i < want.size(); ++i)
        EXPECT_TRUE(Near(m.verts[first + int(i)], want[i], tol)) << "vertex " << first + int(i);
}

class SweepScene : public lifecycle::TrellonScene {
public:
    SweepScene() {
        // One set-up edit: nothing rebuilds while the tables are filled.
        object->Ready = 0;
        trellon::ItemTables(pb, 0).AppendSharedEntries();
    }

    INode* SetPath(const std::vector<Point3>& pts, bool closed, int steps = 0) {
        path = scene.CreateObjectNode(lifecycle::NewShape({{pts, closed}}, steps));
        pb->SetValue(Spline_Obj, 0, path);
        return path;
    }

    // A profile node (its own steps 6) with a sweep of its own: Shape_Steps `steps`, the new
    // sweep's settings.
    INode* AddProfile(const std::vector<Point3>& pts, bool closed, int steps = 0,
                      const wchar_t* name = L"Profile") {
        trellon::NewSweep sweep;
        sweep.node = scene.CreateNamedNode(lifecycle::NewShape({{pts, closed}}, 6), MSTR(name));
        sweep.name = MSTR(name);
        sweep.steps = steps;
        trellon::ItemTables(pb, 0).AddSweep(sweep);
        return sweep.node;
    }

    // Entry 0 ("All Sweeps") and entry k + 1 of a shared sweep table.
    void SetShared(ParamID id, int k, float all, float own) {
        pb->SetValue(id, 0, all, 0);
        pb->SetValue(id, 0, own, k + 1);
    }
    void SetInt(ParamID id, int index, int v) { pb->SetValue(id, 0, v, index); }
    void SetFloat(ParamID id, int index, float v) { pb->SetValue(id, 0, v, index); }

    // The viewport builder on an emptied object mesh.
    Mesh& Viewport() {
        object->mesh = Mesh();
        trellon::AppendSweeps(*object, 0, trellon::CurrentAppendPoint(object->mesh));
        return object->mesh;
    }

    INode* path = nullptr;
};

// A path of two 10-long legs turning left by `turnDegrees` at (10,0).
inline void Bend(SweepScene& s, float turnDegrees) {
    const float a = turnDegrees * trellon::kDegToRad;
    s.SetPath(
        {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10 + 10 * std::cos(a), 10 * std::sin(a), 0.0f)},
        false);
}

}  // namespace sweep_scene
