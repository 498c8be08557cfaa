// Adopting existing windows, run under Wine:
//  - glfwAttachWin32Window on a window of this process: messages reach the
//    callbacks, the context draws into the window (read back), the window is
//    not moved, resized or shown, and destroying the GLFW window (or
//    terminating GLFW) hands the window back alive with its own procedure,
//    its own icons and no device context left taken;
//  - a window of another process (a second instance of this program, like
//    the Screen Saver Settings dialog): glfwAttachWin32Window refuses it,
//    and platform::adoptHostWindow draws into a child window of it instead.
// Usage: attach_window_test same|other. Prints one "ok:" line per passed
// check and "FAIL:" lines; exit code 0 when every check passed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "platform/platform.h"
#include "tests/wine/win32/checks.h"

namespace {

using checks::check;
using checks::failures;

// What the window's own procedure and the GLFW callbacks saw.
int ownMessages = 0;
int sizeEvents = 0, lastWidth = 0, lastHeight = 0;
int keyEvents = 0, buttonEvents = 0;
std::string glfwErrors;

constexpr UINT kProbeMessage = WM_APP + 7;

LRESULT CALLBACK ownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kProbeMessage) {
        ++ownMessages;
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND createOwnWindow(const wchar_t* title, int x, int y) {
    static ATOM windowClass = [] {
        WNDCLASSW c{};
        c.lpfnWndProc = ownProc;  // class style 0: a common device context, like a dialog's
        c.hInstance = GetModuleHandleW(nullptr);
        c.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        c.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
        c.lpszClassName = L"AttachTarget";
        return RegisterClassW(&c);
    }();
    (void)windowClass;
    return CreateWindowExW(0, L"AttachTarget", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, 300, 200, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool initGlfw() {
    glfwSetErrorCallback([](int, const char* description) {
        glfwErrors += description ? description : "?";
        glfwErrors += "; ";
    });
    if (!glfwInit()) return false;
    // The screensaver's hints.
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
    glfwWindowHint(GLFW_CONTEXT_ROBUSTNESS, GLFW_LOSE_CONTEXT_ON_RESET);
    return true;
}

// Clears the window's back buffer to the colour and reads its centre back.
bool drawsInto(GLFWwindow* window, int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    glfwMakeContextCurrent(window);
    if (glLoaderInit() != 0 || !glClearColor || !glReadPixels) return false;
    glViewport(0, 0, width, height);
    glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(width / 2, height / 2, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return pixel[0] == r && pixel[1] == g && pixel[2] == b;
}

struct Placement {
    RECT outer{};
    LONG_PTR style = 0;
    BOOL visible = FALSE;
};
Placement placementOf(HWND window) {
    Placement p;
    GetWindowRect(window, &p.outer);
    p.style = GetWindowLongPtrW(window, GWL_STYLE);
    p.visible = IsWindowVisible(window);
    return p;
}
bool samePlacement(const Placement& a, const Placement& b) {
    return EqualRect(&a.outer, &b.outer) && a.style == b.style && a.visible == b.visible;
}

bool hasOwnProcedure(HWND window) {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ownProc);
}

void sameProcessWindow() {
    HWND handle = createOwnWindow(L"Adopted", 50, 50);
    HICON ownIcon = LoadIconA(nullptr, IDI_APPLICATION);
    SendMessageW(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ownIcon));
    pump();
    const Placement before = placementOf(handle);

    check(initGlfw(), "glfwInit");
    GLFWwindow* window = glfwAttachWin32Window(handle, nullptr);
    check(window != nullptr, "a window of this process is adopted");
    if (!window) return;
    check(glfwGetWin32Window(window) == handle, "the GLFW window is the adopted window");
    check(!hasOwnProcedure(handle), "GLFW's window procedure replaces the window's own");
    glfwSetWindowSizeCallback(window, [](GLFWwindow*, int w, int h) {
        ++sizeEvents;
        lastWidth = w;
        lastHeight = h;
    });
    glfwSetKeyCallback(window, [](GLFWwindow*, int, int, int, int) { ++keyEvents; });
    glfwSetMouseButtonCallback(window, [](GLFWwindow*, int, int, int) { ++buttonEvents; });

    RECT client{};
    GetClientRect(handle, &client);
    check(drawsInto(window, client.right, client.bottom, 200, 40, 90), "the context draws into it (read back)");
    const HDC contextDc = wglGetCurrentDC();

    unsigned char pixels[16 * 16 * 4];
    for (int i = 0; i < 16 * 16 * 4; ++i) pixels[i] = static_cast<unsigned char>(i);
    const GLFWimage icon{16, 16, pixels};
    glfwSetWindowIcon(window, 1, &icon);
    check(SendMessageW(handle, WM_GETICON, ICON_BIG, 0) != reinterpret_cast<LRESULT>(ownIcon),
          "glfwSetWindowIcon sets the adopted window's icon");
    glfwSwapInterval(1);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwSwapBuffers(window);
    glfwPollEvents();
    check(samePlacement(placementOf(handle), before), "the window is neither moved, resized nor shown differently");

    // Messages reach the callbacks.
    SetWindowPos(handle, nullptr, 0, 0, 340, 260, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    glfwPollEvents();
    GetClientRect(handle, &client);
    check(sizeEvents >= 1 && lastWidth == client.right && lastHeight == client.bottom,
          "a size change reaches the size callback with the client size");
    PostMessageW(handle, WM_KEYDOWN, 'A', 1 | (0x1E << 16));
    PostMessageW(handle, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    glfwPollEvents();
    check(keyEvents >= 1, "a key reaches the key callback");
    check(buttonEvents >= 1, "a mouse button reaches the mouse-button callback");
    PostMessageW(handle, WM_CLOSE, 0, 0);
    glfwPollEvents();
    check(glfwWindowShouldClose(window) == GLFW_TRUE && IsWindow(handle), "a close request sets the close flag only");

    // Destruction hands the window back.
    glfwDestroyWindow(window);
    check(IsWindow(handle) != FALSE, "after glfwDestroyWindow the window still exists");
    check(hasOwnProcedure(handle) && SendMessageW(handle, kProbeMessage, 0, 0) == 1 && ownMessages == 1,
          "it has its own window procedure again");
    check(GetPropW(handle, L"GLFW") == nullptr, "it carries no GLFW property");
    check(SendMessageW(handle, WM_GETICON, ICON_BIG, 0) == reinterpret_cast<LRESULT>(ownIcon),
          "it has its own icon again");
    check(contextDc != nullptr && ReleaseDC(handle, contextDc) == 0, "the device context the context took is released");

    // It can be adopted again, and glfwTerminate hands it back too.
    window = glfwAttachWin32Window(handle, nullptr);
    GetClientRect(handle, &client);
    check(window != nullptr && drawsInto(window, client.right, client.bottom, 30, 160, 220),
          "the same window is adopted and drawn into again");
    glfwTerminate();
    check(IsWindow(handle) && hasOwnProcedure(handle), "glfwTerminate hands it back alive with its own procedure");
    check(glfwErrors.empty(), "no GLFW error" + (glfwErrors.empty() ? std::string() : ": " + glfwErrors));
    DestroyWindow(handle);
}

// The other process's side: a window that lives until this process is ended.
int runHost() {
    HWND handle = createOwnWindow(L"Foreign host", 400, 50);
    std::printf("%d\n", static_cast<int>(reinterpret_cast<INT_PTR>(handle)));
    std::fflush(stdout);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

void otherProcessWindow(const char* self) {
    // Start the host instance and read its window handle from its output.
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string commandLine = std::string("\"") + self + "\" --host";
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                        &process) != FALSE;
    CloseHandle(writeEnd);
    check(started, "the host instance starts");
    if (!started) return;
    char line[32] = "";
    DWORD got = 0;
    ReadFile(readEnd, line, sizeof line - 1, &got, nullptr);  // ends when the host has printed or died
    line[got] = '\0';
    HWND host = reinterpret_cast<HWND>(static_cast<INT_PTR>(std::atoi(line)));
    check(IsWindow(host) != FALSE, "the host instance's window exists");
    DWORD owner = 0;
    GetWindowThreadProcessId(host, &owner);
    check(owner == process.dwProcessId, "it belongs to the other process");

    glfwErrors.clear();
    check(initGlfw(), "glfwInit");
    GLFWwindow* refused = glfwAttachWin32Window(host, nullptr);
    check(refused == nullptr && !glfwErrors.empty(),
          "glfwAttachWin32Window refuses another process's window with an error (" + glfwErrors + ")");
    glfwErrors.clear();

    GLFWwindow* window = platform::adoptHostWindow(reinterpret_cast<std::intptr_t>(host));
    check(window != nullptr, "adoptHostWindow takes the other process's window");
    if (window) {
        HWND surface = glfwGetWin32Window(window);
        RECT hostClient{}, surfaceClient{};
        GetClientRect(host, &hostClient);
        GetClientRect(surface, &surfaceClient);
        check(surface != host && GetParent(surface) == host, "it draws into a child window of the host window");
        check(EqualRect(&hostClient, &surfaceClient), "the child has the host window's client size");
        check(drawsInto(window, surfaceClient.right, surfaceClient.bottom, 20, 210, 60),
              "the context draws into the child (read back)");
        check(glfwErrors.empty(), "no GLFW error" + (glfwErrors.empty() ? std::string() : ": " + glfwErrors));
    }
    glfwTerminate();
    TerminateProcess(process.hProcess, 0);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(readEnd);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string part = argc > 1 ? argv[1] : "";
    if (part == "--host") return runHost();
    // One part per process: GLFW is initialised and terminated once in each.
    if (part == "same") {
        sameProcessWindow();
    } else if (part == "other") {
        otherProcessWindow(argv[0]);
    } else {
        std::fprintf(stderr, "usage: attach_window_test same|other\n");
        return 2;
    }
    std::printf("%s\n", failures == 0 ? "all passed" : "FAILED");
    return failures == 0 ? 0 : 1;
}
