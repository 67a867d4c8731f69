// UpdateNodeContext: the node a per-node update (UpdatePerNodeItems) is for. The host makes one
// per node it draws.
#pragma once

#include "RenderNodeHandle.h"

namespace MaxSDK::Graphics {

class UpdateNodeContext {
public:
    UpdateNodeContext() = default;
    explicit UpdateNodeContext(INode* node) : renderNode_(node) {}
    RenderNodeHandle& GetRenderNode() { return renderNode_; }
    const RenderNodeHandle& GetRenderNode() const { return renderNode_; }

private:
    RenderNodeHandle renderNode_;
};

}  // namespace MaxSDK::Graphics
