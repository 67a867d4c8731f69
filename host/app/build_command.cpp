#include "build_command.h"
#include "command_failure.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "iparamb2.h"
#include "mesh_dump.h"
#include "module_loader.h"
#include "obj_writer.h"
#include "object_functions.h"
#include "plugapi.h"
#include "scene.h"
#include "scene_objects.h"
#include "scene_reader.h"
#include "scene_writer.h"

namespace host {
namespace {

using json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// A Trellon object's display mode, found by the parameter's name in its block.
std::optional<int> DisplayMode(Object* obj, TimeValue t) {
    IParamBlock2* pb = obj ? obj->GetParamBlock(0) : nullptr;
    ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr;
    const int index = desc ? desc->NameToIndex(_M("Display_Mode")) : -1;
    if (index < 0) return std::nullopt;
    return pb->GetInt(desc->IndextoID(index), t);
}

// The item roles of the published itemRoles, by number.
std::string RoleName(int role) {
    static const char* const kRoles[] = {"object", "post", "end"};
    return role >= 0 && role < 3 ? kRoles[role] : "role " + std::to_string(role);
}

void PrintSummary(std::ostream& out, const BuildOptions& options, TimeValue t,
                  const std::vector<SummaryLine>& lines, const std::vector<TrellonReport>& reports,
                  std::size_t meshes, std::size_t nodeCount, double seconds) {
    std::size_t hiddenCount = 0;
    for (const SummaryLine& line : lines) hiddenCount += line.hidden ? 1 : 0;
    out << "scene " << options.scene << " at " << t << " ticks: " << nodeCount << " nodes, "
        << meshes << " with geometry";
    if (hiddenCount > 0) out << " (" << hiddenCount << " hidden)";
    out << '\n';
    std::string hidden;
    for (const SummaryLine& line : lines) {
        if (line.hidden) {
            hidden += (hidden.empty() ? "" : ", ") + line.name;
            continue;
        }
        out << "  " << line.name;
        if (line.report >= 0) {
            const TrellonReport& rep = reports[static_cast<std::size_t>(line.report)];
            out << " (Trellon): display mode ";
            if (rep.displayMode) {
                out << *rep.displayMode;
            } else {
                out << "unknown";
            }
            out << ", " << rep.vertices << " vertices, " << rep.faces << " faces, built in "
                << rep.seconds << " s\n";
            for (const ItemCopies& item : rep.items) {
                out << "    " << (item.node.empty() ? "(deleted node)" : item.node) << " ("
                    << item.role << "): " << item.copies << (item.copies == 1 ? " copy" : " copies")
                    << '\n';
            }
            for (const MessageRecord& m : rep.messages) {
                out << "    message \"" << ToUTF8(m.caption) << "\": " << ToUTF8(m.text) << '\n';
            }
            continue;
        }
        out << ": " << line.vertices << " vertices, " << line.faces << " faces\n";
    }
    if (!hidden.empty()) out << "  hidden, left out of .glb: " << hidden << '\n';
    if (!options.output.empty()) out << "wrote " << options.output << '\n';
    out << "done in " << seconds << " s\n";
}

void PrintJson(std::ostream& out, const std::vector<TrellonReport>& reports, double seconds) {
    json objects = json::array();
    for (const TrellonReport& rep : reports) {
        json messages = json::array();
        for (const MessageRecord& m : rep.messages) {
            messages.push_back({{"title", ToUTF8(m.caption)}, {"text", ToUTF8(m.text)}});
        }
        json o = json::object();
        o["node"] = rep.node;
        o["displayMode"] = rep.displayMode ? json(*rep.displayMode) : json(nullptr);
        o["vertices"] = rep.vertices;
        o["faces"] = rep.faces;
        json items = json::array();
        for (const ItemCopies& item : rep.items) {
            items.push_back({{"node", item.node}, {"role", item.role}, {"copies", item.copies}});
        }
        o["items"] = std::move(items);
        o["messages"] = std::move(messages);
        o["buildSeconds"] = rep.seconds;
        objects.push_back(std::move(o));
    }
    json doc = json::object();
    doc["objects"] = std::move(objects);
    doc["seconds"] = seconds;
    out << doc.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

}  // namespace

bool OutputKindOf(const std::string& path, OutputKind& kind) {
    if (path.empty()) {
        kind = OutputKind::None;
        return true;
    }
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".glb") {
        kind = OutputKind::Glb;
    } else if (ext == ".obj") {
        kind = OutputKind::Obj;
    } else if (ext == ".json") {
        kind = OutputKind::Json;
    } else {
        return false;
    }
    return true;
}

namespace {

// 2 (bad usage) with the message for an output type the command cannot write, else 0.
int CheckOutput(const std::string& output, std::ostream& err) {
    OutputKind kind = OutputKind::None;
    if (OutputKindOf(output, kind)) return 0;
    err << "trellon-host: " << output
        << ": unknown output type (the extension must be .glb, .obj or .json)\n";
    return 2;
}

}  // namespace

bool QueryItemCopies(Scene& scene, Object* obj, std::vector<ItemCopies>& items,
                     std::string& error) {
    items.clear();
    FPValue counts, nodes, roles;
    if (CallObjectFunction(scene, obj, _M("copyCounts"), {}, counts, error) != FPS_OK ||
        CallObjectFunction(scene, obj, _M("itemNodes"), {}, nodes, error) != FPS_OK ||
        CallObjectFunction(scene, obj, _M("itemRoles"), {}, roles, error) != FPS_OK) {
        return false;
    }
    if (base_type(counts.type) != TYPE_INT || !is_tab(counts.type) || !counts.i_tab ||
        base_type(nodes.type) != TYPE_INODE || !is_tab(nodes.type) || !nodes.n_tab ||
        base_type(roles.type) != TYPE_INT || !is_tab(roles.type) || !roles.i_tab) {
        error = "copyCounts, itemNodes and itemRoles must answer tables of ints, nodes and ints";
        return false;
    }
    const int n = counts.i_tab->Count();
    if (nodes.n_tab->Count() != n || roles.i_tab->Count() != n) {
        error = "copyCounts, itemNodes and itemRoles answered tables of different lengths";
        return false;
    }
    for (int k = 0; k < n; ++k) {
        INode* node = (*nodes.n_tab)[k];
        items.push_back({node ? ToUTF8(node->GetName()) : std::string(),
                         RoleName((*roles.i_tab)[k]), (*counts.i_tab)[k]});
    }
    return true;
}

bool IsTrellon(Object* obj) {
    return obj && obj->SuperClassID() == GEOMOBJECT_CLASS_ID && obj->ClassID() == kTrellonClassID;
}

int LoadInto(Scene& scene, const std::string& path, std::ostream& err) {
    try {
        LoadSceneFile(path, scene);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    return 0;
}

SceneEvaluation EvaluateWithReports(Scene& scene, TimeValue t) {
    // Node by node, so each Trellon object's build is timed and its message boxes are its own.
    SceneEvaluation result;
    std::vector<EvaluatedNode>& nodes = result.nodes;
    std::vector<TrellonReport>& reports = result.reports;
    std::vector<SummaryLine>& lines = result.lines;
    const std::vector<Node*> all = scene.Nodes();
    for (Node* node : all) {
        const bool trellon = IsTrellon(node->GetObjectRef());
        const Doing doing("evaluating node '" + ToUTF8(node->GetName()) + "'");
        const std::size_t messagesBefore = scene.Messages().size();
        const Clock::time_point begin = Clock::now();
        EvaluatedNode evaluated;
        const bool geometry = EvaluateNode(node, t, evaluated);
        const Clock::time_point end = Clock::now();
        if (trellon) {
            TrellonReport rep;
            rep.node = ToUTF8(node->GetName());
            rep.displayMode = DisplayMode(node->GetObjectRef(), t);
            rep.vertices = geometry ? evaluated.Geometry().getNumVerts() : 0;
            rep.faces = geometry ? evaluated.Geometry().getNumFaces() : 0;
            // An object that does not publish the counts is reported without them.
            std::string error;
            QueryItemCopies(scene, node->GetObjectRef(), rep.items, error);
            rep.messages.assign(
                scene.Messages().begin() + static_cast<std::ptrdiff_t>(messagesBefore),
                scene.Messages().end());
            rep.seconds = Seconds(begin, end);
            reports.push_back(std::move(rep));
        }
        if (geometry || trellon) {
            lines.push_back({ToUTF8(node->GetName()),
                             geometry ? evaluated.Geometry().getNumVerts() : 0,
                             geometry ? evaluated.Geometry().getNumFaces() : 0,
                             trellon ? static_cast<int>(reports.size()) - 1 : -1, !IsShown(node)});
        }
        if (geometry) nodes.push_back(std::move(evaluated));
    }
    return result;
}

int BuildScene(Scene& scene, const BuildOptions& options, std::ostream& out, std::ostream& err) {
    if (const int status = CheckOutput(options.output, err); status != 0) return status;
    OutputKind kind = OutputKind::None;
    OutputKindOf(options.output, kind);
    const Clock::time_point start = Clock::now();
    {
        const Doing doing("loading " + options.scene);
        if (const int status = LoadInto(scene, options.scene, err); status != 0) return status;
    }
    const TimeValue t = options.time.value_or(scene.GetTime());
    scene.SetTime(t, FALSE);

    const SceneEvaluation evaluation = EvaluateWithReports(scene, t);
    const std::vector<EvaluatedNode>& nodes = evaluation.nodes;

    std::string error;
    bool written = true;
    if (kind != OutputKind::None) {
        const Doing doing("writing " + options.output);
        switch (kind) {
            case OutputKind::Glb:
                written = WriteGlb(nodes, scene, options.output, error);
                break;
            case OutputKind::Obj:
                written = WriteObj(nodes, options.output, error);
                break;
            case OutputKind::Json:
                written = WriteMeshDump(nodes, options.output, error);
                break;
            case OutputKind::None:
                break;
        }
    }
    if (!written) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    const double seconds = Seconds(start, Clock::now());
    if (options.json) {
        PrintJson(out, evaluation.reports, seconds);
    } else {
        PrintSummary(out, options, t, evaluation.lines, evaluation.reports, nodes.size(),
                     scene.Nodes().size(), seconds);
    }
    return 0;
}

int SaveScene(Scene& scene, const std::string& scenePath, const std::string& outPath,
              std::ostream& out, std::ostream& err) {
    if (const int status = LoadInto(scene, scenePath, err); status != 0) return status;
    EvaluateShownNodes(scene, scene.GetTime());
    try {
        SaveSceneFile(scene, outPath);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    out << "saved " << outPath << " (" << scene.Nodes().size() << " nodes)\n";
    return 0;
}

int RunBuild(const std::string& modulePath, const BuildOptions& options, std::ostream& out,
             std::ostream& err) {
    // Bad usage is told before the module is loaded.
    if (const int status = CheckOutput(options.output, err); status != 0) return status;
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return BuildScene(scene, options, out, err); });
}

int RunSave(const std::string& modulePath, const std::string& scenePath, const std::string& outPath,
            std::ostream& out, std::ostream& err) {
    return WithModule(modulePath, err,
                      [&](Scene& scene) { return SaveScene(scene, scenePath, outPath, out, err); });
}

}  // namespace host
