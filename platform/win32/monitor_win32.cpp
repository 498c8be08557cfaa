// Win32 back end: where a monitor lies on the desktop.
#include <windows.h>

#include <cstring>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

#include "platform/platform.h"

namespace platform {

// The monitor's rectangle as the window manager knows it. GLFW takes it
// from the adapter's current display settings, which Wine leaves at 0 x 0
// for every monitor but the first when it reads them from Xinerama.
bool monitorArea(GLFWmonitor* monitor, int* x, int* y, int* width, int* height) {
    struct Search {
        const char* adapter;
        RECT rect;
        bool found;
    } search{glfwGetWin32Adapter(monitor), {}, false};
    if (search.adapter == nullptr) return false;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR handle, HDC, LPRECT, LPARAM data) -> BOOL {
            Search* s = reinterpret_cast<Search*>(data);
            MONITORINFOEXA info{};
            info.cbSize = sizeof info;
            if (!GetMonitorInfoA(handle, &info) || std::strcmp(info.szDevice, s->adapter) != 0) return TRUE;
            s->rect = info.rcMonitor;
            s->found = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.found) return false;
    *x = search.rect.left;
    *y = search.rect.top;
    *width = search.rect.right - search.rect.left;
    *height = search.rect.bottom - search.rect.top;
    return *width > 0 && *height > 0;
}

}  // namespace platform
