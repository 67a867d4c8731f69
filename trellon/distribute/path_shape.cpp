#include "distribute/path_shape.h"

#include <utility>

#include "inode.h"
#include "object.h"
#include "shape.h"
#include "splshape.h"

namespace trellon {
PathShape PathShape::Evaluate(INode* pathNode, TimeValue t) {
    PathShape path;
    if (!pathNode) return path;
    Object* evaluated = pathNode->EvalWorldState(t).obj;
    if (!evaluated) return path;
    if (evaluated->ClassID() == splineShapeClassID) {
        path.spline_ = static_cast<SplineShape*>(evaluated);
        return path;
    }
    if (!evaluated->CanConvertToType(splineShapeClassID)) return path;
    Object* converted = evaluated->ConvertToType(t, splineShapeClassID);
    if (!converted || converted->ClassID() != splineShapeClassID) {
        // A conversion that did not give a spline shape is of no use; a new object is freed.
        if (converted && converted != evaluated) converted->DeleteThis();
        return path;
    }
    path.spline_ = static_cast<SplineShape*>(converted);
    if (converted != evaluated) path.owned_ = converted;
    return path;
}

PathShape::PathShape(PathShape&& other) noexcept
    : spline_(std::exchange(other.spline_, nullptr)),
      owned_(std::exchange(other.owned_, nullptr)) {}

PathShape& PathShape::operator=(PathShape&& other) noexcept {
    if (this != &other) {
        Release();
        spline_ = std::exchange(other.spline_, nullptr);
        owned_ = std::exchange(other.owned_, nullptr);
    }
    return *this;
}

PathShape::~PathShape() { Release(); }

void PathShape::Release() {
    if (owned_) owned_->DeleteThis();
    owned_ = nullptr;
    spline_ = nullptr;
}

const BezierShape* PathShape::Shape() const { return spline_ ? &spline_->shape : nullptr; }

int PathShape::SplineCount() const { return spline_ ? spline_->shape.SplineCount() : 0; }

}  // namespace trellon
