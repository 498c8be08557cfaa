// Every #include of the product code against the layer table.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/layering/include_rules.h"

namespace {

namespace fs = std::filesystem;
using layering::checkIncludes;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Layering, ProductIncludesFollowTheTable) {
    const fs::path root = LUMERIDGE_SOURCE_DIR;
    int files = 0;
    for (const std::string& layer : layering::productLayers()) {
        ASSERT_TRUE(fs::is_directory(root / layer)) << layer;
        for (const auto& entry : fs::recursive_directory_iterator(root / layer)) {
            const std::string ext = entry.path().extension().string();
            if (ext != ".h" && ext != ".cpp" && ext != ".inc") continue;
            ++files;
            const std::string relative = fs::relative(entry.path(), root).generic_string();
            for (const auto& v : checkIncludes(relative, readFile(entry.path()))) ADD_FAILURE() << describe(v);
        }
    }
    EXPECT_GT(files, 50);  // the walk found the sources
}

// The checker itself, on sample files: each bad include is reported with its
// file, line and the edge it breaks; the allowed forms pass.
TEST(Layering, CheckerNamesEveryEdgeOutsideTheTable) {
    const struct {
        const char* file;
        const char* text;
        const char* expected;  // "" = no violation
    } cases[] = {
        {"gfx/drawable.h", "#pragma once\n#include \"gfx/gl.h\"\n#include \"scene/camera.h\"\n",
         "gfx/drawable.h:3: #include \"scene/camera.h\": gfx may not include scene"},
        {"scene/rain_scene.cpp", "  #  include \"app/display_state.h\"\n",
         "scene/rain_scene.cpp:1: #include \"app/display_state.h\": scene may not include app"},
        {"platform/linux/x.cpp", "#include \"platform/platform.h\"\n#include \"app/about_window.h\"\n",
         "platform/linux/x.cpp:2: #include \"app/about_window.h\": platform may not include app"},
        {"math/math3d.h", "#include \"mesh/mesh_data.h\"\n", "math may not include mesh"},
        {"mesh/mesh_data.cpp", "#include <cstdlib>\n#include <GLFW/glfw3.h>\n",
         "mesh/mesh_data.cpp:2: #include <GLFW/glfw3.h>: mesh may not include a system header"},
        {"scene/x.cpp", "#include <X11/Xlib.h>\n", "scene may not include a system header"},
        {"app/screensaver_app.cpp", "#include <windows.h>\n", "app may not include a system header"},
        {"gfx/program.cpp", "#include \"program.h\"\n", "includes are written from the source root"},
        {"tools/x.cpp", "", "the file is in no layer"},
        // Allowed.
        {"app/main_win32.cpp", "#include <windows.h>\n#include \"app/lumeridge_main.h\"\n", ""},
        {"app/x.cpp", "#include \"scene/rain_scene.h\"\n#include \"mesh/mesh_data.h\"\n#include <GLFW/glfw3.h>\n", ""},
        {"platform/linux/y.cpp", "#include <X11/Xlib.h>\n#include \"resources/resource_ids.h\"\n", ""},
        {"scene/z.cpp", "// #include \"app/screensaver_app.h\"\n#include <vector>\n#include \"gfx/drawable.h\"\n", ""},
    };
    for (const auto& c : cases) {
        const auto found = checkIncludes(c.file, c.text);
        if (*c.expected == '\0') {
            EXPECT_TRUE(found.empty()) << c.file << ": " << (found.empty() ? "" : describe(found[0]));
            continue;
        }
        ASSERT_EQ(found.size(), 1u) << c.file;
        EXPECT_NE(describe(found[0]).find(c.expected), std::string::npos) << describe(found[0]);
    }
}

}  // namespace
