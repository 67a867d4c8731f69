#include "display/copy_proxy.h"

#include <algorithm>
#include <span>

#include "display/proxy_draw.h"
#include "distribute/placement.h"
#include "iparamb2.h"
#include "object/param_ids.h"
#include "object/trellon.h"

namespace trellon {
namespace {

bool PassOf(ProxyDrawer drawer, PlacementPass& pass) {
    switch (drawer) {
        case ProxyDrawer::Ends:
            pass = PlacementPass::Ends;
            return true;
        case ProxyDrawer::Posts:
            pass = PlacementPass::Posts;
            return true;
        case ProxyDrawer::Sequence:
            pass = PlacementPass::Sequence;
            return true;
        case ProxyDrawer::PerObject:
            pass = PlacementPass::PerObject;
            return true;
        case ProxyDrawer::Sweeps:
            break;
    }
    return false;
}

}  // namespace

CopyProxyDrawer::CopyProxyDrawer(Trellon& object, TimeValue t, int mode)
    : object_(object), t_(t), mode_(mode) {}

CopyProxyDrawer::~CopyProxyDrawer() = default;

void CopyProxyDrawer::Draw(ProxyDrawer drawer, GraphicsWindow& gw) {
    PlacementPass pass;
    if (!PassOf(drawer, pass) || object_.pblock2 == nullptr) return;
    IParamBlock2& pb = *object_.pblock2;
    if (!placement_) {
        placement_ = std::make_unique<Placement>(Placement::Prepare(object_, t_));
        pointCloud_ = pb.GetInt(PointCloud, t_);
        // The stored points of item i follow those of the items before it.
        const int items = placement_->ItemCount();
        cloudStart_.assign(1, 0);
        for (int i = 0; i < items; ++i) {
            const int n = i < pb.Count(Item_Cloud_Count) ? pb.GetInt(Item_Cloud_Count, t_, i) : 0;
            cloudStart_.push_back(cloudStart_.back() + std::max(n, 0));
        }
        const int stored = pb.Count(Cloud_Points);
        cloud_.resize(static_cast<std::size_t>(stored));
        for (int i = 0; i < stored; ++i)
            cloud_[static_cast<std::size_t>(i)] = pb.GetPoint3(Cloud_Points, t_, i);
    }
    std::vector<ProxyItem> items(static_cast<std::size_t>(placement_->ItemCount()));
    for (int i = 0; i < placement_->ItemCount(); ++i) {
        const PlacementItem& it = placement_->Item(i);
        ProxyItem& p = items[static_cast<std::size_t>(i)];
        p.kind = it.kind;
        p.boxMin = it.boxMin;
        p.boxMax = it.boxMax;
        // A block whose tables disagree with the counts draws the points it has.
        const int stored = static_cast<int>(cloud_.size());
        const int begin = std::min(cloudStart_[static_cast<std::size_t>(i)], stored);
        const int end = std::min(cloudStart_[static_cast<std::size_t>(i) + 1], stored);
        p.cloud =
            std::span<const Point3>(cloud_.data() + begin, static_cast<std::size_t>(end - begin));
    }
    placement_->ForEachCopy(pass, [&](const PlacedCopy& copy) {
        if (copy.item < 0 || copy.item >= static_cast<int>(items.size())) return;
        DrawProxyCopy(gw, mode_, copy.item, items[static_cast<std::size_t>(copy.item)], copy.tm,
                      pointCloud_);
    });
}

}  // namespace trellon
