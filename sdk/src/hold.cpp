// The undo record behind theHold.
#include "hold.h"

#include "deferred_ui.h"

Hold theHold;

Hold::~Hold() {
    Free(pending_);
    for (Step& s : undo_) Free(s.objs);
    for (Step& s : redo_) Free(s.objs);
}

void Hold::Free(std::vector<RestoreObj*>& objs) {
    for (RestoreObj* r : objs) delete r;
    objs.clear();
}

void Hold::Begin() { marks_.push_back(pending_.size()); }

void Hold::Accept(const MCHAR* name) {
    if (marks_.empty()) return;
    marks_.pop_back();
    if (!marks_.empty()) return;  // an inner level: its objects stay with the enclosing one
    if (pending_.empty()) return;
    for (RestoreObj* r : pending_) r->EndHold();
    Step step{MSTR(name), {}};
    step.objs.swap(pending_);
    for (Step& s : redo_) Free(s.objs);
    redo_.clear();
    acceptedNames_.push_back(step.name);
    undo_.push_back(std::move(step));
}

namespace {

// Restores with holding suspended (a restore that changes a parameter must not Put again) and
// RestoreOrRedoing() set.
class Restoring {
public:
    Restoring(int& suspend, int& restoring) : suspend_(suspend), restoring_(restoring) {
        ++suspend_;
        ++restoring_;
    }
    ~Restoring() {
        --suspend_;
        --restoring_;
    }
    Restoring(const Restoring&) = delete;
    Restoring& operator=(const Restoring&) = delete;

private:
    int& suspend_;
    int& restoring_;
};

}  // namespace

void Hold::Cancel() {
    if (marks_.empty()) return;
    const std::size_t mark = marks_.back();
    marks_.pop_back();
    {
        const Restoring restoring(suspend_, restoring_);
        while (pending_.size() > mark) {
            RestoreObj* r = pending_.back();
            pending_.pop_back();
            r->Restore(FALSE);
            delete r;
        }
    }
    if (!RestoreOrRedoing()) UpdateDeferredParamMaps();
}

void Hold::Put(RestoreObj* rob) {
    if (!rob) return;
    if (!Holding()) {
        delete rob;
        return;
    }
    pending_.push_back(rob);
}

int Hold::Holding() const { return !marks_.empty() && suspend_ == 0 ? TRUE : FALSE; }

void Hold::Suspend() { ++suspend_; }

void Hold::Resume() {
    if (suspend_ > 0) --suspend_;
}

int Hold::IsSuspended() const { return suspend_ > 0 ? TRUE : FALSE; }

MSTR Hold::UndoStepName(int i) const {
    if (i < 0 || i >= NumUndoSteps()) return MSTR();
    return undo_[static_cast<std::size_t>(i)].name;
}

int Hold::UndoStepSize(int i) const {
    if (i < 0 || i >= NumUndoSteps()) return 0;
    return static_cast<int>(undo_[static_cast<std::size_t>(i)].objs.size());
}

MSTR Hold::AcceptedName(int i) const {
    if (i < 0 || i >= NumAccepted()) return MSTR();
    return acceptedNames_[static_cast<std::size_t>(i)];
}

BOOL Hold::Undo() {
    if (undo_.empty() || !marks_.empty()) return FALSE;
    Step step = std::move(undo_.back());
    undo_.pop_back();
    {
        const Restoring restoring(suspend_, restoring_);
        for (auto it = step.objs.rbegin(); it != step.objs.rend(); ++it) (*it)->Restore(TRUE);
    }
    redo_.push_back(std::move(step));
    if (!RestoreOrRedoing()) UpdateDeferredParamMaps();
    return TRUE;
}

BOOL Hold::Redo() {
    if (redo_.empty() || !marks_.empty()) return FALSE;
    Step step = std::move(redo_.back());
    redo_.pop_back();
    {
        const Restoring restoring(suspend_, restoring_);
        for (RestoreObj* r : step.objs) r->Redo();
    }
    undo_.push_back(std::move(step));
    if (!RestoreOrRedoing()) UpdateDeferredParamMaps();
    return TRUE;
}

void Hold::ClearRecord() {
    for (Step& s : undo_) Free(s.objs);
    for (Step& s : redo_) Free(s.objs);
    undo_.clear();
    redo_.clear();
    acceptedNames_.clear();
}
