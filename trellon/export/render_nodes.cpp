#include "export/render_nodes.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "colour/variants.h"
#include "distribute/placement.h"
#include "export/material_combine.h"
#include "ilayer.h"
#include "imtl.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "mesh.h"
#include "object/param_ids.h"
#include "object/trellon.h"
#include "render/light_nodes.h"
#include "sweep/sweep_builder.h"
#include "triobj.h"

namespace trellon {
namespace {

constexpr int kLightKind = 1;

struct SourceLists {
    int ends = 0;
    int objects = 0;
    int posts = 0;
    int Count() const { return ends + objects + posts; }
    // The item index (objects, posts, ends) of source s (ends, objects, posts).
    int ItemOf(int s) const {
        if (s < ends) return objects + posts + s;
        if (s < ends + objects) return s - ends;
        return objects + (s - ends - objects);
    }
    // The sources in the order their mesh nodes are made: objects, posts, ends.
    std::vector<int> MeshOrder() const {
        std::vector<int> order;
        for (int i = 0; i < objects; ++i) order.push_back(ends + i);
        for (int i = 0; i < posts; ++i) order.push_back(ends + objects + i);
        for (int i = 0; i < ends; ++i) order.push_back(i);
        return order;
    }
};

SourceLists Lists(IParamBlock2& pb) {
    return {pb.Count(End_Nodes), pb.Count(Object_Nodes), pb.Count(Post_Nodes)};
}

Placement WorldPlacement(Trellon& object) {
    PlacementOptions options;
    options.worldSpace = true;
    return Placement::Prepare(object, object.RenderTime, options);
}

// Copies per source (lights left out), from the placement's counting walk.
std::vector<std::int64_t> CountCopies(Placement& placement, const SourceLists& lists) {
    std::vector<std::int64_t> copies(static_cast<std::size_t>(lists.Count()), 0);
    for (const PlacementPass pass : placement.Passes()) {
        const PassCounts counts = placement.Count(pass);
        for (int s = 0; s < lists.Count(); ++s) {
            const int k = lists.ItemOf(s);
            if (placement.Item(k).kind == kLightKind) continue;
            if (k < static_cast<int>(counts.perItem.size()))
                copies[static_cast<std::size_t>(s)] += counts.perItem[static_cast<std::size_t>(k)];
        }
    }
    return copies;
}

// A source's mesh as the copies take it: its object at t as a triangle mesh, with its own
// material IDs and map channels. Empty when it has none.
Mesh SourceMesh(INode* source, TimeValue t) {
    Mesh mesh;
    Object* obj = source ? source->EvalWorldState(t).obj : nullptr;
    if (!obj || !obj->CanConvertToType(triObjectClassID)) return mesh;
    Object* converted = obj->ConvertToType(t, triObjectClassID);
    if (auto* tri = dynamic_cast<TriObject*>(converted)) mesh = tri->GetMesh();
    if (converted && converted != obj) converted->DeleteMe();
    return mesh;
}

// The mesh nodes of each source, in TempNodes' layout (see render_nodes.h).
std::vector<std::vector<INode*>> MeshNodesOf(Trellon& object, const SourceLists& lists) {
    std::vector<std::vector<INode*>> nodes(static_cast<std::size_t>(lists.Count()));
    int at = 0;
    for (const int s : lists.MeshOrder()) {
        const int n = s < static_cast<int>(object.MeshNodeCount.size())
                          ? object.MeshNodeCount[static_cast<std::size_t>(s)]
                          : 0;
        for (int j = 0; j < n && at < object.TempNodes.Count(); ++j)
            nodes[static_cast<std::size_t>(s)].push_back(object.TempNodes[at++]);
    }
    return nodes;
}

Mesh* MeshOf(INode* node) {
    auto* tri = node ? dynamic_cast<TriObject*>(node->GetObjectRef()) : nullptr;
    return tri ? &tri->GetMesh() : nullptr;
}

// Sizes a mesh node's mesh for `copies` copies of `source`, every channel the source has.
void SizeFor(Mesh& target, const Mesh& source, int copies) {
    target.FreeAll();
    target.setNumVerts(copies * source.getNumVerts());
    target.setNumFaces(copies * source.getNumFaces());
    for (int mp = 0; mp < source.getNumMaps(); ++mp) {
        if (!source.mapSupport(mp)) continue;
        target.setMapSupport(mp, TRUE);
        target.setNumMapVerts(mp, copies * source.getNumMapVerts(mp));
        target.setNumMapFaces(mp, copies * source.getNumFaces());
    }
}

// Writes copy number c of a node (its vertices in world space through tm).
void WriteCopy(Mesh& target, const Mesh& source, int c, const Matrix3& tm, int idStep) {
    const int nv = source.getNumVerts();
    const int nf = source.getNumFaces();
    const DWORD vo = static_cast<DWORD>(c * nv);
    for (int i = 0; i < nv; ++i) target.verts[static_cast<int>(vo) + i] = source.verts[i] * tm;
    for (int f = 0; f < nf; ++f) {
        const Face& from = source.faces[f];
        Face& to = target.faces[c * nf + f];
        to = from;
        to.setVerts(from.v[0] + vo, from.v[1] + vo, from.v[2] + vo);
        to.setMatID(static_cast<MtlID>(from.getMatID() + idStep));
    }
    for (int mp = 0; mp < source.getNumMaps(); ++mp) {
        if (!source.mapSupport(mp)) continue;
        const int mv = source.getNumMapVerts(mp);
        const DWORD mo = static_cast<DWORD>(c * mv);
        UVVert* tv = target.mapVerts(mp);
        const UVVert* sv = source.mapVerts(mp);
        for (int i = 0; i < mv; ++i) tv[static_cast<int>(mo) + i] = sv[i];
        TVFace* tf = target.mapFaces(mp);
        const TVFace* sf = source.mapFaces(mp);
        for (int f = 0; f < nf; ++f)
            tf[c * nf + f].setTVerts(sf[f].t[0] + mo, sf[f].t[1] + mo, sf[f].t[2] + mo);
    }
}

}  // namespace

void BuildRenderNodes(Trellon& object) {
    Interface* ip = GetCOREInterface();
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!ip || !pb || !object.FindNode()) return;
    const TimeValue t = object.RenderTime;
    const SourceLists lists = Lists(*pb);
    const std::vector<INode*> sources = SourceNodes(*pb, t);
    object.MtlIdStep.assign(sources.size(), 0);
    object.MeshNodeCount.assign(sources.size(), 0);
    MaintainPools(object);
    std::vector<Mtl*> materials(sources.size(), nullptr);
    for (std::size_t s = 0; s < sources.size(); ++s)
        materials[s] = CombineVariants(object, static_cast<int>(s));
    const bool showMaps = pb->GetInt(Color_Shift, 0) != 0;

    // The placement at RenderTime: the copies of each source, and a node for every light copy.
    Placement placement = WorldPlacement(object);
    const std::vector<std::int64_t> copies = CountCopies(placement, lists);
    std::vector<INode*> lights;
    for (const PlacementPass pass : placement.Passes()) {
        placement.ForEachCopy(pass, [&](const PlacedCopy& copy) {
            if (placement.Item(copy.item).kind != kLightKind) return;
            INode* source = sources[static_cast<std::size_t>(copy.source)];
            if (INode* node = MakeLightNode(source, copy.tm, t)) lights.push_back(node);
        });
    }

    for (const int s : lists.MeshOrder()) {
        INode* source = sources[static_cast<std::size_t>(s)];
        const std::int64_t c = copies[static_cast<std::size_t>(s)];
        if (!source || c <= 0) continue;
        const int nodes = static_cast<int>((c + kCopiesPerMeshNode - 1) / kCopiesPerMeshNode);
        for (int j = 0; j < nodes; ++j) {
            auto* mesh = static_cast<Object*>(
                CreateInstance(GEOMOBJECT_CLASS_ID, Class_ID(EDITTRIOBJ_CLASS_ID, 0)));
            if (!mesh) return;
            INode* node = ip->CreateObjectNode(mesh);
            MSTR name(_M("TL_"));
            name += MSTR(source->GetName());
            ip->MakeNameUnique(name);
            node->SetName(name.data());
            Matrix3 identity(1);
            node->SetNodeTM(t, identity);
            if (Mtl* m = materials[static_cast<std::size_t>(s)]) {
                node->SetMtl(m);
                if (showMaps) ShowMapsInViewport(m);
            }
            node->SetWireColor(source->GetWireColor());
            object.TempNodes.Append(1, &node);
        }
        object.MeshNodeCount[static_cast<std::size_t>(s)] = nodes;
    }
    for (INode* node : lights) object.TempNodes.Append(1, &node);
}

void FillRenderMeshes(Trellon& object) {
    IParamBlock2* pb = object.GetParamBlock(0);
    if (!pb) return;
    const TimeValue t = object.RenderTime;
    const SourceLists lists = Lists(*pb);
    const std::vector<INode*> sources = SourceNodes(*pb, t);
    const std::vector<std::vector<INode*>> nodes = MeshNodesOf(object, lists);
    const int variants = std::max(pb->GetInt(Color_Variation, 0), 1);

    Placement placement = WorldPlacement(object);
    const std::vector<std::int64_t> copies = CountCopies(placement, lists);
    // Each source's mesh once, and every node sized once for the copies it takes.
    std::vector<Mesh> meshes(sources.size());
    for (std::size_t s = 0; s < sources.size(); ++s) {
        if (nodes[s].empty()) continue;
        meshes[s] = SourceMesh(sources[s], t);
        std::int64_t left = copies[s];
        for (INode* node : nodes[s]) {
            Mesh* target = MeshOf(node);
            const int here = static_cast<int>(std::min<std::int64_t>(left, kCopiesPerMeshNode));
            left -= here;
            if (target) SizeFor(*target, meshes[s], here);
        }
    }

    // The host's progress bar, when one is open (the export opens it), every 1,024 copies.
    Interface* ip = GetCOREInterface();
    std::int64_t total = 0, done = 0;
    for (std::size_t s = 0; s < sources.size(); ++s)
        if (!nodes[s].empty()) total += copies[s];
    std::vector<std::int64_t> written(sources.size(), 0);
    for (const PlacementPass pass : placement.Passes()) {
        placement.ForEachCopy(pass, [&](const PlacedCopy& copy) {
            const auto s = static_cast<std::size_t>(copy.source);
            if (placement.Item(copy.item).kind == kLightKind || nodes[s].empty()) return;
            const std::int64_t i = written[s]++;
            Mesh* target = MeshOf(nodes[s][static_cast<std::size_t>(i / kCopiesPerMeshNode)]);
            if (!target) return;
            const int variant = static_cast<int>(i % variants);
            const int step = s < object.MtlIdStep.size() ? object.MtlIdStep[s] : 0;
            WriteCopy(*target, meshes[s], static_cast<int>(i % kCopiesPerMeshNode), copy.tm,
                      variant * step);
            if (ip && (++done & 1023) == 0)
                ip->ProgressUpdate(static_cast<int>(100 * done / std::max<std::int64_t>(total, 1)));
        });
    }
    for (const auto& list : nodes) {
        for (INode* node : list) {
            if (Mesh* target = MeshOf(node)) {
                target->InvalidateGeomCache();
                target->InvalidateTopologyCache();
            }
        }
    }
}

namespace {
// The export does its own work between ProgressStart and ProgressEnd: the host runs nothing.
DWORD NoProgressWork(LPVOID /*arg*/) { return 0; }
}  // namespace

int ExportToGeometry(Trellon& object) {
    Interface* ip = GetCOREInterface();
    IParamBlock2* pb = object.GetParamBlock(0);
    INode* self = object.FindNode();
    if (!ip || !pb || !self) return 0;
    auto* layer = dynamic_cast<ILayer*>(self->GetReference(NODE_LAYER_REF));
    object.RenderTime = ip->GetTime();
    object.Time = object.RenderTime;

    // A long export shows the host's progress bar over filling the meshes, the bulk of the work.
    const std::wstring title = std::wstring(L"exporting ") + self->GetName();
    ip->ProgressStart(title.c_str(), TRUE, &NoProgressWork, nullptr);
    BuildRenderNodes(object);
    FillRenderMeshes(object);
    ip->ProgressEnd();
    if (pb->Count(Sweep_Nodes) > 0) {
        ExportSweepNodes(object);
        for (int i = 0; i < object.ExportNodes.Count(); ++i) {
            INode* node = object.ExportNodes[i];
            object.TempNodes.Append(1, &node);
        }
        object.ExportNodes.ZeroCount();
    }
    const int made = object.TempNodes.Count();
    if (layer) {
        for (int i = 0; i < made; ++i) layer->AddToLayer(object.TempNodes[i]);
    }
    // The nodes and the materials made for them now belong to the scene.
    object.TempNodes.ZeroCount();
    object.CreatedMtls.clear();
    object.MeshNodeCount.clear();
    object.MtlIdStep.clear();
    // The object goes with its node: nothing of it may be touched after this.
    ip->DeleteNode(self, TRUE, FALSE);
    ip->RedrawViews(ip->GetTime());
    return made;
}

bool CanExport(IParamBlock2& pb, TimeValue t) {
    return pb.GetINode(Spline_Obj, t) != nullptr &&
           (pb.Count(Object_Nodes) > 0 || pb.Count(Sweep_Nodes) > 0);
}

}  // namespace trellon
