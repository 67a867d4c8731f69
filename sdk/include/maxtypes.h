// Basic host types: Windows-style integer aliases and animation time.
//
// Time is measured in ticks, 4800 per second. TIME_PosInfinity and TIME_NegInfinity bound every
// interval; FOREVER and NEVER are declared in interval.h.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
using INT64 = std::int64_t;
using WORD = std::uint16_t;
using UWORD = std::uint16_t;
using BYTE = std::uint8_t;
using UINT = unsigned int;
using ULONG = unsigned long;
using BOOL = int;
using MtlID = std::uint16_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

using TimeValue = int;

constexpr int TIME_TICKSPERSEC = 4800;
constexpr TimeValue TIME_PosInfinity = 0x7fffffff;
constexpr TimeValue TIME_NegInfinity = static_cast<TimeValue>(0x80000000u);

inline constexpr float PI = 3.14159265358979323846f;
inline constexpr float TWOPI = 6.28318530717958647652f;
inline constexpr float HALFPI = 1.57079632679489661923f;

inline constexpr float DegToRad(float deg) { return deg * (PI / 180.0f); }
inline constexpr float RadToDeg(float rad) { return rad * (180.0f / PI); }

// Class identity: every plug-in class has a two-word Class_ID and a super class ID.
using SClass_ID = ULONG;

class Class_ID {
public:
    constexpr Class_ID() = default;
    constexpr Class_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}
    constexpr ULONG PartA() const { return a; }
    constexpr ULONG PartB() const { return b; }
    void SetPartA(ULONG aa) { a = aa; }
    void SetPartB(ULONG bb) { b = bb; }
    constexpr bool operator==(const Class_ID& c) const { return a == c.a && b == c.b; }
    constexpr bool operator!=(const Class_ID& c) const { return !(*this == c); }
    constexpr bool operator<(const Class_ID& c) const { return a < c.a || (a == c.a && b < c.b); }

private:
    ULONG a = 0xFFFFFFFF;
    ULONG b = 0xFFFFFFFF;
};

// Identity of a published (function-publishing or base) interface.
class Interface_ID {
public:
    constexpr Interface_ID() = default;
    constexpr Interface_ID(ULONG aa, ULONG bb) : a(aa), b(bb) {}
    constexpr ULONG PartA() const { return a; }
    constexpr ULONG PartB() const { return b; }
    constexpr bool operator==(const Interface_ID& c) const { return a == c.a && b == c.b; }
    constexpr bool operator!=(const Interface_ID& c) const { return !(*this == c); }
    constexpr bool operator<(const Interface_ID& c) const { return a < c.a || (a == c.a && b < c.b); }

private:
    ULONG a = 0xFFFFFFFF;
    ULONG b = 0xFFFFFFFF;
};
