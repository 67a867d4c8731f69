#include "export_command.h"

#include <string>
#include <vector>

#include "build_command.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "inode.h"
#include "object_functions.h"
#include "scene_writer.h"

namespace host {
namespace {

// What one object's export gave: the nodes it became, or why it stayed.
struct Exported {
    std::string node;
    int nodes = 0;
    std::string problem;  // empty when exported
};

Exported ExportOne(Scene& scene, Node* node) {
    Exported result;
    result.node = ToUTF8(node->GetName());
    Object* obj = node->GetObjectRef();
    std::string error;
    FPValue can;
    if (CallObjectFunction(scene, obj, _M("canExport"), {}, can, error) != FPS_OK) {
        result.problem = error;
        return result;
    }
    if (can.i == 0) {
        result.problem = "nothing to export: it needs a path and a distribution object or a swept "
                         "shape";
        return result;
    }
    FPValue made;
    // The object deletes its own node: nothing of it is touched after the call.
    if (CallObjectFunction(scene, obj, _M("exportToGeometry"), {}, made, error) != FPS_OK) {
        result.problem = error;
        return result;
    }
    result.nodes = made.i;
    return result;
}

}  // namespace

int ExportScene(Scene& scene, const ExportOptions& options, std::ostream& out, std::ostream& err) {
    if (const int status = LoadInto(scene, options.scene, err); status != 0) return status;
    // The objects first, by node: each export deletes one node and adds others.
    std::vector<Node*> targets;
    for (Node* node : scene.Nodes()) {
        if (!IsTrellon(node->GetObjectRef())) continue;
        if (!options.node.empty() && ToUTF8(node->GetName()) != options.node) continue;
        targets.push_back(node);
    }
    if (!options.node.empty() && targets.empty()) {
        err << "trellon-host: " << options.scene << ": no Trellon object on a node named \""
            << options.node << "\"\n";
        return 1;
    }
    // What the viewports show once the file is open, as a user exporting would see it.
    EvaluateShownNodes(scene, scene.GetTime());
    for (Node* node : targets) {
        const Exported e = ExportOne(scene, node);
        if (e.problem.empty()) {
            out << e.node << ": exported as " << e.nodes << (e.nodes == 1 ? " node\n" : " nodes\n");
        } else {
            out << e.node << ": kept (" << e.problem << ")\n";
        }
    }
    try {
        SaveSceneFile(scene, options.output);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    out << "saved " << options.output << " (" << scene.Nodes().size() << " nodes)\n";
    if (!options.glb.empty()) {
        std::string error;
        const std::vector<EvaluatedNode> nodes = EvaluateScene(scene, scene.GetTime());
        if (!WriteGlb(nodes, scene, options.glb, error)) {
            err << "trellon-host: " << error << '\n';
            return 1;
        }
        out << "wrote " << options.glb << '\n';
    }
    return 0;
}

int RunExport(const std::string& modulePath, const ExportOptions& options, std::ostream& out,
              std::ostream& err) {
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return ExportScene(scene, options, out, err); });
}

}  // namespace host
