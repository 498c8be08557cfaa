// The twenty backgrounds, by resource id.
#include <map>

#include "scene_util.h"

namespace imagegen {

namespace {
const char* const kNames[kBackgroundCount] = {
    "river stones",       "pebble beach",    "sand with caustics", "autumn leaves on water", "pool tiles",
    "moss and roots",     "koi pond",        "lily pads",          "sunset reflection",      "city lights at night",
    "river stones at dusk", "pebble beach by moonlight", "sand in noon haze", "leaves on a green pond",
    "pool tiles at evening", "moss and roots in late sun", "koi in the shade", "lily pads at dawn",
    "twilight reflection", "city lights in the rain"};
}  // namespace

const char* backgroundName(int id) {
    const int k = id - kFirstBackground;
    return (k >= 0 && k < kBackgroundCount) ? kNames[k] : "";
}

Image renderBackground(int id) {
    const int k = id - kFirstBackground;
    return k < 10 ? renderSceneACached(k) : renderSceneB(k - 10);
}

Image renderSceneACached(int index) {
    // Backgrounds 197..206 start from 187..196: paint each scene once per run.
    static std::map<int, Image> painted;
    auto it = painted.find(index);
    if (it == painted.end()) it = painted.emplace(index, renderSceneA(index)).first;
    return it->second;
}

}  // namespace imagegen
