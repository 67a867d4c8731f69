// Car-paint materials: a class of V-Ray material that the colour variation does not recognise.
// A distribution object whose material tree holds one is offered a conversion before it is added
// (setup_ops.h). The conversion itself is not part of the module yet.
#pragma once

class INode;
class Mtl;

// The class name the host reports for a car-paint material.
extern const wchar_t* const kCarPaintClassName;

// TRUE when mtl, or any material below it (sub-materials, depth first in slot order), is a
// car-paint material. FALSE for null.
bool IsOrHoldsCarPaint(Mtl* mtl);
// TRUE when node's material tree holds a car-paint material; FALSE for a null node or one
// without a material.
bool HasCarPaint(INode* node);
