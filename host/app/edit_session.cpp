#include "edit_session.h"

#include <stdlib.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "build_command.h"
#include "command_panel.h"
#include "custcont.h"
#include "draw_pass.h"
#include "drawing_writer.h"
#include "edit_requests.h"
#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "hold.h"
#include "layers.h"
#include "node.h"
#include "object.h"
#include "polyshp.h"
#include "render_command.h"
#include "render_run.h"
#include "scene.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "ui_command.h"
#include "units.h"
#include "viewport.h"
#include "whole_file.h"

namespace host {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using namespace edit;
using WinStandIn::ControlInfo;
using WinStandIn::ControlKind;

// Longest step the page may send; a step is one command line of a few words.
constexpr std::size_t kMaxStepChars = 1000;
constexpr std::size_t kMaxStepsPerRequest = 16;

// The buttons of a question box, as the page offers them.
json Buttons(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL:
            return {"ok", "cancel"};
        case MB_YESNOCANCEL:
            return {"yes", "no", "cancel"};
        case MB_YESNO:
            return {"yes", "no"};
        default:
            return {"ok"};
    }
}

json ControlJson(const ControlInfo& c) {
    json j = {{"id", c.id}, {"kind", WinStandIn::ControlKindName(c.kind)}, {"enabled", c.enabled}};
    if (!c.text.empty()) j["text"] = ToUTF8(c.text);
    switch (c.kind) {
        case ControlKind::CheckBox:
        case ControlKind::Radio:
            j["checked"] = c.checked;
            break;
        case ControlKind::Button:
            if (c.checkButton) j["checked"] = c.checked;
            if (!c.icon.empty()) j["icon"] = ToUTF8(c.icon);
            if (!c.tooltip.empty()) j["tooltip"] = ToUTF8(c.tooltip);
            break;
        case ControlKind::Spinner:
        case ControlKind::Slider:
            j["integer"] = c.integer;
            j["value"] = c.value;
            j["low"] = c.low;
            j["high"] = c.high;
            if (c.linkedEdit >= 0) j["edit"] = c.linkedEdit;
            break;
        case ControlKind::ComboBox:
        case ControlKind::ListBox: {
            json items = json::array();
            for (const std::wstring& s : c.items) items.push_back(ToUTF8(s));
            j["items"] = std::move(items);
            j["selected"] = c.selected;
            break;
        }
        case ControlKind::ListView: {
            json columns = json::array(), rows = json::array();
            for (const std::wstring& s : c.columns) columns.push_back(ToUTF8(s));
            for (const auto& r : c.rows) {
                json row = json::array();
                for (const std::wstring& s : r) row.push_back(ToUTF8(s));
                rows.push_back(std::move(row));
            }
            j["columns"] = std::move(columns);
            j["rows"] = std::move(rows);
            j["selected"] = c.selected;
            break;
        }
        default:
            break;
    }
    return j;
}

// A shown shape's lines in the page's space (glTF's: metres, Y up; a host point (x, y, z)
// becomes (x, z, -y) times the unit's size), so the page can draw and pick it.
json ShapeLines(Node* node, TimeValue t, double metres) {
    json lines = json::array();
    const ObjectState& os = node->EvalWorldState(t);
    auto* shape = dynamic_cast<ShapeObject*>(os.obj);
    if (!shape) return lines;
    PolyShape poly;
    shape->MakePolyShape(t, poly);
    const Matrix3 worldFromObject = node->GetObjectTM(t);
    for (int i = 0; i < poly.numLines; ++i) {
        const PolyLine& line = poly.lines[i];
        json points = json::array();
        for (int k = 0; k < line.numPts; ++k) {
            const Point3 p = line.pts[k].p * worldFromObject;
            points.push_back({p.x * metres, p.z * metres, -p.y * metres});
        }
        lines.push_back({{"closed", line.IsClosed() != 0}, {"points", std::move(points)}});
    }
    return lines;
}

std::string NodeKind(Node* node) {
    Object* obj = node->GetObjectRef();
    if (!obj) return "none";
    if (IsTrellon(obj)) return "trellon";
    switch (obj->SuperClassID()) {
        case SHAPE_CLASS_ID:
            return "shape";
        case LIGHT_CLASS_ID:
            return "light";
        case GEOMOBJECT_CLASS_ID:
            return "geometry";
        default:
            return "other";
    }
}

// A Trellon object's parameter block and the ID of its parameter `name`; null for other nodes.
IParamBlock2* TrellonBlock(Node* node, const wchar_t* name, ParamID& id) {
    Object* obj = node->GetObjectRef();
    if (!obj || !IsTrellon(obj)) return nullptr;
    IParamBlock2* pb = obj->GetParamBlock(0);
    ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr;
    const int index = desc ? desc->NameToIndex(name) : -1;
    if (index < 0) return nullptr;
    id = desc->IndextoID(index);
    return pb;
}

// The Trellon object's display mode, read from its parameter block; -1 for other nodes.
int DisplayMode(Node* node, TimeValue t) {
    ParamID id = -1;
    IParamBlock2* pb = TrellonBlock(node, L"Display_Mode", id);
    return pb ? pb->GetInt(id, t) : -1;
}

// Every Trellon object's point-cloud sample, by node name. The sample is drawn, when an item is
// added, from the module's copy of the runtime generator, which the host cannot rewind: a scene
// rebuilt by replaying its changes draws other samples, so they are put back from here.
using CloudSamples = std::map<std::string, std::vector<Point3>>;

CloudSamples TakeClouds(Scene& scene) {
    CloudSamples clouds;
    for (Node* n : scene.Nodes()) {
        ParamID id = -1;
        IParamBlock2* pb = TrellonBlock(n, L"Cloud_Points", id);
        if (!pb) continue;
        std::vector<Point3>& points = clouds[ToUTF8(n->GetName())];
        for (int i = 0; i < pb->Count(id); ++i) points.push_back(pb->GetPoint3(id, 0, i));
    }
    return clouds;
}

void PutBackClouds(Scene& scene, const CloudSamples& clouds) {
    for (Node* n : scene.Nodes()) {
        ParamID id = -1;
        IParamBlock2* pb = TrellonBlock(n, L"Cloud_Points", id);
        const auto it = clouds.find(ToUTF8(n->GetName()));
        if (!pb || it == clouds.end() || pb->Count(id) != static_cast<int>(it->second.size()))
            continue;
        for (int i = 0; i < pb->Count(id); ++i) {
            if (!(pb->GetPoint3(id, 0, i) == it->second[static_cast<std::size_t>(i)]))
                pb->SetValue(id, 0, it->second[static_cast<std::size_t>(i)], i);
        }
    }
}

// Display modes 0 to 3 draw markers instead of building the copies' geometry.
constexpr int kFirstMeshMode = 4;

// The Trellon nodes on view that show proxies: the mode the object itself fell back to (or was
// set to) after the build.
std::vector<Node*> ProxyNodes(Scene& scene) {
    std::vector<Node*> out;
    for (Node* n : scene.Nodes()) {
        const int mode = DisplayMode(n, scene.GetTime());
        if (mode >= 0 && mode < kFirstMeshMode && !n->IsHidden(HIDE_CHECK_LAYER)) out.push_back(n);
    }
    return out;
}

// The .glb the writer makes, read back: written into a scratch folder of the server's own (made
// for the call, readable by this user only, removed at once), since the writer writes files.
bool WriteGlbToMemory(const std::function<bool(const std::string&, std::string&)>& write,
                      std::string& bytes, std::string& error) {
    std::string pattern = (fs::temp_directory_path() / "trellon-edit-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        error = "cannot make a scratch folder for the model";
        return false;
    }
    const fs::path path = fs::path(pattern) / "model.glb";
    bool ok = write(path.string(), error);
    if (ok) {
        std::optional<std::string> read = ReadWholeFile(path);
        ok = read && !read->empty();
        if (ok) bytes = std::move(*read);
        if (!ok) error = "the model could not be read back";
    }
    std::error_code ec;
    fs::remove_all(pattern, ec);
    return ok;
}

// Whether a step is `create NAME` without a seed: two words, double quotes keeping blanks inside
// one, as the step language reads them.
bool CreateWithoutSeed(const std::string& step) {
    std::vector<std::string> words;
    std::string error;
    return SplitWords(step, words, error) && words.size() == 2 && words[0] == "create";
}

// Whether text names a question that found no answer / a dialog that found no names (the
// panel's own messages, command_panel.h).
bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

EditSession::EditSession(std::vector<ClassDesc*> classes, std::string scenePath)
    : classes_(std::move(classes)), scenePath_(std::move(scenePath)) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(scenePath_, ec);
    folder_ = (ec ? fs::path(scenePath_) : absolute).parent_path().lexically_normal().string();
}

EditSession::~EditSession() {
    scene_.reset();
    theHold.ClearRecord();
}

bool EditSession::Open(std::string& error) {
    std::optional<std::string> text = ReadWholeFile(scenePath_);
    if (!text) {
        error = scenePath_ + ": cannot be read";
        return false;
    }
    fileText_ = std::move(*text);
    if (!Load(error)) return false;
    // The panel opens on the first Trellon object, as a user selecting it would.
    for (Node* n : scene_->Nodes()) {
        if (n->GetObjectRef() && IsTrellon(n->GetObjectRef())) {
            Change change;
            change.steps = {"modify \"" + ToUTF8(n->GetName()) + "\""};
            if (std::string e = Apply(change); !e.empty()) {
                error = e;
                return false;
            }
            changes_.push_back(std::move(change));
            break;
        }
    }
    EvaluateShownNodes(*scene_, scene_->GetTime());
    return true;
}

bool EditSession::Load(std::string& error) {
    scene_.reset();
    theHold.ClearRecord();
    // The runtime's generator (an item's point cloud is shuffled with it) starts where a new
    // process starts it, so a scene loaded again and given the same changes comes out the same.
    std::srand(1);
    scene_ = std::make_unique<Scene>();
    for (ClassDesc* cd : classes_) scene_->RegisterClass(cd);
    try {
        LoadSceneText(fileText_, scenePath_, *scene_);
    } catch (const SceneFileError& e) {
        error = e.what();
        return false;
    }
    // A user at the panel: the file's own set-up is not part of the undo record.
    theHold.ClearRecord();
    return true;
}

std::string EditSession::Apply(const Change& change) {
    if (change.steps.empty()) {
        // A mesh file brought in, merged as a scene file holding the one node would be.
        Scene& s = *scene_;
        json doc = {{"format", "trellon-scene"}, {"version", 1}, {"time", s.GetTime()}};
        ILayer* current = s.Layers().GetCurrentLayer();
        const std::string layer = current ? current->GetName().ToUTF8() : std::string("0");
        if (layer != "0") {
            doc["layers"] = json::array({{{"name", layer}, {"hidden", current->IsHidden() != 0}}});
        }
        doc["currentLayer"] = layer;
        doc["nodes"] = json::array({{{"name", change.importNode},
                                     {"layer", "0"},
                                     {"hidden", true},
                                     {"object", {{"type", "mesh"}, {"file", change.importFile}}}}});
        try {
            LoadSceneText(doc.dump(), (fs::path(folder_) / change.importFile).string(), s);
        } catch (const SceneFileError& e) {
            return e.what();
        }
        return {};
    }
    // Steps: one entry per step, as the ui command reads a JSON step file.
    json list = json::array();
    for (const std::string& step : change.steps) list.push_back(step);
    PanelStepRules rules;
    rules.refuseOutOfRange = true;
    return RunPanelSteps(*scene_, list.dump(), "request", rules);
}

std::string EditSession::Fingerprint() {
    std::string text;
    try {
        text = SaveSceneText(*scene_);
    } catch (const SceneFileError&) {
        return {};  // a scene the file cannot hold: always rebuilt after a failure
    }
    json state = json::parse(State().body);
    state.erase("messages");
    return text + state.dump();
}

void EditSession::Restore() {
    std::string error;
    if (!Load(error)) return;  // the text loaded before and has not changed
    // Each change as it was made: applied, then shown (the page redrew after each one, and a
    // build may lower a display mode).
    for (const Change& c : changes_) {
        try {
            Apply(c);
            EvaluateShownNodes(*scene_, scene_->GetTime());
        } catch (const std::exception&) {
            // Each change went through once; a replay goes on past one that does not.
        }
    }
    PutBackClouds(*scene_, samples_);
    scene_->ClearMessages();
}

std::vector<std::string> EditSession::AcceptedSteps() const {
    std::vector<std::string> steps;
    for (const Change& c : changes_) steps.insert(steps.end(), c.steps.begin(), c.steps.end());
    return steps;
}

EditReply EditSession::Handle(const EditRequest& r) {
    const std::size_t changesBefore = changes_.size();
    samples_ = TakeClouds(*scene_);
    try {
        return Route(r);
    } catch (const std::exception& e) {
        // What the module or the host ran into while answering (a table index out of range,
        // memory that is not there): the request's change, if it was taken, is dropped and the
        // scene rebuilt without it (with the samples it had), so the editor goes on with the
        // scene as it was.
        changes_.resize(std::min(changes_.size(), changesBefore));
        Restore();
        return Refuse(
            500, std::string("the host ran into an error and took the request back: ") + e.what());
    }
}

EditReply EditSession::Route(const EditRequest& r) {
    const bool get = r.method == "GET", post = r.method == "POST";
    if (r.path == "/api/state" && get) return State();
    if (r.path == "/api/model.glb" && get) return Model();
    if (r.path == "/api/proxies.glb" && get) return Proxies();
    if (r.path == "/api/step" && post) return Steps(r.body, {});
    if (r.path == "/api/undo" && post) return Steps(r.body, {"undo"});
    if (r.path == "/api/redo" && post) return Steps(r.body, {"redo"});
    if (r.path == "/api/save" && post) return Save(r.body);
    if (r.path == "/api/export" && post) return Export(r.body);
    if (r.path == "/api/import" && post) return Import(r);
    for (const char* p : {"/api/state", "/api/model.glb", "/api/proxies.glb", "/api/step",
                          "/api/undo", "/api/redo", "/api/save", "/api/export", "/api/import"}) {
        if (r.path == p) return Refuse(405, r.method + " is not taken by " + r.path);
    }
    return Refuse(404, r.path + " is not part of the editor");
}

EditReply EditSession::State() {
    Scene& s = *scene_;
    // What a viewport redraw after the change does: every shown object builds (and may lower its
    // display mode, with a message).
    EvaluateShownNodes(s, s.GetTime());
    CommandPanel& panel = s.Panel();
    IRollupWindow* rollup = panel.Rollup();
    json rollouts = json::array();
    for (int i = 0; i < rollup->GetNumPanels(); ++i) {
        json controls = json::array();
        for (HWND h : WinStandIn::DialogControls(rollup->GetPanelDlg(i))) {
            controls.push_back(ControlJson(WinStandIn::DescribeControl(h)));
        }
        rollouts.push_back({{"title", rollup->GetPanelTitle(i).ToUTF8()},
                            {"open", rollup->IsPanelOpen(i) != 0},
                            {"controls", std::move(controls)}});
    }
    const TimeValue t = s.GetTime();
    const double metres = GetMasterScale(UNITS_METERS);
    json nodes = json::array();
    for (Node* n : s.Nodes()) {
        const std::string kind = NodeKind(n);
        json j = {{"name", ToUTF8(n->GetName())},
                  {"kind", kind},
                  {"hidden", n->IsHidden(HIDE_CHECK_LAYER) != 0}};
        if (kind == "shape" && !n->IsHidden(HIDE_CHECK_LAYER))
            j["lines"] = ShapeLines(n, t, metres);
        if (kind == "trellon") j["displayMode"] = DisplayMode(n, t);
        nodes.push_back(std::move(j));
    }
    json messages = json::array();
    for (const MessageRecord& m : s.Messages()) {
        messages.push_back({{"title", ToUTF8(m.caption)}, {"text", ToUTF8(m.text)}});
    }
    Node* edited = panel.EditedNode();
    json doc = {{"count", Count()},
                {"scene", fs::path(scenePath_).filename().string()},
                {"edited", edited ? json(ToUTF8(edited->GetName())) : json(nullptr)},
                {"creating", panel.Creating()},
                {"pickMode", panel.CurrentPickMode() != nullptr},
                {"proxies", !ProxyNodes(s).empty()},
                {"undo", theHold.NumUndoSteps()},
                {"redo", theHold.NumRedoSteps()},
                {"rollouts", std::move(rollouts)},
                {"nodes", std::move(nodes)},
                {"messages", std::move(messages)},
                {"steps", AcceptedSteps()}};
    return Reply(200, doc);
}

EditReply EditSession::Steps(const std::string& body, const std::vector<std::string>& fixed) {
    json doc;
    EditReply refusal;
    if (!ParseBody(body, doc, refusal)) return refusal;
    for (const auto& [key, value] : doc.items()) {
        if (key != "count" && (key != "steps" || !fixed.empty())) {
            return Refuse(400, "unknown key \"" + key + "\"");
        }
    }
    if (!CheckCount(doc.contains("count") ? doc["count"] : json(), Count(), refusal))
        return refusal;
    Change change;
    change.steps = fixed;
    if (fixed.empty()) {
        const json* steps = doc.contains("steps") ? &doc["steps"] : nullptr;
        if (!steps || !steps->is_array() || steps->empty() || steps->size() > kMaxStepsPerRequest) {
            return Refuse(400, "\"steps\" must be a list of 1 to " +
                                   std::to_string(kMaxStepsPerRequest) + " step strings");
        }
        for (std::size_t i = 0; i < steps->size(); ++i) {
            const json& step = (*steps)[i];
            const std::string where = "steps[" + std::to_string(i) + "]";
            if (!step.is_string()) return Refuse(400, where + " is not a string");
            std::string text = step.get<std::string>();
            if (text.size() > kMaxStepChars) {
                return Refuse(400, where + " is longer than " + std::to_string(kMaxStepChars) +
                                       " characters");
            }
            // One step per entry: a line break would smuggle in more.
            if (text.find_first_of("\r\n") != std::string::npos) {
                return Refuse(400, where + " holds a line break; send one step per entry");
            }
            // A new object's random generator is seeded, so the scene can be rebuilt exactly.
            if (CreateWithoutSeed(text)) {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                text +=
                    " seed " +
                    std::to_string(std::chrono::duration_cast<std::chrono::seconds>(now).count() %
                                   1000000);
            }
            change.steps.push_back(std::move(text));
        }
    }
    // What the scene and the panel were, to tell whether a failure left a trace.
    const std::string before = Fingerprint();
    scene_->ClearMessages();
    const std::size_t pagesBefore = scene_->Panel().OpenedPages().size();
    const std::string error = Apply(change);
    if (error.empty()) {
        changes_.push_back(std::move(change));
        // Pages the change opened (help links): the user's browser opens them.
        const std::vector<std::wstring>& pages = scene_->Panel().OpenedPages();
        json opened = json::array();
        for (std::size_t i = pagesBefore; i < pages.size(); ++i) opened.push_back(ToUTF8(pages[i]));
        EditReply reply = State();
        json withPages = json::parse(reply.body);
        withPages["opened"] = std::move(opened);
        reply.body = withPages.dump();
        return reply;
    }
    // What the page needs to ask the user, then the scene as it was.
    json answer = {{"error", error}};
    for (const MessageRecord& m : scene_->Messages()) {
        if ((m.type & MB_TYPEMASK) == MB_OK || !Contains(error, "no `answer` step")) continue;
        answer["question"] = {
            {"title", ToUTF8(m.caption)}, {"text", ToUTF8(m.text)}, {"buttons", Buttons(m.type)}};
    }
    if (Contains(error, "no `names` step")) answer["chooseNodes"] = true;
    // Most refusals come before anything changed (a control not found, a value not taken);
    // otherwise the scene is rebuilt from the file and the accepted changes.
    if (before.empty() || Fingerprint() != before) {
        Restore();
    }
    return Reply(422, answer);
}

EditReply EditSession::Save(const std::string& body) {
    json doc;
    EditReply refusal;
    if (!ParseFileRequest(body, Count(), doc, refusal)) return refusal;
    fs::path path = scenePath_;
    if (doc.contains("file")) {
        std::string error;
        if (!doc["file"].is_string()) return Refuse(400, "\"file\" must be a file name");
        const std::string name = doc["file"].get<std::string>();
        if (!PlainName(name, {".json"}, error)) return Refuse(400, error);
        path = fs::path(folder_) / name;
    }
    std::string error;
    if (!WritablePath(path, error)) return Refuse(400, error);
    // What the viewports show is what is saved, as the ui command saves it.
    EvaluateShownNodes(*scene_, scene_->GetTime());
    try {
        SaveSceneFile(*scene_, path.string());
    } catch (const SceneFileError& e) {
        return Refuse(500, e.what());
    }
    return Reply(200, json{{"saved", path.filename().string()}, {"count", Count()}});
}

EditReply EditSession::Export(const std::string& body) {
    json doc;
    EditReply refusal;
    if (!ParseFileRequest(body, Count(), doc, refusal)) return refusal;
    std::string name = fs::path(scenePath_).filename().string();
    for (const char* tail : {".scene.json", ".json"}) {
        const std::string t = tail;
        if (name.size() > t.size() && name.compare(name.size() - t.size(), t.size(), t) == 0) {
            name.resize(name.size() - t.size());
            break;
        }
    }
    name += ".glb";
    std::string error;
    if (doc.contains("file")) {
        if (!doc["file"].is_string()) return Refuse(400, "\"file\" must be a file name");
        name = doc["file"].get<std::string>();
        if (!PlainName(name, {".glb"}, error)) return Refuse(400, error);
    }
    const fs::path path = fs::path(folder_) / name;
    if (!WritablePath(path, error)) return Refuse(400, error);
    // The evaluated scene, as `ui -o OUT.glb` writes it.
    EvaluateShownNodes(*scene_, scene_->GetTime());
    const std::vector<EvaluatedNode> nodes = EvaluateScene(*scene_, scene_->GetTime());
    if (!WriteGlb(nodes, *scene_, path.string(), error)) return Refuse(500, error);
    return Reply(200, json{{"exported", name}, {"count", Count()}});
}

EditReply EditSession::Import(const EditRequest& r) {
    const auto count = r.query.find("count");
    const auto nameIt = r.query.find("name");
    if (nameIt == r.query.end()) return Refuse(400, "the import must give ?name=FILE");
    json countJson;
    if (count != r.query.end()) {
        try {
            std::size_t used = 0;
            const long long n = std::stoll(count->second, &used);
            if (used == count->second.size()) countJson = n;
        } catch (const std::exception&) {
        }
    }
    EditReply refusal;
    if (!CheckCount(countJson, Count(), refusal)) return refusal;
    std::string error;
    const std::string name = nameIt->second;
    if (!PlainName(name, {".obj", ".glb", ".fbx"}, error)) return Refuse(400, error);
    if (r.body.empty()) return Refuse(400, name + ": the file is empty");
    if (r.body.size() > kMaxImportBytes) {
        return Refuse(413, name + " is larger than " + std::to_string(kMaxImportBytes) + " bytes");
    }
    // A free name in the folder: the file itself, or with -2, -3, ... before its extension.
    const fs::path given(name);
    fs::path path = fs::path(folder_) / given;
    std::error_code ec;
    for (int k = 2; fs::exists(path, ec) || fs::is_symlink(path, ec); ++k) {
        if (k > 999) return Refuse(400, "no free name like " + name + " in the scene's folder");
        path = fs::path(folder_) /
               (given.stem().string() + "-" + std::to_string(k) + given.extension().string());
    }
    {
        std::ofstream out(path, std::ios::binary);
        if (!out.write(r.body.data(), static_cast<std::streamsize>(r.body.size()))) {
            return Refuse(500, path.filename().string() + ": cannot be written");
        }
    }
    MSTR nodeName(FromUTF8(given.stem().string()).c_str());
    scene_->MakeNameUnique(nodeName);
    Change change;
    change.importFile = path.filename().string();
    change.importNode = nodeName.ToUTF8();
    scene_->ClearMessages();
    if (const std::string e = Apply(change); !e.empty()) {
        fs::remove(path, ec);
        Restore();
        return Refuse(422, e);
    }
    changes_.push_back(std::move(change));
    return State();
}

EditReply EditSession::Model() {
    Scene& s = *scene_;
    // The copies as instances: the render path of a renderer that instances, whatever renderer
    // the scene names (it is put back afterwards, so the saved scene keeps its own).
    const RendererInfo saved = s.CurrentRenderer();
    RendererInfo instancing;
    ParseRendererName("corona", instancing);
    s.SetCurrentRenderer(instancing);
    EvaluateShownNodes(s, s.GetTime());
    // Objects showing proxies are drawn by /api/proxies.glb: the renderer leaves them out here
    // (their copies may be far more than a page can take), and they are shown again after.
    const std::vector<Node*> proxies = ProxyNodes(s);
    for (Node* n : proxies) n->Hide(TRUE);
    std::string bytes, error;
    const bool ok = WriteGlbToMemory(
        [&](const std::string& path, std::string& e) {
            bool written = false;
            RenderFrames(s, s.GetTime(), s.GetTime(), [&](FrameDrawing& frame) {
                if (!written) written = WriteGlb(frame.nodes, frame.instanced, s, path, e);
            });
            return written;
        },
        bytes, error);
    for (Node* n : proxies) n->Hide(FALSE);
    s.SetCurrentRenderer(saved);
    if (!ok) return Refuse(500, error);
    return {200, "model/gltf-binary", std::move(bytes)};
}

EditReply EditSession::Proxies() {
    Scene& s = *scene_;
    const std::vector<Node*> proxies = ProxyNodes(s);
    TopViewport view;
    RecordingGraphicsWindow gw(view);
    Drawing drawing = DrawScene(s, view, gw, s.GetTime());
    // Only the objects in proxy modes: every other node is in the model already.
    std::erase_if(drawing.nodes, [&](const NodeDrawing& d) {
        return std::find(proxies.begin(), proxies.end(), d.node) == proxies.end();
    });
    std::ostringstream out;
    std::string error;
    if (!WriteDrawingGlb(drawing, out, error)) return Refuse(500, error);
    return {200, "model/gltf-binary", out.str()};
}

}  // namespace host
