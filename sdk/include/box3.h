// Box3: an axis-aligned box. A new box is empty (min above max) until a point is added.
#pragma once

#include <iosfwd>

#include "point3.h"

class Matrix3;

class Box3 {
public:
    Point3 pmin;
    Point3 pmax;

    Box3() { Init(); }
    Box3(const Point3& p, const Point3& q) : pmin(p), pmax(q) {}

    void Init();  // makes the box empty
    bool IsEmpty() const { return pmin.x > pmax.x || pmin.y > pmax.y || pmin.z > pmax.z; }

    Point3 Min() const { return pmin; }
    Point3 Max() const { return pmax; }
    Point3 Center() const { return (pmin + pmax) / 2.0f; }
    Point3 Width() const { return pmax - pmin; }
    // Corner i: bit 0 chooses max x, bit 1 max y, bit 2 max z.
    Point3 operator[](int i) const;

    Box3& operator+=(const Point3& p);  // grows to hold p
    Box3& operator+=(const Box3& b);    // grows to hold b
    Box3 operator+(const Box3& b) const { Box3 r = *this; r += b; return r; }
    void Translate(const Point3& p);
    void EnlargeBy(float s);            // moves every face outwards by s
    // The box of the eight transformed corners.
    Box3 operator*(const Matrix3& tm) const;
    bool Contains(const Point3& p) const;
    bool operator==(const Box3& b) const { return pmin == b.pmin && pmax == b.pmax; }
};

std::ostream& operator<<(std::ostream& os, const Box3& b);
