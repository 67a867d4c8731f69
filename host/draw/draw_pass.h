// The host's viewport pass: every node the viewport shows is asked to draw itself into the
// recording graphics window, and a click is hit-tested against every node.
//
// Nodes are visited in scene order; a node hidden by its own flag or by its layer is skipped.
// For each, the object of its world state at t is asked, as the current viewport asks:
//   1. PrepareDisplay with an UpdateDisplayContext at t (shaded faces and edges); when it
//      answers true, UpdatePerNodeItems with the node's context and a container that keeps the
//      render items (the mesh, in object space);
//   2. the legacy Display(t, node, view, 0), whose markers and polylines the window records in
//      world space.
// The drawing lists every node that left render items or records, with the object transform at
// t (to place the render items in the world).
#pragma once

#include <string>
#include <vector>

#include "Graphics/RenderItemHandle.h"
#include "matrix3.h"
#include "recording_window.h"

class INode;

namespace host {

class Scene;
class TopViewport;

struct NodeDrawing {
    INode* node = nullptr;
    std::string name;  // UTF-8
    Matrix3 objectTM{1};
    DWORD wireColor = 0;
    int displayResult = 0;                                        // what Display answered
    DrawRecord drawn;                                             // world space
    std::vector<MaxSDK::Graphics::RenderItemHandle> renderItems;  // object space
};

struct Drawing {
    TimeValue time = 0;
    std::vector<NodeDrawing> nodes;
};

// Draws every shown node of the scene at t through view, whose graphics window is set to gw for
// the pass.
Drawing DrawScene(Scene& scene, TopViewport& view, RecordingGraphicsWindow& gw, TimeValue t);

// The shown nodes whose objects report a hit for the screen points p (as HitTest takes them:
// one point for a point hit, two corners for a box) with the hit type, crossing flag and hit
// flags, in scene order.
std::vector<INode*> HitTestScene(Scene& scene, TopViewport& view, RecordingGraphicsWindow& gw,
                                 TimeValue t, int type, int crossing, int flags, IPoint2* p);

}  // namespace host
