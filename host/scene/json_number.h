// Floats in JSON files: the shortest decimal that reads back as the same float (not its double
// widening, whose decimal is long and noisy), as a double the JSON writer prints exactly.
#pragma once

#include <charconv>

namespace host {

inline double JsonNumber(float f) {
    if (f == 0.0f) return 0.0;  // no "-0.0"
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, f);
    double d = 0.0;
    std::from_chars(buf, res.ptr, d);
    return d;
}

}  // namespace host
