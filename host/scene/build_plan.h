// Building a checked ScenePlan into the scene: units, time, renderer, layers, materials, then
// every node with its object, and last the set-up of the Trellon objects between the file-open
// notifications. Only a Trellon object's own set-up can still fail (SceneFileError with the
// place in the file); the caller then takes the load out again with a SceneSnapshot.
#pragma once

#include "scene_plan.h"

namespace host {
class Scene;
}  // namespace host

namespace host::scene_file {

void Apply(const ScenePlan& plan, Scene& scene);

}  // namespace host::scene_file
