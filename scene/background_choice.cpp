#include "scene/background_choice.h"

#include <cmath>
#include <cstdlib>

#include "resources/resource_ids.h"

const int backgroundBitmapIds[kBackgroundCount] = {
    resource::kBackground01, resource::kBackground02, resource::kBackground03, resource::kBackground04,
    resource::kBackground05, resource::kBackground06, resource::kBackground07, resource::kBackground09,
    resource::kBackground08, resource::kBackground20, resource::kBackground19, resource::kBackground18,
    resource::kBackground17, resource::kBackground16, resource::kBackground15, resource::kBackground14,
    resource::kBackground13, resource::kBackground12, resource::kBackground11, resource::kBackground10,
};

unsigned backgroundSeed(float t) {
    const float scaled = t * 100000.0f;
    if (!(scaled >= 0.0f) || !std::isfinite(scaled)) return 0u;
    return static_cast<unsigned>(std::fmod(std::trunc(static_cast<double>(scaled)), 10000.0));
}

int backgroundIndex(float t) {
    std::srand(backgroundSeed(t));
    return std::rand() % kBackgroundCount;
}
