#include "box3.h"

#include <cfloat>
#include <ostream>

#include "matrix3.h"

void Box3::Init() {
    pmin = Point3(FLT_MAX, FLT_MAX, FLT_MAX);
    pmax = Point3(-FLT_MAX, -FLT_MAX, -FLT_MAX);
}

Point3 Box3::operator[](int i) const {
    return Point3((i & 1) ? pmax.x : pmin.x, (i & 2) ? pmax.y : pmin.y, (i & 4) ? pmax.z : pmin.z);
}

Box3& Box3::operator+=(const Point3& p) {
    if (IsEmpty()) {
        pmin = pmax = p;
        return *this;
    }
    if (p.x < pmin.x) pmin.x = p.x;
    if (p.y < pmin.y) pmin.y = p.y;
    if (p.z < pmin.z) pmin.z = p.z;
    if (p.x > pmax.x) pmax.x = p.x;
    if (p.y > pmax.y) pmax.y = p.y;
    if (p.z > pmax.z) pmax.z = p.z;
    return *this;
}

Box3& Box3::operator+=(const Box3& b) {
    if (b.IsEmpty()) return *this;
    *this += b.pmin;
    *this += b.pmax;
    return *this;
}

void Box3::Translate(const Point3& p) {
    if (IsEmpty()) return;
    pmin += p;
    pmax += p;
}

void Box3::EnlargeBy(float s) {
    if (IsEmpty()) return;
    pmin -= Point3(s, s, s);
    pmax += Point3(s, s, s);
}

Box3 Box3::operator*(const Matrix3& tm) const {
    Box3 r;
    if (IsEmpty()) return r;
    for (int i = 0; i < 8; ++i) r += (*this)[i] * tm;
    return r;
}

bool Box3::Contains(const Point3& p) const {
    return !IsEmpty() && p.x >= pmin.x && p.x <= pmax.x && p.y >= pmin.y && p.y <= pmax.y &&
           p.z >= pmin.z && p.z <= pmax.z;
}

std::ostream& operator<<(std::ostream& os, const Box3& b) {
    if (b.IsEmpty()) return os << "Box3(empty)";
    return os << "Box3(" << b.pmin << " .. " << b.pmax << ')';
}
