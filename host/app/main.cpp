// trellon-host: the headless host program. Each subcommand loads the module the way the host
// does and works on scenes. Exit status: 0 success, 1 bad input or a command that could not
// finish (running out of memory; one line on standard error), 2 bad usage.
#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>
#include <string>

#include "build_command.h"
#include "command_failure.h"
#include "commands.h"
#include "demo_command.h"
#include "draw_command.h"
#include "edit_server.h"
#include "export_command.h"
#include "params_command.h"
#include "render_command.h"
#include "ui_command.h"
#include "view_server.h"

int main(int argc, char** argv) {
    CLI::App app{"trellon-host: a headless host for the Trellon module"};
    app.require_subcommand(1);
    std::string modulePath;
    app.add_option("--module", modulePath,
                   "the module to load (default: trellon.dlo beside this program, or "
                   "$TRELLON_MODULE)");

    auto* classes =
        app.add_subcommand("classes", "load the module and list the classes it publishes");

    bool paramsJson = false;
    auto* paramsCmd = app.add_subcommand(
        "params",
        "list every parameter of the Trellon object: ID, name, type, default, range, "
        "table layout and meaning");
    paramsCmd->add_flag("--json", paramsJson, "print one JSON object instead of the listing");

    std::string demoDir = "out";
    bool demoView = false;
    int demoPort = 8765;
    auto* demoCmd = app.add_subcommand(
        "demo",
        "build the embedded default scene (a garden fence and a flower bed) and write "
        "DIR/demo.glb, DIR/demo.scene.json and its meshes and textures in "
        "DIR/demo-assets");
    demoCmd->add_option("-o,--output", demoDir, "the folder to write into (default: out)");
    demoCmd->add_flag("--view", demoView, "serve the result with the viewer afterwards");
    demoCmd->add_option("--port", demoPort, "the viewer's port with --view (default 8765)")
        ->check(CLI::Range(0, 65535));

    host::BuildOptions build;
    int buildTime = 0;
    auto* buildCmd = app.add_subcommand(
        "build",
        "load a scene, evaluate every node and write OUT by its extension (.glb, .obj, .json)");
    buildCmd->add_option("SCENE", build.scene, "the scene file")->required();
    buildCmd->add_option("-o,--output", build.output, "the output file: .glb, .obj or .json");
    auto* timeOpt = buildCmd->add_option(
        "--time", buildTime, "the time in ticks (4800 per second; default: the scene's)");
    buildCmd->add_flag("--json", build.json, "print one JSON object instead of the summary");

    std::string saveScene, saveOut;
    auto* saveCmd =
        app.add_subcommand("save", "load a scene (running its set-up) and save it whole");
    saveCmd->add_option("SCENE", saveScene, "the scene file")->required();
    saveCmd->add_option("-o,--output", saveOut, "the scene file to write")->required();

    host::ExportOptions exportOptions;
    auto* exportCmd = app.add_subcommand(
        "export",
        "load a scene, turn its Trellon objects into plain mesh and light nodes and save it");
    exportCmd->add_option("SCENE", exportOptions.scene, "the scene file")->required();
    exportCmd->add_option("-o,--output", exportOptions.output, "the scene file to write")
        ->required();
    exportCmd->add_option("--glb", exportOptions.glb, "also write the exported scene as glTF");
    exportCmd->add_option("--node", exportOptions.node,
                          "export only the Trellon object on this node (default: every one)");

    host::RenderOptions renderOptions;
    auto* renderCmd = app.add_subcommand(
        "render",
        "render a scene as the host does (render notifications, the renderer's instancing) and "
        "write what the renderer draws as glTF with instancing");
    renderCmd->add_option("SCENE", renderOptions.scene, "the scene file")->required();
    renderCmd->add_option("-o,--output", renderOptions.output, "the .glb to write (frame A)")
        ->required();
    renderCmd->add_option("--renderer", renderOptions.renderer,
                          "scanline, vray, corona or corona:VERSION (default: the scene's)");
    renderCmd->add_option("--frames", renderOptions.frames,
                          "the frames A-B to render (default: the scene's current frame)");
    renderCmd->add_flag("--json", renderOptions.json,
                        "print one JSON object (routes per frame and object) instead");

    std::string drawScene, drawOut;
    int drawTime = 0;
    auto* drawCmd = app.add_subcommand(
        "draw", "load a scene, run the viewport pass and write what was drawn (.json or .glb)");
    drawCmd->add_option("SCENE", drawScene, "the scene file")->required();
    drawCmd->add_option("-o,--output", drawOut, "the drawing: .json or .glb");
    auto* drawTimeOpt = drawCmd->add_option(
        "--time", drawTime, "the time in ticks (4800 per second; default: the scene's)");

    host::UiOptions uiOptions;
    auto* uiCmd = app.add_subcommand(
        "ui", "load a scene, run panel steps on the command panel and save or build the result");
    uiCmd->add_option("SCENE", uiOptions.scene, "the scene file")->required();
    uiCmd->add_option("--steps", uiOptions.steps, "the panel steps: one per line, or JSON")
        ->required();
    uiCmd->add_option("-o,--output", uiOptions.output, "the result: .scene.json or .glb");
    uiCmd->add_flag("--show", uiOptions.show,
                    "print the open rollouts with their controls and values afterwards");

    host::EditOptions editOptions;
    auto* editCmd = app.add_subcommand(
        "edit",
        "edit a scene in the browser: the command panel beside the model, on 127.0.0.1 until "
        "interrupted");
    editCmd->add_option("SCENE", editOptions.scene, "the scene file")->required();
    editCmd->add_option("--port", editOptions.port, "the port (default 8766; 0: any free port)")
        ->check(CLI::Range(0, 65535));
    editCmd->add_option("--web", editOptions.webDir,
                        "the page's files (default: viewer beside the program's folder, or "
                        "$TRELLON_WEB)");

    host::ViewOptions view;
    auto* viewCmd = app.add_subcommand(
        "view", "serve a .glb and the viewer page on 127.0.0.1 until interrupted");
    viewCmd->add_option("FILE", view.glbPath, "the .glb to show")->required();
    viewCmd->add_option("--port", view.port, "the port (default 8765; 0: any free port)")
        ->check(CLI::Range(0, 65535));
    viewCmd->add_option("--web", view.webDir,
                        "the viewer's files (default: viewer beside the program's folder, or "
                        "$TRELLON_WEB)");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return 2;
    }

    if (modulePath.empty()) modulePath = host::DefaultModulePath();
    // The command boundary: anything a command runs into (memory that is not there, an
    // exception out of the module) ends it with one line and status 1 (command_failure.h).
    const std::string command = app.get_subcommands().front()->get_name();
    return host::RunGuarded(command, std::cerr, [&]() -> int {
        if (classes->parsed()) return host::RunClasses(modulePath, std::cout, std::cerr);
        if (paramsCmd->parsed())
            return host::RunParams(modulePath, paramsJson, std::cout, std::cerr);
        if (demoCmd->parsed()) {
            return host::RunDemo(modulePath, demoDir, demoView, demoPort, std::cout, std::cerr);
        }
        if (buildCmd->parsed()) {
            if (timeOpt->count() > 0) build.time = buildTime;
            return host::RunBuild(modulePath, build, std::cout, std::cerr);
        }
        if (saveCmd->parsed())
            return host::RunSave(modulePath, saveScene, saveOut, std::cout, std::cerr);
        if (exportCmd->parsed())
            return host::RunExport(modulePath, exportOptions, std::cout, std::cerr);
        if (renderCmd->parsed())
            return host::RunRender(modulePath, renderOptions, std::cout, std::cerr);
        if (drawCmd->parsed()) {
            std::optional<TimeValue> t;
            if (drawTimeOpt->count() > 0) t = drawTime;
            return host::RunDraw(modulePath, drawScene, drawOut, t, std::cout, std::cerr);
        }
        if (uiCmd->parsed()) return host::RunUi(modulePath, uiOptions, std::cout, std::cerr);
        if (viewCmd->parsed()) return host::RunView(view, std::cout, std::cerr);
        if (editCmd->parsed()) return host::RunEdit(modulePath, editOptions, std::cout, std::cerr);
        return 2;
    });
}
