// GraphicsWindow: the viewport's drawing surface as an object's legacy Display, HitTest and Snap
// see it; HitRegion, the region a hit test looks in; Material, the viewport material. The host
// implements the window; MakeHitRegion is the SDK's.
//
// Drawing. Every point passed to the drawing calls is in the space of the current transform
// (setTransform; an object passes its node's object transform, so it draws in object space). The
// line colour (setColor with LINE_COLOR) colours markers and polylines drawn after it. A polyline
// of ct points joins them in order; closed joins the last back to the first. rgb (per-point
// colours) and es (per-edge visibility) may be null; null means the line colour and every edge
// drawn.
//
// Picking. While the rendering limits (setRndLimits) include GW_PICK, the drawing calls draw
// nothing: each one tests what it would draw against the hit region given with setHitRegion.
// A primitive that meets the region sets the hit code (checkHitCode is TRUE from then on) and
// lowers the hit distance to its distance in pixels from the region's point, when that is
// smaller; clearHitCode clears the code and puts the distance back to its largest value. The
// usual hit test saves the limits, sets them with GW_PICK added and GW_ILLUM removed, clears the
// hit code, draws, reads checkHitCode and puts the saved limits back.
//
// Points. wTransPoint and hTransPoint give the window (screen) position of a point in the current
// transform's space: x to the right and y downwards in pixels, z the depth; they return 0 when
// the point lies in the view (the clip flags). transPoint gives the same position as floats.
#pragma once

#include "ipoint3.h"
#include "matrix3.h"
#include "maxtypes.h"
#include "point2.h"
#include "point3.h"
#include "windows.h"

// Rendering limits and modes (setRndLimits, getRndLimits, getRndMode).
constexpr DWORD GW_NO_ATTS = 0x0000000;
constexpr DWORD GW_WIREFRAME = 0x0000001;
constexpr DWORD GW_ILLUM = 0x0000002;
constexpr DWORD GW_FLAT = 0x0000004;
constexpr DWORD GW_SPECULAR = 0x0000008;
constexpr DWORD GW_TEXTURE = 0x0000010;
constexpr DWORD GW_Z_BUFFER = 0x0000020;
constexpr DWORD GW_PERSP_CORRECT = 0x0000040;
constexpr DWORD GW_POLY_EDGES = 0x0000080;
constexpr DWORD GW_BACKCULL = 0x0000100;
constexpr DWORD GW_TWO_SIDED = 0x0000200;
constexpr DWORD GW_COLOR_VERTS = 0x0000400;
constexpr DWORD GW_SHADE_CVERTS = 0x0000800;
constexpr DWORD GW_PICK = 0x0001000;
constexpr DWORD GW_BOX_MODE = 0x0002000;
constexpr DWORD GW_ALL_EDGES = 0x0004000;
constexpr DWORD GW_VERT_TICKS = 0x0008000;
constexpr DWORD GW_LIGHTING = GW_ILLUM | GW_SPECULAR;

// Which colour setColor sets.
enum ColorType { LINE_COLOR, FILL_COLOR, TEXT_COLOR, CLEAR_COLOR };

// Marker shapes.
enum MarkerType {
    POINT_MRKR,
    HOLLOW_BOX_MRKR,
    PLUS_SIGN_MRKR,
    ASTERISK_MRKR,
    X_MRKR,
    BIG_BOX_MRKR,
    CIRCLE_MRKR,
    TRIANGLE_MRKR,
    DIAMOND_MRKR,
    SM_HOLLOW_BOX_MRKR,
    SM_CIRCLE_MRKR,
    SM_TRIANGLE_MRKR,
    SM_DIAMOND_MRKR,
    DOT_MRKR,
    SM_DOT_MRKR,
    BOX2_MRKR,
    BOX3_MRKR,
    BOX4_MRKR,
    BOX5_MRKR,
    BOX6_MRKR,
    BOX7_MRKR,
    DOT2_MRKR,
    DOT3_MRKR,
    DOT4_MRKR,
    DOT5_MRKR,
    DOT6_MRKR,
    DOT7_MRKR,
};

// Hit types an object's HitTest is asked with.
constexpr int HITTYPE_POINT = 1;
constexpr int HITTYPE_BOX = 2;
constexpr int HITTYPE_CIRCLE = 3;
constexpr int HITTYPE_SOLID = 4;
constexpr int HITTYPE_FENCE = 5;
constexpr int HITTYPE_LASSO = 6;

// Hit-test flags.
constexpr int HIT_SELONLY = 1 << 0;
constexpr int HIT_UNSELONLY = 1 << 2;
constexpr int HIT_ABORTONHIT = 1 << 3;
constexpr int HIT_SELSOLID = 1 << 4;
constexpr int HIT_ANYSOLID = 1 << 5;

// Region types of a HitRegion.
constexpr int POINT_RGN = 0x0001;
constexpr int RECT_RGN = 0x0002;
constexpr int CIRCLE_RGN = 0x0004;
constexpr int FENCE_RGN = 0x0008;

struct CIRCLE {
    LONG x;
    LONG y;
    LONG r;
};

// Where a hit test looks, in screen pixels. A point region hits what passes within epsilon
// pixels of pt. A rectangle or circle region hits, with crossing set, what lies partly inside,
// and without it only what lies wholly inside.
class HitRegion {
public:
    int type = POINT_RGN;
    int crossing = 0;
    int epsilon = 0;
    union {
        POINT pt;
        RECT rect;
        CIRCLE circle;
    };
    HitRegion() : rect{0, 0, 0, 0} {}
};

// Fills hr for an object's hit test: type (HITTYPE_*), crossing, pick size epsi in pixels and the
// screen points p. A point or solid hit makes a point region at p[0] with epsilon epsi; a box a
// rectangle region spanned by p[0] and p[1] (in any order); a circle a circle region centred at
// p[0] through p[1]. Fence and lasso hits are not supported by this SDK stand-in: they, an
// unknown type and a null p give a rectangle region of no area that hits nothing.
void MakeHitRegion(HitRegion& hr, int type, int crossing, int epsi, IPoint2* p);

// The viewport material an object's faces are drawn and picked with.
class Material {
public:
    Point3 Ka{0.0f, 0.0f, 0.0f};
    Point3 Kd{0.5f, 0.5f, 0.5f};
    Point3 Ks{0.0f, 0.0f, 0.0f};
    float shininess = 0.0f;
    float shinStrength = 0.0f;
    float opacity = 1.0f;
    float selfIllum = 0.0f;
};

class GraphicsWindow {
public:
    GraphicsWindow() = default;
    GraphicsWindow(const GraphicsWindow&) = delete;
    GraphicsWindow& operator=(const GraphicsWindow&) = delete;
    virtual ~GraphicsWindow() = default;

    // The transform from the space of the points drawn to world space.
    virtual void setTransform(const Matrix3& m) = 0;

    // Rendering limits: what the window may use (GW_* bits). The mode is what it uses now,
    // the limits narrowed by the viewport's own setting.
    virtual void setRndLimits(DWORD l) = 0;
    virtual DWORD getRndLimits() = 0;
    virtual DWORD getRndMode() = 0;

    // Colours are fractions 0..1.
    virtual void setColor(ColorType t, float r, float g, float b) = 0;
    void setColor(ColorType t, const Point3& clr) { setColor(t, clr.x, clr.y, clr.z); }
    virtual Material* getMaterial() = 0;

    virtual void marker(Point3* xyz, MarkerType type) = 0;
    virtual void polyline(int ct, Point3* xyz, Point3* rgb, int closed, int* es) = 0;
    // A filled triangle of three points (rgb: per-corner colours or null).
    virtual void triangle(Point3* xyz, Point3* rgb) = 0;

    virtual DWORD hTransPoint(const Point3* in, IPoint3* out) = 0;
    virtual DWORD wTransPoint(const Point3* in, IPoint3* out) = 0;
    virtual void transPoint(const Point3* in, Point3* out) = 0;

    // Picking state (see the file comment).
    virtual void setHitRegion(HitRegion* rgn) = 0;
    virtual void clearHitCode() = 0;
    virtual BOOL checkHitCode() = 0;
    virtual void setHitCode(BOOL h) = 0;
    virtual DWORD getHitDistance() = 0;
    virtual void setHitDistance(DWORD dist) = 0;
};
