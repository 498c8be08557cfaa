// Backgrounds 197..206. Not painted yet: each is a plain mid-grey tile until
// its scene is written.
#include "scene_util.h"

namespace imagegen {

Image renderSceneB(int /*index*/) { return Image(kTile, kTile, rgb(0.5f, 0.5f, 0.5f)); }

}  // namespace imagegen
