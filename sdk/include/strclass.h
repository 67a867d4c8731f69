// Strings: MCHAR is the host's wide character; MSTR its string class. _M("...") and _T("...")
// make wide literals. Conversions to and from UTF-8 serve the host program's files.
#pragma once

#include <cstdarg>
#include <string>

using MCHAR = wchar_t;
#ifndef _M
#define _M(x) L##x
#endif
#ifndef _T
#define _T(x) L##x
#endif

class CStr;

class WStr {
public:
    WStr() = default;
    WStr(const MCHAR* s) : s_(s ? s : L"") {}  // NOLINT(google-explicit-constructor): as the SDK
    WStr(std::wstring s) : s_(std::move(s)) {}  // NOLINT(google-explicit-constructor)

    const MCHAR* data() const { return s_.c_str(); }
    operator const MCHAR*() const { return s_.c_str(); }  // NOLINT(google-explicit-constructor)
    int Length() const { return static_cast<int>(s_.size()); }
    int length() const { return Length(); }
    bool isNull() const { return s_.empty(); }
    void Resize(int n) { s_.resize(static_cast<std::size_t>(n > 0 ? n : 0)); }
    MCHAR& operator[](int i) { return s_[static_cast<std::size_t>(i)]; }
    const MCHAR& operator[](int i) const { return s_[static_cast<std::size_t>(i)]; }

    WStr& operator=(const MCHAR* s) { s_ = s ? s : L""; return *this; }
    WStr& operator+=(const WStr& b) { s_ += b.s_; return *this; }
    WStr operator+(const WStr& b) const { return WStr(s_ + b.s_); }
    bool operator==(const WStr& b) const { return s_ == b.s_; }
    bool operator!=(const WStr& b) const { return s_ != b.s_; }
    bool operator<(const WStr& b) const { return s_ < b.s_; }

    // printf-style formatting of wide strings.
    void printf(const MCHAR* format, ...);
    WStr Substr(int start, int nchars) const {
        return WStr(s_.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(nchars)));
    }
    int last(MCHAR c) const;

    std::string ToUTF8() const;
    static WStr FromUTF8(const std::string& s);
    const std::wstring& str() const { return s_; }

private:
    std::wstring s_;
};

using MSTR = WStr;
using TSTR = WStr;

// UTF-8 <-> wide conversions for the host program and the tests.
std::string ToUTF8(const std::wstring& s);
std::wstring FromUTF8(const std::string& s);
