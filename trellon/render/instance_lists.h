// What a render hands the renderer instead of the object's mesh: the instance lists (source
// index, world transform) that the render interface reads, and the light nodes made when the
// bridge route renders the lists (a bridge takes geometry only).
//
// Both come from the one placement walk at the object's RenderTime in world space (the walk's
// copy transform times the object node's object transform), so instance i of a render stands
// where copy i of the viewport mesh stands. The walk's passes give the order: end objects,
// then the posts with the distribution among them, or the distribution alone.
#pragma once

namespace trellon {

class Trellon;

// Appends one record per copy to InstanceSources and InstanceTMs, in placement order: every
// copy whose item is not a light, and the lights too while NativeInstancing is 1 (a renderer
// that instances natively takes lights as instances; the bridge route gets them as nodes).
// Nothing without a scene node, a path or items.
void BuildInstanceLists(Trellon& object);

// Under the bridge route: when some item is a light (Item_Kind 1), a light node for every
// light copy (render/light_nodes.h), appended to TempNodes. Nothing otherwise.
void BuildLightNodes(Trellon& object);

// Empties InstanceSources and InstanceTMs and gives their storage back.
void ReleaseInstanceLists(Trellon& object);

// Takes every material of CreatedMtls out of the scene's material library (a material nothing
// refers to any more goes with it) and empties CreatedMtls.
void RemoveCreatedMaterials(Trellon& object);

// The sources: count(End_Nodes) + count(Object_Nodes) + count(Post_Nodes).
int SourceCount(Trellon& object);

}  // namespace trellon
