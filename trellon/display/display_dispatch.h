// The display dispatcher: in the proxy display modes (Display_Mode 0 to 3) Display runs the
// proxy drawers of the lists that have copies, in this order:
//   1. the end drawer, when End_Nodes has an entry;
//   2. the post drawer when Post_Nodes has an entry (the posts and the distribution objects
//      among them), else the sequence drawer (Geo_Pattern 0 or 1) or the per-object drawer
//      (Geo_Pattern 2);
//   3. the sweep drawer, when Sweep_Nodes has an entry.
// Every drawer draws in the object's space with the graphics window's current transform (the
// node's object transform). The same run, in the window's picking state, is the proxy part of
// the hit test.
#pragma once

#include <vector>

#include "maxtypes.h"

class GraphicsWindow;
class INode;
class IParamBlock2;

namespace trellon {

class Trellon;

enum class ProxyDrawer { Ends, Posts, Sequence, PerObject, Sweeps };

// The drawers the dispatcher runs for the block at t, in order.
std::vector<ProxyDrawer> DisplayDrawers(IParamBlock2& pb, TimeValue t);

// Runs them with the mode at t; nothing in mode 0 or the mesh modes.
void RunDisplayDispatcher(Trellon& object, TimeValue t, GraphicsWindow& gw, INode* node);

}  // namespace trellon
