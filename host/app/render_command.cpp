#include "render_command.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <optional>
#include <string>

#include "build_command.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "maxapi.h"
#include "render_run.h"

namespace host {
namespace {

using json = nlohmann::ordered_json;

constexpr std::int64_t kFirstInstancingCorona = 0x5100000000001LL;

// "A-B" or "A", frame numbers; false for anything else or B < A.
bool ParseFrames(const std::string& text, int& a, int& b) {
    const std::size_t dash = text.find('-', 1);
    try {
        std::size_t used = 0;
        a = std::stoi(text.substr(0, dash), &used);
        if (used != (dash == std::string::npos ? text.size() : dash)) return false;
        b = a;
        if (dash != std::string::npos) {
            const std::string rest = text.substr(dash + 1);
            b = std::stoi(rest, &used);
            if (used != rest.size()) return false;
        }
    } catch (const std::exception&) {
        return false;
    }
    return b >= a;
}

json ReportJson(const RenderResult& result, const std::string& output) {
    json doc = json::object();
    doc["renderer"] = result.renderer;
    json frames = json::array();
    for (const FrameReport& f : result.frames) {
        json objects = json::array();
        for (const ObjectRoute& r : f.objects) {
            json sources = json::array();
            for (const auto& [name, n] : r.perSource)
                sources.push_back({{"source", name}, {"instances", n}});
            objects.push_back({{"node", r.node},
                               {"route", r.route},
                               {"instances", r.instances},
                               {"sources", std::move(sources)},
                               {"nodesMade", r.nodesMade}});
        }
        frames.push_back({{"frame", f.time / GetTicksPerFrame()},
                          {"time", f.time},
                          {"objects", std::move(objects)}});
    }
    doc["frames"] = std::move(frames);
    json left = json::object();
    for (const auto& [name, n] : result.nodesLeftPerObject) left[name] = n;
    doc["temporaryNodesLeft"] = result.nodesLeft;
    doc["temporaryNodesLeftPerObject"] = std::move(left);
    doc["output"] = output;
    return doc;
}

}  // namespace

bool ParseRendererName(const std::string& text, RendererInfo& renderer) {
    const std::size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    for (const RendererName& r : kRendererNames) {
        if (name != r.name) continue;
        renderer = RendererInfo{r.classId, 0};
        if (r.classId != kCoronaRendererClassID) return colon == std::string::npos;
        renderer.version = kFirstInstancingCorona;
        if (colon == std::string::npos) return true;
        const std::string version = text.substr(colon + 1);
        if (version.empty()) return false;
        char* end = nullptr;
        const long long v = std::strtoll(version.c_str(), &end, 0);
        if (*end != '\0') return false;
        renderer.version = v;
        return true;
    }
    return false;
}

int RenderScene(Scene& scene, const RenderOptions& options, std::ostream& out, std::ostream& err) {
    std::optional<RendererInfo> renderer;
    if (!options.renderer.empty()) {
        RendererInfo r;
        if (!ParseRendererName(options.renderer, r)) {
            err << "trellon-host: --renderer: \"" << options.renderer
                << "\" is not a renderer (scanline, vray, corona or corona:VERSION)\n";
            return 1;
        }
        renderer = r;
    }
    int first = 0, last = 0;
    const bool frameRange = !options.frames.empty();
    if (frameRange && !ParseFrames(options.frames, first, last)) {
        err << "trellon-host: --frames: \"" << options.frames
            << "\" is not a frame range A-B with A <= B\n";
        return 1;
    }
    if (const int status = LoadInto(scene, options.scene, err); status != 0) return status;
    if (renderer) scene.SetCurrentRenderer(*renderer);
    // What the viewports show once the file is open (their images loaded among it), as a user
    // rendering would have it.
    EvaluateShownNodes(scene, scene.GetTime());
    const int tpf = GetTicksPerFrame();
    if (!frameRange) first = last = scene.GetTime() / tpf;

    std::string writeError;
    bool written = false;
    const RenderResult result =
        RenderFrames(scene, first * tpf, last * tpf, [&](FrameDrawing& frame) {
            if (written || options.output.empty()) return;
            written = true;
            if (!WriteGlb(frame.nodes, frame.instanced, scene, options.output, writeError))
                written = false;
        });
    if (!options.output.empty() && !written) {
        err << "trellon-host: "
            << (writeError.empty() ? options.output + ": not written" : writeError) << '\n';
        return 1;
    }
    if (options.json) {
        out << ReportJson(result, options.output).dump(2) << '\n';
        return 0;
    }
    out << "renderer: " << result.renderer << '\n';
    for (const FrameReport& f : result.frames) {
        out << "frame " << f.time / tpf << ":\n";
        for (const ObjectRoute& r : f.objects) {
            out << "  " << r.node << ": " << r.route;
            if (r.route == "instances" || r.route == "bridge") {
                out << ", " << r.instances << " instances";
                for (const auto& [name, n] : r.perSource) out << " (" << name << " " << n << ")";
            }
            if (r.nodesMade > 0) out << ", " << r.nodesMade << " nodes made";
            out << '\n';
        }
    }
    out << "temporary nodes left: " << result.nodesLeft << '\n';
    if (!options.output.empty()) out << "wrote " << options.output << '\n';
    return 0;
}

int RunRender(const std::string& modulePath, const RenderOptions& options, std::ostream& out,
              std::ostream& err) {
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return RenderScene(scene, options, out, err); });
}

}  // namespace host
