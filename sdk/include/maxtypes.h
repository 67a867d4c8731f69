// Basic host types: Windows-style integer aliases and animation time.
//
// Time is measured in ticks, 4800 per second. TIME_PosInfinity and TIME_NegInfinity bound every
// interval; FOREVER and NEVER are declared in interval.h.
#pragma once

#include <cstdint>

using DWORD = std::uint32_t;
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
