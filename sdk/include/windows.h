// The few Windows pieces the module uses, for a Linux host.
//
// Handles are distinct opaque pointer types, as with STRICT on Windows. A module handle is
// whatever the host loaded the module with (the dlopen handle); the host passes it to DllMain
// and attaches the module's resource file to it (resourcemodule.h), so LoadStringW finds the
// module's strings through it.
//
// MessageBoxW never shows anything: it forwards to the handler the host registered with
// WinStandIn::SetMessageBoxHandler. Without a handler it answers the default button of the box
// (the first button unless MB_DEFBUTTON2/3 choose another), so a run without a host policy
// still gets a defined answer. Nothing is recorded here; recording is the host's business.
//
// GlobalMemoryStatusEx answers from the machine the host runs on (the memory the kernel says it
// can still give, the process's address-space limit, a control group's limit); a host or a test
// may answer in its place with WinStandIn::SetMemoryStatusHandler, as it answers message boxes.
//
// __declspec(dllexport) marks a function with default visibility, so a module compiled with
// -fvisibility=hidden exports exactly the functions written as exports on Windows.
#pragma once

#include <cstdint>
#include <functional>

#include "maxtypes.h"

struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;
struct HWND__;
using HWND = HWND__*;

using LPVOID = void*;
using WCHAR = wchar_t;
using TCHAR = wchar_t;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPTSTR = wchar_t*;
using LPCTSTR = const wchar_t*;
using LPSTR = char*;
using LPCSTR = const char*;
using INT_PTR = long;
using UINT_PTR = unsigned long;
using WPARAM = UINT_PTR;
using LPARAM = long;
using LRESULT = long;
// A thread's start routine; the core interface's ProgressStart takes the work as one.
using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID);

// Screen geometry in pixels (x to the right, y downwards), as the Windows API declares it.
using LONG = std::int32_t;
struct POINT {
    LONG x;
    LONG y;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

#ifndef APIENTRY
#define APIENTRY
#endif
#ifndef WINAPI
#define WINAPI
#endif
#ifndef CALLBACK
#define CALLBACK
#endif

#ifndef __declspec
#define __declspec(attr) TRELLON_DECLSPEC_##attr
#define TRELLON_DECLSPEC_dllexport __attribute__((visibility("default")))
#define TRELLON_DECLSPEC_dllimport
#define TRELLON_DECLSPEC_noinline __attribute__((noinline))
#endif

// Reasons passed to a module's entry point.
constexpr DWORD DLL_PROCESS_DETACH = 0;
constexpr DWORD DLL_PROCESS_ATTACH = 1;
constexpr DWORD DLL_THREAD_ATTACH = 2;
constexpr DWORD DLL_THREAD_DETACH = 3;

// Turns off DLL_THREAD_ATTACH/DETACH for the module. FALSE for a null handle.
BOOL DisableThreadLibraryCalls(HMODULE hLibModule);

// Libraries loaded at run time. LoadLibraryExW takes the library's file name as Windows does;
// on this platform a name without a folder would be searched for along the library path, so a
// caller that must not pick up a stranger's file passes an absolute path (the stand-in hands the
// name to the system loader unchanged). Null when the file is missing or does not load.
// GetProcAddress finds an exported function by name (null when the library has none);
// FreeLibrary unloads (FALSE for a null handle). GetModuleFileNameW writes the absolute path of
// a loaded module (the host's module handle, or a handle from LoadLibraryExW) into lpFilename,
// cut to nSize - 1 characters, and returns its length; 0 for a handle it cannot place.
using HANDLE = void*;
using FARPROC = void (*)();
constexpr DWORD LOAD_WITH_ALTERED_SEARCH_PATH = 0x00000008;
HMODULE LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
inline HMODULE LoadLibraryW(LPCWSTR lpLibFileName) {
    return LoadLibraryExW(lpLibFileName, nullptr, 0);
}
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
BOOL FreeLibrary(HMODULE hLibModule);
DWORD GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);

// Copies string-table entry uID of the module's resource file into lpBuffer (at most
// cchBufferMax - 1 characters, then a terminating zero) and returns the number of characters
// copied, without the zero. With cchBufferMax 0, lpBuffer receives a read-only pointer to the
// entry itself. Returns 0 (and leaves an empty string when there is room) when the module has
// no resource file, the entry is missing or empty, or the buffer is null.
int LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);
#define LoadString LoadStringW

// Message box types (the button set is the low four bits), icons, default buttons and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNOCANCEL = 0x3;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_RETRYCANCEL = 0x5;
constexpr UINT MB_TYPEMASK = 0xF;
constexpr UINT MB_ICONHAND = 0x10;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONEXCLAMATION = 0x30;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x40;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x000;
constexpr UINT MB_DEFBUTTON2 = 0x100;
constexpr UINT MB_DEFBUTTON3 = 0x200;
constexpr UINT MB_DEFMASK = 0xF00;
constexpr UINT MB_APPLMODAL = 0x0000;
constexpr UINT MB_SYSTEMMODAL = 0x1000;
constexpr UINT MB_TASKMODAL = 0x2000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Shows a message box: forwards to the host's handler and returns its answer. Returns 0 (the
// Windows failure result) for an unknown button set.
int MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType);
#define MessageBox MessageBoxW

// What the machine can give (all in bytes), as Windows reports it:
//   ullTotalPhys / ullAvailPhys       physical memory, and what of it can be had without
//                                     swapping others out (Linux: MemAvailable, within the
//                                     control group's limit);
//   ullTotalPageFile / ullAvailPageFile  the commit limit: memory plus swap, and what is left
//                                     (Linux: MemAvailable plus free swap, within the group);
//   ullTotalVirtual / ullAvailVirtual  the process's address space (Linux: RLIMIT_AS, and what
//                                     the mappings leave of it; without a limit, 128 TiB).
// dwLength must be sizeof(MEMORYSTATUSEX); otherwise FALSE and nothing is filled.
struct MEMORYSTATUSEX {
    DWORD dwLength;
    DWORD dwMemoryLoad;  // percent of physical memory in use
    std::uint64_t ullTotalPhys;
    std::uint64_t ullAvailPhys;
    std::uint64_t ullTotalPageFile;
    std::uint64_t ullAvailPageFile;
    std::uint64_t ullTotalVirtual;
    std::uint64_t ullAvailVirtual;
    std::uint64_t ullAvailExtendedVirtual;  // always 0
};
using LPMEMORYSTATUSEX = MEMORYSTATUSEX*;
BOOL GlobalMemoryStatusEx(LPMEMORYSTATUSEX lpBuffer);

// The calendar time in seconds since 1970-01-01 00:00 UTC, also stored through timer when it is
// not null. Answers the fixed clock while one is set (WinStandIn::SetFixedClock), so a host or a
// test can make time-seeded generators repeatable.
std::int64_t _time64(std::int64_t* timer);

namespace WinStandIn {

// Makes _time64 answer seconds from now on; UseSystemClock returns it to the real clock.
void SetFixedClock(std::int64_t seconds);
void UseSystemClock();

// The host's answer to a message box: one of the ID* answers of the box's button set.
using MessageBoxHandler = std::function<int(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type)>;

// Installs handler (an empty one restores the default-button answer); returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer a box of this type gets without a handler: its default button, or 0 for an
// unknown button set.
int DefaultMessageBoxAnswer(UINT uType);

// The host's answer to GlobalMemoryStatusEx (dwLength is already checked); an empty handler
// restores the machine's own answer. Returns the previous one.
using MemoryStatusHandler = std::function<void(MEMORYSTATUSEX& status)>;
MemoryStatusHandler SetMemoryStatusHandler(MemoryStatusHandler handler);

// Whether DisableThreadLibraryCalls was called for the module, so the host sends it no
// thread notifications.
bool ThreadLibraryCallsDisabled(HMODULE hModule);

// Forgets the per-module state above (the host calls it when it unloads the module).
void ForgetModule(HMODULE hModule);

}  // namespace WinStandIn

// The user-interface calls: dialogs, controls and their messages.
#include "winuser.h"
