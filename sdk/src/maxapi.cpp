// The registry of the host's core interface.
#include "maxapi.h"

namespace {

struct Core {
    Interface* ip = nullptr;
};

Core& TheCore() {
    static Core c;
    return c;
}

}  // namespace

void SetCOREInterface(Interface* ip) { TheCore().ip = ip; }
Interface* GetCOREInterface() { return TheCore().ip; }

void* CreateInstance(SClass_ID superID, Class_ID classID) {
    Interface* ip = TheCore().ip;
    return ip ? ip->CreateInstance(superID, classID) : nullptr;
}
