// Reading scene files (JSON, "trellon-scene" version 1) into a host Scene.
//
// Loading is all or nothing: the whole file is read and checked into plain data first, and only
// when every part is valid is anything created in the Scene. Any problem stops the load with one
// SceneFileError whose message is "FILE: JSON.PATH: problem" (the path like
// "nodes[3].object.faces[7][2]"; left out for problems with the document as a whole).
//
// Covered: format/version, units (the master unit, scale 1), time, layers, currentLayer,
// materials (class by name, diffuse, a Bitmap diffuse map given inline, sub-materials by name of
// an earlier entry or inline), nodes (name, layer, transform, objectOffset, wireColor, hidden,
// renderable, material) with the objects spline, line, inline mesh, box, sphere, light, camera and
// target, and Trellon objects: made through the class the module registered in the Scene (an
// error naming the place when it is not loaded), then their `setup` (only "create"; other
// operations are refused as not supported yet), then their `params` by id or name (a name two
// parameters share must be given by id), each checked against the block's descriptor (type,
// range, node names of the file) before the scene is touched. Problems only the object can find
// (its create operation) delete the file's nodes again. The renderer (other than null) and meshes
// from files are refused with a "not supported yet" error naming the place.
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
