// A render as the host runs it, headless: the notifications in the host's order, the renderer
// stand-in of the scene's current renderer, and what that renderer would draw in each frame.
//
//   NOTIFY_PRE_RENDER (callParam: the first frame's time)
//   for each frame t:  NOTIFY_RENDER_PREEVAL (callParam: &t), NOTIFY_PRE_RENDERFRAME,
//                      the renderer draws the frame, NOTIFY_POST_RENDERFRAME
//   the renderer closes (V-Ray forgets its instance sources)
//   NOTIFY_POST_RENDER
//
// What a renderer draws in a frame: every node that is not hidden (by itself or its layer) and
// is renderable, by its object's render mesh (a Trellon object's holds its sweeps; the nodes
// made for the render are ordinary nodes), plus instances:
//   - Corona from version 0x5100000000001 reads the instance lists of every drawn object that
//     publishes the render instancing interface (Interface_ID 0x602C557F, 0x4BF751AD), by its
//     function IDs: PrepareInstances, GetInstanceCount, then per instance its source, transform
//     and material;
//   - V-Ray publishes its instancing hook (vray_instancing.h) for bridge libraries and asks every
//     registered source for the frame's instances;
//   - the scanline renderer, an older Corona or no renderer draw nodes only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "evaluated_scene.h"
#include "gltf_writer.h"
#include "renderers.h"

class INode;

namespace host {

class Scene;

// How one object's copies reached the renderer in one frame.
struct ObjectRoute {
    std::string node;   // the object's node
    std::string route;  // "instances", "bridge", "nodes" or "none"
    std::int64_t instances = 0;
    std::vector<std::pair<std::string, std::int64_t>> perSource;  // source node, instances
    int nodesMade = 0;  // nodes the object made for this render (fallback, lights, bridge)
};

struct FrameReport {
    TimeValue time = 0;
    std::vector<ObjectRoute> objects;  // every Trellon object, in scene order
};

// What one frame draws: plain nodes and instanced sources, ready for WriteGlb. The meshes are
// valid only inside the frame callback.
struct FrameDrawing {
    TimeValue time = 0;
    std::vector<EvaluatedNode> nodes;
    std::vector<InstancedSource> instanced;
    std::int64_t lightInstances = 0;  // instances of lights (drawn as lights, not in the file)
};

struct RenderResult {
    std::string renderer;  // the renderer's scene-file name, or "none"
    std::vector<FrameReport> frames;
    int nodesLeft = 0;  // nodes made during the render and still in the scene after it
    std::map<std::string, int> nodesLeftPerObject;
};

// Renders frames first..last (ticks, one frame apart) with the scene's current renderer, calling
// `onFrame` with each frame's drawing while it is valid.
RenderResult RenderFrames(Scene& scene, TimeValue first, TimeValue last,
                          const std::function<void(FrameDrawing&)>& onFrame);

}  // namespace host
