// The scene's layers. Layer "0" always exists and cannot be deleted; a node always lies on one
// layer (the current layer when the node was made).
#pragma once

#include <memory>
#include <vector>

#include "ilayer.h"
#include "ilayermanager.h"

namespace host {

class Layer : public ILayer {
public:
    explicit Layer(const MSTR& name) : name_(name) {}

    MSTR GetName() const override { return name_; }
    BOOL SetName(const MSTR& name) override;
    bool IsHidden(bool /*checkParent*/ = false) const override { return hidden_; }
    void Hide(bool hide, bool notify = true) override;
    bool IsFrozen(bool /*checkParent*/ = false) const override { return frozen_; }
    void Freeze(bool freeze, bool /*notify*/ = true) override { frozen_ = freeze; }
    BOOL IsRenderable() const override { return renderable_ ? TRUE : FALSE; }
    void SetRenderable(BOOL onOff) override { renderable_ = onOff != 0; }
    // Moves node onto this layer (off the one it was on).
    BOOL AddToLayer(INode* node) override;
    BOOL DeleteFromLayer(INode* node) override;
    int GetNumNodes() const override { return static_cast<int>(nodes_.size()); }

    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
    void GetClassName(MSTR& s) override { s = MSTR(_M("Layer")); }

    const std::vector<INode*>& Nodes() const { return nodes_; }
    void ForgetNode(INode* node);

private:
    MSTR name_;
    bool hidden_ = false;
    bool frozen_ = false;
    bool renderable_ = true;
    std::vector<INode*> nodes_;
};

class LayerManager : public ILayerManager {
public:
    LayerManager();
    ~LayerManager() override;

    ILayer* CreateLayer() override;
    // Creates a layer with this name; a name in use is made unique first (and written back).
    ILayer* CreateLayer(MSTR& name) override;
    BOOL DeleteLayer(const MSTR& name) override;
    void SetCurrentLayer(const MSTR& name) override;
    void SetCurrentLayer() override;
    ILayer* GetCurrentLayer() const override { return current_; }
    ILayer* GetLayer(const MSTR& name) const override;
    ILayer* GetLayer(int which) const override;
    int GetLayerCount() override { return static_cast<int>(layers_.size()); }
    ILayer* GetRootLayer() const override { return layers_.front().get(); }

    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
    // How many layers were created (layer "0" not counted): what tests of "created once" read.
    int CreatedCount() const { return created_; }

private:
    std::vector<std::unique_ptr<Layer>> layers_;
    Layer* current_ = nullptr;
    int created_ = 0;
};

}  // namespace host
