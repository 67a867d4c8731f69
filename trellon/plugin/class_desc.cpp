#include "plugin/class_desc.h"

#include "object/setup_fp.h"
#include "object/trellon.h"
#include "plugin/plugin.h"
#include "render/render_fp.h"
#include "resource.h"

namespace trellon {
// Built on first use: the parameter block and render interface descriptors name it while the
// module's statics are being constructed, whatever the order of their files.
ClassDesc2* GetTrellonDesc() {
    static TrellonClassDesc desc;
    return &desc;
}

void* TrellonClassDesc::Create(BOOL /*loading*/) {
    // Every call hands the interface over again; the class's interface list keeps each one.
    AddInterface(KavoInstancer::GetTrellonRenderDesc());
    // The set-up interface is listed once: scripts and the host find its functions by name.
    if (!GetInterface(TRELLON_SETUP_INTERFACE)) AddInterface(GetTrellonSetupDesc());
    try {
        return new Trellon();
    } catch (...) {
        // No exception may reach the host: a failed construction is a null object.
        return nullptr;
    }
}

const MCHAR* TrellonClassDesc::ClassName() { return GetString(IDS_CLASS_NAME); }

const MCHAR* TrellonClassDesc::Category() { return GetString(IDS_CATEGORY); }

HINSTANCE TrellonClassDesc::HInstance() { return hInstance; }

}  // namespace trellon
