// Setting up a Trellon node of a scene file after every node of the file exists: the "create"
// operation, the other set-up operations through the object's published functions (or the
// parameter block for "set"), the parameters, and last the object's own check of its tables.
#pragma once

#include <map>
#include <string>

#include "scene_plan.h"

namespace host {
class Node;
class Scene;
}  // namespace host

namespace host::scene_file {

// The file's nodes by the names the file gives them. Set-up operations may rename nodes (a
// picked path takes the object's name for paths), so names are resolved here, once.
using FileNodes = std::map<std::wstring, Node*>;

// The set-up and parameters of a Trellon node, after every node of the file exists (node
// parameters may name later nodes). Empty on success, else the problem.
std::string SetUpTrellon(const TrellonPlan& plan, Node* node, Scene& scene,
                         const FileNodes& fileNodes, const std::string& path);

}  // namespace host::scene_file
