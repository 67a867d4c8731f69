#include "display/copy_proxy.h"

#include <algorithm>
#include <cstdint>
#include <span>

#include "display/proxy_draw.h"
#include "distribute/placement.h"
#include "object/build_settings.h"
#include "object/mesh_fit.h"
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

// The points one copy hands the viewport (proxy_draw.h): a dot, the box's two rings of four and
// four edges of two, the cloud's drawn points, or the bulb's eight outlines of twenty.
std::int64_t PointsPerCopy(DisplayMode mode, const ProxyItem& item, int pointCloud) {
    if (item.kind == 1) return 8 * static_cast<std::int64_t>(kBulbOutline.size());
    switch (mode) {
        case DisplayMode::Dots:
            return 1;
        case DisplayMode::Boxes:
            return 16;
        default:
            return CloudDrawCount(static_cast<int>(item.cloud.size()), pointCloud);
    }
}

}  // namespace

CopyProxyDrawer::CopyProxyDrawer(Trellon& object, TimeValue t, DisplayMode mode)
    : object_(object), t_(t), mode_(mode) {}

CopyProxyDrawer::~CopyProxyDrawer() = default;

void CopyProxyDrawer::Draw(ProxyDrawer drawer, GraphicsWindow& gw) {
    PlacementPass pass;
    if (!PassOf(drawer, pass)) return;
    if (!placement_) {
        placement_ = std::make_unique<Placement>(Placement::Prepare(object_, t_));
        const BuildSettings* settings = placement_->Settings();
        // The stored points of item i follow those of the items before it.
        cloudStart_.assign(1, 0);
        for (int i = 0; settings && i < placement_->ItemCount(); ++i) {
            const auto k = static_cast<std::size_t>(i);
            const int n = k < settings->cloudCounts.size() ? settings->cloudCounts[k] : 0;
            cloudStart_.push_back(cloudStart_.back() + std::max(n, 0));
        }
    }
    const BuildSettings* settings = placement_->Settings();
    if (settings == nullptr) return;
    const std::vector<Point3>& cloud = settings->cloudPoints;
    const int pointCloud = settings->pointCloud;
    std::vector<ProxyItem> items(static_cast<std::size_t>(placement_->ItemCount()));
    for (int i = 0; i < placement_->ItemCount(); ++i) {
        const PlacementItem& it = placement_->Item(i);
        ProxyItem& p = items[static_cast<std::size_t>(i)];
        p.kind = it.kind;
        p.boxMin = it.boxMin;
        p.boxMax = it.boxMax;
        // A block whose tables disagree with the counts draws the points it has.
        const int stored = static_cast<int>(cloud.size());
        const int begin = std::min(cloudStart_[static_cast<std::size_t>(i)], stored);
        const int end = std::min(cloudStart_[static_cast<std::size_t>(i) + 1], stored);
        p.cloud =
            std::span<const Point3>(cloud.data() + begin, static_cast<std::size_t>(end - begin));
    }
    // Count first: a drawing past what the viewport can be handed draws nothing and says so, once
    // for each count (the viewport redraws often).
    const PassCounts counts = placement_->Count(pass);
    MeshNeeds needs;
    for (std::size_t k = 0; k < counts.perItem.size() && k < items.size(); ++k)
        needs.points += counts.perItem[k] * PointsPerCopy(mode_, items[k], pointCloud);
    const FitCheck fit = CheckFit(needs);
    if (!fit.Fits()) {
        if (object_.RefusedProxyPoints != needs.points) {
            object_.RefusedProxyPoints = needs.points;
            ShowRefusal(object_, Counted(counts.total, L"copy", L"copies"), needs, fit,
                        L"the proxies");
        }
        return;
    }
    placement_->ForEachCopy(pass, [&](const PlacedCopy& copy) {
        if (copy.item < 0 || copy.item >= static_cast<int>(items.size())) return;
        DrawProxyCopy(gw, mode_, copy.item, items[static_cast<std::size_t>(copy.item)], copy.tm,
                      pointCloud);
    });
}

}  // namespace trellon
