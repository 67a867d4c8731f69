// Reading scene files (JSON, "trellon-scene" version 1) into a host Scene.
//
// Loading is all or nothing: the whole file is read and checked into plain data first, and only
// when every part is valid is anything created in the Scene. Any problem stops the load with one
// SceneFileError whose message is "FILE: JSON.PATH: problem" (the path like
// "nodes[3].object.faces[7][2]"; left out for problems with the document as a whole).
//
// Covered: format/version, units (the master unit, scale 1), time, the current renderer (corona
// with its version, vray, scanline, or null), layers, currentLayer, materials (class by name,
// diffuse, a Bitmap diffuse map given inline, sub-materials by name of an earlier entry or
// inline), nodes (name, layer, transform, objectOffset, wireColor, hidden, renderable, material)
// with the objects spline, line, mesh (inline, or imported from a file relative to the scene
// file: mesh_import.h), box, sphere, light, camera and target, and Trellon objects.
//
// Trellon objects are made through the class the module registered in the Scene (an error
// naming the place when it is not loaded). Their `setup` runs first, in order: "create" (the
// first click), then the operations the object publishes under the same names (pickPath,
// addItem, ... seedMirror: called by name with their `node`, `nodes` or `row`; the object's
// car-paint question is answered from `carPaint` through the scene's default message-box
// answer), and "set" (one parameter value, a table entry by `index`, through the parameter
// block). Then `params` by id or name (a name two parameters share must be given by id). Every
// argument and value is checked against the block's descriptor (type; the range of integers,
// and of floats given by `set`, which a spinner would keep in range) and the file's node names
// before the scene is touched; what only the object can find (a row out of range, a node of the
// wrong kind, a table index past the table's current end) stops the load with the operation's path,
// and everything the load did is undone: its nodes and whatever the objects made, its
// materials and layers, and the units, time, renderer and current layer it set.
#pragma once

#include <stdexcept>
#include <string>

namespace host {

class Scene;

class SceneFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the file at `path` into `scene`. Throws SceneFileError; the scene is untouched then.
void LoadSceneFile(const std::string& path, Scene& scene);

// The same for text already in memory; `fileName` is the name errors give.
void LoadSceneText(const std::string& text, const std::string& fileName, Scene& scene);

}  // namespace host
