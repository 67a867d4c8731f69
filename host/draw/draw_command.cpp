#include "draw_command.h"

#include <memory>
#include <ostream>

#include "draw_pass.h"
#include "drawing_writer.h"
#include "module_loader.h"
#include "scene.h"
#include "scene_reader.h"
#include "viewport.h"

namespace host {

int RunDraw(const std::string& modulePath, const std::string& scenePath, const std::string& outPath,
            std::optional<TimeValue> time, std::ostream& out, std::ostream& err) {
    std::string error;
    const std::unique_ptr<PluginModule> module = PluginModule::Load(modulePath, error);
    if (!module) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    // The scene goes before the module: its objects belong to the module's code.
    auto scene = std::make_unique<Scene>();
    for (int i = 0; i < module->NumClasses(); ++i) {
        if (ClassDesc* cd = module->Class(i)) scene->RegisterClass(cd);
    }
    try {
        LoadSceneFile(scenePath, *scene);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    if (time) scene->SetTime(*time, FALSE);
    const TimeValue t = scene->GetTime();

    TopViewport view;
    RecordingGraphicsWindow gw(view);
    const Drawing drawing = DrawScene(*scene, view, gw, t);
    if (!outPath.empty()) {
        if (!WriteDrawing(drawing, outPath, error)) {
            err << "trellon-host: " << error << '\n';
            return 1;
        }
        out << "wrote " << outPath << " (" << drawing.nodes.size() << " nodes at time " << t
            << ")\n";
        return 0;
    }
    out << "time " << t << '\n';
    for (const NodeDrawing& n : drawing.nodes) {
        out << n.name << ": " << n.drawn.markers.size() << " markers, " << n.drawn.polylines.size()
            << " polylines, " << n.renderItems.size() << " render items\n";
    }
    return 0;
}

}  // namespace host
