#include "platform/fatal.h"

#include <cstdlib>

#include <GLFW/glfw3.h>

#include "platform/platform.h"

namespace platform {

void fatalError(const char* text, const char* caption) { fatalError(nullptr, text, caption); }

void fatalError(const char* detail, const char* text, const char* caption) {
    glfwTerminate();  // returns at once when GLFW is not initialised
    if (detail != nullptr) messageBox(detail, caption, MessageIcon::Information);
    messageBox(text, caption, MessageIcon::Information);
    std::exit(0);
}

}  // namespace platform
