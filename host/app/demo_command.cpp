#include "demo_command.h"

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <ostream>
#include <vector>

#include "build_command.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "module_loader.h"
#include "render_run.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "view_server.h"

namespace host {
namespace {

// Writes the embedded assets under dir, making their folders; false with the reason in error.
bool WriteAssets(const std::filesystem::path& dir, std::string& error) {
    for (const DemoAsset& asset : DemoAssets()) {
        const std::filesystem::path file = dir / asset.path;
        std::error_code ec;
        std::filesystem::create_directories(file.parent_path(), ec);
        if (ec) {
            error = file.parent_path().string() + ": cannot make the folder: " + ec.message();
            return false;
        }
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(asset.data),
                  static_cast<std::streamsize>(asset.size));
        out.close();
        if (!out) {
            error = file.string() + ": cannot be written";
            return false;
        }
    }
    return true;
}

void PrintTable(std::ostream& out, const std::vector<TrellonReport>& reports) {
    out << std::left << std::setw(16) << "object" << std::setw(24) << "item" << std::right
        << std::setw(8) << "copies" << std::setw(11) << "vertices" << std::setw(11) << "faces"
        << std::setw(12) << "build (s)" << '\n';
    for (const TrellonReport& rep : reports) {
        out << std::left << std::setw(16) << rep.node << std::setw(24) << "(all)" << std::right
            << std::setw(8) << "" << std::setw(11) << rep.vertices << std::setw(11) << rep.faces
            << std::setw(12) << std::fixed << std::setprecision(4) << rep.seconds << '\n';
        // The placement walk's own counts, through the object's published copyCounts.
        for (const ItemCopies& item : rep.items) {
            const std::string name =
                item.role == "object" ? item.node : item.node + " (" + item.role + ")";
            out << std::left << std::setw(16) << "" << std::setw(24) << name << std::right
                << std::setw(8) << item.copies << '\n';
        }
        for (const MessageRecord& m : rep.messages) {
            out << "  message \"" << ToUTF8(m.caption) << "\": " << ToUTF8(m.text) << '\n';
        }
    }
}

// How to run this very program from the current folder: its path relative to the folder when it
// lies beneath it (build/default/bin/trellon-host), else its absolute path.
std::string ProgramAsTyped() {
    const std::filesystem::path exe = ProgramPath();
    if (exe.empty()) return "trellon-host";
    std::error_code ec;
    const std::filesystem::path here = std::filesystem::current_path(ec);
    if (ec) return exe.string();
    const std::filesystem::path rel = exe.lexically_relative(here);
    if (rel.empty() || *rel.begin() == "..") return exe.string();
    return rel.string();
}

// The first Corona version that reads instance lists.
constexpr std::int64_t kFirstInstancingCorona = 0x5100000000001LL;

}  // namespace

int BuildDemo(Scene& scene, const std::string& dir, std::ostream& out, std::ostream& err,
              DemoFiles* files) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        err << "trellon-host: " << dir << ": cannot make the folder: " << ec.message() << '\n';
        return 1;
    }
    const std::string glb = (std::filesystem::path(dir) / "demo.glb").string();
    const std::string saved = (std::filesystem::path(dir) / "demo.scene.json").string();
    // The scene's meshes and textures first: it names them relative to its own folder, which
    // is DIR for the embedded text as for the scene saved there.
    std::string error;
    if (!WriteAssets(dir, error)) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    try {
        LoadSceneText(DemoSceneText(), saved, scene);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }

    const TimeValue t = scene.GetTime();
    const SceneEvaluation evaluation = EvaluateWithReports(scene, t);
    // The file is what a renderer that instances draws: each item's mesh once and its copies
    // as instances, with the colour variants a render hands out. The scene keeps its own
    // renderer.
    const RendererInfo sceneRenderer = scene.CurrentRenderer();
    scene.SetCurrentRenderer(RendererInfo{kCoronaRendererClassID, kFirstInstancingCorona});
    bool written = false;
    RenderFrames(scene, t, t, [&](FrameDrawing& frame) {
        written = WriteGlb(frame.nodes, frame.instanced, scene, glb, error);
    });
    scene.SetCurrentRenderer(sceneRenderer);
    if (!written) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    try {
        SaveSceneFile(scene, saved);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    PrintTable(out, evaluation.reports);
    out << "wrote " << glb << " and " << saved << '\n';
    if (files) *files = {glb, saved};
    return 0;
}

int RunDemo(const std::string& modulePath, const std::string& dir, bool view, int port,
            std::ostream& out, std::ostream& err) {
    DemoFiles files;
    const int status = WithModule(
        modulePath, err, [&](Scene& scene) { return BuildDemo(scene, dir, out, err, &files); });
    if (status != 0 || !view) {
        if (status == 0) {
            out << "look at it with: " << ProgramAsTyped() << " view " << files.glb << '\n';
        }
        return status;
    }
    ViewOptions options;
    options.glbPath = files.glb;
    options.port = port;
    return RunView(options, out, err);
}

}  // namespace host
