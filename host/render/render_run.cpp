#include "render_run.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include "build_command.h"
#include "ifnpub.h"
#include "inode.h"
#include "iparamb2.h"
#include "maxapi.h"
#include "notify.h"
#include "object.h"
#include "object_functions.h"
#include "scene.h"
#include "superclassids.h"
#include "vray_instancing.h"

namespace host {
namespace {

// The render instancing interface that Trellon objects publish, and its function IDs.
const Interface_ID kRenderInterface(0x602C557F, 0x4BF751AD);
enum RenderFn {
    kPrepareInstances = 1,
    kGetSourceNode = 2,
    kGetInstanceCount = 4,
    kGetInstanceSource = 6,
    kGetInstanceTM = 7,
    kGetInstanceMtl = 9,
};
constexpr std::int64_t kCoronaInstancingVersion = 0x5100000000001LL;

// A renderer's view used for render meshes: a plain perspective camera.
class RenderView : public View {
public:
    Point2 ViewToScreen(Point3 p) override { return Point2(p.x, p.y); }
};

// One instance as a renderer receives it.
struct Instance {
    INode* source = nullptr;
    Matrix3 tm{1};
    Mtl* mtl = nullptr;
};

// Instances of one object in one frame.
struct ObjectInstances {
    INode* objectNode = nullptr;
    std::vector<Instance> instances;
};

// The V-Ray stand-in's instancing hook: sources registered by bridge libraries, asked per frame.
class VRayInstancing : public IVRayInstancing {
public:
    struct Entry {
        INode* objectNode;
        VRayInstanceSource* source;
    };
    void AddInstanceSource(INode* objectNode, VRayInstanceSource* source) override {
        if (source) entries.push_back({objectNode, source});
    }
    std::vector<Entry> entries;
};

class Collector final : public VRayInstanceSink {
public:
    explicit Collector(ObjectInstances& into) : into_(into) {}
    void AddInstance(INode* source, const Matrix3& tm, Mtl* mtl) override {
        into_.instances.push_back({source, tm, mtl});
    }

private:
    ObjectInstances& into_;
};

bool Drawn(INode* node) { return node && !node->IsHidden(HIDE_CHECK_LAYER) && node->Renderable(); }

// Reads an object's lists through its render interface, by function ID, as Corona does.
ObjectInstances ReadInstanceLists(INode* node, FPInterface& fp, TimeValue t) {
    ObjectInstances result;
    result.objectNode = node;
    FPValue v;
    if (fp.Invoke(kPrepareInstances, t, v) != FPS_OK) return result;
    const int sources = v.i;
    std::vector<INode*> sourceNodes(static_cast<std::size_t>(std::max(sources, 0)), nullptr);
    FPParams arg{FPValue(TYPE_INT, 0)};
    for (int s = 0; s < sources; ++s) {
        arg.params[0].Load(TYPE_INT, s);
        if (fp.Invoke(kGetSourceNode, t, v, &arg) == FPS_OK)
            sourceNodes[static_cast<std::size_t>(s)] = v.n;
    }
    if (fp.Invoke(kGetInstanceCount, t, v) != FPS_OK) return result;
    const int count = v.i;
    result.instances.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        arg.params[0].Load(TYPE_INT, k);
        Instance instance;
        if (fp.Invoke(kGetInstanceSource, t, v, &arg) != FPS_OK) continue;
        const int s = v.i;
        if (s >= 0 && s < sources) instance.source = sourceNodes[static_cast<std::size_t>(s)];
        if (fp.Invoke(kGetInstanceTM, t, v, &arg) == FPS_OK && v.m) instance.tm = *v.m;
        if (fp.Invoke(kGetInstanceMtl, t, v, &arg) == FPS_OK) instance.mtl = v.mtl;
        result.instances.push_back(instance);
    }
    return result;
}

FPInterface* RenderInterfaceOf(INode* node) {
    Object* obj = node ? node->GetObjectRef() : nullptr;
    return obj ? static_cast<FPInterface*>(obj->GetInterface(kRenderInterface)) : nullptr;
}

// Every node the renderer draws, by its render mesh.
void DrawNodes(Scene& scene, TimeValue t, FrameDrawing& frame) {
    RenderView view;
    for (Node* node : scene.Nodes()) {
        if (!Drawn(node)) continue;
        const ObjectState& os = node->EvalWorldState(t);
        auto* geom = dynamic_cast<GeomObject*>(os.obj);
        if (!geom || os.obj->SuperClassID() != GEOMOBJECT_CLASS_ID) continue;
        BOOL needDelete = FALSE;
        Mesh* mesh = geom->GetRenderMesh(t, node, view, needDelete);
        if (!mesh) continue;
        EvaluatedNode e;
        e.node = node;
        e.name = ToUTF8(node->GetName());
        e.objectTM = node->GetObjectTM(t);
        e.material = node->GetMtl();
        e.wireColor = node->GetWireColor();
        if (needDelete) {
            e.owned = std::move(*mesh);
            delete mesh;
        } else {
            e.shared = mesh;
        }
        if (e.Geometry().numFaces == 0) continue;
        frame.nodes.push_back(std::move(e));
    }
}

bool IsLight(INode* node) {
    Object* obj = node ? node->EvalWorldState(0).obj : nullptr;
    return obj && obj->SuperClassID() == LIGHT_CLASS_ID;
}

// Sorts the frame's instances into sources and material groups; a copy that cannot be a glTF
// instance (shear, a mirror) is drawn as a node of its own.
void AddInstances(const std::vector<ObjectInstances>& all, TimeValue t, FrameDrawing& frame,
                  std::vector<FrameReport>& /*unused*/) {
    std::unordered_map<INode*, std::size_t> sourceAt;
    for (const ObjectInstances& object : all) {
        for (const Instance& instance : object.instances) {
            if (!instance.source) continue;
            if (IsLight(instance.source)) {
                ++frame.lightInstances;
                continue;
            }
            auto [it, added] = sourceAt.try_emplace(instance.source, frame.instanced.size());
            if (added) {
                InstancedSource source;
                if (!EvaluateNode(instance.source, t, source.source)) {
                    it->second = static_cast<std::size_t>(-1);
                    continue;
                }
                frame.instanced.push_back(std::move(source));
            }
            if (it->second == static_cast<std::size_t>(-1)) continue;
            InstancedSource& source = frame.instanced[it->second];
            if (!InstanceableTransform(instance.tm)) {
                EvaluatedNode node;
                node.node = nullptr;
                node.name = source.source.name;
                node.objectTM = instance.tm;
                node.shared = &source.source.Geometry();
                node.material = instance.mtl ? instance.mtl : source.source.material;
                node.wireColor = source.source.wireColor;
                frame.nodes.push_back(std::move(node));
                continue;
            }
            auto group =
                std::find_if(source.groups.begin(), source.groups.end(),
                             [&](const InstanceGroup& g) { return g.material == instance.mtl; });
            if (group == source.groups.end()) {
                source.groups.push_back({instance.mtl, {}});
                group = source.groups.end() - 1;
            }
            group->transforms.push_back(instance.tm);
        }
    }
}

}  // namespace

RenderResult RenderFrames(Scene& scene, TimeValue first, TimeValue last,
                          const std::function<void(FrameDrawing&)>& onFrame) {
    RenderResult result;
    const RendererInfo renderer = scene.CurrentRenderer();
    result.renderer = renderer.IsNone() ? "none" : RendererNameOf(renderer.classId);
    const bool corona =
        renderer.classId == kCoronaRendererClassID && renderer.version >= kCoronaInstancingVersion;
    const bool vray = renderer.classId == kVRayRendererClassID;

    // The Trellon objects, by the address their notification handlers are registered with.
    std::vector<Node*> objectNodes;
    std::unordered_map<const void*, Node*> nodeOfObject;
    for (Node* node : scene.Nodes()) {
        Object* obj = node->GetObjectRef();
        if (!obj || !IsTrellon(obj)) continue;
        objectNodes.push_back(node);
        nodeOfObject[dynamic_cast<void*>(obj)] = node;
    }

    // Which object made which node: nodes made inside an object's handler are its own.
    const std::vector<Node*> before = scene.Nodes();
    const std::set<Node*> existing(before.begin(), before.end());
    std::unordered_map<Node*, Node*> madeBy;
    const void* inHandler = nullptr;
    NotifyStandIn::HandlerObserver previousObserver = NotifyStandIn::SetHandlerObserver(
        [&](void* param, int, bool entering) { inHandler = entering ? param : nullptr; });
    scene.SetNodeCreatedHook([&](Node* made) {
        auto it = nodeOfObject.find(inHandler);
        if (it != nodeOfObject.end()) madeBy[made] = it->second;
    });

    VRayInstancing vrayHook;
    if (vray) RegisterCOREInterfaceByID(VRAY_INSTANCING_INTERFACE, &vrayHook);

    TimeValue start = first;
    BroadcastNotification(NOTIFY_PRE_RENDER, &start);
    const int step = GetTicksPerFrame();
    for (TimeValue t = first; t <= last; t += step) {
        TimeValue frameTime = t;
        BroadcastNotification(NOTIFY_RENDER_PREEVAL, &frameTime);
        BroadcastNotification(NOTIFY_PRE_RENDERFRAME, nullptr);

        FrameDrawing frame;
        frame.time = t;
        DrawNodes(scene, t, frame);
        std::vector<ObjectInstances> all;
        if (corona) {
            for (Node* node : objectNodes) {
                if (!Drawn(node)) continue;
                if (FPInterface* fp = RenderInterfaceOf(node))
                    all.push_back(ReadInstanceLists(node, *fp, t));
            }
        }
        std::set<INode*> bridged;
        if (vray) {
            for (const VRayInstancing::Entry& entry : vrayHook.entries) {
                all.push_back({entry.objectNode, {}});
                Collector sink(all.back());
                entry.source->CollectInstances(t, sink);
                bridged.insert(entry.objectNode);
            }
        }
        std::vector<FrameReport> unused;
        AddInstances(all, t, frame, unused);

        FrameReport report;
        report.time = t;
        for (Node* node : objectNodes) {
            ObjectRoute route;
            route.node = ToUTF8(node->GetName());
            for (const auto& [made, maker] : madeBy) {
                if (maker == node) ++route.nodesMade;
            }
            std::map<std::string, std::int64_t> perSource;
            for (const ObjectInstances& o : all) {
                if (o.objectNode != node) continue;
                for (const Instance& i : o.instances) {
                    ++route.instances;
                    ++perSource[i.source ? ToUTF8(i.source->GetName()) : std::string("(none)")];
                }
            }
            route.perSource.assign(perSource.begin(), perSource.end());
            if (bridged.count(node) > 0) {
                route.route = "bridge";
            } else if (route.instances > 0) {
                route.route = "instances";
            } else if (route.nodesMade > 0) {
                route.route = "nodes";
            } else {
                route.route = "none";
            }
            report.objects.push_back(std::move(route));
        }
        result.frames.push_back(std::move(report));
        if (onFrame) onFrame(frame);
        BroadcastNotification(NOTIFY_POST_RENDERFRAME, nullptr);
    }

    // The renderer closes: V-Ray lets go of its sources before the render ends.
    if (vray) RegisterCOREInterfaceByID(VRAY_INSTANCING_INTERFACE, nullptr);
    BroadcastNotification(NOTIFY_POST_RENDER, nullptr);

    scene.SetNodeCreatedHook(nullptr);
    NotifyStandIn::SetHandlerObserver(std::move(previousObserver));
    for (Node* node : scene.Nodes()) {
        if (existing.count(node) > 0) continue;
        ++result.nodesLeft;
        auto it = madeBy.find(node);
        if (it != madeBy.end()) ++result.nodesLeftPerObject[ToUTF8(it->second->GetName())];
    }
    return result;
}

}  // namespace host
