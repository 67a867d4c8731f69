// The fence the scene tests stand on, as scene-file text: a path "Path", the fence parts as
// hidden nodes and a Trellon object "Fence" that picks the path. A test sets what it needs and
// adds the items it places with `setup`.
//
// The parts, pivots at the base centre (width along x, length along y): Picket, a box 2 x 8 x 90
// of material Wood; Post, 10 x 10 x 110; Cap, 12 x 12 x 20; Lamp, a light; Rail, a closed
// rectangle 4 x 6 to sweep. Paint is a car-paint material no part wears.
#pragma once

#include <string>

namespace support {

// The parts' set-up of the renderer and export tests: Picket, Post and Cap added, Post made the
// post and Cap the end object.
inline constexpr const char* kPicketPostCap =
    R"({"op": "addItems", "nodes": ["Picket", "Post", "Cap"]},
       {"op": "makePost", "row": 2}, {"op": "makeEnd", "row": 2})";

struct FenceScene {
    std::string path = R"({"type": "line", "points": [[0,0,0], [200,0,0]]})";
    std::string top;        // more top-level keys, each followed by a comma
    std::string nodes;      // more nodes, placed before Fence, each followed by a comma
    std::string transform;  // Fence's node transform, empty for none
    int seed = 1;
    std::string setup;   // set-up operations after create and pickPath
    std::string params;  // the object's parameter entries

    std::string Text() const {
        return R"({"format": "trellon-scene", "version": 1, "units": "centimeters", )" + top +
               R"(
  "materials": [{"name": "Wood", "class": "Standard", "diffuse": [0.6, 0.4, 0.2]},
                {"name": "Paint", "class": "VRayCarPaintMtl", "diffuse": [0.8, 0.1, 0.1]}],
  "nodes": [
    {"name": "Path", "object": )" +
               path + R"(},
    {"name": "Picket", "hidden": true, "material": "Wood",
     "object": {"type": "box", "length": 8, "width": 2, "height": 90}},
    {"name": "Post", "hidden": true, "object": {"type": "box", "length": 10, "width": 10, "height": 110}},
    {"name": "Cap", "hidden": true, "object": {"type": "box", "length": 12, "width": 12, "height": 20}},
    {"name": "Lamp", "hidden": true, "object": {"type": "light"}},
    {"name": "Rail", "hidden": true, "object": {"type": "line", "closed": true,
     "points": [[-2,-3,0], [2,-3,0], [2,3,0], [-2,3,0]]}},
    )" + nodes +
               R"({"name": "Fence", )" +
               (transform.empty() ? "" : R"("transform": )" + transform + ", ") +
               R"("object": {"type": "Trellon", "setup": [{"op": "create", "seed": )" +
               std::to_string(seed) + R"(}, {"op": "pickPath", "node": "Path"})" +
               (setup.empty() ? "" : ", " + setup) + R"(], "params": [)" + params + "]}}]}";
    }
};

}  // namespace support
