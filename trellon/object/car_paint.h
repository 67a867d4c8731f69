// Car-paint materials: a class of V-Ray material that the colour variation does not recognise.
// A distribution object whose material tree holds one is offered a conversion to an ordinary
// VRayMtl before it is added (setup_ops.h).
#pragma once

class INode;
class Mtl;

namespace trellon {
// The class name the host reports for a car-paint material.
extern const wchar_t* const kCarPaintClassName;

// TRUE when mtl, or any material below it (sub-materials, depth first in slot order), is a
// car-paint material. FALSE for null.
bool IsOrHoldsCarPaint(Mtl* mtl);
// TRUE when node's material tree holds a car-paint material; FALSE for a null node or one
// without a material.
bool HasCarPaint(INode* node);

// Replaces every car paint of node's material tree by a VRayMtl of the same name and diffuse
// colour (sub-material 0, front face), with reflection colour grey 84/255 and reflection
// glossiness 0.82 (block 0 parameters 2 and 3), made at the host's current time. A car paint at
// the top becomes the node's material; one below keeps its slot, and the node keeps its
// material. Nothing happens without a node or material; a car paint the host cannot replace (no
// VRayMtl class) stays.
void ConvertCarPaint(INode* node);

}  // namespace trellon
