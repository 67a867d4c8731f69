// Windows stand-ins: thread-notification switch, string loading and message boxes.
#include "windows.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <utility>

#include "resourcemodule.h"
#include "strclass.h"

namespace {

// Everything here runs on the host's main thread, as on Windows for these calls.
std::set<HMODULE>& ThreadCallsOff() {
    static std::set<HMODULE> modules;
    return modules;
}

WinStandIn::MessageBoxHandler& Handler() {
    static WinStandIn::MessageBoxHandler handler;
    return handler;
}

WinStandIn::MemoryStatusHandler& MemoryHandler() {
    static WinStandIn::MemoryStatusHandler handler;
    return handler;
}

// A "Key:  N kB" line of /proc/meminfo, in bytes; 0 when missing.
std::uint64_t MemInfoBytes(const std::string& text, const char* key) {
    const std::size_t at = text.find(std::string("\n") + key + ":");
    if (at == std::string::npos) return 0;
    return std::strtoull(text.c_str() + at + std::strlen(key) + 2, nullptr, 10) * 1024u;
}

std::string ReadSmallFile(const std::string& path) {
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text;
}

// The room left under the memory limits of this process's control group and the groups above
// it (cgroup v2), or nothing when no group sets one.
std::optional<std::uint64_t> GroupRoom() {
    const std::string self = ReadSmallFile("/proc/self/cgroup");
    const std::size_t at = self.find("0::");
    if (at == std::string::npos) return std::nullopt;
    std::string group = self.substr(at + 3);
    group = group.substr(0, group.find('\n'));
    std::optional<std::uint64_t> room;
    for (;;) {
        const std::string dir = "/sys/fs/cgroup" + (group == "/" ? std::string() : group);
        const std::string max = ReadSmallFile(dir + "/memory.max");
        if (!max.empty() && max.compare(0, 3, "max") != 0) {
            const std::uint64_t limit = std::strtoull(max.c_str(), nullptr, 10);
            const std::uint64_t used =
                std::strtoull(ReadSmallFile(dir + "/memory.current").c_str(), nullptr, 10);
            const std::uint64_t left = limit > used ? limit - used : 0;
            room = room ? std::min(*room, left) : left;
        }
        if (group.empty() || group == "/") break;
        const std::size_t slash = group.rfind('/');
        group = slash == 0 || slash == std::string::npos ? "/" : group.substr(0, slash);
    }
    return room;
}

void MachineMemoryStatus(MEMORYSTATUSEX& s) {
    const std::string info = ReadSmallFile("/proc/meminfo");
    s.ullTotalPhys = MemInfoBytes(info, "MemTotal");
    s.ullAvailPhys = MemInfoBytes(info, "MemAvailable");
    const std::uint64_t swapTotal = MemInfoBytes(info, "SwapTotal");
    const std::uint64_t swapFree = MemInfoBytes(info, "SwapFree");
    s.ullTotalPageFile = s.ullTotalPhys + swapTotal;
    s.ullAvailPageFile = s.ullAvailPhys + swapFree;
    if (const std::optional<std::uint64_t> room = GroupRoom()) {
        s.ullAvailPhys = std::min(s.ullAvailPhys, *room);
        s.ullAvailPageFile = std::min(s.ullAvailPageFile, *room);
    }
    s.dwMemoryLoad =
        s.ullTotalPhys == 0
            ? 0
            : static_cast<DWORD>(
                  100 - std::min<std::uint64_t>(100, s.ullAvailPhys * 100 / s.ullTotalPhys));
    // The address space: the limit, less what the process has mapped (statm's first field).
    constexpr std::uint64_t kUserSpace = std::uint64_t{1} << 47;
    rlimit as{};
    const bool limited = getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY;
    s.ullTotalVirtual = limited ? static_cast<std::uint64_t>(as.rlim_cur) : kUserSpace;
    unsigned long long pages = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%llu", &pages) != 1) pages = 0;
        std::fclose(f);
    }
    const std::uint64_t mapped = pages * static_cast<std::uint64_t>(sysconf(_SC_PAGESIZE));
    s.ullAvailVirtual = s.ullTotalVirtual > mapped ? s.ullTotalVirtual - mapped : 0;
    s.ullAvailExtendedVirtual = 0;
}

std::optional<std::int64_t>& FixedClock() {
    static std::optional<std::int64_t> seconds;
    return seconds;
}

}  // namespace

std::int64_t _time64(std::int64_t* timer) {
    const std::optional<std::int64_t>& fixed = FixedClock();
    const std::int64_t now = fixed ? *fixed
                                   : std::chrono::duration_cast<std::chrono::seconds>(
                                         std::chrono::system_clock::now().time_since_epoch())
                                         .count();
    if (timer) *timer = now;
    return now;
}

HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE /*hFile*/, DWORD /*dwFlags*/) {
    if (!lpLibFileName || !*lpLibFileName) return nullptr;
    const std::string path = ToUTF8(std::wstring(lpLibFileName));
    return static_cast<HMODULE>(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
}

FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    if (!hModule || !lpProcName) return nullptr;
    return reinterpret_cast<FARPROC>(dlsym(static_cast<void*>(hModule), lpProcName));
}

BOOL FreeLibrary(HMODULE hLibModule) {
    if (!hLibModule) return FALSE;
    return dlclose(static_cast<void*>(hLibModule)) == 0 ? TRUE : FALSE;
}

DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    if (!hModule || !lpFilename || nSize == 0) return 0;
    link_map* map = nullptr;
    if (dlinfo(static_cast<void*>(hModule), RTLD_DI_LINKMAP, &map) != 0 || !map || !map->l_name ||
        map->l_name[0] != '/') {
        return 0;
    }
    const std::wstring path = FromUTF8(map->l_name);
    const std::size_t n = std::min<std::size_t>(path.size(), nSize - 1);
    std::wmemcpy(lpFilename, path.data(), n);
    lpFilename[n] = L'\0';
    return static_cast<DWORD>(n);
}

BOOL DisableThreadLibraryCalls(HMODULE hLibModule) {
    if (!hLibModule) return FALSE;
    ThreadCallsOff().insert(hLibModule);
    return TRUE;
}

int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax) {
    if (!lpBuffer || cchBufferMax < 0) return 0;
    const wchar_t* text = uID <= 0xFFFFu
                              ? MaxSDK::Util::FindResourceString(hInstance, static_cast<int>(uID))
                              : nullptr;
    const int length = text ? static_cast<int>(std::wcslen(text)) : 0;
    if (cchBufferMax == 0) {
        // The caller asked for a pointer to the entry itself rather than a copy.
        if (!text) return 0;
        // lpBuffer is really the address of a const wchar_t*; memcpy avoids aliasing it.
        std::memcpy(lpBuffer, &text, sizeof text);
        return length;
    }
    const int copied = length < cchBufferMax - 1 ? length : cchBufferMax - 1;
    if (copied > 0) std::wmemcpy(lpBuffer, text, static_cast<std::size_t>(copied));
    lpBuffer[copied] = L'\0';
    return copied;
}

int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    if (WinStandIn::DefaultMessageBoxAnswer(uType) == 0) return 0;
    const WinStandIn::MessageBoxHandler& handler = Handler();
    if (!handler) return WinStandIn::DefaultMessageBoxAnswer(uType);
    return handler(hWnd, lpText ? lpText : L"", lpCaption ? lpCaption : L"", uType);
}

BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX lpBuffer) {
    if (!lpBuffer || lpBuffer->dwLength != sizeof(MEMORYSTATUSEX)) return FALSE;
    const WinStandIn::MemoryStatusHandler& handler = MemoryHandler();
    if (handler) {
        handler(*lpBuffer);
    } else {
        MachineMemoryStatus(*lpBuffer);
    }
    lpBuffer->dwLength = sizeof(MEMORYSTATUSEX);
    return TRUE;
}

namespace WinStandIn {

MemoryStatusHandler SetMemoryStatusHandler(MemoryStatusHandler handler) {
    return std::exchange(MemoryHandler(), std::move(handler));
}

void SetFixedClock(std::int64_t seconds) { FixedClock() = seconds; }

void UseSystemClock() { FixedClock().reset(); }

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    return std::exchange(Handler(), std::move(handler));
}

int DefaultMessageBoxAnswer(UINT uType) {
    // The buttons of each set, left to right; the default is the first unless MB_DEFBUTTONn.
    static constexpr int kButtons[6][3] = {
        {IDOK, 0, 0},
        {IDOK, IDCANCEL, 0},
        {IDABORT, IDRETRY, IDIGNORE},
        {IDYES, IDNO, IDCANCEL},
        {IDYES, IDNO, 0},
        {IDRETRY, IDCANCEL, 0},
    };
    const UINT set = uType & MB_TYPEMASK;
    if (set > MB_RETRYCANCEL) return 0;
    const UINT index = (uType & MB_DEFMASK) >> 8;
    // A default button past the end of the set falls back to the first, as Windows does.
    const int answer = index < 3 ? kButtons[set][index] : 0;
    return answer != 0 ? answer : kButtons[set][0];
}

bool ThreadLibraryCallsDisabled(HMODULE hModule) { return ThreadCallsOff().count(hModule) != 0; }

void ForgetModule(HMODULE hModule) { ThreadCallsOff().erase(hModule); }

}  // namespace WinStandIn
