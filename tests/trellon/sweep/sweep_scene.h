// A host scene with one Trellon object, a path of corner knots and swept profiles, for the sweep
// builders. Paths and profiles default to 0 interpolation steps, so their polylines are their
// knots and every number can be worked out by hand.
#pragma once

#include <gtest/gtest.h>

#include "support/near.h"

#include <vector>

#include "inode.h"
#include "iparamb2.h"
#include "mesh.h"
#include "object/item_tables.h"
#include "object/mesh_builder.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "splshape.h"
#include "sweep/sweep_builder.h"

namespace sweep_scene {

using support::Near;

// A spline shape of one spline of corner knots (straight segments) at the given steps.
inline SplineShape* CornerShape(const std::vector<Point3>& pts, bool closed, int steps) {
    auto* shape = new SplineShape();
    Spline3D* s = shape->shape.NewSpline();
    for (const Point3& p : pts) s->AddKnot(SplineKnot(KTYPE_CORNER, LTYPE_CURVE, p, p, p));
    if (closed) s->SetClosed(1);
    s->ComputeBezPoints();
    shape->shape.UpdateSels();
    shape->SetSteps(steps);
    return shape;
}

// The counter-clockwise square of side 10 with a corner at the origin.
inline std::vector<Point3> Square10() {
    return {Point3(0, 0, 0), Point3(10, 0, 0), Point3(10, 10, 0), Point3(0, 10, 0)};
}

class SweepScene {
public:
    SweepScene() {
        object = static_cast<Trellon*>(GetTrellonDesc()->Create(FALSE));
        objectNode = scene.CreateObjectNode(object);
        pb = object->GetParamBlock(0);
        // One set-up edit: nothing rebuilds while the tables are filled.
        object->Ready = 0;
        trellon::ItemTables(pb, 0).AppendSharedEntries();
    }

    INode* SetPath(const std::vector<Point3>& pts, bool closed, int steps = 0) {
        path = scene.CreateObjectNode(CornerShape(pts, closed, steps));
        pb->SetValue(Spline_Obj, 0, path);
        return path;
    }

    // A profile node with a sweep of its own: Shape_Steps `steps`, neutral settings.
    INode* AddProfile(const std::vector<Point3>& pts, bool closed, int steps = 0,
                      const wchar_t* name = L"Profile") {
        INode* node = scene.CreateNamedNode(CornerShape(pts, closed, 6), MSTR(name));
        AddSweep(node, steps);
        return node;
    }

    // Appends sweep k to every table the walk reads (the flip tables hold one entry more than
    // shapes from the set-up, read at k).
    void AddSweep(INode* node, int steps) {
        pb->Append(Sweep_Nodes, 1, &node);
        pb->Append(Shape_Steps, 1, &steps);
        int zero = 0;
        float none = 0.0f, full = 100.0f;
        int on = 1;
        pb->Append(Shape_Flip_Normals, 1, &zero);
        pb->Append(Shape_Flip_Object, 1, &zero);
        pb->Append(Sweep_Double, 1, &zero);
        pb->Append(Sweep_Double_Offset, 1, &none);
        pb->Append(Sweep_Smooth_Angle, 1, &none);
        for (ParamID id : {Sweep_Side_Offset, Sweep_Height_Offset, Sweep_X_Rot, Sweep_Y_Rot,
                           Sweep_Z_Rot, Sweep_Start_Trim, Sweep_End_Trim})
            pb->Append(id, 1, &none);
        for (ParamID id : {Sweep_X_Scale, Sweep_Y_Scale, Sweep_Z_Scale}) pb->Append(id, 1, &full);
        pb->Append(Sweep_Unify_Scale, 1, &on);
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
        trellon::AppendSweeps(*object, 0, CurrentAppendPoint(object->mesh));
        return object->mesh;
    }

    host::Scene scene;
    Trellon* object = nullptr;
    INode* objectNode = nullptr;
    INode* path = nullptr;
    IParamBlock2* pb = nullptr;
};

}  // namespace sweep_scene
