// The twenty backgrounds, by resource id.
#include "scene_util.h"

namespace imagegen {

namespace {
const char* const kNames[kBackgroundCount] = {"river stones",
                                              "pebble beach",
                                              "sand with caustics",
                                              "autumn leaves on water",
                                              "pool tiles",
                                              "moss and roots",
                                              "koi pond",
                                              "lily pads",
                                              "sunset reflection",
                                              "city lights at night",
                                              "cherry blossom petals",
                                              "pine needles and cones",
                                              "sea glass on wet sand",
                                              "rock pool",
                                              "slate and ferns",
                                              "mountain lake",
                                              "moonlit lake",
                                              "fountain coins",
                                              "coral shallows",
                                              "ginkgo leaves on a pool"};
}  // namespace

const char* backgroundName(int id) {
    const int k = id - kFirstBackground;
    return (k >= 0 && k < kBackgroundCount) ? kNames[k] : "";
}

Image renderBackground(int id) {
    const int k = id - kFirstBackground;
    if (k < 10) return renderSceneA(k);
    if (k < 15) return renderSceneB(k - 10);
    return renderSceneC(k - 15);
}

}  // namespace imagegen
