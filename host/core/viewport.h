// A viewport for headless creation: an orthographic top view with fixed, exact mapping, so a
// scripted mouse drag always lands on the same points.
//
// Screen space has x to the right and y downwards, in pixels. The construction plane is the world
// XY plane through `origin`, with the world's axes; a screen point (x, y) lies over the
// construction-plane point (x * s, -y * s, 0), s being the world units per pixel, that is over the
// world point origin + (x * s, -y * s, 0). Screen y grows downwards, world y upwards: dragging the
// mouse up the screen moves along +Y.
//
// Snapping is off: SnapPoint gives the point under the mouse and leaves the screen point as it
// is, SnapLength returns its argument. GetCPDisp projects both screen points onto the line along
// dir (base does not matter in a parallel view) and returns the signed distance from the first
// projection to the second, in world units; a zero dir gives 0. SnapPreview records where it was
// asked to show the marker.
#pragma once

#include <vector>

#include "viewexp.h"

namespace host {

class TopViewport : public ViewExp {
public:
    // worldPerPixel: world units per pixel; a value that is not a positive finite number is
    // taken as 1.
    explicit TopViewport(float worldPerPixel = 1.0f, const Point3& origin = Point3(0, 0, 0));

    // The construction-plane point under a screen point, and the world point.
    Point3 ScreenToPlane(const IPoint2& s) const;
    Point3 ScreenToWorld(const IPoint2& s) const;
    float WorldPerPixel() const { return scale_; }
    const Point3& Origin() const { return origin_; }

    // ViewExp
    Point3 SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr,
                     DWORD flags = 0) override;
    float SnapLength(float len) override { return len; }
    float GetCPDisp(Point3 base, const Point3& dir, const IPoint2& sp1, const IPoint2& sp2,
                    BOOL snap = FALSE) override;
    void SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* plane2d = nullptr,
                     DWORD flags = 0) override;
    // A translation to the origin: the plane's axes are the world's.
    void GetConstructionTM(Matrix3& tm) override;
    bool IsAlive() override { return alive_; }
    GraphicsWindow* getGW() override { return gw_; }

    // Host side: closing the viewport, attaching a graphics window, reading the previews shown.
    void SetAlive(bool alive) { alive_ = alive; }
    void SetGraphicsWindow(GraphicsWindow* gw) { gw_ = gw; }
    const std::vector<IPoint2>& Previews() const { return previews_; }

private:
    float scale_;
    Point3 origin_;
    bool alive_ = true;
    GraphicsWindow* gw_ = nullptr;
    std::vector<IPoint2> previews_;
};

}  // namespace host
