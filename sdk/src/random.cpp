#include "random.h"

int Random::get(int max, int min) {
    const int r = rand();
    if (max == min) return min;
    return r % (max - min) + min;
}

float Random::getf(float max, float min) {
    return static_cast<float>(rand()) / (s_rand_max + 1.0f) * (max - min) + min;
}
