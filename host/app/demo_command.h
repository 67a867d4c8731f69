// The `demo` subcommand: the default scene compiled into the program (a garden fence along a
// curved path with corners, and a round flower bed), built, written and summarised.
//
//   demo [-o DIR] [--view]
//     writes the embedded scene's item meshes and textures into DIR/demo-assets, loads the
//     embedded scene as if it were DIR/demo.scene.json (so its relative file names find them),
//     evaluates it at its time, writes DIR/demo.glb and DIR/demo.scene.json (the scene saved
//     whole: loading it from DIR with `build` gives the same .glb) and prints per object its
//     copies per item, vertices, faces and build time.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <span>
#include <string>

namespace host {

class Scene;

// The embedded scene file's text (examples/demo/demo.scene.json at build time).
const char* DemoSceneText();

// A file the embedded scene names: its path relative to the scene's folder and its bytes.
struct DemoAsset {
    const char* path;  // "demo-assets/picket.obj"
    const unsigned char* data;
    std::size_t size;
};

// Every mesh and texture of examples/demo/demo-assets at build time, in name order.
std::span<const DemoAsset> DemoAssets();

// Where the demo wrote its files.
struct DemoFiles {
    std::string glb;
    std::string scene;
};

// Builds the demo in a scene that knows the module's classes (and is empty) and writes its files
// into dir (made when missing; the assets are written over whatever stands there). Exit status as
// the other commands: 0, or 1 with the message on err.
int BuildDemo(Scene& scene, const std::string& dir, std::ostream& out, std::ostream& err,
              DemoFiles* files = nullptr);

// Loads the module and runs BuildDemo; with view, serves the .glb with the viewer afterwards.
int RunDemo(const std::string& modulePath, const std::string& dir, bool view, int port,
            std::ostream& out, std::ostream& err);

}  // namespace host
