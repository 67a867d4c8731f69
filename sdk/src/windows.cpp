// Windows stand-ins: thread-notification switch, string loading and message boxes.
#include "windows.h"

#include <chrono>
#include <cstring>
#include <cwchar>
#include <optional>
#include <set>
#include <utility>

#include "resourcemodule.h"

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

namespace WinStandIn {

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
