// Materials for the nodes the export and the render fallback make: a source's colour variants
// packed into one multi-material the generated meshes address by material ID, and the maps of
// the materials those nodes get switched on in the viewports.
#pragma once

class Mtl;

namespace trellon {

class Trellon;

// The material the generated nodes of source s get (sources: end objects, distribution objects,
// posts), and MtlIdStep[s]: with Color Shift off at RenderTime the source node's own material,
// unchanged and not copied, step 0. With it on: a clone of the material joined (the host's
// CombineMaterials) with its variants 1 .. V - 1 in order, into one multi-material kept in
// CreatedMtls; the step is the ID offset the first join returned, so a face with ID i of a copy
// of variant k takes ID i + k x step. Null, step 0, for a source without a node or material.
Mtl* CombineVariants(Trellon& object, int source);

// Switches the maps of m and of everything below it on in the viewports: every sub-material
// first, then each map of m in order. A map with maps of its own is looked into first, depth
// first, and left alone when a bitmap below it was handled. Otherwise a bitmap with a loaded image
// becomes m's active map (flags 0x10000F on m and on it, its display on, both told of the
// change); a bitmap without an image is left as it is; any other map is shown for m through the
// host (Interface::ActivateTexture), flags and display as for a bitmap.
void ShowMapsInViewport(Mtl* m);

}  // namespace trellon
