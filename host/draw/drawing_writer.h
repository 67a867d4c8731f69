// Writing a drawing (draw_pass.h) to a file.
//
// JSON (.json): { "nodes": [ { "name", "markers": [ { "point": [x,y,z], "color": [r,g,b] } ],
//   "polylines": [ { "points": [[x,y,z], ...], "closed": bool, "color": [r,g,b] } ],
//   "renderItems": [ { "type": "solid", "vertices": n, "triangles": m } |
//                    { "type": "wireframe", "vertices": n, "edges": m } ] } ] }
// Points are in world space, colours fractions 0..1 as drawn; the render items (the mesh the
// current viewport draws for the node) are given by their counts.
//
// glTF 2.0 binary (.glb): one glTF node per drawing node, named as it, at the root, without a
// transform (everything is in world space), with one mesh of up to two primitives: the markers
// as POINTS and the lines as LINES (each polyline's segments, the closing one of a closed
// polyline included, then the edges of the wireframe render items placed by the node's object
// transform), each vertex with its colour (COLOR_0). Axes and units as the scene's glTF files
// have them: the host point (x, y, z) becomes (x, z, -y) and is multiplied by the length of one
// system unit in metres; colours are display colours, decoded with the sRGB curve into glTF's
// linear ones. Wireframe edges take the node's wire colour.
//
// A non-finite coordinate, an extension other than .json or .glb, or a file that cannot be
// written gives false and a message; nothing is written then.
#pragma once

#include <iosfwd>
#include <string>

#include "draw_pass.h"

namespace host {

bool WriteDrawingJson(const Drawing& drawing, std::ostream& out, std::string& error);
bool WriteDrawingGlb(const Drawing& drawing, std::ostream& out, std::string& error);
// Chooses the format by the extension of path (.json or .glb, any case).
bool WriteDrawing(const Drawing& drawing, const std::string& path, std::string& error);

}  // namespace host
