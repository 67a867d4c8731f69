// A host scene holding one Trellon object on its node, plus helpers that make the scene nodes
// the object works with: box meshes (TriObject) and straight polyline paths (SplineShape).
#pragma once

#include <initializer_list>
#include <vector>

#include "inode.h"
#include "iparamb2.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "scene.h"
#include "splshape.h"
#include "triobj.h"

namespace lifecycle {

using namespace trellon;

// Corner knots through the points (straight segments), as one spline, closed or open.
struct Line {
    std::vector<Point3> points;
    bool closed = false;
};

// The counter-clockwise square of the given side with a corner at the origin.
inline std::vector<Point3> Square(float side) {
    return {Point3(0.0f, 0.0f, 0.0f), Point3(side, 0.0f, 0.0f), Point3(side, side, 0.0f),
            Point3(0.0f, side, 0.0f)};
}

// A spline shape of one spline per line. Its segments are lines, which the shape never divides,
// or, given curve steps, curves (straight, their handles on the knots) that it divides into that
// many steps.
inline SplineShape* NewShape(const std::vector<Line>& lines, int curveSteps = -1) {
    auto* shape = new SplineShape();
    const int type = curveSteps < 0 ? LTYPE_LINE : LTYPE_CURVE;
    for (const Line& line : lines) {
        Spline3D* spline = shape->shape.NewSpline();
        for (const Point3& p : line.points)
            spline->AddKnot(SplineKnot(KTYPE_CORNER, type, p, p, p));
        if (line.closed) spline->SetClosed(1);
        spline->ComputeBezPoints();
    }
    shape->shape.UpdateSels();
    shape->shape.InvalidateGeomCache();
    if (curveSteps >= 0) shape->SetSteps(curveSteps);
    return shape;
}

// An axis-aligned box of the given size with one corner at the origin: 8 vertices, 12 faces.
inline TriObject* NewBox(float size) {
    static const DWORD tris[12][3] = {{0, 2, 3}, {3, 1, 0}, {4, 5, 7}, {7, 6, 4},
                                      {0, 1, 5}, {5, 4, 0}, {2, 6, 7}, {7, 3, 2},
                                      {0, 4, 6}, {6, 2, 0}, {1, 3, 7}, {7, 5, 1}};
    TriObject* tri = CreateNewTriObject();
    Mesh& m = tri->GetMesh();
    m.setNumVerts(8);
    m.setNumFaces(12);
    for (int i = 0; i < 8; ++i) {
        m.setVert(i, Point3(i & 1 ? size : 0.0f, i & 2 ? size : 0.0f, i & 4 ? size : 0.0f));
    }
    for (int f = 0; f < 12; ++f) m.faces[f].setVerts(tris[f][0], tris[f][1], tris[f][2]);
    return tri;
}

// A modifier stack as the host builds one: a derived object whose reference 0 is the base object
// and which evaluates to the base, or to the stack's result when it has one of its own (which it
// deletes with itself). `gone` is set when it is deleted.
class DerivedObject : public Object {
public:
    DerivedObject(Object* base, Object* result = nullptr, bool* gone = nullptr)
        : result_(result), gone_(gone) {
        if (base) ReplaceReference(0, base);
    }
    ~DerivedObject() override {
        if (result_) result_->DeleteThis();
        if (gone_) *gone_ = true;
    }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? base_ : nullptr; }
    SClass_ID SuperClassID() override { return GEN_DERIVOB_CLASS_ID; }
    ObjectState Eval(TimeValue t) override {
        return result_ ? ObjectState(result_) : base_->Eval(t);
    }
    int IsRenderable() override { return 0; }
    CreateMouseCallBack* GetCreateMouseCallBack() override { return nullptr; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }

private:
    void SetReference(int i, RefTargetHandle target) override {
        if (i == 0) base_ = static_cast<Object*>(target);
    }
    Object* base_ = nullptr;
    Object* result_;
    bool* gone_;
};

class TrellonScene {
public:
    TrellonScene() {
        object = static_cast<Trellon*>(trellon::GetTrellonDesc()->Create(FALSE));
        objectNode = scene.CreateObjectNode(object);
        pb = object->GetParamBlock(0);
    }

    INode* AddBox(const wchar_t* name, float size) {
        return scene.CreateNamedNode(NewBox(size), MSTR(name));
    }
    // A path of one open polyline per list of points.
    INode* AddPath(const wchar_t* name, std::initializer_list<std::vector<Point3>> lines) {
        std::vector<Line> open;
        for (const std::vector<Point3>& points : lines) open.push_back({points, false});
        return scene.CreateNamedNode(NewShape(open), MSTR(name));
    }
    // Deletes a node the way the user does, without the scene's own redraw, so Refreshes()
    // counts only the object's.
    void Delete(INode* node) { scene.DeleteNode(node, FALSE); }
    // How many times the object refreshed: each refresh ends with one viewport redraw.
    int Refreshes() const { return scene.RedrawCount(); }

    host::Scene scene;
    Trellon* object = nullptr;
    INode* objectNode = nullptr;
    IParamBlock2* pb = nullptr;
};

}  // namespace lifecycle
