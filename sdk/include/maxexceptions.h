// The exceptions the SDK raises. A table index out of range raises OutOfRangeException with the
// host's own text.
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
};

}  // namespace MaxSDK::Util
