#include "viewport.h"

#include <cmath>

namespace host {

TopViewport::TopViewport(float worldPerPixel, const Point3& origin)
    : scale_(std::isfinite(worldPerPixel) && worldPerPixel > 0.0f ? worldPerPixel : 1.0f),
      origin_(origin) {}

Point3 TopViewport::ScreenToPlane(const IPoint2& s) const {
    return Point3(static_cast<float>(s.x) * scale_, -static_cast<float>(s.y) * scale_, 0.0f);
}

Point3 TopViewport::ScreenToWorld(const IPoint2& s) const { return origin_ + ScreenToPlane(s); }

Point3 TopViewport::SnapPoint(const IPoint2& in, IPoint2& out, Matrix3* /*plane2d*/,
                              DWORD /*flags*/) {
    out = in;
    return ScreenToPlane(in);
}

float TopViewport::GetCPDisp(Point3 /*base*/, const Point3& dir, const IPoint2& sp1,
                             const IPoint2& sp2, BOOL snap) {
    const float len = Length(dir);
    if (!(len > 0.0f) || !std::isfinite(len)) return 0.0f;
    // In a parallel view the projections of both points onto any line along dir are the
    // projections of their plane points; their distance is the drag's component along dir.
    const Point3 drag = ScreenToPlane(sp2) - ScreenToPlane(sp1);
    const float d = DotProd(drag, dir) / len;
    return snap ? SnapLength(d) : d;
}

void TopViewport::SnapPreview(const IPoint2& in, IPoint2& out, Matrix3* /*plane2d*/,
                              DWORD /*flags*/) {
    out = in;
    previews_.push_back(in);
}

void TopViewport::GetConstructionTM(Matrix3& tm) {
    tm.IdentityMatrix();
    tm.SetTrans(origin_);
}

}  // namespace host
