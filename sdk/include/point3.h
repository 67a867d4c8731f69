// Point3: a 3D point or vector of floats, with the host's free functions on it.
#pragma once

#include <cmath>
#include <iosfwd>
#include <limits>

// The host SDK's Point3() and Matrix3() leave their numbers as the memory held them. Code that
// takes an unset point for the origin, or an unset matrix for the identity, works there by luck
// only. The stand-in fills them with signalling NaNs while TRELLON_SDK_UNSET_IS_NAN is defined
// (the CMake option of the same name, on by default, so every build the tests run in has it),
// and such code then fails its tests; with the option off they start as zeros and the
// identity. Write Point3(0, 0, 0) or Point3::Origin, and Matrix3(1), for what is meant.
#if defined(TRELLON_SDK_UNSET_IS_NAN)
inline constexpr float kSdkUnsetFloat = std::numeric_limits<float>::signaling_NaN();
#else
inline constexpr float kSdkUnsetFloat = 0.0f;
#endif

class Point3 {
public:
    float x = kSdkUnsetFloat;
    float y = kSdkUnsetFloat;
    float z = kSdkUnsetFloat;

    constexpr Point3() = default;
    constexpr Point3(float X, float Y, float Z) : x(X), y(Y), z(Z) {}
    constexpr Point3(double X, double Y, double Z)
        : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}
    constexpr Point3(int X, int Y, int Z)
        : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}
    explicit constexpr Point3(const float af[3]) : x(af[0]), y(af[1]), z(af[2]) {}

    static const Point3 Origin;
    static const Point3 XAxis;
    static const Point3 YAxis;
    static const Point3 ZAxis;

    float& operator[](int i) { return (&x)[i]; }
    const float& operator[](int i) const { return (&x)[i]; }
    operator float*() { return &x; }
    operator const float*() const { return &x; }

    Point3& Set(float X, float Y, float Z) {
        x = X;
        y = Y;
        z = Z;
        return *this;
    }

    float Length() const { return std::sqrt(x * x + y * y + z * z); }
    Point3 Normalize() const;  // returns a unit vector; the zero vector stays zero

    constexpr Point3 operator-() const { return {-x, -y, -z}; }
    constexpr Point3 operator+() const { return *this; }

    Point3& operator-=(const Point3& a) {
        x -= a.x;
        y -= a.y;
        z -= a.z;
        return *this;
    }
    Point3& operator+=(const Point3& a) {
        x += a.x;
        y += a.y;
        z += a.z;
        return *this;
    }
    Point3& operator*=(float f) {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    Point3& operator/=(float f) {
        x /= f;
        y /= f;
        z /= f;
        return *this;
    }
    Point3& operator*=(const Point3& a) {
        x *= a.x;
        y *= a.y;
        z *= a.z;
        return *this;
    }

    constexpr Point3 operator-(const Point3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    constexpr Point3 operator+(const Point3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    constexpr Point3 operator/(float f) const { return {x / f, y / f, z / f}; }
    constexpr Point3 operator*(float f) const { return {x * f, y * f, z * f}; }
    // Component-wise product, as the host defines it.
    constexpr Point3 operator*(const Point3& b) const { return {x * b.x, y * b.y, z * b.z}; }
    constexpr Point3 operator/(const Point3& b) const { return {x / b.x, y / b.y, z / b.z}; }
    // Cross product, as the host defines it.
    constexpr Point3 operator^(const Point3& b) const {
        return {y * b.z - z * b.y, z * b.x - x * b.z, x * b.y - y * b.x};
    }
    // Dot product, as the host defines it.
    constexpr float operator%(const Point3& b) const { return x * b.x + y * b.y + z * b.z; }

    bool operator==(const Point3& p) const { return x == p.x && y == p.y && z == p.z; }
    bool operator!=(const Point3& p) const { return !(*this == p); }
    bool Equals(const Point3& p, float epsilon = 1e-6f) const;
};

constexpr Point3 operator*(float f, const Point3& a) { return {a.x * f, a.y * f, a.z * f}; }

inline float Length(const Point3& v) { return v.Length(); }
inline constexpr float DotProd(const Point3& a, const Point3& b) { return a % b; }
inline constexpr Point3 CrossProd(const Point3& a, const Point3& b) { return a ^ b; }
// Unit vector along v; the zero vector is returned unchanged (the host does the same rather
// than produce NaNs).
Point3 Normalize(const Point3& v);

std::ostream& operator<<(std::ostream& os, const Point3& p);
