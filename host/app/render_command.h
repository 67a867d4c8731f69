// The `render` subcommand of trellon-host, callable from tests with their own streams.
//
//   render SCENE [--renderer NAME] [--frames A-B] -o OUT.glb [--json]
//     loads the scene, makes NAME (corona, corona:VERSION, vray, scanline) its current renderer
//     when given, renders frames A to B (frame numbers; default: the scene's current frame) as
//     the host does (render_run.h) and writes what the renderer draws in frame A to OUT as glTF:
//     every drawn node by its render mesh, and every instanced source once with its copies as
//     EXT_mesh_gpu_instancing nodes. Prints per frame and Trellon object the route its copies
//     took and the instances per source, then the nodes left after the render (always 0 unless
//     something went wrong); with --json the same as one JSON object.
//
// Exit status: 0 success; 1 bad input (the module, the scene file, an unknown renderer, a frame
// range that runs backwards, an output that cannot be written), with the message on the error
// stream.
#pragma once

#include <ostream>
#include <string>

#include "scene.h"

namespace host {

struct RenderOptions {
    std::string scene;     // the scene file
    std::string output;    // the .glb to write
    std::string renderer;  // empty: the scene's
    std::string frames;    // "A-B" or "A"; empty: the scene's current frame
    bool json = false;
};

int RunRender(const std::string& modulePath, const RenderOptions& options, std::ostream& out,
              std::ostream& err);

// The command in a scene that already knows the module's classes (and is empty).
int RenderScene(Scene& scene, const RenderOptions& options, std::ostream& out, std::ostream& err);

// Parses a renderer name as the command takes it: "scanline", "vray", "corona" (version
// 0x5100000000001, the first that instances) or "corona:VERSION" (decimal or 0x hex). False for
// anything else.
bool ParseRendererName(const std::string& text, RendererInfo& renderer);

}  // namespace host
