// The exceptions the SDK raises. A table index out of range raises OutOfRangeException with the
// host's own text; an index out of range of a MaxSDK::Array (the argument list of a published
// function call, for one) raises ArrayOutOfRangeException, which is an OutOfRangeException with
// the array's text, so a handler for either kind catches it.
#pragma once

#include <stdexcept>

namespace MaxSDK::Util {

class MaxException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class OutOfRangeException : public MaxException {
public:
    OutOfRangeException() : MaxException("Invalid index passed into a Max SDK Tab::operator[]") {}

protected:
    explicit OutOfRangeException(const char* what) : MaxException(what) {}
};

class ArrayOutOfRangeException : public OutOfRangeException {
public:
    ArrayOutOfRangeException()
        : OutOfRangeException(
              "Argument index out of bounds, passed into a MaxSDK::Array::operator[]") {}
};

}  // namespace MaxSDK::Util
