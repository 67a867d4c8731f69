#include "strclass.h"

#include <cwchar>
#include <vector>

void WStr::printf(const MCHAR* format, ...) {
    std::vector<MCHAR> buf(256);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(buf.data(), buf.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<std::size_t>(n) < buf.size()) {
            s_.assign(buf.data(), static_cast<std::size_t>(n));
            return;
        }
        if (buf.size() > (1u << 20)) {  // a format error, not a short buffer
            s_.clear();
            return;
        }
        buf.resize(buf.size() * 4);
    }
}

int WStr::last(MCHAR c) const {
    const auto p = s_.rfind(c);
    return p == std::wstring::npos ? -1 : static_cast<int>(p);
}

std::string WStr::ToUTF8() const { return ::ToUTF8(s_); }
WStr WStr::FromUTF8(const std::string& s) { return WStr(::FromUTF8(s)); }

std::string ToUTF8(const std::wstring& s) {
    std::string out;
    out.reserve(s.size());
    for (wchar_t wc : s) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Malformed sequences become U+FFFD, one per offending byte.
std::wstring FromUTF8(const std::string& s) {
    std::wstring out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b0 = static_cast<unsigned char>(s[i]);
        int extra = 0;
        std::uint32_t c = 0;
        if (b0 < 0x80) { c = b0; }
        else if ((b0 & 0xE0) == 0xC0) { c = b0 & 0x1F; extra = 1; }
        else if ((b0 & 0xF0) == 0xE0) { c = b0 & 0x0F; extra = 2; }
        else if ((b0 & 0xF8) == 0xF0) { c = b0 & 0x07; extra = 3; }
        else { out += L'\uFFFD'; ++i; continue; }
        if (i + static_cast<std::size_t>(extra) >= s.size()) {  // truncated sequence
            out += L'\uFFFD';
            ++i;
            continue;
        }
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            const auto bk = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((bk & 0xC0) != 0x80) { ok = false; break; }
            c = (c << 6) | (bk & 0x3F);
        }
        if (!ok) { out += L'\uFFFD'; ++i; continue; }
        out += static_cast<wchar_t>(c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}
