// Light items at render and export time: a light cannot be merged into a mesh, so every copy of a
// light item becomes a scene node of its own that shares the light's object (an instance, not a
// copy), placed where the placement walk puts the copy.
#pragma once

#include "matrix3.h"
#include "maxtypes.h"

class INode;

namespace trellon {

// A node for the copy of light `source` at the world transform `copyTM`, at time t: named "TL_"
// plus the source's name (made unique by the host), sharing the source's object, with a copy of
// its transform controller when it has one and its node properties, visible even when the source
// is hidden, with the source's object offset (its pivot moved, not its object), and placed at
// copyTM. Null without a source, an object or the host's interface.
INode* MakeLightNode(INode* source, const Matrix3& copyTM, TimeValue t);

}  // namespace trellon
