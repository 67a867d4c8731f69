// How the object shows its copies (Display_Mode). The parameter block stores the mode as an int,
// 0 to 6 in this order, so the numbers are part of every saved scene and must not change; the
// code names them instead of comparing numbers.
#pragma once

#include "iparamb2.h"
#include "object/param_ids.h"

namespace trellon {

enum class DisplayMode : int {
    None = 0,          // no copies (hit testing still tests the mesh)
    Dots = 1,          // a dot per copy
    Boxes = 2,         // each copy's box
    PointCloud = 3,    // each copy's stored point cloud
    Pyramids = 4,      // a pyramid per copy, built into the mesh
    Placeholders = 5,  // the rounded proxy box per copy, built into the mesh
    FullMesh = 6,      // the items' own meshes
};

// The proxy modes (Dots to PointCloud) are drawn from the parameter block; from Pyramids on the
// copies are built into the object's mesh.
inline bool IsMeshMode(DisplayMode mode) { return mode >= DisplayMode::Pyramids; }
inline bool IsProxyMode(DisplayMode mode) {
    return mode >= DisplayMode::Dots && mode <= DisplayMode::PointCloud;
}

// The stored mode at t. The descriptor's range keeps it within 0..6.
inline DisplayMode ReadDisplayMode(IParamBlock2& pb, TimeValue t) {
    return static_cast<DisplayMode>(pb.GetInt(Display_Mode, t));
}

}  // namespace trellon
