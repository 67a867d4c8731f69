// The renderer bridge: a separate library beside the module that hands the object's instance
// lists to a renderer with an instancing interface of its own. The module knows only its entry
// point and the three calls of the object the entry point returns; everything else is the
// bridge's affair (it reads the lists through the render interface, render_fp.h).
//
// The libraries are tried in the order of kBridgeLibraries, each by its absolute path in the
// module's own folder: a library of the same name elsewhere on the library path is never
// loaded. A library that does not load, lacks the entry point, whose entry point returns null
// or whose first call returns no node is unloaded and the next one is tried.
#pragma once

#include <string>

#include "maxtypes.h"
#include "windows.h"

class INode;

namespace trellon {

// The bridge object's call table, in the order the bridge library lays it out. The module never
// deletes the object: it unloads the library after the render.
class KavoBridge {
public:
    // 0: a node of the scene the bridge works through; non-null means the bridge is ready. The
    // module deletes the node after the render.
    virtual INode* GetBridgeNode() = 0;
    // 1: the object's scene node (the result is not used).
    virtual int SetObjectNode(INode* node) = 0;
    // 2: the object's class ID (the result is not used).
    virtual int SetObjectClass(Class_ID* classId) = 0;

protected:
    ~KavoBridge() = default;
};

using CreateKavoBridgeFn = KavoBridge* (*)();

inline constexpr const char* kBridgeEntryPoint = "CreateKavoVRay3";
inline constexpr const wchar_t* kBridgeLibraries[] = {L"KavoVRay4.dll", L"KavoVRay3.dll"};

// A bridge that answered its first call with a node.
struct ReadyBridge {
    HMODULE module = nullptr;
    KavoBridge* bridge = nullptr;
    INode* node = nullptr;
};

// The first bridge library of kBridgeLibraries in `folder` (ending with '/') that becomes ready;
// every other one tried is unloaded again. All null when none does.
ReadyBridge LoadFirstReadyBridge(const std::wstring& folder);

// The folder of the loaded module (with a trailing '/'); empty when the module's handle is not
// set or its file cannot be found.
std::wstring ModuleFolder();

}  // namespace trellon
