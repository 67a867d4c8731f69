// Point2: a 2D point of floats. IPoint2: a screen point of ints.
#pragma once

#include <cmath>
#include <iosfwd>

class Point2 {
public:
    float x = 0.0f;
    float y = 0.0f;

    constexpr Point2() = default;
    constexpr Point2(float X, float Y) : x(X), y(Y) {}
    constexpr Point2(double X, double Y) : x(static_cast<float>(X)), y(static_cast<float>(Y)) {}

    float& operator[](int i) { return (&x)[i]; }
    const float& operator[](int i) const { return (&x)[i]; }
    float Length() const { return std::sqrt(x * x + y * y); }

    constexpr Point2 operator-() const { return {-x, -y}; }
    constexpr Point2 operator+(const Point2& b) const { return {x + b.x, y + b.y}; }
    constexpr Point2 operator-(const Point2& b) const { return {x - b.x, y - b.y}; }
    constexpr Point2 operator*(float f) const { return {x * f, y * f}; }
    constexpr Point2 operator/(float f) const { return {x / f, y / f}; }
    Point2& operator+=(const Point2& b) { x += b.x; y += b.y; return *this; }
    Point2& operator-=(const Point2& b) { x -= b.x; y -= b.y; return *this; }
    bool operator==(const Point2& b) const { return x == b.x && y == b.y; }
    bool operator!=(const Point2& b) const { return !(*this == b); }
};

class IPoint2 {
public:
    int x = 0;
    int y = 0;
    constexpr IPoint2() = default;
    constexpr IPoint2(int X, int Y) : x(X), y(Y) {}
    bool operator==(const IPoint2& b) const { return x == b.x && y == b.y; }
    bool operator!=(const IPoint2& b) const { return !(*this == b); }
    constexpr IPoint2 operator-(const IPoint2& b) const { return {x - b.x, y - b.y}; }
    constexpr IPoint2 operator+(const IPoint2& b) const { return {x + b.x, y + b.y}; }
};

std::ostream& operator<<(std::ostream& os, const Point2& p);
