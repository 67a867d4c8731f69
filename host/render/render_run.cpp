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

// The render instancing interface as a renderer calls it directly: its functions in slot order,
// the order of the interface class's own virtual functions after those of FPStaticInterface
// (what a renderer's own copy of the interface's header declares). Outside the unnamed
// namespace: the implementation is the module's, which the compiler must not assume absent.
class TrellonRenderCalls : public FPStaticInterface {
public:
    virtual float GetVersion() = 0;
    virtual int PrepareInstances() = 0;
    virtual INode* GetSourceNode(int sourceIndex) = 0;
    virtual INode* GetExtraNode() = 0;
    virtual int GetInstanceCount() = 0;
    virtual BOOL IsSourceUsed(int sourceIndex) = 0;
    virtual int GetInstanceSource(int instance) = 0;
    virtual Matrix3 GetInstanceTM(int instance) = 0;
    virtual Matrix3 GetSourceOffsetTM(INode* node) = 0;
    virtual Mtl* GetInstanceMtl(int instance) = 0;
    virtual TimeValue GetRenderTime(int unused) = 0;
};

namespace {

// The render instancing interface that Trellon objects publish, and its function IDs.
const Interface_ID kRenderInterface(0x602C557F, 0x4BF751AD);
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

// Reads an object's lists as Corona does: PrepareInstances, the source nodes, the count, then
// per instance its source, transform and material, calling the functions in slot order (a
// million instances cost three calls each, not three dispatches through argument lists).
ObjectInstances ReadInstanceLists(INode* node, FPInterface& fp) {
    ObjectInstances result;
    result.objectNode = node;
    auto* calls = reinterpret_cast<TrellonRenderCalls*>(&fp);
    if (calls->GetVersion() < 1.0f) return result;
    const int sources = calls->PrepareInstances();
    std::vector<INode*> sourceNodes(static_cast<std::size_t>(std::max(sources, 0)), nullptr);
    for (int s = 0; s < sources; ++s)
        sourceNodes[static_cast<std::size_t>(s)] = calls->GetSourceNode(s);
    const int count = calls->GetInstanceCount();
    result.instances.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        Instance& instance = result.instances[static_cast<std::size_t>(k)];
        const int s = calls->GetInstanceSource(k);
        if (s >= 0 && s < sources) instance.source = sourceNodes[static_cast<std::size_t>(s)];
        instance.tm = calls->GetInstanceTM(k);
        instance.mtl = calls->GetInstanceMtl(k);
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
    // Per source node: its entry in frame.instanced, or kLight / kNoGeometry. Copies of one
    // source come in runs, so the last one found is asked first.
    constexpr std::size_t kLight = static_cast<std::size_t>(-1);
    constexpr std::size_t kNoGeometry = static_cast<std::size_t>(-2);
    std::unordered_map<INode*, std::size_t> sourceAt;
    INode* lastSource = nullptr;
    std::size_t lastAt = kNoGeometry;
    std::vector<std::pair<std::size_t, const Instance*>> asNodes;
    std::unordered_map<INode*, std::size_t> copiesOf;
    for (const ObjectInstances& object : all) {
        INode* last = nullptr;
        std::size_t* count = nullptr;
        for (const Instance& instance : object.instances) {
            if (instance.source != last) {
                last = instance.source;
                count = &copiesOf[last];
            }
            ++*count;
        }
    }
    for (const ObjectInstances& object : all) {
        for (const Instance& instance : object.instances) {
            if (!instance.source) continue;
            if (instance.source != lastSource) {
                auto [it, added] = sourceAt.try_emplace(instance.source, frame.instanced.size());
                if (added) {
                    InstancedSource source;
                    if (IsLight(instance.source)) {
                        it->second = kLight;
                    } else if (!EvaluateNode(instance.source, t, source.source)) {
                        it->second = kNoGeometry;
                    } else {
                        frame.instanced.push_back(std::move(source));
                    }
                }
                lastSource = instance.source;
                lastAt = it->second;
            }
            if (lastAt == kLight) {
                ++frame.lightInstances;
                continue;
            }
            if (lastAt == kNoGeometry) continue;
            InstancedSource& source = frame.instanced[lastAt];
            if (!InstanceableTransform(instance.tm)) {
                asNodes.push_back({lastAt, &instance});
                continue;
            }
            auto group =
                std::find_if(source.groups.begin(), source.groups.end(),
                             [&](const InstanceGroup& g) { return g.material == instance.mtl; });
            if (group == source.groups.end()) {
                source.groups.push_back({instance.mtl, {}});
                group = source.groups.end() - 1;
                // Room for the source's copies (shared out among its materials): a reservation
                // the copies fill without moving, and pages never written cost nothing.
                group->transforms.reserve(
                    static_cast<std::size_t>(copiesOf[instance.source] / source.groups.size()) + 1);
            }
            group->transforms.push_back(instance.tm);
        }
    }
    // The sources are all in place now: the plain nodes can point at their meshes.
    for (const auto& [at, instance] : asNodes) {
        const InstancedSource& source = frame.instanced[at];
        EvaluatedNode node;
        node.name = source.source.name;
        node.objectTM = instance->tm;
        node.shared = &source.source.Geometry();
        node.material = instance->mtl ? instance->mtl : source.source.material;
        node.wireColor = source.source.wireColor;
        frame.nodes.push_back(std::move(node));
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
                    all.push_back(ReadInstanceLists(node, *fp));
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
