// The object's side of a render: how its distributed items reach the renderer, chosen at render
// start, kept for every frame and undone at render end.
//
//   render start   the object's node must be visible, renderable, on a visible layer, and the
//                  object must have a path; otherwise the render gets nothing of the items (the
//                  object's own render mesh holds only the sweeps). When the scene's current
//                  layer is hidden, the node's layer is made current for the render, so nodes
//                  made for it are seen. Then by the current renderer's class:
//                    V-Ray:  the first bridge library that becomes ready (bridge_library.h)
//                            takes the instance lists; the light copies become nodes;
//                    Corona: at version 0x5100000000001 or later the renderer reads the lists
//                            itself (NativeInstancing 1);
//                    any other renderer, none, or a failed route: the fallback nodes of the
//                            export (export/render_nodes.h), made empty now and filled per frame.
//   frame start    the lists are emptied for the route that fills them again through the
//                  render interface, or the fallback nodes are refilled for the frame's time.
//   frame end      the variant material cursors start over (every frame hands out the same
//                  materials in the same order).
//   render end     every node made for the render is deleted, every material made for it
//                  removed, the bridge unloaded, the current layer restored and every list
//                  emptied, whatever the route was.
#pragma once

#include <cstdint>

#include "maxtypes.h"

namespace trellon {

class Trellon;

// The script expression that reads Corona's version, and the first version that instances.
inline constexpr const wchar_t* kCoronaVersionExpression =
    L"CoronaRenderer.CoronaFp.getVersionNumber()";
inline constexpr std::int64_t kCoronaInstancingVersion = 0x5100000000001LL;

void OnRenderStart(Trellon& object, TimeValue t);
void OnFrameStart(Trellon& object, TimeValue t);
void OnFrameEnd(Trellon& object);
void OnRenderEnd(Trellon& object);

}  // namespace trellon
