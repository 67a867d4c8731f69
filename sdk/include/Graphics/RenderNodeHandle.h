// RenderNodeHandle: the viewport's handle of a scene node it draws.
#pragma once

class INode;

namespace MaxSDK::Graphics {

class RenderNodeHandle {
public:
    RenderNodeHandle() = default;
    explicit RenderNodeHandle(INode* node) : node_(node) {}
    bool IsValid() const { return node_ != nullptr; }
    // The scene node behind the handle (null for an empty handle).
    INode* GetMaxNode() const { return node_; }

private:
    INode* node_ = nullptr;
};

}  // namespace MaxSDK::Graphics
