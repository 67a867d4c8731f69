// The build driver: what the object's mesh holds at time t, and the order in which the
// builders fill it (mesh_builder.h).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "distribute/copy_layout.h"
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
#include "object/build_settings.h"
#include "object/count_check.h"
#include "object/display_mode.h"
#include "object/geo_array.h"
#include "object/mesh_builder.h"
#include "object/mesh_fit.h"
#include "object/param_ids.h"
#include "object/placeholder_mesh.h"
#include "object/trellon.h"
#include "shape.h"
#include "sweep/sweep_builder.h"
#include "sweep/sweep_walk.h"
#include "windows.h"

namespace trellon {
namespace {

using trellon::DisplayMode;

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
DisplayMode LimitDisplayMode(Trellon& object, IParamBlock2& pb,
                             const trellon::BuildSettings& settings, const BezierShape& path,
                             DisplayMode mode) {
    const TimeValue t = settings.t;
    const trellon::BuildEstimate estimate =
        trellon::EstimateBuild(trellon::EstimateInputOf(settings, path));
    for (const trellon::ModeSwitch& change : trellon::ApplyPolygonLimits(estimate, mode)) {
        pb.SetValue(Display_Mode, t, static_cast<int>(change.to));
        if (object.ParamMaps[map_spline] != nullptr) {
            Interface* ip = GetCOREInterface();
            MessageBox(ip ? ip->GetMAXHWnd() : nullptr, change.message, trellon::kTooManyPolysTitle,
                       MB_ICONWARNING | MB_SYSTEMMODAL);
        }
    }
    return mode;
}

// Keeps Geo_Array at one group per copy slot of the working paths (the path offset by the
// global sideways offset), and the settings' copy of it with the block. The working paths stay
// in `paths` for the placement that follows. Display None leaves the array as it is.
void MaintainGroupSequence(Trellon& object, IParamBlock2& pb, trellon::BuildSettings& settings,
                           trellon::WorkingPathCache& paths, DisplayMode mode) {
    if (mode == DisplayMode::None) return;
    const TimeValue t = settings.t;
    const std::vector<float> lengths = paths.Lengths(settings.pathOffset);
    const float spacing = settings.spacings.empty() ? 0.0f : settings.spacings[0];
    // One group per slot of the global spacing along the working paths.
    const int m = trellon::SlotsAlongPaths(lengths, spacing);
    const int count = pb.Count(Geo_Array);
    if (count != 0 && count == m) return;
    trellon::FitGroupSequence(pb, t, m, object.Generator);
    settings.geoArray.resize(static_cast<std::size_t>(std::max(pb.Count(Geo_Array), 0)));
    for (std::size_t i = 0; i < settings.geoArray.size(); ++i)
        settings.geoArray[i] = pb.GetInt(Geo_Array, t, static_cast<int>(i));
}

// What the mesh modes add after the placeholder: the distribution's passes and the sweeps,
// counted before anything is allocated.
struct MeshPlan {
    std::vector<trellon::PlacementPass> passes;
    std::vector<trellon::PassMeshCounts> passCounts;
    std::vector<trellon::SweepPass> sweeps;
    trellon::SweepCounts sweepCounts;
    std::int64_t copies = 0;

    trellon::MeshNeeds Needs(const Mesh& mesh) const {
        trellon::MeshNeeds needs;
        needs.verts = mesh.getNumVerts() + sweepCounts.verts;
        needs.faces = mesh.getNumFaces() + sweepCounts.faces;
        for (const trellon::PassMeshCounts& c : passCounts) {
            needs.verts += c.verts;
            needs.faces += c.faces;
        }
        needs.tverts = mesh.getNumTVerts() + sweepCounts.tverts;
        needs.textureFaces = sweepCounts.tverts > 0;
        return needs;
    }
};

// The sweeps of the viewport mesh (only sweep n - 1 with Sweep_Solo n > 0).
std::vector<trellon::SweepPass> ViewportSweeps(Trellon& object,
                                               const trellon::BuildSettings& settings,
                                               const BezierShape& shape) {
    trellon::SweepOptions options;
    options.honourSolo = true;
    options.seamAngle = settings.seamAngle;
    return trellon::PrepareSweepPasses(object, settings, shape, options);
}

// The work handed to the host's progress bar: none, the build reports as it goes.
DWORD NoWork(LPVOID /*arg*/) { return 0; }

// Sizes the mesh once for the whole plan; false (the mesh as it was) when memory is not there.
bool SizeMesh(Mesh& mesh, const trellon::MeshNeeds& needs, int tvBase) {
    const trellon::MeshAppendPoint at = trellon::CurrentAppendPoint(mesh);
    if (!trellon::GrowMesh(mesh, at, static_cast<int>(needs.verts) - at.verts,
                           static_cast<int>(needs.faces) - at.faces))
        return false;
    if (needs.textureFaces &&
        !trellon::SizeSweepTexture(mesh, static_cast<int>(needs.tverts), mesh.getNumFaces())) {
        mesh.setNumTVerts(tvBase, TRUE);
        mesh.setNumVerts(at.verts, TRUE);
        mesh.setNumFaces(at.faces, TRUE);
        return false;
    }
    return true;
}

// Steps 1 to 11 of the build; returns with the mesh filled for the mode that stands at the end.
void RunBuild(Trellon& object, IParamBlock2& pb, TimeValue t) {
    Mesh& mesh = object.mesh;

    // 1. Start from an empty mesh.
    EmptyMesh(mesh);

    // 2. Read the block once: every step below and every builder works on these settings.
    //    Count the items (objects, posts, end objects) and the shapes to sweep.
    trellon::BuildSettings settings = trellon::BuildSettings::Read(pb, t);
    const int items = settings.ItemCount();
    const int shapes = static_cast<int>(settings.sweeps.size());
    DisplayMode mode = settings.mode;
    INode* pathNode = settings.pathNode;

    // 3. The placeholder, first in the mesh: nothing to distribute, no path, display off, or
    //    asked for (Show_Logo keeps it in front of the distribution).
    if (items + shapes == 0 || settings.showLogo || pathNode == nullptr ||
        mode == DisplayMode::None) {
        trellon::AppendPlaceholderMesh(mesh, settings.logoSize);
    }

    // 4. The path as a spline shape, evaluated once for the estimate, the group sequence, the
    //    placement and the sweeps; a converted copy is deleted with `path` when the build
    //    returns, the node's own object never. Without a path, or with one that is no shape and
    //    cannot become one, nothing is distributed.
    trellon::PathShape path = trellon::PathShape::Evaluate(pathNode, t);
    const BezierShape* shape = path.Shape();
    std::optional<trellon::Placement> placement;
    // 5. Nothing to distribute without items.
    if (shape != nullptr && items > 0) {
        // 6. Estimate and limit, unless the user forces the display.
        if (!settings.forceDisplay) mode = LimitDisplayMode(object, pb, settings, *shape, mode);

        // 7. The random group order of the sequence pattern, one entry per copy slot.
        trellon::WorkingPathCache paths(object, shape, t);
        if (settings.pattern == 0) MaintainGroupSequence(object, pb, settings, paths, mode);
        if (trellon::IsMeshMode(mode)) {
            placement.emplace(trellon::Placement::Prepare(object, settings, std::move(paths)));
        }
    }

    // 10. The lighter modes are drawn from the parameter block, not from the mesh.
    if (!trellon::IsMeshMode(mode)) return;

    // 8 and 11, counted first: the distribution builders in the mesh modes (the end objects
    //    when End_Nodes is not empty, then the posts when Post_Nodes is not empty, else the
    //    per-object builder for Geo_Pattern 2 or the sequence builder), then the sweeps. The
    //    item meshes are evaluated once, for all of them.
    trellon::ItemMeshes itemMeshes(t, mode);
    MeshPlan plan;
    if (placement) {
        plan.passes = placement->Passes();
        for (const trellon::PlacementPass pass : plan.passes) {
            plan.passCounts.push_back(trellon::CountPassCopies(*placement, pass, itemMeshes));
            plan.copies += plan.passCounts.back().copies.total;
        }
    }
    if (shapes > 0 && shape != nullptr) {
        plan.sweeps = ViewportSweeps(object, settings, *shape);
        plan.sweepCounts = trellon::TotalCounts(plan.sweeps);
    }

    // Then decide: a mesh past what the SDK's mesh can index or the machine can give is not
    // built at all, and the user is told why.
    const trellon::MeshNeeds needs = plan.Needs(mesh);
    trellon::FitCheck fit = trellon::CheckFit(needs);
    const int tvBase = mesh.getNumTVerts();
    const trellon::MeshAppendPoint start = trellon::CurrentAppendPoint(mesh);
    if (fit.Fits() && !SizeMesh(mesh, needs, tvBase)) fit.memory = false;
    if (!fit.Fits()) {
        EmptyMesh(mesh);
        trellon::ShowRefusal(object, trellon::Counted(plan.copies, L"copy", L"copies"), needs, fit,
                             L"the mesh");
        return;
    }

    // Fill: each builder writes its slice after the one before, telling the host's progress bar
    // how far the faces have come (the host shows it only for a build that takes a while).
    Interface* ip = GetCOREInterface();
    const double facesPlanned = static_cast<double>(std::max<std::int64_t>(needs.faces, 1));
    if (ip) {
        INode* node = object.FindNode();
        const std::wstring title =
            std::wstring(L"building ") + (node ? node->GetName() : L"Trellon");
        ip->ProgressStart(title.c_str(), TRUE, &NoWork, nullptr);
    }
    struct EndProgress {
        Interface* ip;
        ~EndProgress() {
            if (ip) ip->ProgressEnd();
        }
    } endProgress{ip};
    trellon::MeshAppendPoint cursor = start;
    for (std::size_t i = 0; i < plan.passes.size(); ++i) {
        const trellon::PassMeshCounts& counts = plan.passCounts[i];
        const trellon::BuildProgress progress{ip, static_cast<double>(cursor.faces) / facesPlanned,
                                              static_cast<double>(counts.faces) / facesPlanned};
        // A pass that writes other than it counted throws (count_check.h): the build then gives
        // nothing rather than faces on vertex 0.
        const trellon::MeshAppendPoint written = trellon::WritePassCopies(
            mesh, cursor, counts, *placement, plan.passes[i], itemMeshes, &progress);
        cursor.verts += written.verts;
        cursor.faces += written.faces;
    }
    trellon::FillSweepPasses(plan.sweeps, mesh, cursor, tvBase);
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
        } catch (const trellon::CountMismatch& e) {
            // A bug, not the user's input: said with both numbers where a developer looks.
            std::fprintf(stderr, "Trellon build: %s\n", e.what());
            EmptyMesh(mesh);
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

}  // namespace trellon
