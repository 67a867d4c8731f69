// Undo: theHold collects restore objects between Begin and Accept into one undoable step.
//
// Begin/Accept pairs nest: only the outermost Accept closes a step, named by that Accept; inner
// ones just hand their restore objects to the enclosing level. Cancel undoes (Restore(TRUE), last
// first) and deletes the restore objects put since the matching Begin. Put records a restore
// object only while Holding() (inside Begin..Accept and not suspended); otherwise the object is
// deleted at once. Suspend/Resume nest as a counter.
//
// While Cancel, Undo or Redo puts restore objects back, RestoreOrRedoing() is TRUE. The host's
// rollouts redraw from its message loop, never in the middle of a restore: a parameter map
// invalidated meanwhile is brought up to date once the whole step is back.
//
// An outermost Accept that collected no restore object records no step (nothing could be undone).
// Accepting a step discards the redo list. The record of steps (names and restore-object counts)
// and Undo/Redo are stand-in extensions for the host program and the tests.
#pragma once

#include <vector>

#include "maxtypes.h"
#include "strclass.h"

class RestoreObj {
public:
    virtual ~RestoreObj() = default;
    // Puts the scene back as it was before the change. isUndo is TRUE for a user undo (the object
    // should then save what Redo needs) and FALSE for a Cancel.
    virtual void Restore(int isUndo) = 0;
    virtual void Redo() = 0;
    // Approximate memory held, in bytes.
    virtual int Size() { return 1; }
    // Called when the step the object belongs to is accepted.
    virtual void EndHold() {}
    virtual MSTR Description() { return MSTR(_M("---")); }
};

class Hold {
public:
    Hold() = default;
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold();

    void Begin();
    void Accept(const MCHAR* name);
    void Cancel();
    // Records rob when Holding(); deletes it otherwise. Null is ignored.
    void Put(RestoreObj* rob);
    // TRUE between Begin and the matching Accept/Cancel, unless suspended.
    int Holding() const;
    void Suspend();
    void Resume();
    int IsSuspended() const;
    // TRUE while Cancel, Undo or Redo is putting restore objects back.
    int RestoreOrRedoing() const { return restoring_ > 0 ? TRUE : FALSE; }
    // Nesting depth of Begin calls still open.
    int GetBeginDepth() const { return static_cast<int>(marks_.size()); }

    // --- Stand-in extensions: the undo record ----------------------------------------------
    int NumUndoSteps() const { return static_cast<int>(undo_.size()); }
    int NumRedoSteps() const { return static_cast<int>(redo_.size()); }
    // Name of undo step i, 0 = oldest; empty for an index out of range.
    MSTR UndoStepName(int i) const;
    // Number of restore objects in undo step i; 0 out of range.
    int UndoStepSize(int i) const;
    // Every accepted step so far, including undone or cleared ones, oldest first.
    int NumAccepted() const { return static_cast<int>(acceptedNames_.size()); }
    MSTR AcceptedName(int i) const;
    // Undoes the newest step / redoes the newest undone one; FALSE when there is none or a hold
    // is open.
    BOOL Undo();
    BOOL Redo();
    // Deletes every step (undo and redo) and forgets the accepted names. Open holds are kept.
    void ClearRecord();

private:
    struct Step {
        MSTR name;
        std::vector<RestoreObj*> objs;
    };
    static void Free(std::vector<RestoreObj*>& objs);

    std::vector<RestoreObj*> pending_;  // objects of the open hold, in Put order
    std::vector<std::size_t> marks_;    // pending_ size at each open Begin
    int suspend_ = 0;
    int restoring_ = 0;
    std::vector<Step> undo_;
    std::vector<Step> redo_;
    std::vector<MSTR> acceptedNames_;
};

extern Hold theHold;

// Suspends theHold for its lifetime (scoped), as the SDK's helper does.
class HoldSuspend {
public:
    explicit HoldSuspend(BOOL suspendNow = TRUE) {
        if (suspendNow) Suspend();
    }
    ~HoldSuspend() { Resume(); }
    HoldSuspend(const HoldSuspend&) = delete;
    HoldSuspend& operator=(const HoldSuspend&) = delete;
    void Suspend() {
        if (!suspended_) {
            theHold.Suspend();
            suspended_ = true;
        }
    }
    void Resume() {
        if (suspended_) {
            theHold.Resume();
            suspended_ = false;
        }
    }

private:
    bool suspended_ = false;
};
