// The reference system: dependent lists, notification and deletion order, loops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ref.h"

namespace {

// A target that may itself hold references; it flags its destruction.
// Targets on the stack are locked against automatic deletion; Heap() makes a deletable one.
class Target : public ReferenceTarget {
public:
    explicit Target(int nrefs = 0, bool* destroyed = nullptr)
        : refs_(static_cast<std::size_t>(nrefs), nullptr), destroyed_(destroyed) {
        SetAFlag(A_LOCK_TARGET);
    }
    static Target* Heap(int nrefs = 0, bool* destroyed = nullptr) {
        auto* t = new Target(nrefs, destroyed);
        t->ClearAFlag(A_LOCK_TARGET);
        return t;
    }
    ~Target() override {
        if (destroyed_) *destroyed_ = true;
    }
    int NumRefs() override { return static_cast<int>(refs_.size()); }
    RefTargetHandle GetReference(int i) override { return refs_[static_cast<std::size_t>(i)]; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage,
                               BOOL) override {
        return REF_SUCCEED;
    }

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        refs_[static_cast<std::size_t>(i)] = rtarg;
    }
    std::vector<RefTargetHandle> refs_;
    bool* destroyed_;
};

// A maker that records, in order, the messages it hears and the slot writes it receives.
class LogMaker : public ReferenceMaker {
public:
    explicit LogMaker(int nrefs) : refs_(static_cast<std::size_t>(nrefs), nullptr) {}
    int NumRefs() override { return static_cast<int>(refs_.size()); }
    RefTargetHandle GetReference(int i) override { return refs_[static_cast<std::size_t>(i)]; }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID& partID, RefMessage message,
                               BOOL) override {
        events.push_back("msg " + std::to_string(message) + " part " + std::to_string(partID));
        return REF_SUCCEED;
    }
    std::vector<std::string> events;

private:
    void SetReference(int i, RefTargetHandle rtarg) override {
        events.push_back("set " + std::to_string(i) + (rtarg ? " target" : " null"));
        refs_[static_cast<std::size_t>(i)] = rtarg;
    }
    std::vector<RefTargetHandle> refs_;
};

TEST(ObjModelRef, ReplaceReferenceListsTheMakerAsDependent) {
    Target a, b;
    LogMaker m(2);
    ASSERT_EQ(m.ReplaceReference(0, &a), REF_SUCCEED);
    ASSERT_EQ(m.ReplaceReference(1, &a), REF_SUCCEED);
    EXPECT_TRUE(a.IsDependent(&m));
    EXPECT_EQ(a.NumDependents(), 1);  // one maker, though it holds a in two slots

    ASSERT_EQ(m.ReplaceReference(0, &b), REF_SUCCEED);
    EXPECT_TRUE(a.IsDependent(&m));  // slot 1 still holds a
    EXPECT_TRUE(b.IsDependent(&m));
    ASSERT_EQ(m.ReplaceReference(1, nullptr), REF_SUCCEED);
    EXPECT_FALSE(a.IsDependent(&m));
    EXPECT_EQ(m.GetReference(0), &b);
    EXPECT_EQ(m.ReplaceReference(2, &a), REF_FAIL);  // no slot 2
    EXPECT_EQ(m.ReplaceReference(-1, &a), REF_FAIL);
    m.DeleteAllRefsFromMe();
}

TEST(ObjModelRef, DeletingATargetTellsThenNullsEachMaker) {
    bool gone = false;
    auto* t = Target::Heap(0, &gone);
    LogMaker m1(1), m2(3);
    m1.ReplaceReference(0, t);
    m2.ReplaceReference(2, t);
    m1.events.clear();
    m2.events.clear();

    t->DeleteThis();
    EXPECT_TRUE(gone);
    // First the message (0x20, every part), then the slot is emptied.
    const std::string told = "msg 32 part " + std::to_string(PART_ALL);
    EXPECT_EQ(m1.events, (std::vector<std::string>{told, "set 0 null"}));
    EXPECT_EQ(m2.events, (std::vector<std::string>{told, "set 2 null"}));
    EXPECT_EQ(m2.GetReference(2), nullptr);
}

TEST(ObjModelRef, AMakerLettingGoDeletesAnOrphanUnlessLocked) {
    bool freeGone = false, lockedGone = false;
    auto* freeT = Target::Heap(0, &freeGone);
    auto* lockedT = Target::Heap(0, &lockedGone);
    lockedT->SetAFlag(A_LOCK_TARGET);
    {
        LogMaker m(2);
        m.ReplaceReference(0, freeT);
        m.ReplaceReference(1, lockedT);
        m.ReplaceReference(1, nullptr, FALSE);
        EXPECT_FALSE(lockedGone);
    }  // m destroyed while holding freeT
    EXPECT_TRUE(freeGone);
    EXPECT_FALSE(lockedGone);
    EXPECT_FALSE(lockedT->HasDependents());
    lockedT->DeleteThis();
    EXPECT_TRUE(lockedGone);
}

TEST(ObjModelRef, ReferenceLoopsAreRefused) {
    Target a(1), b(1);
    ASSERT_EQ(a.ReplaceReference(0, &b), REF_SUCCEED);
    EXPECT_EQ(b.ReplaceReference(0, &a), REF_FAIL);  // b -> a -> b
    EXPECT_EQ(a.ReplaceReference(0, &a), REF_FAIL);  // a -> a
    EXPECT_EQ(b.GetReference(0), nullptr);
    a.ReplaceReference(0, nullptr, FALSE);
}

}  // namespace
