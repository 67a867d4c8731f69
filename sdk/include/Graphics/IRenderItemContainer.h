// IRenderItemContainer: where an object's per-node update puts the items the viewport draws for
// the node. The host implements it.
#pragma once

#include <cstddef>

#include "RenderItemHandle.h"

namespace MaxSDK::Graphics {

class IRenderItemContainer {
public:
    virtual ~IRenderItemContainer() = default;
    virtual std::size_t GetNumberOfRenderItems() const = 0;
    // Item i; an empty handle when i is out of range.
    virtual RenderItemHandle GetRenderItem(std::size_t i) const = 0;
    virtual void AddRenderItem(const RenderItemHandle& item) = 0;
    virtual void ClearAllRenderItems() = 0;
};

}  // namespace MaxSDK::Graphics
