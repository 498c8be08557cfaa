#include "gfx/context_setup.h"

#include <GLFW/glfw3.h>

#include "gfx/gl.h"

void setContextHints() {
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_STEREO, GLFW_FALSE);
    // Nothing is depth-tested or stencilled. GLFW's default 24/8-bit buffer
    // would still be allocated and zeroed with the window (8 MiB at 1920 x
    // 1080, four times that at 3840 x 2160, tens of milliseconds of fresh
    // pages at start-up under a software renderer) and cleared every frame.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
}

void setRenderState() {
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glDisable(GL_MULTISAMPLE);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_POLYGON_SMOOTH);
}
