// IPoint3: a point of ints; the graphics window gives screen points as (x, y, depth).
#pragma once

class IPoint3 {
public:
    int x = 0;
    int y = 0;
    int z = 0;
    constexpr IPoint3() = default;
    constexpr IPoint3(int X, int Y, int Z) : x(X), y(Y), z(Z) {}
    bool operator==(const IPoint3& b) const { return x == b.x && y == b.y && z == b.z; }
    bool operator!=(const IPoint3& b) const { return !(*this == b); }
};
