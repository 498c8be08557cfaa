#include "platform/fatal.h"

#include <cstdlib>

#include <GLFW/glfw3.h>

#include "platform/platform.h"

namespace platform {

void fatalError(const char* text, const char* caption, TearDown tearDown) {
    if (tearDown == TearDown::Before) glfwTerminate();
    messageBox(text, caption, MessageIcon::Information);
    if (tearDown == TearDown::After) glfwTerminate();
    std::exit(0);
}

}  // namespace platform
