// Nodes made of the object's copies: the export to geometry, and the nodes the render fallback
// gives renderers that cannot take instance lists.
//
// Every source (end objects, distribution objects, posts; see colour/variants.h) with copies gets
// editable-mesh nodes holding its copies in world space, at most kCopiesPerMeshNode each, named
// "TL_" plus the source's name (made unique by the host), with the identity as node transform,
// the source's material (packed with its colour variants, export/material_combine.h) and wire
// colour. A light item gets one instance node per copy instead (render/light_nodes.h). The copies
// come from the one placement walk, in world space, so the nodes hold exactly the copies the
// viewport mesh shows.
//
// TempNodes holds the nodes: the mesh nodes source by source (distribution objects, then posts,
// then end objects; MeshNodeCount[s] of them for source s), then the light nodes.
#pragma once

#include "maxtypes.h"

class IParamBlock2;

namespace trellon {

class Trellon;

inline constexpr int kCopiesPerMeshNode = 1000;

// Makes the nodes at RenderTime (the mesh nodes empty) and appends them to TempNodes; sizes
// MtlIdStep and MeshNodeCount to the sources and fills them. Nothing without a scene node.
void BuildRenderNodes(Trellon& object);

// Fills the mesh nodes BuildRenderNodes made, in place, for RenderTime: every copy of a source in
// placement order, 1000 to a node, the source's mesh in world space with its smoothing groups,
// edge visibility and every map channel it has, its face material IDs raised by k x MtlIdStep[s]
// for the copy's variant k (0, 1, ... Color Variation - 1, again from 0). Each mesh is counted
// first and sized once.
void FillRenderMeshes(Trellon& object);

// The export: the render nodes, filled, and the sweeps' export nodes, moved onto the layer of the
// object's node; the scene keeps them and the materials made for them, and the object's node is
// deleted (the object with it). Returns the number of nodes made; 0, changing nothing, without a
// scene node or the host's interface.
int ExportToGeometry(Trellon& object);

// Whether the Export button is enabled: a path node and at least one distribution object or swept
// shape.
bool CanExport(IParamBlock2& pb, TimeValue t);

}  // namespace trellon
