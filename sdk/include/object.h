// Scene objects: BaseObject, Object, GeomObject, ShapeObject, ObjectState, the creation mouse
// callback and the minimal View a render mesh is asked for.
//
// Conversion. Every object converts to the generic object (defObjectClassID) and to its own
// class, giving itself; anything else the base classes refuse (CanConvertToType 0,
// ConvertToType null). Derived classes add their own targets. A conversion result other than the
// object itself is a new object the caller owns.
//
// GeomObject::GetRenderMesh by default converts to a TriObject: an object that is a TriObject
// hands out its own mesh (needDelete FALSE); otherwise a copy of the converted mesh is returned
// with needDelete TRUE and the temporary TriObject is freed.
#pragma once

#include "box3.h"
#include "interval.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "point2.h"
#include "point3.h"
#include "ref.h"
#include "strclass.h"
#include "superclassids.h"
#include "tab.h"

class INode;
class ViewExp;
class GraphicsWindow;
class HitRegion;

// What a snap is looking for and the best candidate found so far. An object's Snap offers its
// candidates (Mesh::snap: its vertices); one within `strength` pixels of the cursor replaces the
// best when its priority value is lower than `priority` (lower values win), or equal with a
// smaller distance. The snap system starts a search with priority above every snap priority and
// bestDist above strength.
constexpr int SNAP_2D = 1;
constexpr int SNAP_25D = 2;
constexpr int SNAP_3D = 3;
struct SnapInfo {
    int snapType = SNAP_3D;
    int strength = 8;      // largest distance in pixels
    int vertPriority = 1;  // priority of geometry vertices
    int edgePriority = 2;  // priority of geometry edges
    int gridPriority = 3;  // priority of grid points
    int snapRadius = 8;
    int priority = 0x7fffffff;  // priority of the best candidate
    IPoint2 hitpoint;           // the cursor
    Matrix3 plane{1};           // the plane snapping works in (world to plane)
    Point3 bestWorld;           // the best candidate, world space
    IPoint2 bestScreen;         // its screen point
    int bestDist = 0x7fffffff;  // its distance from the cursor, pixels
    DWORD flags = 0;
};
class PolyShape;
class Mesh;
class Object;

namespace MaxSDK::Graphics {
class UpdateDisplayContext;
class UpdateNodeContext;
class IRenderItemContainer;
}  // namespace MaxSDK::Graphics

// --- Creation with the mouse -------------------------------------------------------------------

// Mouse messages.
constexpr int MOUSE_ABORT = 0;
constexpr int MOUSE_IDLE = 0;
constexpr int MOUSE_POINT = 1;
constexpr int MOUSE_MOVE = 2;
constexpr int MOUSE_DBLCLICK = 3;
constexpr int MOUSE_INIT = 4;
constexpr int MOUSE_UNINIT = 5;
constexpr int MOUSE_FREEMOVE = 6;
constexpr int MOUSE_KEYBOARD = 7;
constexpr int MOUSE_PROPCLICK = 8;
constexpr int MOUSE_SNAPCLICK = 9;

// Mouse flags.
constexpr int MOUSE_SHIFT = 1 << 0;
constexpr int MOUSE_CTRL = 1 << 1;
constexpr int MOUSE_ALT = 1 << 2;
constexpr int MOUSE_LBUTTON = 1 << 3;
constexpr int MOUSE_MBUTTON = 1 << 4;
constexpr int MOUSE_RBUTTON = 1 << 5;

// What a creation callback answers.
constexpr int CREATE_CONTINUE = 1;
constexpr int CREATE_STOP = 0;
constexpr int CREATE_ABORT = -1;

// Turns mouse clicks in a viewport into an object's creation parameters. mat is the new node's
// transform, which the callback may set.
class CreateMouseCallBack {
public:
    virtual ~CreateMouseCallBack() = default;
    virtual int proc(ViewExp* vpt, int msg, int point, int flags, IPoint2 m, Matrix3& mat) = 0;
    virtual int override(int mode) { return mode; }
    virtual BOOL StartNewCreation() { return TRUE; }
    virtual BOOL TolerateOrthoMode() { return FALSE; }
};

// --- ObjectState -------------------------------------------------------------------------------

// The result of evaluating an object: the object and an optional transform (absent means
// identity) with the interval it holds for.
class ObjectState {
public:
    Object* obj = nullptr;

    ObjectState() = default;
    explicit ObjectState(Object* ob) : obj(ob) {}

    // The transform, or null when there is none.
    Matrix3* GetTM() { return hasTM_ ? &tm_ : nullptr; }
    const Matrix3* GetTM() const { return hasTM_ ? &tm_ : nullptr; }
    // Copies mat (null removes the transform); iv is how long it holds.
    void SetTM(const Matrix3* mat, Interval iv);
    Interval tmValid() const { return hasTM_ ? tmvi_ : FOREVER; }

private:
    Matrix3 tm_;
    bool hasTM_ = false;
    Interval tmvi_ = FOREVER;
};

// --- The object classes ------------------------------------------------------------------------

class BaseObject : public ReferenceTarget {
public:
    virtual CreateMouseCallBack* GetCreateMouseCallBack() = 0;

    // Legacy viewport drawing, hit testing and snapping; the base object draws and hits nothing.
    virtual int Display(TimeValue /*t*/, INode* /*inode*/, ViewExp* /*vpt*/, int /*flags*/) {
        return 0;
    }
    virtual int HitTest(TimeValue /*t*/, INode* /*inode*/, int /*type*/, int /*crossing*/,
                        int /*flags*/, IPoint2* /*p*/, ViewExp* /*vpt*/) {
        return 0;
    }
    virtual void Snap(TimeValue /*t*/, INode* /*inode*/, SnapInfo* /*snap*/, IPoint2* /*p*/,
                      ViewExp* /*vpt*/) {}
    // The base object has no extent: both boxes come back empty.
    virtual void GetWorldBoundBox(TimeValue /*t*/, INode* /*inode*/, ViewExp* /*vp*/, Box3& box) {
        box.Init();
    }
    virtual void GetLocalBoundBox(TimeValue /*t*/, INode* /*inode*/, ViewExp* /*vp*/, Box3& box) {
        box.Init();
    }

    // Current viewport drawing: build render items; false means "nothing prepared".
    virtual bool PrepareDisplay(const MaxSDK::Graphics::UpdateDisplayContext& /*ctx*/) {
        return false;
    }
    virtual bool UpdatePerNodeItems(const MaxSDK::Graphics::UpdateDisplayContext& /*ctx*/,
                                    MaxSDK::Graphics::UpdateNodeContext& /*nodeContext*/,
                                    MaxSDK::Graphics::IRenderItemContainer& /*target*/) {
        return false;
    }

    virtual const MCHAR* GetObjectName() { return _M("Object"); }
    virtual BOOL HasViewDependentBoundingBox() { return FALSE; }
};

class Object : public BaseObject {
public:
    virtual ObjectState Eval(TimeValue t) = 0;
    // How long the evaluated object stays valid around t.
    virtual Interval ObjectValidity(TimeValue /*t*/) { return FOREVER; }
    virtual int IsRenderable() = 0;
    virtual BOOL IsShapeObject() { return FALSE; }
    virtual BOOL IsWorldSpaceObject() { return FALSE; }

    virtual int CanConvertToType(Class_ID obtype);
    virtual Object* ConvertToType(TimeValue t, Class_ID obtype);
    // The types the object offers to collapse to, with their names (new MSTRs the caller frees).
    // The base offers an editable mesh when the object converts to a TriObject.
    virtual void GetCollapseTypes(Tab<Class_ID>& clist, Tab<MSTR*>& nlist);

    // The name a new node of this object gets before the host makes it unique.
    virtual void InitNodeName(MSTR& s) { s = GetObjectName(); }
    // The object at the bottom of a modifier stack: an ordinary object is its own base.
    virtual Object* FindBaseObject() { return this; }

    virtual BOOL HasUVW() { return FALSE; }
    virtual void SetGenUVW(BOOL /*sw*/) {}
};

// What the renderer tells an object about the view it renders (minimal).
class View {
public:
    virtual ~View() = default;
    // Screen position of a point in view space.
    virtual Point2 ViewToScreen(Point3 p) = 0;
    virtual BOOL CheckForRenderAbort() { return FALSE; }

    Matrix3 worldToView;
    Matrix3 affineTM;
    int projType = 0;  // 0 perspective, 1 parallel
    float fov = 0.7853982f;
    float pixelSize = 1.0f;
    int screenW = 640;
    int screenH = 480;
    DWORD flags = 0;
};

class GeomObject : public Object {
public:
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    int IsRenderable() override { return 1; }
    // The mesh to render at t; needDelete tells the caller to delete it when done.
    virtual Mesh* GetRenderMesh(TimeValue t, INode* inode, View& view, BOOL& needDelete);
};

// A shape: a set of curves (polys) with arc-length or per-segment parameters (PARAM_SIMPLE 0,
// PARAM_NORMALIZED 1, spline3d.h). Bad curve indices give the origin / zero / false.
class ShapeObject : public GeomObject {
public:
    SClass_ID SuperClassID() override { return SHAPE_CLASS_ID; }
    BOOL IsShapeObject() override { return TRUE; }
    // A shape renders only when its renderable flag is set.
    int IsRenderable() override { return renderable_ ? 1 : 0; }
    void SetRenderable(BOOL sw) { renderable_ = sw != FALSE; }

    virtual int NumberOfCurves(TimeValue t) = 0;
    virtual BOOL CurveClosed(TimeValue t, int curve) = 0;
    virtual Point3 InterpCurve3D(TimeValue t, int curve, float param, int ptype = 0) = 0;
    virtual Point3 TangentCurve3D(TimeValue t, int curve, float param, int ptype = 0) = 0;
    virtual float LengthOfCurve(TimeValue t, int curve) = 0;
    virtual int NumberOfPieces(TimeValue t, int curve) = 0;
    virtual Point3 InterpPiece3D(TimeValue t, int curve, int piece, float param, int ptype = 0) = 0;
    virtual Point3 TangentPiece3D(TimeValue t, int curve, int piece, float param,
                                  int ptype = 0) = 0;
    // Knots of one curve, or of all curves for -1.
    virtual int NumberOfVertices(TimeValue /*t*/, int /*curve*/ = -1) { return 0; }
    // The shape as polylines: steps PSHAPE_BUILTIN_STEPS (-2) uses the shape's own settings,
    // PSHAPE_ADAPTIVE_STEPS (-1) adaptive steps, 0 and up that many steps per segment.
    virtual void MakePolyShape(TimeValue t, PolyShape& shape, int steps = -2,
                               BOOL optimize = FALSE) = 0;

private:
    bool renderable_ = false;
};
