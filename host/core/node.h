// A scene node: name, handle, transforms, the object it shows, material, wire colour, flags and
// layer. Its references: slot 1 the object, slot 3 the material, slot 6 (NODE_LAYER_REF) the layer.
#pragma once

#include <vector>

#include "inode.h"

namespace host {

class Scene;
}  // namespace host

class ILayer;

namespace host {

class Node : public INode {
public:
    static constexpr int kObjectRef = 1;
    static constexpr int kMtlRef = 3;

    Node(Scene& scene, ULONG handle, const MSTR& name, bool isRoot = false);
    ~Node() override;

    // INode
    ULONG GetHandle() override { return handle_; }
    const MCHAR* GetName() override { return name_.data(); }
    void SetName(const MCHAR* s) override;
    Matrix3 GetNodeTM(TimeValue t, Interval* valid = nullptr) override;
    void SetNodeTM(TimeValue t, Matrix3& tm) override;
    // The object transform: the object offset (scale, then rotation, then position, relative to
    // the pivot) followed by the node transform.
    Matrix3 GetObjectTM(TimeValue t, Interval* valid = nullptr) override;
    Point3 GetObjOffsetPos() override { return offsetPos_; }
    void SetObjOffsetPos(Point3 p) override;
    Quat GetObjOffsetRot() override { return offsetRot_; }
    void SetObjOffsetRot(Quat q) override;
    ScaleValue GetObjOffsetScale() override { return offsetScale_; }
    void SetObjOffsetScale(ScaleValue sv) override;
    const ObjectState& EvalWorldState(TimeValue t, BOOL evalHidden = TRUE) override;
    Object* GetObjectRef() override { return object_; }
    void SetObjectRef(Object* o) override;
    Mtl* GetMtl() override { return mtl_; }
    void SetMtl(Mtl* matl) override;
    DWORD GetWireColor() override { return wireColor_; }
    void SetWireColor(DWORD newcol) override { wireColor_ = newcol; }
    int IsHidden(DWORD hflags = 0, BOOL forRenderer = FALSE) override;
    void Hide(BOOL onOff) override { hidden_ = onOff != 0; }
    int Renderable() override { return renderable_ ? 1 : 0; }
    void SetRenderable(BOOL onOff) override { renderable_ = onOff != 0; }
    int IsTarget() override { return isTarget_ ? 1 : 0; }
    int Selected() override;
    int IsRootNode() override { return isRoot_ ? 1 : 0; }
    INode* GetParentNode() override { return parent_; }
    int NumberOfChildren() override { return static_cast<int>(children_.size()); }
    INode* GetChildNode(int i) override;
    void AttachChild(INode* node, int keepTM = 1) override;
    void Detach(TimeValue t, int keepTM = 1) override;
    // The render and display flags and the wire colour.
    void CopyProperties(INode* from) override;

    // References
    int NumRefs() override { return 7; }
    RefTargetHandle GetReference(int i) override;
    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override;
    void GetClassName(MSTR& s) override { s = MSTR(_M("Node")); }

    // Host side
    void SetTarget(bool isTarget) { isTarget_ = isTarget; }
    // Unlinks a child that is being deleted.
    void RemoveChild(Node* child);
    ILayer* GetLayer();
    Scene& GetScene() { return scene_; }

private:
    void SetReference(int i, RefTargetHandle rtarg) override;
    Matrix3 ObjectOffsetTM() const;

    Scene& scene_;
    ULONG handle_;
    MSTR name_;
    bool isRoot_;
    Matrix3 nodeTM_{1};
    Point3 offsetPos_{0.0f, 0.0f, 0.0f};
    Quat offsetRot_;
    ScaleValue offsetScale_;
    Object* object_ = nullptr;
    Mtl* mtl_ = nullptr;
    ReferenceTarget* layer_ = nullptr;
    DWORD wireColor_ = 0;
    bool hidden_ = false;
    bool renderable_ = true;
    bool isTarget_ = false;
    Node* parent_ = nullptr;
    std::vector<Node*> children_;
    ObjectState worldState_;
};

}  // namespace host
