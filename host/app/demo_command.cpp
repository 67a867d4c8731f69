#include "demo_command.h"

#include <filesystem>
#include <iomanip>
#include <ostream>
#include <vector>

#include "build_command.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "iparamb2.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "view_server.h"

namespace host {
namespace {

// The file name the embedded scene's messages carry.
constexpr const char* kDemoName = "demo.scene.json (embedded)";

// Reads table `name` of a block through its descriptor (the host knows parameters by name only).
int ParamIndex(IParamBlock2* pb, const MCHAR* name) {
    ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr;
    return desc ? desc->NameToIndex(name) : -1;
}

// One item's line of the table: its name and how many copies the mesh holds.
struct ItemCopies {
    std::string name;
    int copies = 0;
};

// Copies per item, read back from the built mesh: a copy's faces carry material index item + 1
// (items past 26 share indices, so the count is given for the first 26 items only), and every
// copy of item k adds Item_Face_Count[k] faces in the full-mesh display mode. In the other modes
// the copies are placeholders and the count is not told.
std::vector<ItemCopies> CopiesPerItem(const EvaluatedNode& n, TimeValue t) {
    std::vector<ItemCopies> items;
    Object* obj = n.node ? n.node->GetObjectRef() : nullptr;
    IParamBlock2* pb = obj ? obj->GetParamBlock(0) : nullptr;
    const int names = ParamIndex(pb, _M("Item_Names"));
    const int faces = ParamIndex(pb, _M("Item_Face_Count"));
    const int mode = ParamIndex(pb, _M("Display_Mode"));
    if (names < 0 || faces < 0 || mode < 0) return items;
    ParamBlockDesc2* desc = pb->GetDesc();
    const ParamID namesId = desc->IndextoID(names);
    const ParamID facesId = desc->IndextoID(faces);
    if (pb->GetInt(desc->IndextoID(mode), t) != 6) return items;

    std::vector<int> facesByMaterial(27, 0);
    for (int f = 0; f < n.mesh.getNumFaces(); ++f) {
        const int m = n.mesh.getFaceMtlIndex(f);
        if (m >= 1 && m <= 26) ++facesByMaterial[static_cast<std::size_t>(m)];
    }
    const int count = std::min(pb->Count(namesId), 26);
    for (int k = 0; k < count; ++k) {
        ItemCopies item;
        const MCHAR* s = pb->GetStr(namesId, t, k);
        item.name = s ? ToUTF8(s) : std::string();
        const int perCopy = k < pb->Count(facesId) ? pb->GetInt(facesId, t, k) : 0;
        // Items whose indices coincide (k and k + 26) cannot be told apart: only the first 26.
        item.copies = perCopy > 0 ? facesByMaterial[static_cast<std::size_t>(k + 1)] / perCopy : 0;
        items.push_back(std::move(item));
    }
    return items;
}

void PrintTable(std::ostream& out, const std::vector<EvaluatedNode>& nodes,
                const std::vector<TrellonReport>& reports, TimeValue t) {
    out << std::left << std::setw(16) << "object" << std::setw(24) << "item" << std::right
        << std::setw(8) << "copies" << std::setw(11) << "vertices" << std::setw(11) << "faces"
        << std::setw(12) << "build (s)" << '\n';
    for (const TrellonReport& rep : reports) {
        const EvaluatedNode* n = nullptr;
        for (const EvaluatedNode& e : nodes) {
            if (e.name == rep.node) n = &e;
        }
        out << std::left << std::setw(16) << rep.node << std::setw(24) << "(all)" << std::right
            << std::setw(8) << "" << std::setw(11) << rep.vertices << std::setw(11) << rep.faces
            << std::setw(12) << std::fixed << std::setprecision(4) << rep.seconds << '\n';
        if (!n) continue;
        for (const ItemCopies& item : CopiesPerItem(*n, t)) {
            out << std::left << std::setw(16) << "" << std::setw(24) << item.name << std::right
                << std::setw(8) << item.copies << '\n';
        }
        for (const MessageRecord& m : rep.messages) {
            out << "  message \"" << ToUTF8(m.caption) << "\": " << ToUTF8(m.text) << '\n';
        }
    }
}

}  // namespace

int BuildDemo(Scene& scene, const std::string& dir, std::ostream& out, std::ostream& err,
              DemoFiles* files) {
    try {
        LoadSceneText(DemoSceneText(), kDemoName, scene);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        err << "trellon-host: " << dir << ": cannot make the folder: " << ec.message() << '\n';
        return 1;
    }
    const std::string glb = (std::filesystem::path(dir) / "demo.glb").string();
    const std::string saved = (std::filesystem::path(dir) / "demo.scene.json").string();

    const TimeValue t = scene.GetTime();
    const SceneEvaluation evaluation = EvaluateWithReports(scene, t);
    const std::vector<EvaluatedNode>& nodes = evaluation.nodes;
    std::string error;
    if (!WriteGlb(nodes, scene, glb, error)) {
        err << "trellon-host: " << error << '\n';
        return 1;
    }
    try {
        SaveSceneFile(scene, saved);
    } catch (const SceneFileError& e) {
        err << "trellon-host: " << e.what() << '\n';
        return 1;
    }
    PrintTable(out, nodes, evaluation.reports, t);
    out << "wrote " << glb << " and " << saved << '\n';
    if (files) *files = {glb, saved};
    return 0;
}

int RunDemo(const std::string& modulePath, const std::string& dir, bool view, int port,
            std::ostream& out, std::ostream& err) {
    DemoFiles files;
    const int status = WithModule(modulePath, err, [&](Scene& scene) {
        return BuildDemo(scene, dir, out, err, &files);
    });
    if (status != 0 || !view) {
        if (status == 0) out << "look at it with: trellon-host view " << files.glb << '\n';
        return status;
    }
    ViewOptions options;
    options.glbPath = files.glb;
    options.port = port;
    return RunView(options, out, err);
}

}  // namespace host
