// Color: an RGB colour of floats, 1.0 = full intensity. Windows colour words (COLORREF, made by
// RGB(r, g, b)) hold red in the low byte: 0x00BBGGRR.
#pragma once

#include <algorithm>
#include <cmath>

#include "maxtypes.h"

#ifndef RGB
#define RGB(r, g, b)                                                                              \
    (static_cast<DWORD>(static_cast<BYTE>(r)) | (static_cast<DWORD>(static_cast<BYTE>(g)) << 8) | \
     (static_cast<DWORD>(static_cast<BYTE>(b)) << 16))
#endif
#ifndef GetRValue
#define GetRValue(rgb) static_cast<BYTE>((rgb)&0xff)
#define GetGValue(rgb) static_cast<BYTE>(((rgb) >> 8) & 0xff)
#define GetBValue(rgb) static_cast<BYTE>(((rgb) >> 16) & 0xff)
#endif

class Color {
public:
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;

    constexpr Color() = default;
    constexpr Color(float R, float G, float B) : r(R), g(G), b(B) {}
    constexpr Color(double R, double G, double B)
        : r(static_cast<float>(R)), g(static_cast<float>(G)), b(static_cast<float>(B)) {}
    // From a colour word: each byte / 255.
    explicit Color(DWORD rgb)
        : r(static_cast<float>(rgb & 0xff) / 255.0f),
          g(static_cast<float>((rgb >> 8) & 0xff) / 255.0f),
          b(static_cast<float>((rgb >> 16) & 0xff) / 255.0f) {}

    // To a colour word: each channel clamped to [0, 1], times 255, rounded.
    DWORD toRGB() const { return ToByte(r) | (ToByte(g) << 8) | (ToByte(b) << 16); }

    float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : b); }
    float operator[](int i) const { return i == 0 ? r : (i == 1 ? g : b); }
    constexpr Color operator+(const Color& c) const { return {r + c.r, g + c.g, b + c.b}; }
    constexpr Color operator-(const Color& c) const { return {r - c.r, g - c.g, b - c.b}; }
    constexpr Color operator*(float f) const { return {r * f, g * f, b * f}; }
    constexpr Color operator*(const Color& c) const { return {r * c.r, g * c.g, b * c.b}; }
    constexpr bool operator==(const Color& c) const { return r == c.r && g == c.g && b == c.b; }
    constexpr bool operator!=(const Color& c) const { return !(*this == c); }

private:
    static DWORD ToByte(float v) {
        if (!(v > 0.0f)) return 0;  // also NaN
        if (v >= 1.0f) return 255;
        return static_cast<DWORD>(std::lround(v * 255.0f));
    }
};

inline constexpr Color operator*(float f, const Color& c) { return c * f; }
