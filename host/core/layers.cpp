#include "layers.h"

#include <algorithm>

#include "inode.h"

namespace host {

BOOL Layer::SetName(const MSTR& name) {
    if (name.isNull()) return FALSE;
    name_ = name;
    return TRUE;
}

void Layer::Hide(bool hide, bool notify) {
    hidden_ = hide;
    if (notify) NotifyDependents(FOREVER, PART_HIDESTATE, REFMSG_CHANGE);
}

BOOL Layer::AddToLayer(INode* node) {
    if (!node) return FALSE;
    if (std::find(nodes_.begin(), nodes_.end(), node) != nodes_.end()) return TRUE;
    if (auto* old = dynamic_cast<Layer*>(node->GetReference(NODE_LAYER_REF)); old && old != this) {
        old->ForgetNode(node);
    }
    nodes_.push_back(node);
    node->ReplaceReference(NODE_LAYER_REF, this, FALSE);
    return TRUE;
}

BOOL Layer::DeleteFromLayer(INode* node) {
    auto it = std::find(nodes_.begin(), nodes_.end(), node);
    if (it == nodes_.end()) return FALSE;
    nodes_.erase(it);
    return TRUE;
}

void Layer::ForgetNode(INode* node) { nodes_.erase(std::remove(nodes_.begin(), nodes_.end(), node), nodes_.end()); }

LayerManager::LayerManager() {
    layers_.push_back(std::make_unique<Layer>(MSTR(_M("0"))));
    current_ = layers_.front().get();
}

LayerManager::~LayerManager() = default;

ILayer* LayerManager::CreateLayer() {
    MSTR name(_M("Layer001"));
    return CreateLayer(name);
}

ILayer* LayerManager::CreateLayer(MSTR& name) {
    if (name.isNull()) return nullptr;
    if (GetLayer(name)) {
        // Append the smallest free three-digit number, as new node names get.
        for (int n = 1;; ++n) {
            MSTR candidate;
            candidate.printf(_M("%ls%03d"), name.data(), n);
            if (!GetLayer(candidate)) {
                name = candidate;
                break;
            }
        }
    }
    layers_.push_back(std::make_unique<Layer>(name));
    ++created_;
    return layers_.back().get();
}

BOOL LayerManager::DeleteLayer(const MSTR& name) {
    for (std::size_t i = 1; i < layers_.size(); ++i) {
        if (layers_[i]->GetName() == name) {
            if (layers_[i]->GetNumNodes() > 0) return FALSE;  // only empty layers go
            if (current_ == layers_[i].get()) current_ = layers_.front().get();
            layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(i));
            return TRUE;
        }
    }
    return FALSE;
}

void LayerManager::SetCurrentLayer(const MSTR& name) {
    if (auto* l = dynamic_cast<Layer*>(GetLayer(name))) current_ = l;
}

void LayerManager::SetCurrentLayer() { current_ = layers_.front().get(); }

ILayer* LayerManager::GetLayer(const MSTR& name) const {
    for (const auto& l : layers_) {
        if (l->GetName() == name) return l.get();
    }
    return nullptr;
}

ILayer* LayerManager::GetLayer(int which) const {
    if (which < 0 || which >= static_cast<int>(layers_.size())) return nullptr;
    return layers_[static_cast<std::size_t>(which)].get();
}

}  // namespace host
