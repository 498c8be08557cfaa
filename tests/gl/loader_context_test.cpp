// The loader on a real context: Mesa's software rasteriser on a private Xvfb.
#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>

#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "tests/support/xvfb_server.h"

namespace {

// A window with the screensaver's context request on its own Xvfb. A
// non-empty `versionOverride` makes Mesa report that OpenGL version.
class Context {
public:
    explicit Context(const char* versionOverride = nullptr) : server_(640, 480) {
        if (versionOverride) setenv("MESA_GL_VERSION_OVERRIDE", versionOverride, 1);
        if (server_.running() && glfwInit()) {
            glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
            glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
            glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
            window_ = glfwCreateWindow(64, 64, "loader test", nullptr, nullptr);
            if (window_) glfwMakeContextCurrent(window_);
        }
        unsetenv("MESA_GL_VERSION_OVERRIDE");
    }
    ~Context() { glfwTerminate(); }
    bool ok() const { return window_ != nullptr; }

private:
    XvfbServer server_;
    GLFWwindow* window_ = nullptr;
};

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += " " + n;
    return out;
}

TEST(LoaderOnMesa, LoadsEveryFunctionTheProgramCalls) {
    Context context;
    ASSERT_TRUE(context.ok());
    EXPECT_EQ(glLoaderInit(), 0);
    EXPECT_TRUE(glLoaderIsSupported(4, 2));
    const std::vector<std::string> missing = glLoaderMissingFunctions();
    EXPECT_TRUE(missing.empty()) << joined(missing);
    // One name on its own, after the table fill has closed its library handle.
    EXPECT_EQ(glLoaderGetProc("glCullFace"), reinterpret_cast<void*>(lumeridge_glCullFace));
    EXPECT_NE(glLoaderGetProc("glTexStorage2D"), nullptr);
}

TEST(LoaderOnMesa, OlderContextLacksNewerFunctionsThoughTheirNamesResolve) {
    Context context("2.1");
    ASSERT_TRUE(context.ok());
    EXPECT_EQ(glLoaderInit(), -1);
    // The library hands out a dispatch stub for any name; only the version
    // tells that a 2.1 context has no glFramebufferTexture.
    EXPECT_NE(lumeridge_glFramebufferTexture, nullptr);
    const std::vector<std::string> missing = glLoaderMissingFunctions();
    ASSERT_FALSE(missing.empty());
    EXPECT_NE(std::find(missing.begin(), missing.end(), "glFramebufferTexture"), missing.end()) << joined(missing);
    for (const std::string& name : missing)
        EXPECT_TRUE(name == "glFramebufferTexture" || name == "glBindFramebuffer" || name == "glGenFramebuffers" ||
                    name == "glDeleteFramebuffers" || name == "glTexStorage2D")
            << name << " is older than 2.1";
    EXPECT_EQ(glLoaderMissingFunctionsMessage().rfind("This computer's OpenGL 2.1 lacks", 0), 0u);
}

}  // namespace
