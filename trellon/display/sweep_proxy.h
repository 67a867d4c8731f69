// The sweep drawer: the swept shapes in the proxy display modes, from the same sweep walk that
// builds them into the mesh (sweep/sweep_walk.h), so the proxies lie on the vertices the mesh
// modes would build. Each sweep k (and its twin) takes palette entry k + 1, brought into 1..26.
//   - Dot and Point cloud: a dot marker at every vertex of every ring.
//   - Bounding Box: a wireframe: for every profile point a 2-point line from its position in one
//     ring to its position in the next (on a loop also from the last ring to the first), and at
//     every sample the ring's outline, closed when the profile line is closed (a line of one
//     point has no outline).
#pragma once

#include "maxtypes.h"
#include "object/display_mode.h"

class GraphicsWindow;

namespace trellon {

class Trellon;

// Draws every sweep the viewport shows (Sweep_Solo honoured) in the given proxy mode; mode 0 and
// the mesh modes draw nothing.
void DrawSweepProxies(Trellon& object, TimeValue t, GraphicsWindow& gw, DisplayMode mode);

}  // namespace trellon
