#include "point3.h"

#include <ostream>

#include "point2.h"

const Point3 Point3::Origin(0.0f, 0.0f, 0.0f);
const Point3 Point3::XAxis(1.0f, 0.0f, 0.0f);
const Point3 Point3::YAxis(0.0f, 1.0f, 0.0f);
const Point3 Point3::ZAxis(0.0f, 0.0f, 1.0f);

Point3 Point3::Normalize() const { return ::Normalize(*this); }

bool Point3::Equals(const Point3& p, float epsilon) const {
    return std::fabs(x - p.x) <= epsilon && std::fabs(y - p.y) <= epsilon &&
           std::fabs(z - p.z) <= epsilon;
}

Point3 Normalize(const Point3& v) {
    const float len = v.Length();
    if (len == 0.0f) return v;
    return v / len;
}

std::ostream& operator<<(std::ostream& os, const Point3& p) {
    return os << '(' << p.x << ", " << p.y << ", " << p.z << ')';
}

std::ostream& operator<<(std::ostream& os, const Point2& p) {
    return os << '(' << p.x << ", " << p.y << ')';
}
