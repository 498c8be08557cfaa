// background_view: a developer's tool that shows one background under the
// ripples. It renders the rain scene exactly as the screensaver does, with
// the start-up time chosen so that the scene picks the wanted background,
// and saves a frame as a PNG.
//
//   background_view ID OUT.png [SECONDS [WIDTH HEIGHT]]
//
// ID is a background resource (187..206). SECONDS is the scene time of the
// saved frame (default 10: the refraction is strongest at 10 s and every
// 20 s after; 0 or 20 show the calm phase). WIDTH x HEIGHT defaults to
// 1920 x 1080. It needs an X display, for example a private one:
//
//   xvfb-run -a -s "-screen 0 1920x1080x24" background_view 197 shot.png
//
// Exit code 0 when the PNG was written, 1 with a message otherwise.
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gfx/context_setup.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "scene/background_choice.h"
#include "scene/rain_scene.h"
#include "scene/scene_time.h"
#include "tools/imagegen/imagegen.h"

namespace {

float startupTime = 0.0f;
double scriptedStartup() { return startupTime; }

int fail(const std::string& what) {
    std::fprintf(stderr, "background_view: %s\n", what.c_str());
    return 1;
}

// A start-up time for which the scene picks background `id`, or -1.
float startupTimeFor(int id) {
    for (unsigned seed = 0; seed < 10000; ++seed) {
        const float t = static_cast<float>((seed + 0.5) / 100000.0);
        if (backgroundSeed(t) == seed && backgroundBitmapIds[backgroundIndex(t)] == id) return t;
    }
    return -1.0f;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4 && argc != 6) {
        std::fprintf(stderr, "usage: background_view ID OUT.png [SECONDS [WIDTH HEIGHT]]\n");
        return 1;
    }
    const int id = std::atoi(argv[1]);
    const std::string out = argv[2];
    const double seconds = argc >= 4 ? std::atof(argv[3]) : 10.0;
    const int width = argc == 6 ? std::atoi(argv[4]) : 1920;
    const int height = argc == 6 ? std::atoi(argv[5]) : 1080;
    if (width < 16 || height < 16 || width > 8192 || height > 8192) return fail("unreasonable size");

    startupTime = startupTimeFor(id);
    if (startupTime < 0) return fail("no start-up time picks background " + std::string(argv[1]));
    setSceneTimeSource(scriptedStartup);

    if (!glfwInit()) return fail("cannot initialise GLFW (is DISPLAY set?)");
    setContextHints();
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "background_view", nullptr, nullptr);
    if (window == nullptr) {
        glfwTerminate();
        return fail("cannot create a window");
    }
    glfwMakeContextCurrent(window);
    if (glLoaderInit() != 0) {
        glfwTerminate();
        return fail("OpenGL 3 or later is needed");
    }
    glfwSwapInterval(0);
    setRenderState();

    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    bool chosen = false;
    {
        // The scene's GL objects go before the context does.
        RainScene scene;
        scene.setup();
        RainView view{WindowSize(width, height)};
        chosen = scene.backgroundId() == id;
        // A few frames leading up to the wanted time, the last one kept.
        constexpr int kFrames = 3;
        for (int k = 0; chosen && k < kFrames; ++k) {
            scene.clock()->setCurrentTime(seconds - (kFrames - 1 - k) / 60.0);
            scene.render(view);
            if (k + 1 < kFrames) glfwSwapBuffers(window);
        }
        glFinish();
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    }
    glfwTerminate();
    if (!chosen) return fail("the scene chose another background");

    imagegen::Image img(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p =
                &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];  // bottom row first
            img.at(x, y) = {p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f};
        }
    if (!imagegen::writePngRgb(out, img)) return fail("cannot write " + out);
    std::printf("background_view: background %d at %.2f s -> %s\n", id, seconds, out.c_str());
    return 0;
}
