// The editing session behind `trellon-host edit`: one scene, changed only by panel steps (the
// step language of ui_command.h) and by mesh files brought in, answering the browser editor's
// requests. The HTTP side (edit_server.h) parses requests and hands them here; nothing here
// knows about sockets, so tests drive a session with plain requests.
//
// Requests (bodies and answers are JSON unless said otherwise; every refusal is
// {"error": MESSAGE} with a 4xx status, and a refused request changes nothing):
//
//   GET  /api/state       the panel as the page draws it: the open rollouts in the panel's
//                         order with their controls (kind, identifier, caption, tooltip, icon,
//                         enabled, checked, value and limits, list entries and rows, selection),
//                         the scene's nodes (shapes with their lines, for picking in the view),
//                         the edited node, whether a pick mode is in force, the steps accepted so
//                         far and `count`, the number of changes made.
//   POST /api/step        {"count": N, "steps": ["set objects/1095 20"]}: panel steps in the ui
//                         command's JSON form, made against change N. Refused (409) when the
//                         scene has changed since N; a step that fails leaves the scene as it
//                         was before the request. A question box without an answer refuses the
//                         request with "question": {title, text, buttons}; a select-by-name
//                         dialog without names with "chooseNodes": true: the page asks the user
//                         and sends the steps again after an `answer` or `names` step. The
//                         answer is the new state, with "opened": the pages (help links) the
//                         change opened, for the user's browser to open.
//   POST /api/undo, /api/redo   {"count": N}: the `undo` / `redo` step.
//   POST /api/save        {"count": N, "file": NAME}: writes the scene file (NAME in the scene's
//                         folder, ending in .json; without NAME the file that was opened).
//   POST /api/export      {"count": N, "file": NAME}: writes the evaluated scene as .glb (NAME in
//                         the scene's folder; without NAME the scene's name with .glb).
//   POST /api/import?name=FILE&count=N   the body is a mesh file (.obj, .glb, .fbx): written
//                         into the scene's folder (under a free name) and added to the scene as
//                         a hidden mesh node, imported as a scene file's `mesh` with a `file`.
//   GET  /api/model.glb   what the renderer draws (the render path with instancing: each item's
//                         mesh once, its copies as instances), as glTF binary; objects whose
//                         display mode is a proxy mode (their own fall-back past the polygon
//                         limits, or the user's choice) are left out of it and drawn by
//   GET  /api/proxies.glb the viewport's drawing of those objects: dots, boxes, point clouds
//                         as glTF points and lines ("proxies" in the state says whether any).
//
// Why a failed step changes nothing: most refusals come before anything is touched (the scene and
// the panel are compared before and after). Otherwise the session, which keeps the opened file's
// text and every change it accepted, loads the scene again from that text and runs the accepted
// changes again in order. Steps only change the parameter block and the panel, so the replay is
// quick; a `create` step without a seed is given one (the clock's), so the replay makes the same
// object. One thing a replay cannot repeat is the point-cloud sample of an added item, drawn from
// the module's own copy of the runtime generator: the samples are put back afterwards, but items
// added after such a rollback draw further along that generator than a fresh `ui` run would.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "point3.h"

class ClassDesc;

namespace host {

class Scene;

struct EditRequest {
    std::string method;                        // "GET", "POST", ...
    std::string path;                          // without the query
    std::map<std::string, std::string> query;  // decoded
    std::string body;
};

struct EditReply {
    int status = 200;
    std::string type = "application/json";
    std::string body;
};

class EditSession {
public:
    // classes: the loaded module's classes; scenePath: the scene file to edit.
    EditSession(std::vector<ClassDesc*> classes, std::string scenePath);
    ~EditSession();
    EditSession(const EditSession&) = delete;
    EditSession& operator=(const EditSession&) = delete;

    // Loads the scene and opens the modify panel on its first Trellon object (as the first
    // accepted step). False with the reason when the scene cannot be loaded.
    bool Open(std::string& error);

    // Answers one request of the /api/ family (anything else: 404).
    EditReply Handle(const EditRequest& request);

    Scene& CurrentScene() { return *scene_; }
    const std::string& Folder() const { return folder_; }
    // The steps accepted so far, in order (what `ui --steps` runs to reach the same scene).
    std::vector<std::string> AcceptedSteps() const;
    int Count() const { return static_cast<int>(changes_.size()); }

    // Largest request body the session takes: mesh files, and everything else.
    static constexpr std::size_t kMaxImportBytes = 64u << 20;
    static constexpr std::size_t kMaxJsonBytes = 64u << 10;

private:
    struct Change {
        std::vector<std::string> steps;  // panel steps; empty for an import
        std::string importFile;          // a mesh file in the folder, for an import
        std::string importNode;
    };

    EditReply Route(const EditRequest& request);
    EditReply State();
    EditReply Steps(const std::string& body, const std::vector<std::string>& fixed);
    EditReply Save(const std::string& body);
    EditReply Export(const std::string& body);
    EditReply Import(const EditRequest& request);
    EditReply Model();
    EditReply Proxies();

    // A fresh scene with the opened file loaded; false with the reader's message.
    bool Load(std::string& error);
    // Runs one change on the current scene; empty on success.
    std::string Apply(const Change& change);
    // Loads the file again, replays every accepted change and puts back the point-cloud samples
    // the request found (a replay draws other ones).
    void Restore();
    // The scene as a file and the panel as the page sees it; empty when the scene cannot be
    // written.
    std::string Fingerprint();

    std::vector<ClassDesc*> classes_;
    std::string scenePath_;
    std::string folder_;
    std::string fileText_;
    std::unique_ptr<Scene> scene_;
    std::vector<Change> changes_;
    // Each Trellon object's point-cloud sample as the request being answered found it, by node.
    std::map<std::string, std::vector<Point3>> samples_;
};

}  // namespace host
