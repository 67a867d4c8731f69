#include "graphwin.h"

#include <algorithm>
#include <cmath>

void MakeHitRegion(HitRegion& hr, int type, int crossing, int epsi, IPoint2* p) {
    hr.crossing = crossing;
    hr.epsilon = std::max(epsi, 0);
    if (p != nullptr) {
        switch (type) {
            case HITTYPE_POINT:
            case HITTYPE_SOLID:
                hr.type = POINT_RGN;
                hr.pt = POINT{p[0].x, p[0].y};
                return;
            case HITTYPE_BOX:
                hr.type = RECT_RGN;
                hr.rect = RECT{std::min(p[0].x, p[1].x), std::min(p[0].y, p[1].y),
                               std::max(p[0].x, p[1].x), std::max(p[0].y, p[1].y)};
                return;
            case HITTYPE_CIRCLE: {
                const double dx = static_cast<double>(p[1].x) - p[0].x;
                const double dy = static_cast<double>(p[1].y) - p[0].y;
                hr.type = CIRCLE_RGN;
                hr.circle = CIRCLE{p[0].x, p[0].y,
                                   static_cast<LONG>(std::lround(std::sqrt(dx * dx + dy * dy)))};
                return;
            }
            default:
                break;
        }
    }
    // Nothing to look in: a window region of no area, which holds nothing whole.
    hr.type = RECT_RGN;
    hr.crossing = 0;
    hr.rect = RECT{0, 0, -1, -1};
}
