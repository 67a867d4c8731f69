// The parameter block: values by parameter, tables, references to nodes, notification and undo.
#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "hold.h"
#include "inode.h"
#include "iparamb2.h"

namespace {

// One parameter's values: a single value is a table of one entry.
using Values = std::variant<std::vector<int>, std::vector<float>, std::vector<Point3>,
                            std::vector<MSTR>, std::vector<Matrix3>, std::vector<ReferenceTarget*>>;

Values MakeValues(PBStorage kind) {
    switch (kind) {
        case PBStorage::Int:
            return std::vector<int>();
        case PBStorage::Float:
            return std::vector<float>();
        case PBStorage::Point3:
            return std::vector<Point3>();
        case PBStorage::String:
            return std::vector<MSTR>();
        case PBStorage::Matrix3:
            return std::vector<Matrix3>();
        default:
            return std::vector<ReferenceTarget*>();
    }
}

int SizeOf(const Values& v) {
    return std::visit([](const auto& vec) { return static_cast<int>(vec.size()); }, v);
}

// The descriptor's default, as an entry of each kind.
template <class T>
T DefaultOf(const ParamDef& pd);
template <>
int DefaultOf<int>(const ParamDef& pd) {
    return pd.def.i;
}
template <>
float DefaultOf<float>(const ParamDef& pd) {
    return pd.def.f;
}
template <>
Point3 DefaultOf<Point3>(const ParamDef& pd) {
    return pd.def.p;
}
template <>
MSTR DefaultOf<MSTR>(const ParamDef& pd) {
    return pd.def.s;
}
template <>
Matrix3 DefaultOf<Matrix3>(const ParamDef& pd) {
    return pd.def.m;
}
template <>
ReferenceTarget* DefaultOf<ReferenceTarget*>(const ParamDef& /*pd*/) {
    return nullptr;
}

bool IsNodeTarget(ReferenceTarget* t) { return t == nullptr || dynamic_cast<INode*>(t) != nullptr; }

class ParamBlock2 : public IParamBlock2 {
public:
    ParamBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner) : desc_(desc), owner_(owner) {
        const int n = desc_ ? desc_->Count() : 0;
        params_.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const ParamDef& pd = desc_->GetParamDefByIndex(i);
            params_.push_back(MakeValues(pb_storage(pd.type)));
            FillDefaults(i, is_tab(pd.type) ? pd.tab_size : 1);
            if (pb_storage(pd.type) == PBStorage::Reference) refParams_.push_back(i);
        }
    }

    ~ParamBlock2() override = default;

    // ----- Identity -----------------------------------------------------------------------
    Class_ID ClassID() override { return Class_ID(PARAMETER_BLOCK2_CLASS_ID, 0); }
    void GetClassName(MSTR& s) override { s = MSTR(_M("ParamBlock2")); }
    ParamBlockDesc2* GetDesc() override { return desc_; }
    BlockID ID() override { return desc_ ? desc_->ID : -1; }
    MSTR GetLocalName() override {
        if (desc_ == nullptr) return MSTR();
        const MCHAR* s = desc_->cd ? desc_->cd->GetRsrcString(desc_->local_name) : nullptr;
        return MSTR(s ? s : desc_->int_name.data());
    }
    int NumParams() override { return static_cast<int>(params_.size()); }
    int IDtoIndex(ParamID id) override { return desc_ ? desc_->IDtoIndex(id) : -1; }
    ParamID IndextoID(int i) override { return desc_ ? desc_->IndextoID(i) : -1; }
    ParamType2 GetParameterType(ParamID id) override {
        const int i = IDtoIndex(id);
        return i < 0 ? TYPE_VOID : Def(i).type;
    }
    ParamDef& GetParamDef(ParamID id) override { return desc_->GetParamDef(id); }
    ReferenceMaker* GetOwner() override { return ownerPatch_ != nullptr ? ownerPatch_ : owner_; }
    void SetOwner(ReferenceMaker* owner) override {
        owner_ = owner;
        ownerPatch_ = nullptr;
    }
    ParamID LastNotifyParamID() override { return lastNotifyID_; }
    ParamID LastNotifyParamID(int& tabIndex) override {
        tabIndex = lastNotifyTab_;
        return lastNotifyID_;
    }
    void EnableNotifications(BOOL onOff) override { notify_ = onOff != FALSE; }
    void InvalidateUI(ParamID id, int tabIndex) override {
        if (desc_) desc_->InvalidateUI(id, tabIndex);
    }

    // ----- Reading --------------------------------------------------------------------------
    BOOL GetValue(ParamID id, TimeValue, int& v, Interval&, int tabIndex) override {
        return Read(id, tabIndex, v, 0);
    }
    BOOL GetValue(ParamID id, TimeValue, float& v, Interval&, int tabIndex) override {
        return Read(id, tabIndex, v, 0.0f);
    }
    BOOL GetValue(ParamID id, TimeValue, Point3& v, Interval&, int tabIndex) override {
        return Read(id, tabIndex, v, Point3(0.0f, 0.0f, 0.0f));
    }
    BOOL GetValue(ParamID id, TimeValue, Matrix3& v, Interval&, int tabIndex) override {
        return Read(id, tabIndex, v, Matrix3(1));
    }
    BOOL GetValue(ParamID id, TimeValue, const MCHAR*& v, Interval&, int tabIndex) override {
        v = _M("");
        const MSTR* s = Find<MSTR>(id, tabIndex, false);
        if (s == nullptr) return FALSE;
        v = s->data();
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, INode*& v, Interval&, int tabIndex) override {
        v = nullptr;
        if (base_type(GetParameterType(id)) != TYPE_INODE) return FALSE;
        ReferenceTarget* const* r = Find<ReferenceTarget*>(id, tabIndex, false);
        if (r == nullptr) return FALSE;
        v = dynamic_cast<INode*>(*r);
        return TRUE;
    }
    BOOL GetValue(ParamID id, TimeValue, ReferenceTarget*& v, Interval&, int tabIndex) override {
        return Read(id, tabIndex, v, static_cast<ReferenceTarget*>(nullptr));
    }

    int GetInt(ParamID id, TimeValue, int tabIndex) override { return Get(id, tabIndex, 0); }
    float GetFloat(ParamID id, TimeValue, int tabIndex) override { return Get(id, tabIndex, 0.0f); }
    TimeValue GetTimeValue(ParamID id, TimeValue, int tabIndex) override {
        return Get(id, tabIndex, 0);
    }
    Point3 GetPoint3(ParamID id, TimeValue, int tabIndex) override {
        return Get(id, tabIndex, Point3(0.0f, 0.0f, 0.0f));
    }
    Matrix3 GetMatrix3(ParamID id, TimeValue, int tabIndex) override {
        return Get(id, tabIndex, Matrix3(1));
    }
    const MCHAR* GetStr(ParamID id, TimeValue, int tabIndex) override {
        const MSTR* s = Find<MSTR>(id, tabIndex, true);
        return s ? s->data() : _M("");
    }
    INode* GetINode(ParamID id, TimeValue, int tabIndex) override {
        if (base_type(GetParameterType(id)) != TYPE_INODE) return nullptr;
        return dynamic_cast<INode*>(Get(id, tabIndex, static_cast<ReferenceTarget*>(nullptr)));
    }
    ReferenceTarget* GetReferenceTarget(ParamID id, TimeValue, int tabIndex) override {
        return Get(id, tabIndex, static_cast<ReferenceTarget*>(nullptr));
    }
    IParamBlock2* GetParamBlock2(ParamID id, TimeValue t, int tabIndex) override {
        return dynamic_cast<IParamBlock2*>(GetReferenceTarget(id, t, tabIndex));
    }

    // ----- Writing --------------------------------------------------------------------------
    BOOL SetValue(ParamID id, TimeValue, int v, int tabIndex) override {
        return Write(id, tabIndex, v);
    }
    BOOL SetValue(ParamID id, TimeValue, float v, int tabIndex) override {
        return Write(id, tabIndex, v);
    }
    BOOL SetValue(ParamID id, TimeValue, const Point3& v, int tabIndex) override {
        return Write(id, tabIndex, v);
    }
    BOOL SetValue(ParamID id, TimeValue, const Matrix3& v, int tabIndex) override {
        return Write(id, tabIndex, v);
    }
    BOOL SetValue(ParamID id, TimeValue, const MCHAR* v, int tabIndex) override {
        return Write(id, tabIndex, MSTR(v));
    }
    BOOL SetValue(ParamID id, TimeValue t, INode* v, int tabIndex) override {
        return SetValue(id, t, static_cast<ReferenceTarget*>(v), tabIndex);
    }
    BOOL SetValue(ParamID id, TimeValue, ReferenceTarget* v, int tabIndex) override {
        const int i = IDtoIndex(id);
        if (i < 0 || pb_storage(Def(i).type) != PBStorage::Reference) return FALSE;
        if (base_type(Def(i).type) == TYPE_INODE && !IsNodeTarget(v)) return FALSE;
        auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(i)]);
        const int e = EntryIndex(i, tabIndex, static_cast<int>(refs.size()));
        Hold(i);
        const bool ok = PutRef(i, e, v);
        Notify(id, is_tab(Def(i).type) ? tabIndex : -1);
        return ok ? TRUE : FALSE;
    }

    // ----- Tables ---------------------------------------------------------------------------
    int Count(ParamID id) override {
        const int i = IDtoIndex(id);
        if (i < 0 || !is_tab(Def(i).type)) return 0;
        return SizeOf(params_[Index(i)]);
    }
    void ZeroCount(ParamID id) override { SetCount(id, 0); }
    void SetCount(ParamID id, int n) override {
        const int i = TableIndex(id);
        if (i < 0) return;
        n = std::clamp(n, 0, kMaxEntries);
        const int old = SizeOf(params_[Index(i)]);
        if (n == old) return;
        Hold(i);
        if (n < old) {
            DropEntries(i, n, old - n);
        } else {
            FillDefaults(i, n - old);
        }
        Notify(id, -1);
    }
    int Delete(ParamID id, int start, int num) override {
        const int i = TableIndex(id);
        if (i < 0) return -1;
        const int count = SizeOf(params_[Index(i)]);
        if (start < 0 || start >= count || num <= 0) return count;
        num = std::min(num, count - start);
        Hold(i);
        DropEntries(i, start, num);
        Notify(id, -1);
        return SizeOf(params_[Index(i)]);
    }
    int Resize(ParamID id, int num) override {
        const int i = TableIndex(id);
        if (i < 0) return -1;
        std::visit([num](auto& vec) { vec.reserve(static_cast<std::size_t>(std::max(num, 0))); },
                   params_[Index(i)]);
        return SizeOf(params_[Index(i)]);
    }
    void Shrink(ParamID id) override {
        const int i = TableIndex(id);
        if (i < 0) return;
        std::visit([](auto& vec) { vec.shrink_to_fit(); }, params_[Index(i)]);
    }

    int Append(ParamID id, int num, int* el, int) override { return Add(id, -1, num, el); }
    int Append(ParamID id, int num, float* el, int) override { return Add(id, -1, num, el); }
    int Append(ParamID id, int num, Point3** el, int) override { return AddPtr(id, -1, num, el); }
    int Append(ParamID id, int num, Matrix3** el, int) override { return AddPtr(id, -1, num, el); }
    int Append(ParamID id, int num, const MCHAR** el, int) override {
        return AddStr(id, -1, num, el);
    }
    int Append(ParamID id, int num, INode** el, int) override { return AddNodes(id, -1, num, el); }
    int Append(ParamID id, int num, ReferenceTarget** el, int) override {
        return AddRefs(id, -1, num, el);
    }
    int Insert(ParamID id, int start, int num, int* el) override { return Add(id, start, num, el); }
    int Insert(ParamID id, int start, int num, float* el) override {
        return Add(id, start, num, el);
    }
    int Insert(ParamID id, int start, int num, Point3** el) override {
        return AddPtr(id, start, num, el);
    }
    int Insert(ParamID id, int start, int num, Matrix3** el) override {
        return AddPtr(id, start, num, el);
    }
    int Insert(ParamID id, int start, int num, const MCHAR** el) override {
        return AddStr(id, start, num, el);
    }
    int Insert(ParamID id, int start, int num, INode** el) override {
        return AddNodes(id, start, num, el);
    }
    int Insert(ParamID id, int start, int num, ReferenceTarget** el) override {
        return AddRefs(id, start, num, el);
    }

    void Reset(ParamID id, int tabIndex, BOOL, BOOL) override {
        const int i = IDtoIndex(id);
        if (i < 0) return;
        const ParamDef& pd = Def(i);
        const int count = SizeOf(params_[Index(i)]);
        Hold(i);
        if (is_tab(pd.type) && tabIndex >= 0) {
            // One entry of a table back to the default.
            if (tabIndex >= count) throw MaxSDK::Util::OutOfRangeException();
            ResetEntry(i, tabIndex);
            Notify(id, tabIndex);
            return;
        }
        DropEntries(i, 0, count);
        FillDefaults(i, is_tab(pd.type) ? pd.tab_size : 1);
        Notify(id, -1);
    }
    void ResetAll(BOOL updateUI, BOOL callSetHandlers) override {
        for (int i = 0; i < NumParams(); ++i) Reset(IndextoID(i), -1, updateUI, callSetHandlers);
    }

    // ----- References -----------------------------------------------------------------------
    int NumRefs() override {
        int n = 0;
        for (int i : refParams_) n += SizeOf(params_[Index(i)]);
        return n;
    }
    RefTargetHandle GetReference(int slot) override {
        ReferenceTarget** r = RefAt(slot);
        return r ? *r : nullptr;
    }

    RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                               RefMessage message, BOOL propagate) override {
        if (message == REFMSG_TARGET_DELETED) {
            NullEntriesOf(hTarget);
            return REF_SUCCEED;
        }
        if (!propagate) return REF_SUCCEED;
        // A change of something the block refers to reaches the owner as a change of the
        // parameter holding it.
        const int i = ParamHolding(hTarget);
        if (i < 0) return REF_SUCCEED;
        const ParamID saved = lastNotifyID_;
        const int savedTab = lastNotifyTab_;
        lastNotifyID_ = IndextoID(i);
        lastNotifyTab_ = -1;
        NotifyDependents(changeInt, partID, message);
        lastNotifyID_ = saved;
        lastNotifyTab_ = savedTab;
        return REF_STOP;
    }

    ReferenceTarget* Clone(RemapDir& remap) override {
        auto* pb = new ParamBlock2(desc_, owner_);
        pb->notify_ = false;
        for (std::size_t k = 0; k < params_.size(); ++k) {
            const int i = static_cast<int>(k);
            if (pb_storage(Def(i).type) != PBStorage::Reference) {
                pb->params_[k] = params_[k];
                continue;
            }
            // Nodes are shared with the copy; other targets are copied in this operation.
            const bool share = base_type(Def(i).type) == TYPE_INODE;
            const auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[k]);
            pb->DropEntries(i, 0, SizeOf(pb->params_[k]));
            pb->FillDefaults(i, static_cast<int>(refs.size()));
            for (std::size_t e = 0; e < refs.size(); ++e) {
                ReferenceTarget* t = share ? refs[e] : remap.CloneRef(refs[e]);
                if (t) pb->PutRef(i, static_cast<int>(e), t);
            }
        }
        pb->notify_ = notify_;
        if (auto* ownerTarget = dynamic_cast<ReferenceTarget*>(owner_)) {
            // The copy belongs to the owner's copy once the copy operation records it.
            pb->ownerPatch_ = ownerTarget;
            remap.PatchPointer(&pb->ownerPatch_, ownerTarget);
        }
        BaseClone(this, pb, remap);
        return pb;
    }

    // ----- Undo -----------------------------------------------------------------------------
    // Puts back a parameter's whole contents (the references included), and notifies.
    void RestoreParam(int i, const Values& values) {
        const std::size_t k = Index(i);
        if (pb_storage(Def(i).type) != PBStorage::Reference) {
            params_[k] = values;
        } else {
            const auto& refs = std::get<std::vector<ReferenceTarget*>>(values);
            ReleaseRefs(i, 0, SizeOf(params_[k]), FALSE);
            std::get<std::vector<ReferenceTarget*>>(params_[k]).assign(refs.size(), nullptr);
            for (std::size_t e = 0; e < refs.size(); ++e) {
                if (refs[e]) PutRef(i, static_cast<int>(e), refs[e]);
            }
        }
        Notify(IndextoID(i), -1);
    }
    const Values& ValuesOf(int i) const { return params_[Index(i)]; }

private:
    static constexpr int kMaxEntries = 1 << 24;

    void SetReference(int slot, RefTargetHandle rtarg) override {
        ReferenceTarget** r = RefAt(slot);
        if (r) *r = rtarg;
    }

    static std::size_t Index(int i) { return static_cast<std::size_t>(i); }
    const ParamDef& Def(int i) const { return desc_->GetParamDefByIndex(i); }

    // Index of a table parameter, or -1.
    int TableIndex(ParamID id) {
        const int i = IDtoIndex(id);
        return i >= 0 && is_tab(Def(i).type) ? i : -1;
    }

    // The entry a tabIndex names: 0 for a single value; for a table, tabIndex itself, which
    // must lie in the table (else the range exception).
    int EntryIndex(int i, int tabIndex, int count) const {
        if (!is_tab(Def(i).type)) return 0;
        if (tabIndex < 0 || tabIndex >= count) throw MaxSDK::Util::OutOfRangeException();
        return tabIndex;
    }

    // The stored entry of type T, or null for an unknown ID or another kind. An index outside
    // the table raises the range exception when throwOnRange, else gives null.
    template <class T>
    T* Find(ParamID id, int tabIndex, bool throwOnRange) {
        const int i = IDtoIndex(id);
        if (i < 0) return nullptr;
        auto* vec = std::get_if<std::vector<T>>(&params_[Index(i)]);
        if (vec == nullptr) return nullptr;
        const int count = static_cast<int>(vec->size());
        if (is_tab(Def(i).type) && (tabIndex < 0 || tabIndex >= count)) {
            if (throwOnRange) throw MaxSDK::Util::OutOfRangeException();
            return nullptr;
        }
        if (count == 0) return nullptr;
        return &(*vec)[static_cast<std::size_t>(EntryIndex(i, tabIndex, count))];
    }

    template <class T>
    BOOL Read(ParamID id, int tabIndex, T& v, const T& zero) {
        const T* p = Find<T>(id, tabIndex, false);
        v = p ? *p : zero;
        return p ? TRUE : FALSE;
    }

    template <class T>
    T Get(ParamID id, int tabIndex, const T& zero) {
        const T* p = Find<T>(id, tabIndex, true);
        return p ? *p : zero;
    }

    template <class T>
    BOOL Write(ParamID id, int tabIndex, const T& v) {
        const int i = IDtoIndex(id);
        if (i < 0) return FALSE;
        auto* vec = std::get_if<std::vector<T>>(&params_[Index(i)]);
        if (vec == nullptr) return FALSE;
        const int e = EntryIndex(i, tabIndex, static_cast<int>(vec->size()));
        Hold(i);
        (*vec)[static_cast<std::size_t>(e)] = v;
        Notify(id, is_tab(Def(i).type) ? tabIndex : -1);
        return TRUE;
    }

    // Appends (at < 0) or inserts num entries of a value table; el null gives defaults.
    template <class T>
    int AddValues(ParamID id, int at, int num, const T* el) {
        const int i = TableIndex(id);
        if (i < 0) return -1;
        auto* vec = std::get_if<std::vector<T>>(&params_[Index(i)]);
        if (vec == nullptr) return -1;
        const int count = static_cast<int>(vec->size());
        const bool append = at < 0;
        if (!append && at > count) return -1;
        num = std::clamp(num, 0, kMaxEntries - count);
        std::vector<T> add;
        add.reserve(static_cast<std::size_t>(num));
        for (int k = 0; k < num; ++k) add.push_back(el ? el[k] : DefaultOf<T>(Def(i)));
        Hold(i);
        vec->insert(vec->begin() + (append ? count : at), add.begin(), add.end());
        Notify(id, -1);
        return append ? count : at;
    }
    int Add(ParamID id, int at, int num, const int* el) { return AddValues(id, at, num, el); }
    int Add(ParamID id, int at, int num, const float* el) { return AddValues(id, at, num, el); }
    template <class T>
    int AddPtr(ParamID id, int at, int num, T** el) {
        if (el == nullptr) return AddValues<T>(id, at, num, nullptr);
        std::vector<T> vals;
        for (int k = 0; k < std::max(num, 0); ++k) vals.push_back(el[k] ? *el[k] : T());
        return AddValues(id, at, num, vals.data());
    }
    int AddStr(ParamID id, int at, int num, const MCHAR** el) {
        if (el == nullptr) return AddValues<MSTR>(id, at, num, nullptr);
        std::vector<MSTR> vals;
        for (int k = 0; k < std::max(num, 0); ++k) vals.emplace_back(el[k]);
        return AddValues(id, at, num, vals.data());
    }
    int AddNodes(ParamID id, int at, int num, INode** el) {
        std::vector<ReferenceTarget*> targets;
        for (int k = 0; el && k < std::max(num, 0); ++k) targets.push_back(el[k]);
        return AddRefs(id, at, num, el ? targets.data() : nullptr);
    }
    int AddRefs(ParamID id, int at, int num, ReferenceTarget** el) {
        const int i = TableIndex(id);
        if (i < 0 || pb_storage(Def(i).type) != PBStorage::Reference) return -1;
        const bool nodes = base_type(Def(i).type) == TYPE_INODE;
        for (int k = 0; el && k < num; ++k) {
            if (nodes && !IsNodeTarget(el[k])) return -1;
        }
        auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(i)]);
        const int count = static_cast<int>(refs.size());
        const bool append = at < 0;
        if (!append && at > count) return -1;
        num = std::clamp(num, 0, kMaxEntries - count);
        const int first = append ? count : at;
        Hold(i);
        // Null entries first, so the slots exist, then each reference through the system.
        refs.insert(refs.begin() + first, static_cast<std::size_t>(num), nullptr);
        for (int k = 0; el && k < num; ++k) {
            if (el[k]) PutRef(i, first + k, el[k]);
        }
        Notify(id, -1);
        return first;
    }

    // Appends n default entries at the end of parameter i (no references: defaults are null).
    void FillDefaults(int i, int n) {
        const ParamDef& pd = desc_->GetParamDefByIndex(i);
        std::visit(
            [&pd, n](auto& vec) {
                using T = typename std::decay_t<decltype(vec)>::value_type;
                vec.insert(vec.end(), static_cast<std::size_t>(std::max(n, 0)), DefaultOf<T>(pd));
            },
            params_[Index(i)]);
    }

    void ResetEntry(int i, int e) {
        const ParamDef& pd = Def(i);
        if (pb_storage(pd.type) == PBStorage::Reference) {
            ReleaseRefs(i, e, 1, TRUE);
            return;
        }
        std::visit(
            [&pd, e](auto& vec) {
                using T = typename std::decay_t<decltype(vec)>::value_type;
                vec[static_cast<std::size_t>(e)] = DefaultOf<T>(pd);
            },
            params_[Index(i)]);
    }

    // Removes entries [start, start + num) of parameter i, letting go of their references.
    void DropEntries(int i, int start, int num) {
        if (num <= 0) return;
        if (pb_storage(Def(i).type) == PBStorage::Reference) ReleaseRefs(i, start, num, TRUE);
        std::visit(
            [start, num](auto& vec) { vec.erase(vec.begin() + start, vec.begin() + start + num); },
            params_[Index(i)]);
    }

    // Empties the reference entries [start, start + num) of parameter i through the reference
    // system (the entries stay, null).
    void ReleaseRefs(int i, int start, int num, BOOL delOld) {
        auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(i)]);
        for (int e = start; e < start + num; ++e) {
            if (refs[static_cast<std::size_t>(e)] != nullptr) {
                ReplaceReference(SlotOf(i, e), nullptr, delOld);
                refs[static_cast<std::size_t>(e)] = nullptr;  // in case the system refused
            }
        }
    }

    // Puts target into entry e of parameter i through the reference system; a refused target
    // (a loop) leaves the entry null and answers false.
    bool PutRef(int i, int e, ReferenceTarget* target) {
        const int slot = SlotOf(i, e);
        if (ReplaceReference(slot, target) == REF_SUCCEED) return true;
        ReplaceReference(slot, nullptr);
        return false;
    }

    // Reference slot of entry e of parameter i.
    int SlotOf(int i, int e) {
        int slot = 0;
        for (int r : refParams_) {
            if (r == i) return slot + e;
            slot += SizeOf(params_[Index(r)]);
        }
        return -1;
    }

    ReferenceTarget** RefAt(int slot) {
        if (slot < 0) return nullptr;
        for (int r : refParams_) {
            auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(r)]);
            const int n = static_cast<int>(refs.size());
            if (slot < n) return &refs[static_cast<std::size_t>(slot)];
            slot -= n;
        }
        return nullptr;
    }

    int ParamHolding(ReferenceTarget* target) {
        if (target == nullptr) return -1;
        for (int r : refParams_) {
            const auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(r)]);
            if (std::find(refs.begin(), refs.end(), target) != refs.end()) return r;
        }
        return -1;
    }

    // A deleted target leaves null entries; each parameter that held it is notified once. The
    // nulling is not recorded for undo: the deleted target is gone and cannot be put back.
    void NullEntriesOf(ReferenceTarget* target) {
        for (int r : refParams_) {
            auto& refs = std::get<std::vector<ReferenceTarget*>>(params_[Index(r)]);
            bool held = false;
            for (std::size_t e = 0; e < refs.size(); ++e) {
                if (refs[e] != target) continue;
                ReplaceReference(SlotOf(r, static_cast<int>(e)), nullptr, FALSE);
                refs[e] = nullptr;
                held = true;
            }
            if (!held) continue;
            const bool tab = is_tab(Def(r).type);
            Notify(IndextoID(r), -1, tab ? REFMSG_TAB_ELEMENT_NULLED : REFMSG_CHANGE);
        }
    }

    void Notify(ParamID id, int tabIndex, RefMessage message = REFMSG_CHANGE) {
        if (!notify_) return;
        const ParamID saved = lastNotifyID_;
        const int savedTab = lastNotifyTab_;
        lastNotifyID_ = id;
        lastNotifyTab_ = tabIndex;
        NotifyDependents(FOREVER, PART_ALL, message);
        lastNotifyID_ = saved;
        lastNotifyTab_ = savedTab;
    }

    void Hold(int i);

    ParamBlockDesc2* desc_;
    ReferenceMaker* owner_;
    ReferenceTarget* ownerPatch_ = nullptr;  // the owner's copy, filled in by a copy operation
    std::vector<Values> params_;
    std::vector<int> refParams_;  // indexes of the reference parameters, in descriptor order
    ParamID lastNotifyID_ = -1;
    int lastNotifyTab_ = -1;
    bool notify_ = true;
};

// The contents of one parameter before a change, for undo; redo keeps the contents after it.
class ParamRestore : public RestoreObj {
public:
    ParamRestore(ParamBlock2* pb, int index, Values before)
        : pb_(pb), index_(index), undo_(std::move(before)) {}

    void Restore(int isUndo) override {
        if (isUndo) redo_ = pb_->ValuesOf(index_);
        pb_->RestoreParam(index_, undo_);
    }
    void Redo() override {
        if (redo_) pb_->RestoreParam(index_, *redo_);
    }
    int Size() override { return static_cast<int>(sizeof(*this)) + SizeOf(undo_) * 8; }
    MSTR Description() override { return MSTR(_M("Parameter change")); }

private:
    ParamBlock2* pb_;
    int index_;
    Values undo_;
    std::optional<Values> redo_;
};

}  // namespace

void ParamBlock2::Hold(int i) {
    if (theHold.Holding()) theHold.Put(new ParamRestore(this, i, params_[Index(i)]));
}

IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner) {
    if (desc == nullptr) return nullptr;
    return new ParamBlock2(desc, owner);
}
