// The `build` and `save` subcommands of trellon-host, callable from tests with their own streams.
//
//   build SCENE [-o OUT] [--time TICKS] [--json]
//     loads the scene (running every Trellon object's set-up), evaluates every node at the time
//     (the scene's own time unless given), writes OUT by its extension (.glb glTF binary, .obj
//     Wavefront with a .mtl beside it, .json the evaluated meshes) and prints a summary, or with
//     --json one JSON object: per Trellon node its display mode after the build, vertex and face
//     counts, the message boxes its build showed (title and text) and its build time in seconds;
//     and the seconds the whole command took.
//   save SCENE -o OUT
//     loads the scene and saves it whole (every parameter of every Trellon object, no set-up).
//
// Exit status: 0 success; 1 bad input (the module, the scene file, an output that cannot be
// written), with the message on the error stream; 2 bad usage (an output type not known).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "maxtypes.h"

namespace host {

class Scene;

struct BuildOptions {
    std::string scene;              // the scene file
    std::string output;             // empty: build without writing
    std::optional<TimeValue> time;  // ticks; the scene's time when absent
    bool json = false;              // print the JSON report instead of the summary
};

enum class OutputKind { None, Glb, Obj, Json };

// The output kind by the path's extension (case-insensitive); None for an empty path. False for
// an extension that is none of .glb, .obj, .json.
bool OutputKindOf(const std::string& path, OutputKind& kind);

// Loads the module, makes a scene knowing its classes and runs the command in it.
int RunBuild(const std::string& modulePath, const BuildOptions& options, std::ostream& out,
             std::ostream& err);
int RunSave(const std::string& modulePath, const std::string& scenePath, const std::string& outPath,
            std::ostream& out, std::ostream& err);

// The commands in a scene that already knows the module's classes (and is empty).
int BuildScene(Scene& scene, const BuildOptions& options, std::ostream& out, std::ostream& err);
int SaveScene(Scene& scene, const std::string& scenePath, const std::string& outPath,
              std::ostream& out, std::ostream& err);

}  // namespace host
