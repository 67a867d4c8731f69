// ViewExp: what a plug-in sees of a viewport while it creates, draws, hits or snaps. The host
// implements it; the creation callbacks use its snapping helpers to turn screen points into
// points and lengths in the construction plane (the viewport's grid, whose placement in the world
// GetConstructionTM gives).
//
// SnapPoint maps a screen point to the 3D point under it, snapped by the host's snap settings;
// SnapLength snaps a length to the host's grid; GetCPDisp measures a drag: the screen points sp1
// and sp2 are projected onto the line through base along dir, and the signed distance between
// the projections, in world units, is returned. SnapPreview only shows where a snap would land.
// Once the viewport is closed IsAlive is false and no other call may be made.
#pragma once

#include "matrix3.h"
#include "maxtypes.h"
#include "point2.h"
#include "point3.h"

class GraphicsWindow;
class INode;

// Flags of SnapPoint and SnapPreview.
constexpr DWORD SNAP_IN_3D = 0;                    // snap to anything in 3D space
constexpr DWORD SNAP_IN_PLANE = 1u << 0;           // snap only in the construction plane
constexpr DWORD SNAP_UNSEL_OBJS_ONLY = 1u << 1;    // ignore selected objects
constexpr DWORD SNAP_SEL_OBJS_ONLY = 1u << 2;      // only selected objects
constexpr DWORD SNAP_UNSEL_SUBOBJ_ONLY = 1u << 3;  // ignore selected sub-objects
constexpr DWORD SNAP_SEL_SUBOBJ_ONLY = 1u << 4;    // only selected sub-objects
constexpr DWORD SNAP_FORCE_3D_RESULT = 1u << 5;    // a 3D point even when snapping in plane
constexpr DWORD SNAP_OFF_TEMP = 1u << 6;           // snapping off for this call
constexpr DWORD SNAP_BEFORE_CONSTRAINT = 1u << 7;  // snap before the axis constraint
constexpr DWORD SNAP_TRANSFORM_AXIS = 1u << 8;     // snap along the transform axis

class ViewExp {
public:
    ViewExp() = default;
    ViewExp(const ViewExp&) = delete;
    ViewExp& operator=(const ViewExp&) = delete;
    virtual ~ViewExp() = default;

    // The point under the screen point in, in construction-plane coordinates, snapped; out gets
    // the screen point of the snapped result. plane2d, when given, is the plane to snap in
    // instead of the construction plane.
    virtual Point3 SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr,
                             DWORD flags = 0) = 0;
    // A length rounded to the host's snap increment (unchanged while length snapping is off).
    virtual float SnapLength(float len) = 0;
    // The signed length, in world units, of the drag from sp1 to sp2 along dir through base
    // (construction-plane coordinates). snap rounds the result as SnapLength does.
    virtual float GetCPDisp(Point3 base, const Point3& dir, const IPoint2& sp1, const IPoint2& sp2,
                            BOOL snap = FALSE) = 0;
    // Shows the snap marker where SnapPoint(in) would land; out gets its screen point.
    virtual void SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr,
                             DWORD flags = 0) = 0;
    // The construction plane: maps construction-plane coordinates to world space.
    virtual void GetConstructionTM(Matrix3& tm) = 0;
    // False once the viewport is gone.
    virtual bool IsAlive() = 0;
    // The viewport's graphics window, for drawing; null when it has none.
    virtual GraphicsWindow* getGW() = 0;
    // The node of the last pick in this viewport (Interface::PickNode), null when none.
    virtual INode* GetClosestHit() { return nullptr; }
};
