// Fakes for the parameter block tests: a scene node, a plain target, and an owner that records
// every message its block sends.
#pragma once

#include <vector>

#include "inode.h"
#include "iparamb2.h"
#include "objmodel_fakes.h"

namespace pblock_fakes {

// A node with nothing of a scene around it (the object-model tests' fake). Nodes carry
// A_LOCK_TARGET (INode's constructor), so a block letting go of one never deletes it; tests
// delete them with DeleteMe, as the host does.
using Node = objmodel_fakes::FakeNode;

// A reference target that is not a node (a stand-in for a material or map), copyable.
class Target : public ReferenceTarget {
public:
    explicit Target(int v = 0) : value(v) { SetAFlag(A_LOCK_TARGET); }
    int value;
    ReferenceTarget* Clone(RemapDir& remap) override {
        auto* t = new Target(value + 1000);  // a copy is told apart by its value
        BaseClone(this, t, remap);
        return t;
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }
};

// One message as the owner saw it, with the block's LastNotifyParamID at that moment.
struct Message {
    RefMessage message;
    ParamID param;
    int tabIndex;
};

// An object holding one block in reference 0, recording the block's messages.
class Owner : public ReferenceTarget {
public:
    ~Owner() override { DeleteAllRefsFromMe(); }

    IParamBlock2* pblock = nullptr;
    std::vector<Message> messages;

    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }

    RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                               RefMessage message, BOOL) override {
        if (hTarget == pblock && pblock != nullptr) {
            int tab = -2;
            const ParamID id = pblock->LastNotifyParamID(tab);
            messages.push_back({message, id, tab});
        }
        return REF_SUCCEED;
    }

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) pblock = dynamic_cast<IParamBlock2*>(rtarg);
    }
};

}  // namespace pblock_fakes
