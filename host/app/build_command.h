// The `build` and `save` subcommands of trellon-host, callable from tests with their own streams.
//
//   build SCENE [-o OUT] [--time TICKS] [--json]
//     loads the scene (running every Trellon object's set-up), evaluates every node at the time
//     (the scene's own time unless given), writes OUT by its extension (.glb glTF binary, .obj
//     Wavefront with a .mtl beside it, .json the evaluated meshes) and prints a summary, or with
//     --json one JSON object: per Trellon node its display mode after the build, vertex and face
//     counts, its copies per item, the message boxes its build showed (title and text) and its
//     build time in seconds; and the seconds the whole command took. The summary lists the shown
//     nodes with geometry (a Trellon node with its copies per item) and names the hidden ones
//     apart: they are sources, not output (the .glb leaves them out).
//   save SCENE -o OUT
//     loads the scene and saves it whole (every parameter of every Trellon object, no set-up).
//
// Exit status: 0 success; 1 bad input (the module, the scene file, an output that cannot be
// written), with the message on the error stream; 2 bad usage (an output type not known).
#pragma once

#include <ostream>
#include <optional>
#include <string>

#include <vector>

#include "evaluated_scene.h"
#include "maxtypes.h"
#include "module_loader.h"
#include "scene.h"

namespace host {

struct BuildOptions {
    std::string scene;              // the scene file
    std::string output;             // empty: build without writing
    std::optional<TimeValue> time;  // ticks; the scene's time when absent
    bool json = false;              // print the JSON report instead of the summary
};

enum class OutputKind { None, Glb, Obj, Json };

// The copies the layout of a Trellon object places of one item.
struct ItemCopies {
    std::string node;  // the item's node name; "" for a deleted node
    std::string role;  // "object", "post" or "end"
    int copies = 0;
};

// Whether obj is a Trellon object.
bool IsTrellon(Object* obj);

// Loads the scene file into scene; 0, or 1 with the reader's message on err.
int LoadInto(Scene& scene, const std::string& path, std::ostream& err);

// Copies per item of a Trellon object at the scene's time, in item order, asked through the
// functions the object publishes (copyCounts, itemNodes, itemRoles). False, with the reason in
// error, when the object does not answer.
bool QueryItemCopies(Scene& scene, Object* obj, std::vector<ItemCopies>& items, std::string& error);

// What one Trellon node's build gave.
struct TrellonReport {
    std::string node;
    std::optional<int> displayMode;
    int vertices = 0;
    int faces = 0;
    std::vector<ItemCopies> items;        // copies per item
    std::vector<MessageRecord> messages;  // the message boxes its build showed
    double seconds = 0.0;
};

// One line of the summary: a node with a mesh, or a Trellon node (with its report).
struct SummaryLine {
    std::string name;
    int vertices = 0;
    int faces = 0;
    int report = -1;      // index of its report, for a Trellon node
    bool hidden = false;  // the node or its layer is hidden
};

struct SceneEvaluation {
    std::vector<EvaluatedNode> nodes;   // the geometry for the writers
    std::vector<TrellonReport> reports;  // one per Trellon node, in scene order
    std::vector<SummaryLine> lines;      // the summary's lines, in scene order
};

// Evaluates every node at t, node by node, so each Trellon object's build is timed and its
// message boxes are its own.
SceneEvaluation EvaluateWithReports(Scene& scene, TimeValue t);

// Loads the module and runs fn(Scene&) in a scene that knows its classes; the scene goes before
// the module unloads. fn's result is the exit status; 1 when the module cannot be loaded.
template <class Fn>
int WithModule(const std::string& modulePath, std::ostream& err, Fn fn) {
    std::string error;
    auto module = PluginModule::Load(modulePath, error);
    if (!module) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    for (int i = 0; i < module->NumClasses(); ++i) {
        if (!module->Class(i)) {
            err << "trellon-host: " << modulePath << ": LibClassDesc(" << i << ") is null\n";
            return 1;
        }
    }
    Scene scene;
    for (int i = 0; i < module->NumClasses(); ++i) scene.RegisterClass(module->Class(i));
    return fn(scene);
}

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
