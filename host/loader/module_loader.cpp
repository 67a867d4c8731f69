#include "module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <sstream>

#include "plugapi.h"
#include "resourcemodule.h"
#include "windows.h"

namespace host {
namespace {

std::string Hex(ULONG v) {
    std::ostringstream os;
    os << "0x" << std::hex << std::uppercase << v;
    return os.str();
}

template <class Fn>
Fn Lookup(void* handle, const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string& error) {
    error.clear();
    if (!std::filesystem::exists(path)) {
        error = path + ": no such module file";
        return nullptr;
    }
    std::unique_ptr<PluginModule> m(new PluginModule());
    m->path_ = path;
    m->handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m->handle_) {
        const char* why = dlerror();
        error = path + ": cannot load the module: " + (why ? why : "unknown error");
        return nullptr;
    }

    // Every export the host needs must be there before anything in the module runs.
    struct Export {
        const char* name;
        void** slot;
    };
    void* entry = nullptr;
    const Export exports[] = {
        {"LibDescription", reinterpret_cast<void**>(&m->description_)},
        {"LibNumberClasses", reinterpret_cast<void**>(&m->numClasses_)},
        {"LibClassDesc", reinterpret_cast<void**>(&m->classDesc_)},
        {"LibVersion", reinterpret_cast<void**>(&m->version_)},
        {"LibInitialize", reinterpret_cast<void**>(&m->initialize_)},
        {"LibShutdown", reinterpret_cast<void**>(&m->shutdown_)},
        {"DllMain", &entry},
    };
    for (const Export& e : exports) {
        *e.slot = dlsym(m->handle_, e.name);
        if (!*e.slot) {
            error = path + ": the module does not export " + e.name;
            return nullptr;
        }
    }

    // The loader's part, as for a localised plug-in: attach the resource module to the module
    // handle, then call the entry point on process attach.
    const auto hinst = static_cast<HINSTANCE>(m->handle_);
    const std::string resError =
        MaxSDK::Util::LoadResourceModule(hinst, MaxSDK::Util::ResourceModulePathFor(path));
    if (!resError.empty()) {
        error = path + ": " + resError;
        return nullptr;
    }
    m->entry_ = reinterpret_cast<EntryFn>(entry);
    m->entry_(hinst, DLL_PROCESS_ATTACH, nullptr);

    const ULONG version = m->version_();
    if (version != kHostSdkVersion) {
        error = path + ": the module was built for SDK version " + Hex(version) +
                ", this host needs " + Hex(kHostSdkVersion);
        return nullptr;
    }
    if (!m->initialize_()) {
        error = path + ": LibInitialize failed";
        return nullptr;
    }
    m->initialized_ = true;
    return m;
}

PluginModule::~PluginModule() {
    if (initialized_ && shutdown_) shutdown_();
    if (handle_) {
        // As the system loader does when a library is freed.
        if (entry_) entry_(static_cast<HINSTANCE>(handle_), DLL_PROCESS_DETACH, nullptr);
        MaxSDK::Util::UnloadResourceModule(static_cast<HINSTANCE>(handle_));
        WinStandIn::ForgetModule(static_cast<HMODULE>(handle_));
        dlclose(handle_);
    }
}

std::wstring PluginModule::Description() const {
    const wchar_t* d = description_ ? description_() : nullptr;
    return d ? std::wstring(d) : std::wstring();
}

ULONG PluginModule::Version() const { return version_ ? version_() : 0; }

int PluginModule::NumClasses() const { return numClasses_ ? numClasses_() : 0; }

ClassDesc* PluginModule::Class(int i) const { return classDesc_ ? classDesc_(i) : nullptr; }

std::string ProgramPath() {
    char buf[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof(buf) - 1);
    if (n <= 0) return {};
    buf[n] = '\0';
    return buf;
}

std::string DefaultModulePath() {
    if (const char* env = std::getenv("TRELLON_MODULE"); env && *env) return env;
    const std::string program = ProgramPath();
    if (program.empty()) return "trellon.dlo";
    return (std::filesystem::path(program).parent_path() / "trellon.dlo").string();
}

}  // namespace host
