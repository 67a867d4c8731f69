// The working paths of one placement, built once per (spline, sideways offset) and kept for the
// placement's life: the copies of every item at one offset, the counting walk and the placing
// walk, and the build driver's slot count all share them.
#pragma once

#include <deque>
#include <vector>

#include "distribute/working_path.h"
#include "maxtypes.h"

class BezierShape;

namespace trellon {

class Trellon;
class WorkingPathCache {
public:
    // Paths of `shape` (which must outlive the cache) for `object` at time t. A null shape has
    // no splines.
    WorkingPathCache(Trellon& object, const BezierShape* shape, TimeValue t);
    WorkingPathCache(WorkingPathCache&&) noexcept;
    WorkingPathCache& operator=(WorkingPathCache&&) noexcept;
    ~WorkingPathCache();

    int SplineCount() const;
    // The working path of spline `index` offset by d (WorkingPath::Build), built on first use;
    // an index outside the shape gives an empty path.
    const WorkingPath& Get(int index, float d);
    // The lengths of every spline's working path at offset d, in spline order.
    std::vector<float> Lengths(float d);

private:
    struct Entry {
        int index;
        float offset;
        WorkingPath path;
    };
    Trellon* object_;
    const BezierShape* shape_;
    TimeValue t_;
    std::deque<Entry> entries_;  // a deque: the paths handed out stay where they are
    WorkingPath empty_;
};

}  // namespace trellon
