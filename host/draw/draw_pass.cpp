#include "draw_pass.h"

#include "Graphics/IRenderItemContainer.h"
#include "Graphics/UpdateDisplayContext.h"
#include "Graphics/UpdateNodeContext.h"
#include "inode.h"
#include "object.h"
#include "scene.h"
#include "strclass.h"
#include "viewport.h"

namespace host {
namespace {

class RenderItemList : public MaxSDK::Graphics::IRenderItemContainer {
public:
    std::size_t GetNumberOfRenderItems() const override { return items.size(); }
    MaxSDK::Graphics::RenderItemHandle GetRenderItem(std::size_t i) const override {
        return i < items.size() ? items[i] : MaxSDK::Graphics::RenderItemHandle();
    }
    void AddRenderItem(const MaxSDK::Graphics::RenderItemHandle& item) override {
        if (item.IsValid()) items.push_back(item);
    }
    void ClearAllRenderItems() override { items.clear(); }

    std::vector<MaxSDK::Graphics::RenderItemHandle> items;
};

// The shown nodes with an object at t.
template <class F>
void ForEachShownNode(Scene& scene, TimeValue t, F f) {
    for (Node* node : scene.Nodes()) {
        if (node->IsNodeHidden(TRUE)) continue;
        Object* obj = node->EvalWorldState(t).obj;
        if (obj != nullptr) f(node, obj);
    }
}

}  // namespace

Drawing DrawScene(Scene& scene, TopViewport& view, RecordingGraphicsWindow& gw, TimeValue t) {
    Drawing drawing;
    drawing.time = t;
    view.SetGraphicsWindow(&gw);
    MaxSDK::Graphics::UpdateDisplayContext context;
    context.SetDisplayTime(t);
    ForEachShownNode(scene, t, [&](Node* node, Object* obj) {
        NodeDrawing entry;
        entry.node = node;
        entry.name = ToUTF8(node->GetName());
        entry.wireColor = node->GetWireColor();
        if (obj->PrepareDisplay(context)) {
            MaxSDK::Graphics::UpdateNodeContext nodeContext(node);
            RenderItemList items;
            if (obj->UpdatePerNodeItems(context, nodeContext, items)) {
                entry.renderItems = std::move(items.items);
            }
        }
        gw.Take();
        entry.displayResult = obj->Display(t, node, &view, 0);
        entry.drawn = gw.Take();
        entry.objectTM = node->GetObjectTM(t);
        if (!entry.renderItems.empty() || !entry.drawn.Empty()) {
            drawing.nodes.push_back(std::move(entry));
        }
    });
    return drawing;
}

std::vector<INode*> HitTestScene(Scene& scene, TopViewport& view, RecordingGraphicsWindow& gw,
                                 TimeValue t, int type, int crossing, int flags, IPoint2* p) {
    std::vector<INode*> hits;
    view.SetGraphicsWindow(&gw);
    ForEachShownNode(scene, t, [&](Node* node, Object* obj) {
        if (obj->HitTest(t, node, type, crossing, flags, p, &view) != 0) hits.push_back(node);
    });
    return hits;
}

}  // namespace host
