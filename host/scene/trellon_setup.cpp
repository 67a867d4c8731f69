#include "trellon_setup.h"

#include <optional>
#include <string>
#include <vector>

#include "creation.h"
#include "iparamb2.h"
#include "object_functions.h"
#include "scene.h"
#include "strclass.h"
#include "windows.h"

namespace host::scene_file {
namespace {

INode* Named(const FileNodes& nodes, const std::wstring& name) {
    const auto it = nodes.find(name);
    return it == nodes.end() ? nullptr : it->second;
}

// Sets entry `at` of a parameter (0 for a single value) from a checked value.
bool SetParamValue(IParamBlock2& block, const ParamPlan& param, const ParamValuePlan& v, int at,
                   TimeValue t, const FileNodes& nodes) {
    switch (pb_storage(param.type)) {
        case PBStorage::Int:
            return block.SetValue(param.id, t, v.i, at) != 0;
        case PBStorage::Float:
            return block.SetValue(param.id, t, v.f, at) != 0;
        case PBStorage::Point3:
            return block.SetValue(param.id, t, v.p, at) != 0;
        case PBStorage::String:
            return block.SetValue(param.id, t, v.s.c_str(), at) != 0;
        default: {
            return block.SetValue(param.id, t, Named(nodes, v.s), at) != 0;
        }
    }
}

// Sets one parameter of a Trellon object from its checked values (a table whole).
bool SetParam(IParamBlock2& block, const ParamPlan& param, const FileNodes& nodes) {
    const bool tab = is_tab(param.type);
    if (tab) block.SetCount(param.id, static_cast<int>(param.values.size()));
    bool ok = true;
    for (std::size_t k = 0; k < param.values.size(); ++k) {
        ok = SetParamValue(block, param, param.values[k], static_cast<int>(k), 0, nodes) && ok;
    }
    return ok;
}

// Answers every message box with `answer` while it lives (the car-paint question of a pick),
// then puts the scene's own default answer back.
class ScopedMessageAnswer {
public:
    ScopedMessageAnswer(Scene& scene, int answer)
        : scene_(scene), before_(scene.DefaultMessageAnswer()) {
        scene_.SetDefaultMessageAnswer(answer);
    }
    ~ScopedMessageAnswer() { scene_.SetDefaultMessageAnswer(before_); }
    ScopedMessageAnswer(const ScopedMessageAnswer&) = delete;
    ScopedMessageAnswer& operator=(const ScopedMessageAnswer&) = delete;

private:
    Scene& scene_;
    int before_;
};

// One set-up operation on the object: the published function of the same name, or for "set" the
// parameter block as a spinner or checkbox sets it. Empty on success, else the problem.
std::string RunSetupOp(const SetupOpPlan& op, Object* obj, Scene& scene,
                       const FileNodes& fileNodes) {
    if (op.kind->args == OpArgs::Set) {
        IParamBlock2* block = obj->GetParamBlock(0);
        if (!block) return op.path + ": the object has no parameter block";
        if (is_tab(op.param.type) && op.index >= block->Count(op.param.id)) {
            return op.path + ".index: index " + std::to_string(op.index) +
                   " out of range: the table has " + std::to_string(block->Count(op.param.id)) +
                   " entries";
        }
        if (!SetParamValue(*block, op.param, op.param.values.front(), op.index, scene.GetTime(),
                           fileNodes)) {
            return op.path + ".value: the object refused the value";
        }
        return {};
    }
    std::vector<FPNamedArg> args;
    Tab<INode*> nodes;
    switch (op.kind->args) {
        case OpArgs::Node:
            args.push_back(
                {MSTR(_M("node")), FPValue(TYPE_INODE, Named(fileNodes, op.nodes.front()))});
            break;
        case OpArgs::Nodes:
            for (const std::wstring& name : op.nodes) {
                INode* node = Named(fileNodes, name);
                nodes.Append(1, &node);
            }
            args.push_back({MSTR(_M("nodes")), FPValue(TYPE_INODE_TAB_BR, &nodes)});
            break;
        case OpArgs::Row:
        case OpArgs::OptionalRow:
            args.push_back({MSTR(_M("row")), FPValue(TYPE_INT, op.row)});
            break;
        case OpArgs::None:
        case OpArgs::Set:
            break;
    }
    const std::string name = op.kind->name;
    const std::wstring fn(name.begin(), name.end());
    std::string error;
    std::optional<ScopedMessageAnswer> answer;
    if (op.kind->carPaint) answer.emplace(scene, op.answer);
    if (CallObjectFunction(scene, obj, fn.c_str(), args, error) != FPS_OK) {
        return op.path + ": " + error;
    }
    return {};
}

// Whether the object's item and shape tables agree with its items, as the object itself judges:
// empty when they do, else the problem at the place of the file that set the table (its `params`
// entry, or the object as a whole when the set-up made it so).
std::string CheckTables(const TrellonPlan& plan, Object* obj, Scene& scene,
                        const std::string& path) {
    FPValue result;
    std::string error;
    if (CallObjectFunction(scene, obj, _M("tableProblemParam"), {}, result, error) != FPS_OK) {
        return path + ": " + error;
    }
    const int id = result.type == TYPE_INT ? result.i : -1;
    if (id < 0) return {};
    std::string why = "the item tables do not agree";
    FPValue text;
    if (CallObjectFunction(scene, obj, _M("tableProblem"), {}, text, error) == FPS_OK &&
        base_type(text.type) == TYPE_TSTR && text.tstr != nullptr) {
        why = text.tstr->ToUTF8();
    }
    for (std::size_t i = 0; i < plan.params.size(); ++i) {
        if (plan.params[i].id == id) return path + ".params[" + std::to_string(i) + "]: " + why;
    }
    return path + ": " + why;
}

}  // namespace

std::string SetUpTrellon(const TrellonPlan& plan, Node* node, Scene& scene,
                         const FileNodes& fileNodes, const std::string& path) {
    if (!node->GetObjectRef()) return path + ": the Trellon class did not make an object";
    if (plan.create) {
        std::string error;
        if (!RunCreateOperation(scene, node, plan.createOptions, error)) {
            return path + ".setup[0]: " + error;
        }
    }
    for (const SetupOpPlan& op : plan.ops) {
        // The object may have been replaced by an operation; always ask the node.
        Object* obj = node->GetObjectRef();
        if (!obj) return op.path + ": the node lost its object";
        std::string error = RunSetupOp(op, obj, scene, fileNodes);
        if (!error.empty()) return error;
    }
    IParamBlock2* block = node->GetObjectRef()->GetParamBlock(0);
    if (!block && !plan.params.empty()) return path + ": the object has no parameter block";
    for (std::size_t i = 0; i < plan.params.size(); ++i) {
        if (!SetParam(*block, plan.params[i], fileNodes)) {
            return path + ".params[" + std::to_string(i) + "]: the object refused the value";
        }
    }
    return CheckTables(plan, node->GetObjectRef(), scene, path);
}

}  // namespace host::scene_file
