#include "distribute/working_path_cache.h"

#include "shape.h"

namespace trellon {
WorkingPathCache::WorkingPathCache(Trellon& object, const BezierShape* shape, TimeValue t)
    : object_(&object), shape_(shape), t_(t) {}

WorkingPathCache::WorkingPathCache(WorkingPathCache&&) noexcept = default;
WorkingPathCache& WorkingPathCache::operator=(WorkingPathCache&&) noexcept = default;
WorkingPathCache::~WorkingPathCache() = default;

int WorkingPathCache::SplineCount() const { return shape_ ? shape_->SplineCount() : 0; }

const WorkingPath& WorkingPathCache::Get(int index, float d) {
    if (index < 0 || index >= SplineCount()) return empty_;
    // A placement asks for a handful of offsets (the global one, one per item at most), so a
    // linear search is all it needs. Offsets compare exactly: the same sum gives the same path.
    for (const Entry& e : entries_) {
        if (e.index == index && e.offset == d) return e.path;
    }
    entries_.push_back(Entry{index, d, WorkingPath::Build(*object_, *shape_, index, d, t_)});
    return entries_.back().path;
}

std::vector<float> WorkingPathCache::Lengths(float d) {
    std::vector<float> lengths;
    for (int i = 0; i < SplineCount(); ++i) lengths.push_back(Get(i, d).Length());
    return lengths;
}

}  // namespace trellon
