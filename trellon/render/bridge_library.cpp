#include "render/bridge_library.h"

#include <string>

#include "plugin/plugin.h"

namespace trellon {
namespace {

// Loads one library by its absolute path and asks its bridge for the node.
ReadyBridge TryBridge(const std::wstring& path) {
    ReadyBridge result;
    result.module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!result.module) return {};
    auto create =
        reinterpret_cast<CreateKavoBridgeFn>(GetProcAddress(result.module, kBridgeEntryPoint));
    result.bridge = create ? create() : nullptr;
    result.node = result.bridge ? result.bridge->GetBridgeNode() : nullptr;
    if (!result.node) {
        FreeLibrary(result.module);
        return {};
    }
    return result;
}

}  // namespace

std::wstring ModuleFolder() {
    if (!hInstance) return {};
    wchar_t path[4096];
    const DWORD n = GetModuleFileNameW(hInstance, path, 4096);
    if (n == 0) return {};
    const std::wstring file(path, n);
    const std::size_t slash = file.find_last_of(L"/\\");
    if (slash == std::wstring::npos) return {};
    return file.substr(0, slash + 1);
}

ReadyBridge LoadFirstReadyBridge(const std::wstring& folder) {
    // Without the module's own folder there is no path that is safe to load from.
    if (folder.empty()) return {};
    for (const wchar_t* name : kBridgeLibraries) {
        const ReadyBridge bridge = TryBridge(folder + name);
        if (bridge.node) return bridge;
    }
    return {};
}

}  // namespace trellon
