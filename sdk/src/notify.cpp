// The registry of broadcast notifications.
#include "notify.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

struct Entry {
    NOTIFYPROC proc;
    void* param;
    int code;
    bool live;
};

struct Registry {
    std::vector<Entry> entries;
    int broadcasting = 0;  // depth of nested broadcasts; dead entries are swept at depth 0

    void Sweep() {
        if (broadcasting > 0) return;
        entries.erase(
            std::remove_if(entries.begin(), entries.end(), [](const Entry& e) { return !e.live; }),
            entries.end());
    }
};

Registry& Reg() {
    static Registry r;
    return r;
}

constexpr int kAllCodes = static_cast<int>(NOTIFY_ALL);

NotifyStandIn::HandlerObserver& Observer() {
    static NotifyStandIn::HandlerObserver observer;
    return observer;
}

}  // namespace

NotifyStandIn::HandlerObserver NotifyStandIn::SetHandlerObserver(HandlerObserver observer) {
    HandlerObserver previous = std::move(Observer());
    Observer() = std::move(observer);
    return previous;
}

int RegisterNotification(NOTIFYPROC proc, void* param, int code) {
    if (!proc) return 0;
    Registry& r = Reg();
    for (const Entry& e : r.entries) {
        if (e.live && e.proc == proc && e.param == param && e.code == code) return 0;
    }
    r.entries.push_back({proc, param, code, true});
    return 1;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param, int code) {
    Registry& r = Reg();
    int found = 0;
    for (Entry& e : r.entries) {
        if (e.live && e.proc == proc && e.param == param && e.code == code) {
            e.live = false;
            found = 1;
        }
    }
    r.Sweep();
    return found;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param) {
    Registry& r = Reg();
    int found = 0;
    for (Entry& e : r.entries) {
        if (e.live && e.proc == proc && e.param == param) {
            e.live = false;
            found = 1;
        }
    }
    r.Sweep();
    return found;
}

void BroadcastNotification(int code) { BroadcastNotification(code, nullptr); }

void BroadcastNotification(int code, void* callParam) {
    Registry& r = Reg();
    ++r.broadcasting;
    // Index walk over the entries present at the start: handlers may append (not visited now) or
    // mark entries dead (skipped); nothing is erased until the outermost broadcast ends.
    const std::size_t n = r.entries.size();
    for (std::size_t i = 0; i < n; ++i) {
        const Entry e = r.entries[i];
        if (!e.live || (e.code != code && e.code != kAllCodes)) continue;
        NotifyInfo info{code, callParam};
        NotifyStandIn::HandlerObserver& observe = Observer();
        if (observe) observe(e.param, code, true);
        e.proc(e.param, &info);
        if (observe) observe(e.param, code, false);
    }
    --r.broadcasting;
    r.Sweep();
}
