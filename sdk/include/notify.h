// Broadcast notifications: the host tells registered functions about scene-wide events (file
// open, render start and end, shutdown...).
//
// A registration is the triple (proc, param, code); the same triple registers once. Procs hear a
// broadcast in registration order, each with its own param and a NotifyInfo holding the code and
// the broadcast's callParam. A proc registered for NOTIFY_ALL hears every code. Registering or
// unregistering (itself or others) from inside a handler is safe: an entry unregistered during a
// broadcast is not called afterwards, and an entry registered during a broadcast first hears the
// next one.
#pragma once

#include <functional>

struct NotifyInfo {
    int intcode;
    void* callParam;
};

using NOTIFYPROC = void (*)(void* param, NotifyInfo* info);

// The host's numbering.
constexpr int NOTIFY_UNITS_CHANGE = 0x00000001;
constexpr int NOTIFY_TIMEUNITS_CHANGE = 0x00000002;
constexpr int NOTIFY_SYSTEM_PRE_RESET = 0x00000005;
constexpr int NOTIFY_SYSTEM_POST_RESET = 0x00000006;
constexpr int NOTIFY_SYSTEM_PRE_NEW = 0x00000007;
constexpr int NOTIFY_SYSTEM_POST_NEW = 0x00000008;
constexpr int NOTIFY_FILE_PRE_OPEN = 0x00000009;
constexpr int NOTIFY_FILE_POST_OPEN = 0x0000000A;
constexpr int NOTIFY_FILE_PRE_MERGE = 0x0000000B;
constexpr int NOTIFY_FILE_POST_MERGE = 0x0000000C;
constexpr int NOTIFY_FILE_PRE_SAVE = 0x0000000D;
constexpr int NOTIFY_FILE_POST_SAVE = 0x0000000E;
constexpr int NOTIFY_FILE_OPEN_FAILED = 0x0000000F;
constexpr int NOTIFY_SELECTIONSET_CHANGED = 0x00000012;
constexpr int NOTIFY_PRE_RENDER = 0x00000014;
constexpr int NOTIFY_POST_RENDER = 0x00000015;
constexpr int NOTIFY_PRE_RENDERFRAME = 0x00000016;   // callParam: the render context
constexpr int NOTIFY_POST_RENDERFRAME = 0x00000017;  // callParam: the render context
constexpr int NOTIFY_PRE_IMPORT = 0x00000018;
constexpr int NOTIFY_POST_IMPORT = 0x00000019;
constexpr int NOTIFY_PRE_EXPORT = 0x0000001B;
constexpr int NOTIFY_POST_EXPORT = 0x0000001C;
constexpr int NOTIFY_NODE_RENAMED = 0x0000001E;
constexpr int NOTIFY_SYSTEM_SHUTDOWN = 0x0000002D;
constexpr int NOTIFY_RENDER_PREEVAL = 0x00000039;
constexpr int NOTIFY_SYSTEM_STARTUP = 0x00000050;

// Every code (also the super class filter "all dependents" of ref.h, hence the macro).
#define NOTIFY_ALL 0xfffffff0

// FALSE for a null proc or a triple already registered.
int RegisterNotification(NOTIFYPROC proc, void* param, int code);
// FALSE when the triple is not registered.
int UnRegisterNotification(NOTIFYPROC proc, void* param, int code);
// Removes (proc, param) for every code; FALSE when there was none.
int UnRegisterNotification(NOTIFYPROC proc, void* param);
void BroadcastNotification(int code);
void BroadcastNotification(int code, void* callParam);

namespace NotifyStandIn {

// Stand-in extension for hosts and tests: told before (entering true) and after (false) each
// handler a broadcast calls, with the handler's param, so a host can tell which registrant did
// what (the nodes an object made during its render-start handler). An empty function removes
// the observer; returns the previous one. The observer must not broadcast.
using HandlerObserver = std::function<void(void* param, int code, bool entering)>;
HandlerObserver SetHandlerObserver(HandlerObserver observer);

}  // namespace NotifyStandIn
