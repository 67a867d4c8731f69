// The registry of the host's core interfaces and the frame rate.
#include "maxapi.h"

#include <map>

namespace {

struct Core {
    Interface* ip = nullptr;
    std::map<Interface_ID, FPInterface*> published;
    int fps = 30;
};

Core& TheCore() {
    static Core c;
    return c;
}

}  // namespace

void SetCOREInterface(Interface* ip) { TheCore().ip = ip; }
Interface* GetCOREInterface() { return TheCore().ip; }
Interface7* GetCOREInterface7() { return dynamic_cast<Interface7*>(TheCore().ip); }
Interface8* GetCOREInterface8() { return dynamic_cast<Interface8*>(TheCore().ip); }
Interface9* GetCOREInterface9() { return dynamic_cast<Interface9*>(TheCore().ip); }
Interface10* GetCOREInterface10() { return dynamic_cast<Interface10*>(TheCore().ip); }
Interface11* GetCOREInterface11() { return dynamic_cast<Interface11*>(TheCore().ip); }
Interface12* GetCOREInterface12() { return dynamic_cast<Interface12*>(TheCore().ip); }
Interface13* GetCOREInterface13() { return dynamic_cast<Interface13*>(TheCore().ip); }

void RegisterCOREInterfaceByID(Interface_ID id, FPInterface* fpi) {
    if (fpi) {
        TheCore().published[id] = fpi;
    } else {
        TheCore().published.erase(id);
    }
}

FPInterface* GetCOREInterface(Interface_ID id) {
    auto& m = TheCore().published;
    auto it = m.find(id);
    return it == m.end() ? nullptr : it->second;
}

void* CreateInstance(SClass_ID superID, Class_ID classID) {
    Interface* ip = TheCore().ip;
    return ip ? ip->CreateInstance(superID, classID) : nullptr;
}

int GetFrameRate() { return TheCore().fps; }
int GetTicksPerFrame() { return TIME_TICKSPERSEC / TheCore().fps; }

BOOL SetFrameRate(int fps) {
    if (fps <= 0 || TIME_TICKSPERSEC % fps != 0) return FALSE;
    TheCore().fps = fps;
    return TRUE;
}
