#include "display/sweep_proxy.h"

#include <cstdint>
#include <vector>

#include "colour/palette.h"
#include "display/proxy_draw.h"
#include "graphwin.h"
#include "object/mesh_fit.h"
#include "object/trellon.h"
#include "sweep/sweep_walk.h"

namespace trellon {
namespace {

void DrawRuns(GraphicsWindow& gw, const SweepPass& pass, DisplayMode mode) {
    for (int j = 0; j < static_cast<int>(pass.lines.size()); ++j) {
        const ProfileLine& line = pass.lines[static_cast<std::size_t>(j)];
        const int points = line.Points();
        if (points == 0) continue;
        std::vector<Point3> ring(static_cast<std::size_t>(points));
        std::vector<Point3> first(ring.size());
        std::vector<Point3> previous(ring.size());
        for (int run = 0; run < static_cast<int>(pass.runs.size()); ++run) {
            const PathRun& path = pass.runs[static_cast<std::size_t>(run)];
            const int n = static_cast<int>(path.samples.size());
            for (int i = 0; i < n; ++i) {
                pass.Ring(j, run, i, ring.data());
                if (mode != DisplayMode::Boxes) {
                    for (Point3& p : ring) gw.marker(&p, DOT_MRKR);
                    continue;
                }
                if (points > 1) gw.polyline(points, ring.data(), nullptr, line.closed, nullptr);
                if (i > 0) {
                    for (int m = 0; m < points; ++m) {
                        Point3 seg[2] = {previous[static_cast<std::size_t>(m)],
                                         ring[static_cast<std::size_t>(m)]};
                        gw.polyline(2, seg, nullptr, FALSE, nullptr);
                    }
                } else {
                    first = ring;
                }
                previous.swap(ring);
            }
            // A loop's last ring joins its first.
            if (mode == DisplayMode::Boxes && path.loop && n > 1) {
                for (int m = 0; m < points; ++m) {
                    Point3 seg[2] = {previous[static_cast<std::size_t>(m)],
                                     first[static_cast<std::size_t>(m)]};
                    gw.polyline(2, seg, nullptr, FALSE, nullptr);
                }
            }
        }
    }
}

}  // namespace

void DrawSweepProxies(Trellon& object, TimeValue t, GraphicsWindow& gw, DisplayMode mode) {
    if (!IsProxyMode(mode)) return;
    SweepOptions options;
    options.honourSolo = true;
    const std::vector<SweepPass> passes = PrepareSweepPasses(object, t, options);
    // Count first, as the copies' drawers do: each ring point once as a dot, or about three
    // times as the boxes mode's ring and its two joins.
    MeshNeeds needs;
    needs.points = TotalCounts(passes).verts * (mode == DisplayMode::Boxes ? 3 : 1);
    const FitCheck fit = CheckFit(needs);
    if (!fit.Fits()) {
        if (object.RefusedProxyPoints != needs.points) {
            object.RefusedProxyPoints = needs.points;
            ShowRefusal(object,
                        Counted(static_cast<std::int64_t>(passes.size()), L"sweep", L"sweeps"),
                        needs, fit, L"the proxies");
        }
        return;
    }
    for (const SweepPass& pass : passes) {
        const Color c = PaletteColour(PaletteEntryForItem(pass.sweep + 1));
        gw.setColor(LINE_COLOR, c.r, c.g, c.b);
        DrawRuns(gw, pass, mode);
    }
}

}  // namespace trellon
