// Reference bookkeeping: dependent lists, notification, deletion order and copy directories.
#include "ref.h"

#include <algorithm>
#include <map>
#include <utility>

// ---------------------------------------------------------------------------------------------
// ReferenceMaker

ReferenceMaker::~ReferenceMaker() {
    // Unlink from every target still held, so none keeps a pointer to this maker, then free the
    // targets nobody else refers to (the slots themselves went with the derived class).
    std::vector<ReferenceTarget*> held;
    held.swap(heldTargets_);
    std::sort(held.begin(), held.end());
    held.erase(std::unique(held.begin(), held.end()), held.end());
    for (ReferenceTarget* t : held) t->RemoveDependent(this, true);
    for (ReferenceTarget* t : held) t->MaybeAutoDelete();
}

RefResult ReferenceMaker::ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld) {
    if (which < 0 || which >= NumRefs()) return REF_FAIL;
    RefTargetHandle old = GetReference(which);
    if (old == newtarg) return REF_SUCCEED;
    if (newtarg && newtarg->TestForLoop(FOREVER, this) != REF_SUCCEED) return REF_FAIL;

    if (newtarg) {
        newtarg->AddDependent(this);
        heldTargets_.push_back(newtarg);
    }
    SetReference(which, newtarg);

    // The old target is touched only when this maker registered it: a slot filled some other way
    // may hold anything.
    if (old) {
        auto it = std::find(heldTargets_.begin(), heldTargets_.end(), old);
        if (it != heldTargets_.end()) {
            heldTargets_.erase(it);
            old->RemoveDependent(this, false);
            if (delOld) old->MaybeAutoDelete();
        }
    }
    return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteReference(int i) {
    if (i < 0 || i >= NumRefs()) return REF_FAIL;
    if (!GetReference(i)) return REF_SUCCEED;
    return ReplaceReference(i, nullptr, TRUE);
}

RefResult ReferenceMaker::DeleteAllRefsFromMe() {
    for (int i = 0; i < NumRefs(); ++i) {
        if (GetReference(i)) DeleteReference(i);
    }
    return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteAllRefs() { return DeleteAllRefsFromMe(); }

void ReferenceMaker::DeleteMe() {
    SetAFlag(A_IS_DELETED);
    if (auto* self = dynamic_cast<ReferenceTarget*>(this)) {
        ++self->noAutoDelete_;  // never decremented: the object is going away
        self->DeleteAllRefsToMe();
    }
    DeleteAllRefsFromMe();
    DeleteThis();
}

// ---------------------------------------------------------------------------------------------
// ReferenceTarget

ReferenceTarget::~ReferenceTarget() {
    ++noAutoDelete_;
    DeleteAllRefsToMe();
}

void ReferenceTarget::AddDependent(ReferenceMaker* rm) {
    for (Dependent& d : dependents_) {
        if (d.maker == rm) {
            ++d.slots;
            return;
        }
    }
    dependents_.push_back({rm, 1});
}

void ReferenceTarget::RemoveDependent(ReferenceMaker* rm, bool allSlots) {
    auto it = std::find_if(dependents_.begin(), dependents_.end(),
                           [rm](const Dependent& d) { return d.maker == rm; });
    if (it == dependents_.end()) return;
    if (allSlots || --it->slots <= 0) dependents_.erase(it);
}

BOOL ReferenceTarget::IsDependent(const ReferenceMaker* rm) const {
    for (const Dependent& d : dependents_) {
        if (d.maker == rm) return TRUE;
    }
    return FALSE;
}

RefResult ReferenceTarget::NotifyDependents(const Interval& changeInt, PartID partID,
                                            RefMessage message, SClass_ID sclass, BOOL propagate,
                                            RefTargetHandle hTarg) {
    RefTargetHandle from = hTarg ? hTarg : this;
    // A dependent may let go of this target (or be deleted) while being told, so walk a copy
    // and skip makers that are no longer dependents.
    std::vector<ReferenceMaker*> makers;
    makers.reserve(dependents_.size());
    for (const Dependent& d : dependents_) makers.push_back(d.maker);

    for (ReferenceMaker* m : makers) {
        if (!IsDependent(m)) continue;
        if (sclass != NOTIFY_ALL && m->SuperClassID() != sclass) continue;
        PartID part = partID;
        RefResult r = m->NotifyRefChanged(changeInt, from, part, message, propagate);
        if (!propagate || r == REF_STOP || !IsDependent(m)) continue;
        if (auto* t = dynamic_cast<ReferenceTarget*>(m)) {
            t->NotifyDependents(changeInt, part, message, sclass, propagate, nullptr);
        }
    }
    return REF_SUCCEED;
}

int ReferenceTarget::DoEnumDependents(DependentEnumProc* dep) {
    if (!dep) return 0;
    dep->visited_.clear();
    return EnumDependents(dep) ? 1 : 0;
}

// True when the enumeration was halted.
bool ReferenceTarget::EnumDependents(DependentEnumProc* dep) {
    if (dep->CheckIfAndSetAsVisited(this)) return false;
    const int r = dep->proc(this);
    if (r == DEP_ENUM_HALT) return true;
    if (r == DEP_ENUM_SKIP) return false;

    std::vector<ReferenceMaker*> makers;
    makers.reserve(dependents_.size());
    for (const Dependent& d : dependents_) makers.push_back(d.maker);
    for (ReferenceMaker* m : makers) {
        if (!IsDependent(m)) continue;
        if (auto* t = dynamic_cast<ReferenceTarget*>(m)) {
            if (t->EnumDependents(dep)) return true;
        } else if (!dep->CheckIfAndSetAsVisited(m)) {
            if (dep->proc(m) == DEP_ENUM_HALT) return true;
        }
    }
    return false;
}

void ReferenceTarget::BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) {
    if (from && to && !remap.FindMapping(from)) remap.AddEntry(from, to);
}

RefResult ReferenceTarget::DeleteAllRefsToMe() {
    ++noAutoDelete_;  // a dependent letting go must not delete this target under our feet
    while (!dependents_.empty()) {
        ReferenceMaker* m = dependents_.front().maker;
        PartID part = PART_ALL;
        m->NotifyRefChanged(FOREVER, this, part, REFMSG_TARGET_DELETED, FALSE);
        if (!IsDependent(m)) continue;  // it let go by itself, or was deleted
        for (int i = 0; i < m->NumRefs(); ++i) {
            if (m->GetReference(i) == this) m->SetReference(i, nullptr);
        }
        auto& held = m->heldTargets_;
        held.erase(std::remove(held.begin(), held.end(), this), held.end());
        RemoveDependent(m, true);
    }
    --noAutoDelete_;
    return REF_SUCCEED;
}

RefResult ReferenceTarget::DeleteAllRefs() {
    DeleteAllRefsFromMe();
    return DeleteAllRefsToMe();
}

RefResult ReferenceTarget::MaybeAutoDelete() {
    if (noAutoDelete_ > 0 || !dependents_.empty() || TestAFlag(A_LOCK_TARGET) ||
        TestAFlag(A_IS_DELETED)) {
        return REF_FAIL;
    }
    DeleteMe();
    return REF_SUCCEED;
}

RefResult ReferenceTarget::TestForLoop(const Interval& /*refInterval*/, RefMakerHandle hmaker) {
    if (!hmaker) return REF_SUCCEED;
    // Walk the references from this target; reaching hmaker means hmaker -> this would close a
    // loop.
    std::vector<ReferenceMaker*> stack{this};
    std::set<ReferenceMaker*> seen{this};
    while (!stack.empty()) {
        ReferenceMaker* cur = stack.back();
        stack.pop_back();
        if (cur == hmaker) return REF_FAIL;
        for (int i = 0; i < cur->NumRefs(); ++i) {
            ReferenceMaker* next = cur->GetReference(i);
            if (next && seen.insert(next).second) stack.push_back(next);
        }
    }
    return REF_SUCCEED;
}

// ---------------------------------------------------------------------------------------------
// RemapDir

RefTargetHandle RemapDir::CloneRef(RefTargetHandle oldTarg) {
    if (!oldTarg) return nullptr;
    if (RefTargetHandle done = FindMapping(oldTarg)) return done;
    RefTargetHandle copy = oldTarg->Clone(*this);
    if (copy && !FindMapping(oldTarg)) AddEntry(oldTarg, copy);
    return copy;
}

namespace {

class DefaultRemapDir final : public RemapDir {
public:
    RefTargetHandle FindMapping(RefTargetHandle oldTarg) override {
        auto it = map_.find(oldTarg);
        return it == map_.end() ? nullptr : it->second;
    }
    void AddEntry(RefTargetHandle oldTarg, RefTargetHandle newTarg) override {
        if (!oldTarg) return;
        map_[oldTarg] = newTarg;
        auto waiting = [oldTarg](const std::pair<RefTargetHandle*, RefTargetHandle>& p) {
            return p.second == oldTarg;
        };
        for (auto& p : pending_) {
            if (waiting(p)) *p.first = newTarg;
        }
        pending_.erase(std::remove_if(pending_.begin(), pending_.end(), waiting), pending_.end());
    }
    void PatchPointer(RefTargetHandle* patchThis, RefTargetHandle oldTarg) override {
        if (!patchThis) return;
        if (RefTargetHandle done = FindMapping(oldTarg)) {
            *patchThis = done;
        } else {
            pending_.emplace_back(patchThis, oldTarg);
        }
    }
    void DeleteThis() override { delete this; }

private:
    std::map<RefTargetHandle, RefTargetHandle> map_;
    std::vector<std::pair<RefTargetHandle*, RefTargetHandle>> pending_;
};

}  // namespace

RemapDir* NewDefaultRemapDir(BOOL /*use_A_WORK2_flag*/) { return new DefaultRemapDir(); }
