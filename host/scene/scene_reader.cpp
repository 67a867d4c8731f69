#include "scene_reader.h"

#include <exception>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "build_plan.h"
#include "plan_reader.h"
#include "scene_snapshot.h"

namespace host {

using scene_file::Apply;
using scene_file::json;
using scene_file::Reader;
using scene_file::ScenePlan;
using scene_file::SceneSnapshot;

void LoadSceneText(const std::string& text, const std::string& fileName, Scene& scene) {
    json doc;
    try {
        doc = json::parse(text);
    } catch (const json::parse_error& e) {
        // The parser's message names the line and column; drop its internal prefix.
        std::string what = e.what();
        if (const auto pos = what.find("] "); pos != std::string::npos) what = what.substr(pos + 2);
        throw SceneFileError(fileName + ": not valid JSON: " + what);
    } catch (const json::exception& e) {
        throw SceneFileError(fileName + ": not valid JSON: " + e.what());
    }
    Reader reader(fileName, scene);
    const ScenePlan plan = reader.Read(doc);
    // Only the objects can still find problems now (their set-up); then everything the load
    // did is taken out again.
    SceneSnapshot snapshot(scene);
    try {
        Apply(plan, scene);
    } catch (const SceneFileError& e) {
        snapshot.Restore();
        throw SceneFileError(fileName + ": " + e.what());
    } catch (const std::exception& e) {
        snapshot.Restore();
        throw SceneFileError(fileName + ": the scene could not be set up: " + e.what());
    }
}

void LoadSceneFile(const std::string& path, Scene& scene) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SceneFileError(path + ": cannot open the file");
    std::ostringstream text;
    text << in.rdbuf();
    LoadSceneText(text.str(), path, scene);
}

}  // namespace host
