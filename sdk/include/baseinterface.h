// BaseInterface: the root of the interfaces an object can hand out by Interface_ID.
//
// A caller asks an object (or a class descriptor, or another interface) for an interface with
// GetInterface(Interface_ID) and gets null when it is not supported. LifetimeControl says who
// ends the interface's life: noRelease (it lives as long as its server, the usual case here),
// or one of the reference-counted kinds, whose AcquireInterface/ReleaseInterface the caller
// must pair.
#pragma once

#include "maxtypes.h"

constexpr Interface_ID BASEINTERFACE_ID(1, 1);

class BaseInterface;

// A class that serves interfaces by ID.
class InterfaceServer {
public:
    virtual ~InterfaceServer() = default;
    virtual BaseInterface* GetInterface(Interface_ID /*id*/) { return nullptr; }
};

class BaseInterface : public InterfaceServer {
public:
    enum LifetimeType { noRelease, immediateRelease, wantsRelease, serverControlled };

    ~BaseInterface() override = default;

    // This interface answers for BASEINTERFACE_ID; every other ID is unknown here.
    BaseInterface* GetInterface(Interface_ID id) override {
        return id == BASEINTERFACE_ID ? this : nullptr;
    }
    virtual Interface_ID GetID() { return BASEINTERFACE_ID; }

    virtual LifetimeType LifetimeControl() { return noRelease; }
    virtual bool RegisterNotifyCallback(void* /*incb*/) { return false; }
    virtual BaseInterface* AcquireInterface() { return this; }
    virtual void ReleaseInterface() {}
    // Deletes an interface whose lifetime its user controls; others ignore it.
    virtual void DeleteInterface() {}
    virtual BaseInterface* CloneInterface(void* /*remapDir*/ = nullptr) { return nullptr; }
};
