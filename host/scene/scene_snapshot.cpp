#include "scene_snapshot.h"

#include <algorithm>

#include "layers.h"
#include "scene.h"
#include "units.h"

namespace host::scene_file {

SceneSnapshot::SceneSnapshot(Scene& scene) : scene_(scene) {
    GetMasterUnitInfo(&unitType_, &unitScale_);
    time_ = scene.GetTime();
    renderer_ = scene.CurrentRenderer();
    materials_ = scene.SceneMaterials();
    for (Node* n : scene.Nodes()) nodes_.push_back(n);
    LayerManager& layers = scene.Layers();
    for (int i = 0; i < layers.GetLayerCount(); ++i) {
        ILayer* l = layers.GetLayer(i);
        layers_.emplace_back(l->GetName(), l->IsHidden());
    }
    currentLayer_ = layers.GetCurrentLayer()->GetName();
}

void SceneSnapshot::Restore() {
    for (;;) {
        const std::vector<Node*> now = scene_.Nodes();
        auto it = std::find_if(now.rbegin(), now.rend(), [this](Node* n) {
            return std::find(nodes_.begin(), nodes_.end(), n) == nodes_.end();
        });
        if (it == now.rend()) break;
        scene_.DeleteNode(*it, FALSE);
    }
    const std::vector<Mtl*> materials = scene_.SceneMaterials();
    for (Mtl* m : materials) {
        if (std::find(materials_.begin(), materials_.end(), m) == materials_.end()) {
            scene_.RemoveSceneMaterial(m);
        }
    }
    LayerManager& layers = scene_.Layers();
    for (int i = layers.GetLayerCount() - 1; i >= 0; --i) {
        const MSTR name = layers.GetLayer(i)->GetName();
        const bool kept = std::any_of(layers_.begin(), layers_.end(),
                                      [&name](const auto& l) { return l.first == name; });
        if (!kept) layers.DeleteLayer(name);
    }
    for (const auto& [name, hidden] : layers_) {
        if (ILayer* l = layers.GetLayer(name)) l->Hide(hidden);
    }
    layers.SetCurrentLayer(currentLayer_);
    SetMasterUnitInfo(unitType_, unitScale_);
    scene_.SetTime(time_, FALSE);
    scene_.SetCurrentRenderer(renderer_);
}

}  // namespace host::scene_file
