#include "scene/background_choice.h"

#include <cmath>
#include <cstdlib>

const int backgroundBitmapIds[kBackgroundCount] = {187, 188, 189, 190, 191, 192, 193, 195, 194, 206,
                                                   205, 204, 203, 202, 201, 200, 199, 198, 197, 196};

unsigned backgroundSeed(float t) {
    const float scaled = t * 100000.0f;
    if (!(scaled >= 0.0f) || !std::isfinite(scaled)) return 0u;
    return static_cast<unsigned>(std::fmod(std::trunc(static_cast<double>(scaled)), 10000.0));
}

int backgroundIndex(float t) {
    std::srand(backgroundSeed(t));
    return std::rand() % kBackgroundCount;
}
