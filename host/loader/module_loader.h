// Loading a plug-in module the way the host does: open the shared object, look up its exported
// functions by name, call its entry point, check the SDK version it was built against, and attach
// its resource file (string table and dialog templates) to its module handle.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "windows.h"

class ClassDesc;

namespace host {

// The SDK version this host accepts (release 22000, API 55, revision 0).
constexpr ULONG kHostSdkVersion = 0x55F03700;

// One loaded module. Unloading (destruction) calls LibShutdown, then closes the shared object;
// every object the module created must be gone by then.
class PluginModule {
public:
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // Loads the module at path. On failure returns null and sets error to a message naming the
    // file and what is wrong (missing file, not a module, a missing export, another SDK version).
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string& error);

    const std::string& Path() const { return path_; }
    std::wstring Description() const;
    ULONG Version() const;
    int NumClasses() const;
    ClassDesc* Class(int i) const;
    void* Handle() const { return handle_; }

private:
    PluginModule() = default;

    using DescriptionFn = const wchar_t* (*)();
    using NumClassesFn = int (*)();
    using ClassDescFn = ClassDesc* (*)(int);
    using VersionFn = ULONG (*)();
    using InitFn = int (*)();
    using EntryFn = BOOL (*)(HINSTANCE, ULONG, LPVOID);

    std::string path_;
    void* handle_ = nullptr;
    DescriptionFn description_ = nullptr;
    NumClassesFn numClasses_ = nullptr;
    ClassDescFn classDesc_ = nullptr;
    VersionFn version_ = nullptr;
    InitFn initialize_ = nullptr;
    InitFn shutdown_ = nullptr;
    EntryFn entry_ = nullptr;
    bool initialized_ = false;
};

// The running program's own file (absolute), or "" where the system does not tell.
std::string ProgramPath();

// The module built beside the running program (bin/trellon.dlo), or the path in TRELLON_MODULE.
std::string DefaultModulePath();

}  // namespace host
