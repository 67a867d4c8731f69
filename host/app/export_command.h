// The `export` subcommand of trellon-host, callable from tests with their own streams.
//
//   export SCENE -o OUT.scene.json [--glb OUT.glb] [--node NAME]
//     loads the scene (running every Trellon object's set-up), turns every Trellon object (or the
//     one on node NAME) into plain nodes with the object's own export (exportToGeometry: mesh
//     nodes of at most 1,000 copies named "TL_" plus the source's name, one instance node per
//     light copy, the sweeps as meshes, all on the object's layer; the object's node deleted),
//     saves the resulting scene whole to OUT (the meshes inline) and with --glb writes it as
//     glTF too. Prints one line per object: the nodes it became, or why it stayed (no path, or
//     nothing to distribute or sweep).
//
// Exit status: 0 success (an object that cannot be exported stays, and is said so); 1 bad input
// (the module, the scene file, a --node that names no Trellon object, an output that cannot be
// written), with the message on the error stream.
#pragma once

#include <ostream>
#include <string>

#include "scene.h"

namespace host {

struct ExportOptions {
    std::string scene;   // the scene file
    std::string output;  // the scene file to write
    std::string glb;     // empty: no glTF
    std::string node;    // empty: every Trellon object
};

int RunExport(const std::string& modulePath, const ExportOptions& options, std::ostream& out,
              std::ostream& err);

// The command in a scene that already knows the module's classes (and is empty).
int ExportScene(Scene& scene, const ExportOptions& options, std::ostream& out, std::ostream& err);

}  // namespace host
