#include "display/display_dispatch.h"

#include "display/copy_proxy.h"
#include "display/proxy_draw.h"
#include "display/sweep_proxy.h"
#include "iparamb2.h"
#include "object/display_mode.h"
#include "object/param_ids.h"
#include "object/trellon.h"

namespace trellon {

std::vector<ProxyDrawer> DisplayDrawers(IParamBlock2& pb, TimeValue t) {
    std::vector<ProxyDrawer> drawers;
    if (pb.Count(End_Nodes) > 0) drawers.push_back(ProxyDrawer::Ends);
    if (pb.Count(Post_Nodes) > 0) {
        drawers.push_back(ProxyDrawer::Posts);
    } else {
        drawers.push_back(pb.GetInt(Geo_Pattern, t) != 2 ? ProxyDrawer::Sequence
                                                         : ProxyDrawer::PerObject);
    }
    if (pb.Count(Sweep_Nodes) > 0) drawers.push_back(ProxyDrawer::Sweeps);
    return drawers;
}

void RunDisplayDispatcher(Trellon& object, TimeValue t, GraphicsWindow& gw, INode* /*node*/) {
    IParamBlock2* pb = object.pblock2;
    if (pb == nullptr) return;
    const DisplayMode mode = ReadDisplayMode(*pb, t);
    if (!IsProxyMode(mode)) return;
    const std::vector<ProxyDrawer> drawers = DisplayDrawers(*pb, t);
    CopyProxyDrawer copies(object, t, mode);
    for (ProxyDrawer drawer : drawers) {
        if (drawer == ProxyDrawer::Sweeps) {
            DrawSweepProxies(object, t, gw, mode);
        } else {
            copies.Draw(drawer, gw);
        }
    }
}

}  // namespace trellon
