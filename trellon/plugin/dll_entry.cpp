// The module's entry point and the exported functions the host looks up by name.
#include "iparamb2.h"
#include "maxversion.h"
#include "plugapi.h"
#include "plugin/plugin.h"
#include "resource.h"
#include "resourcemodule.h"

namespace trellon {

// The module handle and the shared text buffer of GetString.
HINSTANCE hInstance = nullptr;
namespace {
MCHAR stringBuffer[256];
}  // namespace

const MCHAR* GetString(int id) {
    if (!hInstance) return nullptr;
    return LoadString(hInstance, static_cast<UINT>(id), stringBuffer, 256) ? stringBuffer : nullptr;
}

}  // namespace trellon

// The exported functions stay outside the namespace: the host finds them by their C names.

// The Linux host calls this after loading the module, as the Windows loader would.
extern "C" __declspec(dllexport) BOOL APIENTRY
    DllMain(HINSTANCE hinstDLL, ULONG fdwReason, LPVOID /*lpvReserved*/) {
    if (fdwReason == DLL_PROCESS_ATTACH) {
        MaxSDK::Util::UseLanguagePackLocale(hinstDLL);
        trellon::hInstance = hinstDLL;
        DisableThreadLibraryCalls(trellon::hInstance);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) const TCHAR* LibDescription() {
    return trellon::GetString(IDS_LIBDESCRIPTION);
}

extern "C" __declspec(dllexport) int LibNumberClasses() { return 1; }

extern "C" __declspec(dllexport) ClassDesc* LibClassDesc(int i) {
    return i == 0 ? trellon::GetTrellonDesc() : nullptr;
}

extern "C" __declspec(dllexport) ULONG LibVersion() { return VERSION_3DSMAX; }

extern "C" __declspec(dllexport) int LibInitialize() { return TRUE; }

extern "C" __declspec(dllexport) int LibShutdown() { return TRUE; }
