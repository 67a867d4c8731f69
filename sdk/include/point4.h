// Point4: a 4D point of floats (a matrix column, homogeneous coordinates).
#pragma once

#include "point3.h"

class Point4 {
public:
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr Point4() = default;
    constexpr Point4(float X, float Y, float Z, float W) : x(X), y(Y), z(Z), w(W) {}
    constexpr Point4(const Point3& p, float W) : x(p.x), y(p.y), z(p.z), w(W) {}

    float& operator[](int i) { return (&x)[i]; }
    const float& operator[](int i) const { return (&x)[i]; }
    bool operator==(const Point4& b) const { return x == b.x && y == b.y && z == b.z && w == b.w; }
};
