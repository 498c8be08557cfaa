// The twenty backgrounds, by resource id.
#include "scene_util.h"

namespace imagegen {

namespace {
const char* const kNames[kBackgroundCount] = {
    "river stones",       "pebble beach",    "sand with caustics", "autumn leaves on water", "pool tiles",
    "moss and roots",     "koi pond",        "lily pads",          "sunset reflection",      "city lights at night",
    "seashells on sand",  "coral reef floor", "mossy forest floor", "slate mosaic",          "fallen petals",
    "starry night sky",   "pebble mosaic",   "ice with bubbles",   "wooden jetty planks",    "marble floor"};
}  // namespace

const char* backgroundName(int id) {
    const int k = id - kFirstBackground;
    return (k >= 0 && k < kBackgroundCount) ? kNames[k] : "";
}

Image renderBackground(int id) {
    const int k = id - kFirstBackground;
    return k < 10 ? renderSceneA(k) : renderSceneB(k - 10);
}

}  // namespace imagegen
