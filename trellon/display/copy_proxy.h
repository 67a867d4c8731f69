// The proxy drawers of the copies (end objects, posts, the sequence and per-object patterns):
// each walks its pass of the placement (distribute/placement.h), the walk the mesh builders
// run, and draws every copy it yields with the copy's own transform (proxy_draw.h). So the
// proxies stand exactly where the mesh modes put the geometry, with the same random values.
#pragma once

#include <memory>
#include <vector>

#include "display/display_dispatch.h"
#include "maxtypes.h"
#include "object/display_mode.h"
#include "point3.h"

class GraphicsWindow;

namespace trellon {

class Trellon;

class Placement;

class CopyProxyDrawer {
public:
    // Draws the placement at t in `mode` (a point cloud from the settings' stored points).
    CopyProxyDrawer(Trellon& object, TimeValue t, DisplayMode mode);
    ~CopyProxyDrawer();
    CopyProxyDrawer(const CopyProxyDrawer&) = delete;
    CopyProxyDrawer& operator=(const CopyProxyDrawer&) = delete;

    // Draws the copies of one drawer's list; the sweep drawer is not one of them (nothing).
    void Draw(ProxyDrawer drawer, GraphicsWindow& gw);

private:
    Trellon& object_;
    TimeValue t_;
    DisplayMode mode_;
    std::unique_ptr<Placement> placement_;  // prepared on the first Draw
    std::vector<int> cloudStart_;           // per item, its first point; one more at the end
};

}  // namespace trellon
