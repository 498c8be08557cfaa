// The layer table of the product code and a checker of #include lines
// against it. Layers, bottom up: math, platform, mesh, gfx, scene, app; the
// generated resource ids (resources/) may be included by every layer.
#pragma once

#include <string>
#include <vector>

namespace layering {

struct Violation {
    std::string file;     // path relative to the source root, e.g. "gfx/drawable.h"
    int line = 0;         // 1-based
    std::string include;  // with its delimiters: "scene/camera.h" or <GLFW/glfw3.h>
    std::string reason;
};

// The folders whose files the table covers.
const std::vector<std::string>& productLayers();

// Checks every #include of one file. `file` is relative to the source root
// and names its layer by its first folder.
std::vector<Violation> checkIncludes(const std::string& file, const std::string& text);

// "gfx/drawable.h:12: #include \"scene/camera.h\": gfx may not include scene"
std::string describe(const Violation& v);

}  // namespace layering
