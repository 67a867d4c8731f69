// The reference system: Animatable, ReferenceMaker, ReferenceTarget and RemapDir.
//
// A ReferenceMaker holds numbered reference slots to ReferenceTargets; every target keeps the list
// of makers that refer to it (its dependents) and tells them about changes with NotifyDependents.
// The bookkeeping runs only through ReplaceReference: a maker never writes its slots directly,
// it implements SetReference/GetReference and lets ReplaceReference keep both sides in step.
//
// Deletion. A target that goes away first tells every dependent REFMSG_TARGET_DELETED (hTarget is
// the target, propagate FALSE), then empties that dependent's slots that held it through
// SetReference(i, nullptr), then forgets the dependent. DeleteMe() does this while the target is
// whole, then drops the target's own references (auto-deleting targets left without dependents)
// and calls DeleteThis(). A target destroyed directly (DeleteThis as `delete this`) runs the same
// steps from its destructor; there only its address is meaningful to the dependents. A maker
// destroyed while it still holds references is removed from its targets' dependent lists, so no
// target keeps a dangling maker either.
//
// Ownership. A target left without dependents is deleted when a maker lets go of it with delOld
// (ReplaceReference's default, DeleteReference, DeleteAllRefsFromMe) and also when its last maker
// is destroyed; A_LOCK_TARGET prevents both. The host sets it on what it owns in its own lists
// (nodes, layers, scene materials), or holds those through references.
//
// Loops. ReplaceReference refuses (REF_FAIL) a target that already depends on the maker, directly
// or through other references, since a loop would make notifications circle forever.
#pragma once

#include <set>
#include <vector>

#include "interval.h"
#include "maxtypes.h"
#include "strclass.h"
#include "superclassids.h"

class BaseInterface;
class IParamBlock2;
class IObjParam;
class ReferenceMaker;

// Flags of BeginEditParams and EndEditParams.
constexpr ULONG BEGIN_EDIT_CREATE = 1u << 0;
constexpr ULONG BEGIN_EDIT_MOTION = 1u << 1;
constexpr ULONG BEGIN_EDIT_HIERARCHY = 1u << 2;
constexpr ULONG END_EDIT_REMOVEUI = 1u << 0;
class ReferenceTarget;
class RemapDir;

using RefTargetHandle = ReferenceTarget*;
using RefMakerHandle = ReferenceMaker*;

enum RefResult : int {
    REF_FAIL = 0,
    REF_SUCCEED = 1,
    REF_DONTCARE = 2,
    REF_STOP = 3,
    REF_INVALID = 4,
};

using RefMessage = unsigned int;
using PartID = DWORD;

// Which part of an object changed. The low bits are the pipeline channels (channels.h).
constexpr PartID PART_TOPO = 1u << 0;
constexpr PartID PART_GEOM = 1u << 1;
constexpr PartID PART_TEXMAP = 1u << 2;
constexpr PartID PART_MTL = 1u << 3;
constexpr PartID PART_SELECT = 1u << 4;
constexpr PartID PART_SUBSEL_TYPE = 1u << 5;
constexpr PartID PART_DISPLAY = 1u << 6;
constexpr PartID PART_VERTCOLOR = 1u << 7;
constexpr PartID PART_GFX_DATA = 1u << 8;
constexpr PartID PART_DISP_APPROX = 1u << 9;
constexpr PartID PART_EXTENSION = 1u << 13;
constexpr PartID PART_TM = 1u << 24;  // the node transform
constexpr PartID PART_OBJ = PART_TOPO | PART_GEOM;
constexpr PartID PART_ALL = 0x80003fffu | PART_TM;  // every channel bit of channels.h
constexpr PartID PART_OBJECT_TYPE = 1u << 15;
constexpr PartID PART_HIDESTATE = 1u << 16;

// Reference messages. Values are the host's where they are documented.
constexpr RefMessage REFMSG_LOOPTEST = 0x00000010;
constexpr RefMessage REFMSG_TARGET_DELETED = 0x00000020;
constexpr RefMessage REFMSG_MODAPP_DELETING = 0x00000021;
constexpr RefMessage REFMSG_EVAL = 0x00000030;
constexpr RefMessage REFMSG_RESET_ORIGIN = 0x00000040;
constexpr RefMessage REFMSG_CHANGE = 0x00000050;
constexpr RefMessage REFMSG_FLAGDEPENDENTS = 0x00000070;
constexpr RefMessage REFMSG_TARGET_SELECTIONCHANGE = 0x00000080;
constexpr RefMessage REFMSG_BEGIN_EDIT = 0x00000090;
constexpr RefMessage REFMSG_END_EDIT = 0x000000A0;
constexpr RefMessage REFMSG_NODE_LINK = 0x000000D0;        // a node's parent changed
constexpr RefMessage REFMSG_NODE_NAMECHANGE = 0x000000E0;  // a node was renamed
constexpr RefMessage REFMSG_OBREF_CHANGE = 0x000000F0;     // a node was given another object
constexpr RefMessage REFMSG_SUBANIM_STRUCTURE_CHANGED = 0x000000F9;
// A parameter block nulled a node entry of a table because the node was deleted.
constexpr RefMessage REFMSG_TAB_ELEMENT_NULLED = 0x00000232;
constexpr RefMessage REFMSG_USER = 0x10000000;

// NotifyDependents' super class filter meaning "every dependent". notify.h defines the same macro.
#define NOTIFY_ALL 0xfffffff0

// Animatable flags (SetAFlag/ClearAFlag/TestAFlag). A_LOCK_TARGET keeps a target from being
// deleted automatically when its last dependent lets go of it (scene nodes carry it).
constexpr DWORD A_EVALUATING = 1u << 0;
constexpr DWORD A_NOTIFYDEP = 1u << 1;
constexpr DWORD A_WORK1 = 1u << 5;
constexpr DWORD A_WORK2 = 1u << 6;
constexpr DWORD A_IS_DELETED = 1u << 20;
constexpr DWORD A_LOCK_TARGET = 1u << 25;

// The root of every plug-in class: identity, sub-anims, parameter blocks, interfaces.
class Animatable {
public:
    Animatable() = default;
    Animatable(const Animatable&) = delete;
    Animatable& operator=(const Animatable&) = delete;
    virtual ~Animatable() = default;

    // Frees the object; plug-ins implement it as `delete this`.
    virtual void DeleteThis() { delete this; }
    virtual Class_ID ClassID() { return Class_ID(0, 0); }
    virtual SClass_ID SuperClassID() { return 0; }
    virtual void GetClassName(MSTR& s) { s = MSTR(); }

    virtual int NumSubs() { return 0; }
    virtual Animatable* SubAnim(int /*i*/) { return nullptr; }
    virtual MSTR SubAnimName(int /*i*/) { return MSTR(); }

    // Interfaces by the old numeric id and by Interface_ID; null when not supported.
    virtual void* GetInterface(ULONG /*id*/) { return nullptr; }
    virtual BaseInterface* GetInterface(Interface_ID /*id*/) { return nullptr; }

    virtual int NumParamBlocks() { return 0; }
    virtual IParamBlock2* GetParamBlock(int /*i*/) { return nullptr; }
    virtual IParamBlock2* GetParamBlockByID(short /*id*/) { return nullptr; }

    // The command panel opens and closes the object's rollouts through these: flags
    // BEGIN_EDIT_CREATE when the create panel shows a new object, 0 in the modify panel.
    virtual void BeginEditParams(IObjParam* /*ip*/, ULONG /*flags*/,
                                 Animatable* /*prev*/ = nullptr) {}
    virtual void EndEditParams(IObjParam* /*ip*/, ULONG /*flags*/, Animatable* /*next*/ = nullptr) {
    }

    virtual BOOL IsRefMaker() { return FALSE; }
    virtual BOOL IsRefTarget() { return FALSE; }

    void SetAFlag(DWORD mask) { aflag_ |= mask; }
    void ClearAFlag(DWORD mask) { aflag_ &= ~mask; }
    BOOL TestAFlag(DWORD mask) const { return (aflag_ & mask) != 0 ? TRUE : FALSE; }

private:
    DWORD aflag_ = 0;
};

// DoEnumDependents calls proc on the target and then on its dependents, depth first, each maker
// at most once per enumeration. proc returns DEP_ENUM_CONTINUE (go on, into this maker's own
// dependents), DEP_ENUM_SKIP (go on, but not into this maker's dependents) or DEP_ENUM_HALT.
constexpr int DEP_ENUM_CONTINUE = 0;
constexpr int DEP_ENUM_HALT = 1;
constexpr int DEP_ENUM_SKIP = 2;

class DependentEnumProc {
public:
    virtual ~DependentEnumProc() = default;
    virtual int proc(ReferenceMaker* rmaker) = 0;
    // True when rmaker was visited already in this enumeration; marks it visited otherwise.
    bool CheckIfAndSetAsVisited(ReferenceMaker* rmaker) { return !visited_.insert(rmaker).second; }

private:
    friend class ReferenceTarget;
    std::set<ReferenceMaker*> visited_;
};

class ReferenceMaker : public Animatable {
public:
    ReferenceMaker() = default;
    ~ReferenceMaker() override;

    SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }
    BOOL IsRefMaker() override { return TRUE; }

    virtual int NumRefs() { return 0; }
    virtual RefTargetHandle GetReference(int /*i*/) { return nullptr; }

    // Puts newtarg into slot which (null empties it) and keeps the dependent lists in step. With
    // delOld the previous target is deleted when this was its last dependent (MaybeAutoDelete).
    // REF_FAIL for a slot outside 0..NumRefs()-1 or a target that would close a loop.
    RefResult ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld = TRUE);
    // Empties slot i; the old target is deleted when left without dependents.
    RefResult DeleteReference(int i);
    // Empties every slot.
    RefResult DeleteAllRefsFromMe();
    // As DeleteAllRefsFromMe, plus, for a target, DeleteAllRefsToMe.
    virtual RefResult DeleteAllRefs();
    // Deletes this maker the way the host does: dependents are told and let go, the references
    // from this maker are dropped, then DeleteThis().
    void DeleteMe();

    // Called by the targets this maker refers to.
    virtual RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget,
                                       PartID& partID, RefMessage message, BOOL propagate) = 0;

private:
    friend class ReferenceTarget;
    // Stores rtarg in slot i. Only ReplaceReference and target deletion call it.
    virtual void SetReference(int /*i*/, RefTargetHandle /*rtarg*/) {}

    // Every target this maker holds, once per slot: what the destructor unlinks from.
    std::vector<ReferenceTarget*> heldTargets_;
};

class ReferenceTarget : public ReferenceMaker {
public:
    ReferenceTarget() = default;
    ~ReferenceTarget() override;

    SClass_ID SuperClassID() override { return REF_TARGET_CLASS_ID; }
    BOOL IsRefTarget() override { return TRUE; }

    // Calls NotifyRefChanged(changeInt, hTarg or this, part, message, propagate) on every
    // dependent once (only those of super class sclass unless NOTIFY_ALL). When propagate is
    // TRUE and the dependent is itself a target and did not answer REF_STOP, the message travels
    // on to its dependents with the part as the dependent left it. Dependents may drop their
    // references while being notified.
    RefResult NotifyDependents(const Interval& changeInt, PartID partID, RefMessage message,
                               SClass_ID sclass = NOTIFY_ALL, BOOL propagate = TRUE,
                               RefTargetHandle hTarg = nullptr);
    // See DependentEnumProc. Returns 1 when the enumeration was halted, else 0.
    int DoEnumDependents(DependentEnumProc* dep);

    // Copies the object; references to other targets go through remap.CloneRef so a target
    // shared inside one copy operation is copied once. The base class has nothing to copy.
    virtual ReferenceTarget* Clone(RemapDir& /*remap*/) { return nullptr; }
    // Copies the base-class data of from into to. Here that is the remap entry from -> to, so
    // references back to from met later in the same copy operation resolve to to.
    virtual void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap);

    // Tells every dependent REFMSG_TARGET_DELETED, then empties its slots that hold this target.
    RefResult DeleteAllRefsToMe();
    RefResult DeleteAllRefs() override;
    // Deletes this target (DeleteMe) when no maker refers to it and A_LOCK_TARGET is clear.
    // REF_SUCCEED when it was deleted, REF_FAIL otherwise.
    RefResult MaybeAutoDelete();
    // Refuses (REF_FAIL) when hmaker is this target or one of the targets it refers to,
    // directly or indirectly: making hmaker refer to this would close a loop.
    RefResult TestForLoop(const Interval& refInterval, RefMakerHandle hmaker);

    BOOL HasDependents() const { return dependents_.empty() ? FALSE : TRUE; }
    // Stand-in extension for the host and the tests: the distinct makers referring to this.
    int NumDependents() const { return static_cast<int>(dependents_.size()); }
    BOOL IsDependent(const ReferenceMaker* rm) const;

private:
    friend class ReferenceMaker;
    struct Dependent {
        ReferenceMaker* maker;
        int slots;  // how many of the maker's slots hold this target
    };
    void AddDependent(ReferenceMaker* rm);
    void RemoveDependent(ReferenceMaker* rm, bool allSlots);
    bool EnumDependents(DependentEnumProc* dep);

    std::vector<Dependent> dependents_;
    int noAutoDelete_ = 0;  // > 0 while the target is being deleted or letting go of dependents
};

// The directory of one copy operation: which source target became which copy.
class RemapDir {
public:
    virtual ~RemapDir() = default;
    // The copy made of oldTarg in this operation, or null.
    virtual RefTargetHandle FindMapping(RefTargetHandle oldTarg) = 0;
    RefTargetHandle GetPtr(RefTargetHandle oldTarg) { return FindMapping(oldTarg); }
    // Records that oldTarg was copied as newTarg; later requests for oldTarg answer newTarg.
    virtual void AddEntry(RefTargetHandle oldTarg, RefTargetHandle newTarg) = 0;
    // The copy of oldTarg: the one already made in this operation, else oldTarg->Clone(*this)
    // (recorded). Null for null.
    virtual RefTargetHandle CloneRef(RefTargetHandle oldTarg);
    // Sets *patchThis to the copy of oldTarg now, or as soon as that copy is recorded.
    virtual void PatchPointer(RefTargetHandle* patchThis, RefTargetHandle oldTarg) = 0;
    // Ends the operation; pointers still waiting for their copy keep the source target.
    virtual void DeleteThis() = 0;
};

RemapDir* NewDefaultRemapDir(BOOL use_A_WORK2_flag = FALSE);
