// Reads the SDK's descriptor argument lists (parameter blocks, published interfaces).
//
// The lists mix ints, floats (promoted to double), pointers and small structs passed by value.
// Peek reads the next argument as an int without using it up, which is how a reader tells a tag
// from the next item; it takes a look at the next slot as an int even where a pointer was
// passed, which on the host's calling conventions reads its low half and nothing else.
#pragma once

#include <cstdarg>

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
        return va_arg(ap_, T);
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
