// The `demo` subcommand: the default scene compiled into the program (a garden fence along a
// curved path with corners, and a round flower bed), built, written and summarised.
//
//   demo [-o DIR] [--view]
//     loads the embedded scene, evaluates it at its time, writes DIR/demo.glb and
//     DIR/demo.scene.json (the scene saved whole: loading it with `build` gives the same .glb)
//     and prints per object its copies per item, vertices, faces and build time.
#pragma once

#include <iosfwd>
#include <string>

namespace host {

class Scene;

// The embedded scene file's text (examples/demo/demo.scene.json at build time).
const char* DemoSceneText();

// Where the demo wrote its files.
struct DemoFiles {
    std::string glb;
    std::string scene;
};

// Builds the demo in a scene that knows the module's classes (and is empty) and writes its files
// into dir (made when missing). Exit status as the other commands: 0, or 1 with the message on
// err.
int BuildDemo(Scene& scene, const std::string& dir, std::ostream& out, std::ostream& err,
              DemoFiles* files = nullptr);

// Loads the module and runs BuildDemo; with view, serves the .glb with the viewer afterwards.
int RunDemo(const std::string& modulePath, const std::string& dir, bool view, int port,
            std::ostream& out, std::ostream& err);

}  // namespace host
