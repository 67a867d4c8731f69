// A render item container that keeps what it is given, as the viewport's own list does.
#pragma once

#include <cstddef>
#include <vector>

#include "Graphics/IRenderItemContainer.h"
#include "Graphics/RenderItemHandle.h"

namespace support {

class ItemList : public MaxSDK::Graphics::IRenderItemContainer {
public:
    std::size_t GetNumberOfRenderItems() const override { return items.size(); }
    MaxSDK::Graphics::RenderItemHandle GetRenderItem(std::size_t i) const override {
        return i < items.size() ? items[i] : MaxSDK::Graphics::RenderItemHandle();
    }
    void AddRenderItem(const MaxSDK::Graphics::RenderItemHandle& item) override {
        items.push_back(item);
    }
    void ClearAllRenderItems() override { items.clear(); }
    std::vector<MaxSDK::Graphics::RenderItemHandle> items;
};

}  // namespace support
