// Reads the SDK's descriptor argument lists (parameter blocks, published interfaces).
//
// The lists mix ints, floats (promoted to double), pointers and small structs passed by value.
// Peek reads the next argument as an int without using it up, which is how a reader tells a tag
// from the next item; it takes a look at the next slot as an int even where a pointer was
// passed, which on the host's calling conventions reads its low half and nothing else.
#pragma once

#include <bit>
#include <cstdarg>
#include <type_traits>

#include "matrix3.h"
#include "maxtypes.h"
#include "point3.h"

// va_arg reads only trivial types. Point3, Matrix3 and Class_ID are passed by value and are
// trivially copyable, but their members start unset (NaN or all ones), so they are not trivial:
// each is read as a plain struct with the same members in the same order (so that the calling
// convention places it in the same registers or stack slots) and its bytes copied over.
template <class T>
struct VarArgPlain;
template <>
struct VarArgPlain<Point3> {
    struct type {
        float x, y, z;
    };
};
template <>
struct VarArgPlain<Matrix3> {
    struct type {
        float m[4][3];
        DWORD flags;
    };
};
template <>
struct VarArgPlain<Class_ID> {
    struct type {
        ULONG a, b;
    };
};

class VarArgReader {
public:
    explicit VarArgReader(va_list ap) { va_copy(ap_, ap); }
    VarArgReader(const VarArgReader&) = delete;
    VarArgReader& operator=(const VarArgReader&) = delete;
    ~VarArgReader() { va_end(ap_); }

    int Int() { return va_arg(ap_, int); }
    double Double() { return va_arg(ap_, double); }
    float Float() { return static_cast<float>(va_arg(ap_, double)); }
    void* Ptr() { return va_arg(ap_, void*); }
    template <class T>
    T Value() {
        if constexpr (std::is_trivial_v<T>) {
            return va_arg(ap_, T);
        } else {
            using Plain = typename VarArgPlain<T>::type;
            static_assert(sizeof(Plain) == sizeof(T) && std::is_trivially_copyable_v<T>);
            return std::bit_cast<T>(va_arg(ap_, Plain));
        }
    }
    int PeekInt() {
        va_list copy;
        va_copy(copy, ap_);
        const int v = va_arg(copy, int);
        va_end(copy);
        return v;
    }

private:
    va_list ap_;
};
