// Undo record: steps, nesting, suspension, cancel, undo and redo.
#include <gtest/gtest.h>

#include "hold.h"

namespace {

// Restores an int to its value before the change; counts its own destruction.
class IntRestore : public RestoreObj {
public:
    IntRestore(int* v, int before, int* freed) : v_(v), undo_(before), redo_(*v), freed_(freed) {}
    ~IntRestore() override {
        if (freed_) ++*freed_;
    }
    void Restore(int isUndo) override {
        if (isUndo) redo_ = *v_;
        *v_ = undo_;
    }
    void Redo() override { *v_ = redo_; }

private:
    int* v_;
    int undo_;
    int redo_;
    int* freed_;
};

// Sets *v to value, putting a restore object on theHold.
void Set(int* v, int value, int* freed = nullptr) {
    const int before = *v;
    *v = value;
    theHold.Put(new IntRestore(v, before, freed));
}

class ObjModelHold : public ::testing::Test {
protected:
    void SetUp() override { theHold.ClearRecord(); }
    void TearDown() override {
        while (theHold.GetBeginDepth() > 0) theHold.Cancel();
        while (theHold.IsSuspended()) theHold.Resume();
        theHold.ClearRecord();
    }
};

TEST_F(ObjModelHold, BeginAcceptRecordsOneNamedStep) {
    int x = 0;
    theHold.Begin();
    EXPECT_TRUE(theHold.Holding());
    Set(&x, 1);
    Set(&x, 2);
    theHold.Accept(_M("Move Item"));
    EXPECT_FALSE(theHold.Holding());
    ASSERT_EQ(theHold.NumUndoSteps(), 1);
    EXPECT_EQ(theHold.UndoStepName(0), MSTR(_M("Move Item")));
    EXPECT_EQ(theHold.UndoStepSize(0), 2);

    // Undo restores the value before the step (last object first: 2 -> 1 -> 0), redo re-applies.
    EXPECT_TRUE(theHold.Undo());
    EXPECT_EQ(x, 0);
    EXPECT_TRUE(theHold.Redo());
    EXPECT_EQ(x, 2);
}

TEST_F(ObjModelHold, SuspendAndResumeNest) {
    int x = 0;
    theHold.Begin();
    theHold.Suspend();
    theHold.Suspend();
    theHold.Resume();
    EXPECT_TRUE(theHold.IsSuspended());  // one Suspend still open
    Set(&x, 1);
    theHold.Resume();
    EXPECT_FALSE(theHold.IsSuspended());
    Set(&x, 2);
    theHold.Resume();  // an extra Resume does not go below zero
    EXPECT_TRUE(theHold.Holding());
    theHold.Accept(_M("Two"));
    EXPECT_EQ(theHold.UndoStepSize(0), 1);
    {
        HoldSuspend scoped;
        theHold.Begin();
        EXPECT_FALSE(theHold.Holding());
        theHold.Cancel();
    }
    EXPECT_FALSE(theHold.IsSuspended());
}

TEST_F(ObjModelHold, CancelRestoresOnlyItsOwnLevel) {
    int x = 0, freed = 0;
    theHold.Begin();
    Set(&x, 1, &freed);
    theHold.Begin();
    Set(&x, 2, &freed);
    Set(&x, 3, &freed);
    theHold.Cancel();  // back to 1, the two inner objects are freed
    EXPECT_EQ(x, 1);
    EXPECT_EQ(freed, 2);
    theHold.Accept(_M("Outer"));
    EXPECT_EQ(theHold.UndoStepSize(0), 1);
    theHold.ClearRecord();  // frees the last object while `freed` is alive
    EXPECT_EQ(freed, 3);
}

}  // namespace
