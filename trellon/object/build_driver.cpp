// The build driver: what the object's mesh holds at time t, and the order in which the
// builders fill it (mesh_builder.h).

#include <algorithm>
#include <exception>
#include <vector>

#include "distribute/copy_mesh_builder.h"
#include "distribute/item_meshes.h"
#include "distribute/path_shape.h"
#include "distribute/placement.h"
#include "distribute/working_path.h"
#include "distribute/working_path_cache.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/build_estimate.h"
#include "object/geo_array.h"
#include "object/mesh_builder.h"
#include "object/param_ids.h"
#include "object/placeholder_mesh.h"
#include "object/trellon.h"
#include "shape.h"
#include "sweep/sweep_builder.h"
#include "windows.h"

namespace {

void EmptyMesh(Mesh& mesh) {
    mesh.setNumVerts(0);
    mesh.setNumFaces(0);
    mesh.setNumTVerts(0);
    mesh.setNumTVFaces(0);
    // Channel 1 goes off with its faces: in the modes without sweeps a stale channel would give
    // the placeholder texture faces pointing at texture vertices that no longer exist.
    mesh.setMapSupport(1, FALSE);
}

// The five limit tests; each switch is a parameter change (saved, shown in the drop-down list)
// and, while the spline rollout is open, a system-modal warning owned by the host window.
int LimitDisplayMode(Trellon& object, IParamBlock2& pb, TimeValue t, const BezierShape& path,
                     int mode) {
    const BuildEstimate estimate = EstimateBuild(ReadEstimateInput(pb, t, path));
    for (const ModeSwitch& change : ApplyPolygonLimits(estimate, mode)) {
        pb.SetValue(Display_Mode, t, change.to);
        if (object.ParamMaps[map_spline] != nullptr) {
            Interface* ip = GetCOREInterface();
            MessageBox(ip ? ip->GetMAXHWnd() : nullptr, change.message, kTooManyPolysTitle,
                       MB_ICONWARNING | MB_SYSTEMMODAL);
        }
    }
    return mode;
}

// Keeps Geo_Array at one group per copy slot of the working paths (the path offset by the
// global sideways offset). The working paths stay in `paths` for the placement that follows.
// Display None leaves the array as it is.
void MaintainGroupSequence(Trellon& object, IParamBlock2& pb, TimeValue t, WorkingPathCache& paths,
                           int mode) {
    if (mode == 0) return;
    const std::vector<float> lengths = paths.Lengths(GlobalPathOffset(&pb, t));
    const float spacing = pb.Count(Item_Spacing) > 0 ? pb.GetFloat(Item_Spacing, t, 0) : 0.0f;
    const int m = GroupSlotCount(lengths, spacing);
    const int count = pb.Count(Geo_Array);
    if (count != 0 && count == m) return;
    FitGroupSequence(pb, t, m, object.Generator);
}

// Steps 1 to 11 of the build; returns with the mesh filled for the mode that stands at the end.
void RunBuild(Trellon& object, IParamBlock2& pb, TimeValue t) {
    Mesh& mesh = object.mesh;

    // 1. Start from an empty mesh.
    EmptyMesh(mesh);

    // 2. Count the items (objects, posts, end objects) and the shapes to sweep.
    const int objects = pb.Count(Object_Nodes);
    const int posts = pb.Count(Post_Nodes);
    const int ends = pb.Count(End_Nodes);
    const int shapes = pb.Count(Sweep_Nodes);
    const int items = objects + posts + ends;
    int mode = pb.GetInt(Display_Mode, t);
    INode* pathNode = pb.GetINode(Spline_Obj, t);

    // 3. The placeholder, first in the mesh: nothing to distribute, no path, display off, or
    //    asked for (Show_Logo keeps it in front of the distribution).
    if (items + shapes == 0 || pb.GetInt(Show_Logo, t) != 0 || pathNode == nullptr || mode == 0) {
        AppendPlaceholderMesh(mesh, pb.GetFloat(Logo_size, t));
    }

    // 4. The path as a spline shape; a converted copy is deleted with `path` at the end of this
    //    block, the node's own object never. Without a path, or with one that is no shape and
    //    cannot become one, nothing is distributed.
    if (pathNode != nullptr) {
        const PathShape path = PathShape::Evaluate(pathNode, t);
        const BezierShape* shape = path.Shape();
        // 5. Nothing to distribute without items.
        if (shape != nullptr && items > 0) {
            // 6. Estimate and limit, unless the user forces the display.
            if (pb.GetInt(ForceDisplay, t) == 0) {
                mode = LimitDisplayMode(object, pb, t, *shape, mode);
            }

            // 7. The random group order of the sequence pattern, one entry per copy slot.
            WorkingPathCache paths(object, shape, t);
            if (pb.GetInt(Geo_Pattern, t) == 0) MaintainGroupSequence(object, pb, t, paths, mode);

            // 8. The distribution builders, in the mesh modes: the end objects when End_Nodes
            //    is not empty, then the posts when Post_Nodes is not empty, else the per-object
            //    builder (Geo_Pattern 2) or the sequence builder; each appends after the counts
            //    the one before left. The item meshes are evaluated once, for all of them.
            if (mode > 3) {
                trellon::Placement placement =
                    trellon::Placement::Prepare(object, t, pathNode, std::move(paths));
                trellon::ItemMeshes itemMeshes(t, mode);
                for (const trellon::PlacementPass pass : placement.Passes()) {
                    trellon::AppendPassCopies(mesh, CurrentAppendPoint(mesh), placement, pass,
                                              itemMeshes);
                }
            }
        }
    }  // 9. The temporary path object is gone here.

    // 10. The lighter modes are drawn from the parameter block, not from the mesh.
    if (mode < 4) return;

    // 11. The sweeps, last, after the counts the distribution left.
    trellon::AppendSweeps(object, t, CurrentAppendPoint(mesh));
}

}  // namespace

void Trellon::BuildMesh(TimeValue t) {
    // A build asked for from inside this one (through a notification of a parameter it writes)
    // leaves the mesh to it.
    if (building_) return;
    building_ = true;
    if (pblock2 == nullptr) {
        EmptyMesh(mesh);
    } else {
        // No exception may reach the host: a build that fails part-way leaves an empty mesh.
        try {
            RunBuild(*this, *pblock2, t);
        } catch (const std::exception&) {
            EmptyMesh(mesh);
        }
    }
    mesh.InvalidateGeomCache();
    mesh.InvalidateTopologyCache();
    // The object is evaluated anew at every time.
    ivalid.SetInstant(t);
    building_ = false;
}
