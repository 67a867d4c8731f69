#include "creation.h"

#include <cmath>
#include <vector>

#include "ifnpub.h"
#include "inode.h"
#include "iparamb2.h"
#include "object_functions.h"
#include "plugapi.h"
#include "scene.h"
#include "viewport.h"

namespace host {

namespace {

bool IsObjectSuperClass(SClass_ID sid) {
    return sid == GEOMOBJECT_CLASS_ID || sid == SHAPE_CLASS_ID || sid == HELPER_CLASS_ID ||
           sid == LIGHT_CLASS_ID || sid == CAMERA_CLASS_ID;
}

std::string NameOf(ClassDesc* cd) {
    const MCHAR* name = cd->ClassName();
    return name ? ToUTF8(name) : std::string("(unnamed class)");
}

// Sends the events of one creation to cb and keeps the node's transform in step with mat.
class CreationRun {
public:
    CreationRun(Scene& scene, Object* obj, CreateMouseCallBack* cb, ViewExp& vpt)
        : scene_(scene), obj_(obj), cb_(cb), vpt_(vpt) {
        vpt_.GetConstructionTM(planeTM_);
    }

    // Sends ev; returns the callback's answer.
    int Send(const MouseEvent& ev) {
        int msg = ev.msg;
        int point = points_;
        if (msg == MOUSE_MOVE && points_ == 0) msg = MOUSE_FREEMOVE;  // no button down yet
        if (msg == MOUSE_POINT && !node_) {
            node_ = scene_.CreateObjectNode(obj_);
            PlaceNode();
        }
        ++messages_;
        const int answer = cb_->proc(&vpt_, msg, point, ev.flags, ev.at, mat_);
        if (node_) PlaceNode();
        if (msg == MOUSE_POINT && answer == CREATE_CONTINUE) ++points_;
        return answer;
    }

    INode* Node() const { return node_; }
    int Messages() const { return messages_; }

private:
    // The callback works in the construction plane; the node lives in the world.
    void PlaceNode() {
        Matrix3 worldFromNode = mat_ * planeTM_;
        node_->SetNodeTM(scene_.GetTime(), worldFromNode);
    }

    Scene& scene_;
    Object* obj_;
    CreateMouseCallBack* cb_;
    ViewExp& vpt_;
    Matrix3 planeTM_{1};
    Matrix3 mat_{1};  // identity: the plane's axes at its origin
    INode* node_ = nullptr;
    int points_ = 0;
    int messages_ = 0;
};

}  // namespace

CreationResult RunCreation(Scene& scene, ClassDesc* cd, ViewExp& vpt,
                           std::span<const MouseEvent> events) {
    CreationResult result;
    if (!cd) {
        result.error = "no class to create";
        return result;
    }
    if (!IsObjectSuperClass(cd->SuperClassID())) {
        result.error = "class " + NameOf(cd) + " does not make scene objects";
        return result;
    }
    if (!cd->OkToCreate(&scene)) {
        result.error = "class " + NameOf(cd) + " cannot be created now";
        return result;
    }
    auto* obj = static_cast<Object*>(cd->Create(FALSE));
    if (!obj) {
        result.error = "class " + NameOf(cd) + " made no object";
        return result;
    }
    CreateMouseCallBack* cb = obj->GetCreateMouseCallBack();
    if (!cb) {
        obj->DeleteMe();
        result.error = "class " + NameOf(cd) + " has no creation callback";
        return result;
    }

    CreationRun run(scene, obj, cb, vpt);
    int answer = CREATE_CONTINUE;
    for (const MouseEvent& ev : events) {
        answer = run.Send(ev);
        if (answer != CREATE_CONTINUE) break;
    }
    if (answer == CREATE_CONTINUE) answer = run.Send(MouseEvent{MOUSE_ABORT, IPoint2(), 0});
    // Anything but a stop ends the creation as an abort.
    result.code = answer == CREATE_STOP ? CREATE_STOP : CREATE_ABORT;
    result.messages = run.Messages();

    if (result.code == CREATE_STOP && run.Node()) {
        result.node = run.Node();
    } else if (run.Node()) {
        // The node is the object's only dependent: deleting it lets the object go too.
        scene.DeleteNode(run.Node(), FALSE);
    } else {
        obj->DeleteMe();
    }
    return result;
}

INode* CreateInteractively(Scene& scene, ClassDesc* cd, IPoint2 press, IPoint2 release,
                           ViewExp& vpt) {
    const MouseEvent events[] = {{MOUSE_POINT, press, MOUSE_LBUTTON},
                                 {MOUSE_MOVE, release, MOUSE_LBUTTON},
                                 {MOUSE_POINT, release, 0}};
    return RunCreation(scene, cd, vpt, events).node;
}

INode* CreateInteractively(Scene& scene, ClassDesc* cd, IPoint2 press, IPoint2 release) {
    TopViewport vpt;
    return CreateInteractively(scene, cd, press, release, vpt);
}

BOOL SeedObjectGenerator(Scene& scene, Object* obj, int seed, std::string& error) {
    if (!obj) {
        error = "no object to seed";
        return FALSE;
    }
    const std::vector<FPNamedArg> args = {{MSTR(kSeedArgument), FPValue(TYPE_INT, seed)}};
    const FPStatus status = CallObjectFunction(scene, obj, kSeedFunction, args, error);
    if (status == FPS_FAIL) error = ToUTF8(kSeedFunction) + " failed: " + error;
    return status == FPS_OK ? TRUE : FALSE;
}

namespace {

BOOL SetLogoSize(Scene& scene, Object* obj, float size, std::string& error) {
    if (!std::isfinite(size) || size < 0.0f || size > 1000.0f) {
        error = "logoSize must be a number from 0 to 1000";
        return FALSE;
    }
    for (int b = 0; b < obj->NumParamBlocks(); ++b) {
        IParamBlock2* pb = obj->GetParamBlock(b);
        ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr;
        const int index = desc ? desc->NameToIndex(_M("Logo_size")) : -1;
        if (index < 0) continue;
        return pb->SetValue(desc->IndextoID(index), scene.GetTime(), size);
    }
    error = "the object has no parameter Logo_size";
    return FALSE;
}

}  // namespace

BOOL RunCreateOperation(Scene& scene, INode* node, const CreateOptions& options,
                        std::string& error) {
    Object* obj = node ? node->GetObjectRef() : nullptr;
    if (!obj) {
        error = "the node holds no object to set up";
        return FALSE;
    }
    CreateMouseCallBack* cb = obj->GetCreateMouseCallBack();
    if (!cb) {
        error = "the object has no creation callback";
        return FALSE;
    }
    // Clicked and released at the node's own position: the plane's origin, screen point (0, 0).
    const TimeValue t = scene.GetTime();
    TopViewport vpt(1.0f, node->GetNodeTM(t).GetTrans());
    Matrix3 planeTM{1};
    vpt.GetConstructionTM(planeTM);
    Matrix3 mat{1};
    int answer = CREATE_CONTINUE;
    for (int point = 0; point < 2 && answer == CREATE_CONTINUE; ++point) {
        answer = cb->proc(&vpt, MOUSE_POINT, point, 0, IPoint2(0, 0), mat);
        Matrix3 worldFromNode = mat * planeTM;
        node->SetNodeTM(t, worldFromNode);
    }
    if (answer == CREATE_ABORT) {
        error = "the object refused its set-up";
        return FALSE;
    }
    if (options.seed && !SeedObjectGenerator(scene, obj, *options.seed, error)) return FALSE;
    if (options.logoSize && !SetLogoSize(scene, obj, *options.logoSize, error)) return FALSE;
    return TRUE;
}

}  // namespace host
