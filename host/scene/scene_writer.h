// Writing a host Scene as a scene file ("trellon-scene" version 1), the format scene_reader.h
// reads.
//
// What is written: the master unit, the time, the current renderer (null for none), every layer,
// the current layer, the materials (the scene's list first, then any other material a node uses,
// each under a name of its own; a material's diffuse colour and map under "diffuse" and
// "diffuseMap", every other parameter of its block by name under "params", maps inline with
// their own parameters and a bitmap by its file; a sub-material is named when it is an earlier
// entry, else written inline), and every node with its
// transform (position, the host's quaternion as "quat", scale), object offset, wire colour, flags,
// material and object. Splines are written as "spline" (lines too: their corner knots keep them
// straight), boxes, spheres and meshes as inline "mesh". Numbers are written as the shortest
// decimal that reads back to the same float, so load -> save -> load -> save gives identical files.
//
// Trellon objects are written as every parameter of their block, in the block's order, as
// { "id", "name", "type", "value" } (tables whole, nodes by name or null) and no set-up.
// Objects the file cannot hold yet (other plug-in classes, parameter types a file cannot hold)
// stop the save with a SceneFileError naming the node.
#pragma once

#include <string>

#include "scene_reader.h"

namespace host {

class Scene;

// The scene as the text of a scene file. Bitmap files are written relative to `folder` when it
// is given (the folder the text will be saved in, where a reader starts relative paths), and as
// the scene holds them otherwise.
std::string SaveSceneText(Scene& scene, const std::string& folder = "");

// Writes the scene to `path`; SceneFileError when the scene cannot be written or the file not.
void SaveSceneFile(Scene& scene, const std::string& path);

}  // namespace host
