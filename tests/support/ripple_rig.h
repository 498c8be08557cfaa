// The ripple program on a real OpenGL context, set up the way the rain scene
// uses it (the program from its two text resources under "BackgroundProgram",
// the full-screen rectangle drawable, the normals texture on unit 0, the
// background on unit 1, the blank texture on either when none is given, and
// from render mode 2.0 on the blank as the hint that the draw computes no
// ripples on unit 2), drawn with chosen uniforms into the bound framebuffer.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "gfx/drawable.h"
#include "gfx/gl.h"
#include "gfx/program.h"
#include "gfx/camera.h"
#include "gfx/scene_clock.h"
#include "tests/support/ripple_reference.h"

class RippleRig {
public:
    // Needs a current context with the entry points loaded. With a fragment
    // text, that text stands in for the program's own fragment shader.
    explicit RippleRig(const std::string& fragmentText = std::string());
    ~RippleRig();
    RippleRig(const RippleRig&) = delete;
    RippleRig& operator=(const RippleRig&) = delete;

    GLFWProgram* program() { return registry_.program(kProgramKey); }
    // The program linked and every uniform the scene sets is active.
    bool ready();

    // Textures the next draws read; names of the caller's textures (0: none,
    // the blank texture stands in).
    void setNormalsTexture(GLuint texture) { normalsTexture_ = texture; }
    void setBackgroundTexture(GLuint texture) { backgroundTexture_ = texture; }

    // One draw of the rectangle with these uniforms, into the framebuffer
    // and viewport the caller has bound and set.
    void draw(const ripple::Uniforms& u);

    static constexpr const char* kProgramKey = "BackgroundProgram";

private:
    GLFWProgramRegistry registry_;
    SceneClock clock_{0.0};
    Camera camera_;
    std::unique_ptr<GLFWDrawableSky> sky_;
    GLuint normalsTexture_ = 0;
    GLuint backgroundTexture_ = 0;
    GLuint blank_ = 0;
};

// A 1024 x 1024 texture made like the scene's normals target (GL_RGBA16F,
// nearest filtering, default wrap), filled with `rgb`: three floats a texel,
// row 0 first (none: left undefined).
GLuint createNormalsTexture(const std::vector<float>& rgb);
