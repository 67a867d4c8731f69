// The class descriptor: the identity of the Trellon class, which the host reads before any
// object exists, and the factory of new objects. The class ID is stored in scene files and
// must never change.
#pragma once

#include "iparamb2.h"

namespace trellon {
#define TRELLON_CLASS_ID Class_ID(0x44D601F8, 0x0F43253D)

class TrellonClassDesc : public ClassDesc2 {
public:
    int IsPublic() override { return TRUE; }
    // Adds the render interface (and, once, the set-up interface) to the class's interface list,
    // then makes a new object (the same constructor serves objects about to be loaded). Null
    // when the object cannot be made.
    void* Create(BOOL loading = FALSE) override;
    const MCHAR* ClassName() override;
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
    Class_ID ClassID() override { return TRELLON_CLASS_ID; }
    const MCHAR* Category() override;
    // The name under which scripts know the class.
    const MCHAR* InternalName() override { return _M("Trellon"); }
    HINSTANCE HInstance() override;
    DWORD InitialRollupPageState() override { return 0x7FFFFFFF; }
    int BeginCreate(Interface* /*i*/) override { return 0; }
    int EndCreate(Interface* /*i*/) override { return 0; }
    BOOL OkToCreate(Interface* /*i*/) override { return TRUE; }
    bool UseOnlyInternalNameForMAXScriptExposure() override { return false; }
};

}  // namespace trellon
