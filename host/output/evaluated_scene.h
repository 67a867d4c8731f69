// The scene evaluated at one time, as triangle meshes: what every output writer (.json mesh
// dump, .obj, .glb) takes.
//
// A node is listed when its object's world state at t converts to a triangle mesh (a TriObject):
// editable meshes, boxes and spheres, plug-in geometry such as Trellon objects. Splines (they do
// not convert to a mesh), lights, cameras and targets are left out. Hidden nodes are listed too:
// the list is the scene's geometry, and a writer decides what to show.
#pragma once

#include <string>
#include <vector>

#include "matrix3.h"
#include "mesh.h"

class INode;
class Mtl;

namespace host {

class Scene;

// The mesh of a node is never copied: a simple object's own mesh (the built mesh of a procedural
// object such as Trellon) is read in place, as the host's viewport draws it, and a conversion's
// result is taken over. A mesh of ten gigabytes is then held once, not two or three times.
// A borrowed mesh is the object's: it stays right until the scene changes or the time moves,
// which no writer does.
struct EvaluatedNode {
    INode* node = nullptr;
    std::string name;     // UTF-8
    Matrix3 objectTM{1};  // object transform: object offset times node transform
    // Read the mesh through Geometry(), change it through OwnMesh(): `owned` is empty while the
    // mesh is borrowed.
    Mesh owned;                    // object space: a mesh taken over from a conversion, or filled
                                   // by the caller
    const Mesh* shared = nullptr;  // the object's own mesh, read in place (then `owned` is empty)
    Mtl* material = nullptr;       // the node's material or null
    DWORD wireColor = 0;

    // The node's evaluated mesh, in object space.
    const Mesh& Geometry() const { return shared ? *shared : owned; }
    // A mesh of the node's own to change (a borrowed mesh is copied once).
    Mesh& OwnMesh() {
        if (shared) {
            owned = *shared;
            shared = nullptr;
        }
        return owned;
    }
};

// Every node whose object evaluates to geometry, in scene order, at time t.
std::vector<EvaluatedNode> EvaluateScene(Scene& scene, TimeValue t);

// What the viewports do once a file is open, short of drawing: each shown node is evaluated at t
// and asked for its world box (to frame the views), which brings a procedural object's mesh up
// to date. Saving after this saves the state the viewports show (a random group order drawn, a
// display mode the polygon limit lowered); a hidden object stays as it was loaded until it is
// shown or rendered.
void EvaluateShownNodes(Scene& scene, TimeValue t);

// Whether the viewport shows the node: neither the node nor its layer is hidden.
bool IsShown(INode* node);

// The material a face with material ID `id` shows on a node with material m: for a
// Multi/Sub-Object material with n slots sub-material id mod n (a nested multi resolves again
// with the same ID, at most 16 deep); any other material for every face. Null when there is
// none (an empty slot, a multi with no slots, no material): the face shows the wire colour.
Mtl* ShownMaterial(Mtl* m, int id);

// One node's evaluated mesh at t; false (and `out` untouched) when the node's object does not
// evaluate to geometry.
bool EvaluateNode(INode* node, TimeValue t, EvaluatedNode& out);

}  // namespace host
