#include "random.h"

int Random::get(int max, int min) {
    const long long r = rand();
    const long long range = static_cast<long long>(max) - min;
    if (range == 0) return min;
    return static_cast<int>(r % range + min);
}

float Random::getf(float max, float min) {
    return static_cast<float>(rand()) / (s_rand_max + 1.0f) * (max - min) + min;
}
