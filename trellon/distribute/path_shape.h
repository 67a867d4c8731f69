// The path as the placement reads it: the object of the picked path node (Spline_Obj) evaluated
// at the build time, as a Bezier shape with its splines and interpolation steps.
#pragma once

#include "maxtypes.h"

class BezierShape;
class INode;
class Object;
class SplineShape;

namespace trellon {
class PathShape {
public:
    // The node's object evaluated at t (EvalWorldState). An object that is not a spline shape is
    // converted to one; a converted copy is owned here and deleted with this PathShape. No node,
    // or an object that cannot become a spline shape, gives no shape (the builders skip the
    // path).
    static PathShape Evaluate(INode* pathNode, TimeValue t);

    PathShape() = default;
    PathShape(PathShape&& other) noexcept;
    PathShape& operator=(PathShape&& other) noexcept;
    PathShape(const PathShape&) = delete;
    PathShape& operator=(const PathShape&) = delete;
    ~PathShape();

    // Null when there is no shape.
    const BezierShape* Shape() const;
    int SplineCount() const;

private:
    void Release();

    SplineShape* spline_ = nullptr;
    Object* owned_ = nullptr;  // the converted copy, when the conversion made one
};

}  // namespace trellon
