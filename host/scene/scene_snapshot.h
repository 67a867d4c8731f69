// Rollback of a scene load that fails half-way.
#pragma once

#include <utility>
#include <vector>

#include "renderers.h"
#include "strclass.h"
#include "units.h"

class Mtl;

namespace host {
class Node;
class Scene;
}  // namespace host

namespace host::scene_file {

// What a load may change in the scene beyond its new nodes, kept so that a load that fails
// half-way gives it back: units, time, renderer, materials, layers and the current layer.
class SceneSnapshot {
public:
    explicit SceneSnapshot(Scene& scene);

    // Deletes every node made since (newest first, asking the scene again after each deletion,
    // since deleting one may take others along), then every material and layer added, and
    // puts back what was changed.
    void Restore();

private:
    Scene& scene_;
    int unitType_ = UNITS_INCHES;
    float unitScale_ = 1.0f;
    TimeValue time_ = 0;
    RendererInfo renderer_;
    std::vector<Mtl*> materials_;
    std::vector<Node*> nodes_;
    std::vector<std::pair<MSTR, bool>> layers_;
    MSTR currentLayer_;
};

}  // namespace host::scene_file
