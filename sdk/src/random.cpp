#include "random.h"

float Random::getf(float max, float min) {
    return static_cast<float>(rand()) / (s_rand_max + 1.0f) * (max - min) + min;
}
