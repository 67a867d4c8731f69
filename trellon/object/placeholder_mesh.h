// The placeholder mesh: what the object shows before it has a path and items, or while
// Show_Logo is on.
//
// It is a small fence panel standing in the XZ plane, facing -Y: two posts, a top and a bottom
// rail and three pickets, each an axis-aligned box, spanning [-0.5, 0.5] in X and Z and
// [-0.05, 0.05] in Y at size 1, centred at the origin. Every box side is two triangles whose
// shared diagonal is an invisible edge, so the viewport's wireframe shows the boxes' outlines.
// All faces have material ID 0 and smoothing group 0, and face outward (counter-clockwise seen
// from outside).
#pragma once

class Mesh;

namespace trellon {
// Vertex and face counts of the placeholder.
int PlaceholderVertexCount();
int PlaceholderFaceCount();

// The scale of the placeholder for a Logo_size value: anything below 0.5, and a value that is
// not a number, counts as 0.5. The spinner keeps to [0.5, 1000], but a script may set more, and
// the placeholder then grows with it: only the floor belongs to the placeholder.
float PlaceholderScale(float logoSize);

// Appends the placeholder, scaled by PlaceholderScale(logoSize), after the mesh's current
// vertices and faces (the builder contract of mesh_builder.h). Returns false, adding nothing,
// when the mesh cannot grow.
bool AppendPlaceholderMesh(Mesh& mesh, float logoSize);

}  // namespace trellon
