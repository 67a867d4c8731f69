// The scene layer "Kavo_Trellon_Objects": it holds every Trellon object's node and the nodes the
// objects use as items and sweep shapes, so the user can hide or freeze them together.
#pragma once

#include "strclass.h"

class ILayer;
class INode;

namespace trellon {
// The layer's name.
extern const MCHAR* const kTrellonLayerName;

// Puts node on the layer. The layer is looked up by name and created when the scene has none;
// the layer that was current before is current again afterwards, so nodes the user makes next
// still go where they went before. Returns the layer, or null (nothing changed) for a null node or
// a host without a layer manager.
ILayer* PutOnTrellonLayer(INode* node);

}  // namespace trellon
