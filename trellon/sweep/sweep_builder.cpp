// The viewport, render and export targets of the sweep walk (sweep_builder.h).
#include "sweep/sweep_builder.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <span>
#include <vector>

#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/mesh_fit.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "sweep/sweep_walk.h"
#include "triobj.h"

namespace trellon {
namespace {

float SeamAngleSetting(Trellon& object, TimeValue t) {
    IParamBlock2* pb = object.GetParamBlock(0);
    return pb ? static_cast<float>(pb->GetInt(Shape_AngleUVW, t)) * kDegToRad : 0.0f;
}

void Empty(Mesh& mesh) {
    mesh.setNumVerts(0);
    mesh.setNumFaces(0);
    mesh.setNumTVerts(0);
    mesh.setNumTVFaces(0);
}

// The exported node of one sweep: created by the host, identity transform, listed once in the
// object's ExportNodes, named uniquely after the profile, dressed like the profile.
INode* MakeExportNode(Interface& ip, Trellon& object, TriObject* tri, INode& profile, TimeValue t) {
    INode* node = ip.CreateObjectNode(tri);
    if (!node) {
        tri->DeleteThis();
        return nullptr;
    }
    Matrix3 identity(1);
    node->SetNodeTM(t, identity);
    bool listed = false;
    for (int i = 0; i < object.ExportNodes.Count(); ++i) listed |= object.ExportNodes[i] == node;
    if (!listed) object.ExportNodes.Append(1, &node);
    MSTR name = MSTR(_M("TL_")) + MSTR(profile.GetName());
    ip.MakeNameUnique(name);
    node->SetName(name.data());
    node->SetMtl(profile.GetMtl());
    node->SetWireColor(profile.GetWireColor());
    return node;
}

// The same rule as the build's (object/mesh_fit.h): the sweeps' counts against the mesh's index
// range and the memory there is. False, after telling the user, when they do not fit.
bool SweepsFit(Trellon& object, std::span<const SweepPass> passes, const wchar_t* what) {
    const SweepCounts total = TotalCounts(passes);
    MeshNeeds needs;
    needs.verts = total.verts;
    needs.faces = total.faces;
    needs.tverts = total.tverts;
    needs.textureFaces = total.tverts > 0;
    const FitCheck fit = CheckFit(needs);
    if (!fit.Fits()) {
        ShowRefusal(object, Counted(static_cast<std::int64_t>(passes.size()), L"sweep", L"sweeps"),
                    needs, fit, what);
    }
    return fit.Fits();
}

}  // namespace

void AppendSweeps(Trellon& object, TimeValue t, const MeshAppendPoint& at) {
    // No exception may leave a build: a sweep that fails part-way adds nothing more.
    try {
        SweepOptions options;
        options.honourSolo = true;
        options.seamAngle = SeamAngleSetting(object, t);
        const std::vector<SweepPass> passes = PrepareSweepPasses(object, t, options);
        WriteSweepPasses(passes, object.mesh, at);
    } catch (const std::exception&) {
    }
    // Texture faces must refer to texture vertices that exist. When no sweep wrote any, texture
    // faces left from an earlier build (the emptied mesh keeps channel 1 turned on, and growing
    // the faces grows its texture faces, all on vertex 0) refer to nothing: the channel goes.
    Mesh& mesh = object.mesh;
    if (mesh.getNumTVerts() == 0 && mesh.getNumMapFaces(1) > 0) mesh.setMapSupport(1, FALSE);
}

void BuildRenderSweeps(Trellon& object, Mesh& mesh, TimeValue t) {
    Empty(mesh);
    try {
        SweepOptions options;
        options.honourSolo = false;
        options.seamAngle = SeamAngleSetting(object, t);
        const std::vector<SweepPass> passes = PrepareSweepPasses(object, t, options);
        if (!SweepsFit(object, passes, L"the render mesh") ||
            !WriteSweepPasses(passes, mesh, CurrentAppendPoint(mesh)))
            Empty(mesh);
    } catch (const std::exception&) {
        Empty(mesh);
    }
}

int ExportSweepNodes(Trellon& object) {
    Interface* ip = GetCOREInterface();
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!ip || !pb) return 0;
    const TimeValue t = object.Time;
    int made = 0;
    try {
        SweepOptions options;
        options.honourSolo = false;
        options.seamAngle = kExportSeamAngle;
        const std::vector<SweepPass> passes = PrepareSweepPasses(object, t, options);
        // The passes come grouped by sweep (a sweep, then its twin): one node per group.
        for (std::size_t first = 0; first < passes.size();) {
            std::size_t end = first + 1;
            while (end < passes.size() && passes[end].sweep == passes[first].sweep) ++end;
            const int k = passes[first].sweep;
            const std::span<const SweepPass> group(passes.data() + first, end - first);
            first = end;

            INode* profile = pb->GetINode(Sweep_Nodes, t, k);
            if (!profile || !SweepsFit(object, group, L"the exported sweep")) continue;
            TriObject* tri = CreateNewTriObject();
            if (!tri) continue;
            Mesh& mesh = tri->GetMesh();
            if (!WriteSweepPasses(group, mesh, CurrentAppendPoint(mesh))) Empty(mesh);
            const float smooth = ReadSweepSettings(*pb, t, k).smoothAngle;
            if (smooth > 0.0f) {
                mesh.AutoSmooth(smooth, FALSE, FALSE);
                mesh.InvalidateTopologyCache();
            }
            if (MakeExportNode(*ip, object, tri, *profile, t)) ++made;
        }
    } catch (const std::exception&) {
    }
    return made;
}

}  // namespace trellon
