// Broadcast notifications: who hears what, and changes to the registry during a broadcast.
#include <gtest/gtest.h>

#include <vector>

#include "notify.h"

namespace {

struct Listener {
    std::vector<int> codes;
    std::vector<void*> callParams;
    // Set by a test: entries to unregister when this listener hears something.
    NOTIFYPROC dropProc = nullptr;
    void* dropParam = nullptr;
    int dropCode = 0;
};

void Hear(void* param, NotifyInfo* info) {
    auto* l = static_cast<Listener*>(param);
    l->codes.push_back(info->intcode);
    l->callParams.push_back(info->callParam);
    if (l->dropProc) UnRegisterNotification(l->dropProc, l->dropParam, l->dropCode);
}

TEST(ObjModelNotify, ARegisteredProcGetsItsParamAndTheCode) {
    Listener a;
    ASSERT_TRUE(RegisterNotification(Hear, &a, NOTIFY_PRE_RENDER));
    EXPECT_FALSE(RegisterNotification(Hear, &a, NOTIFY_PRE_RENDER));  // the same triple once
    int context = 0;
    BroadcastNotification(NOTIFY_PRE_RENDER, &context);
    BroadcastNotification(NOTIFY_POST_RENDER);  // another code: not heard
    ASSERT_EQ(a.codes, std::vector<int>{NOTIFY_PRE_RENDER});
    EXPECT_EQ(a.callParams[0], &context);

    EXPECT_TRUE(UnRegisterNotification(Hear, &a, NOTIFY_PRE_RENDER));
    EXPECT_FALSE(UnRegisterNotification(Hear, &a, NOTIFY_PRE_RENDER));
    BroadcastNotification(NOTIFY_PRE_RENDER);
    EXPECT_EQ(a.codes.size(), 1u);
    EXPECT_FALSE(RegisterNotification(nullptr, &a, NOTIFY_PRE_RENDER));
}

TEST(ObjModelNotify, UnregisteringDuringABroadcastIsSafe) {
    // a drops itself; b (registered before c) drops c, so c does not hear this broadcast.
    Listener a, b, c;
    a.dropProc = Hear;
    a.dropParam = &a;
    a.dropCode = NOTIFY_POST_RENDERFRAME;
    b.dropProc = Hear;
    b.dropParam = &c;
    b.dropCode = NOTIFY_POST_RENDERFRAME;
    RegisterNotification(Hear, &a, NOTIFY_POST_RENDERFRAME);
    RegisterNotification(Hear, &b, NOTIFY_POST_RENDERFRAME);
    RegisterNotification(Hear, &c, NOTIFY_POST_RENDERFRAME);
    BroadcastNotification(NOTIFY_POST_RENDERFRAME);
    EXPECT_EQ(a.codes.size(), 1u);
    EXPECT_EQ(b.codes.size(), 1u);
    EXPECT_EQ(c.codes.size(), 0u);
    b.dropProc = nullptr;
    BroadcastNotification(NOTIFY_POST_RENDERFRAME);
    EXPECT_EQ(a.codes.size(), 1u);
    EXPECT_EQ(b.codes.size(), 2u);
    UnRegisterNotification(Hear, &b);
}

}  // namespace
