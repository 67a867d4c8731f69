// Random: a seeded pseudo-random sequence that matches the C runtime of the host's compiler:
//   srand(s): seed = s;   rand(): seed = seed * 214013 + 2531011 (mod 2^32), (seed >> 16) & 0x7fff
// A new generator behaves as if seeded with 1. The same seed always gives the same sequence.
#pragma once

#include <cstdint>

class Random {
public:
    static constexpr int s_rand_max = 0x7fff;

    Random() = default;
    void srand(unsigned int seed = 1) { seed_ = seed; }
    int rand() {
        seed_ = seed_ * 214013u + 2531011u;
        return static_cast<int>((seed_ >> 16) & 0x7fffu);
    }
    // rand() / (s_rand_max + 1) * (max - min) + min: a float in [min, max).
    float getf(float max = 1.0f, float min = 0.0f);

private:
    std::uint32_t seed_ = 1;
};
