// Win32 back end.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <cstdint>
#include <string>

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_WIN32
#include <GLFW/glfw3native.h>

#include "platform/platform.h"

namespace platform {

namespace {
bool stderrOnly = false;
}  // namespace

// Host mode exists only on Linux; the Windows program shows every box.
void messageBoxesToStderrOnly() { stderrOnly = true; }

void messageBox(const char* text, const char* caption, MessageIcon icon) {
    if (stderrOnly) return;
    MessageBoxA(nullptr, text ? text : "", caption ? caption : "",
                icon == MessageIcon::Exclamation ? MB_ICONEXCLAMATION : MB_ICONINFORMATION);
}

bool createNamedEvent(const char* name) {
    std::wstring wide;
    for (const char* p = name ? name : ""; *p; ++p) wide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, wide.c_str());
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (event) CloseHandle(event);
        return false;
    }
    return true;  // kept open for the rest of the process
}

std::uint32_t getVersion() { return static_cast<std::uint32_t>(GetVersion()); }

namespace {
HWND toWindow(std::intptr_t handle) { return reinterpret_cast<HWND>(handle); }
}  // namespace

bool hostWindowExists(std::intptr_t handle) { return handle != 0 && IsWindow(toWindow(handle)) != FALSE; }

bool hostClientSize(std::intptr_t handle, int* width, int* height) {
    RECT rect{};
    if (!GetClientRect(toWindow(handle), &rect)) {
        *width = 0;
        *height = 0;
        return false;
    }
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return true;
}

bool hostWindowAlive(std::intptr_t handle) { return hostWindowExists(handle); }

std::intptr_t rootWindow() { return reinterpret_cast<std::intptr_t>(GetDesktopWindow()); }

namespace {

// The window the preview draws into when the host's window belongs to
// another process. Windows lets no process replace another process's window
// procedure or set the pixel format of its window (Wine answers both with
// ERROR_ACCESS_DENIED), so such a host window cannot be adopted itself: the
// preview draws into a child window of our own that fills the host's client
// area. The host destroys it with its own window.
constexpr wchar_t kPreviewSurfaceClass[] = L"LumeridgePreviewSurface";

HWND createPreviewSurface(HWND host) {
    static const ATOM surfaceClass = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        // A private device context for the OpenGL context to keep.
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kPreviewSurfaceClass;
        return RegisterClassExW(&windowClass);
    }();
    if (surfaceClass == 0) return nullptr;

    RECT client{};
    if (!GetClientRect(host, &client)) return nullptr;
    // No WM_PARENTNOTIFY: nothing here waits on the host's message loop.
    return CreateWindowExW(WS_EX_NOPARENTNOTIFY, kPreviewSurfaceClass, L"Lumeridge",
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, client.right - client.left,
                           client.bottom - client.top, host, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// The child window drawn into while it exists (the host is another
// process's window); null when the host window itself was adopted.
HWND previewSurface = nullptr;

bool belongsToThisProcess(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == GetCurrentProcessId();
}

}  // namespace

GLFWwindow* adoptHostWindow(std::intptr_t handle) {
    HWND host = toWindow(handle);
    if (belongsToThisProcess(host)) return glfwAttachWin32Window(host, nullptr);

    HWND surface = createPreviewSurface(host);
    if (!surface) return nullptr;
    GLFWwindow* window = glfwAttachWin32Window(surface, nullptr);
    if (!window) {
        DestroyWindow(surface);
        return nullptr;
    }
    previewSurface = surface;
    return window;
}

bool hostWindowEnabled(std::intptr_t handle) {
    HWND host = toWindow(handle);
    if (!IsWindowEnabled(host)) return false;  // also false once destroyed
    // Keep our child window covering the host's client area: its WM_SIZE
    // reaches onWindowSize through GLFW's window procedure. (An adopted host
    // window reports its own resizes.)
    RECT hostClient{}, surfaceClient{};
    if (previewSurface && GetClientRect(host, &hostClient) && GetClientRect(previewSurface, &surfaceClient) &&
        !EqualRect(&hostClient, &surfaceClient)) {
        SetWindowPos(previewSurface, nullptr, 0, 0, hostClient.right, hostClient.bottom,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    return true;
}

void installStopHandlers() {}
bool stopRequested() { return false; }
void stopSignalsEndAtOnce() {}
void stopSignalsEndAfterTheFrame() {}
void endByStopSignal() {}

void fineTimedWaits() { timeBeginPeriod(1); }

const char* executablePath() {
    static char path[MAX_PATH] = {};
    if (path[0] == '\0') GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

void openUrl(const char* url) { ShellExecuteA(nullptr, "open", url, nullptr, nullptr, SW_SHOWNORMAL); }

void* glLibraryOpen() { return reinterpret_cast<void*>(LoadLibraryA("opengl32.dll")); }

void* glDriverProc(const char* name) {
    PROC p = wglGetProcAddress(name);
    // Some drivers answer a failed lookup with 1, 2, 3 or -1 instead of null.
    const std::intptr_t value = reinterpret_cast<std::intptr_t>(p);
    if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) return nullptr;
    return reinterpret_cast<void*>(p);
}

void* glLibraryProc(void* library, const char* name) {
    if (!library) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void glLibraryClose(void* library) {
    if (library) FreeLibrary(static_cast<HMODULE>(library));
}

struct BitmapReader {
    HBITMAP bitmap = nullptr;
    HDC screen = nullptr;
    HDC memory = nullptr;
};

BitmapReader* openBitmap(int id) {
    BitmapReader* reader = new BitmapReader();
    reader->bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    if (!reader->bitmap) return reader;  // every pixel reads as kInvalidColor
    reader->screen = GetDC(GetDesktopWindow());
    reader->memory = CreateCompatibleDC(reader->screen);
    if (reader->memory) SelectObject(reader->memory, reader->bitmap);
    return reader;
}

std::uint32_t bitmapPixel(BitmapReader* reader, int x, int y) {
    if (!reader || !reader->bitmap || !reader->memory) return kInvalidColor;
    return static_cast<std::uint32_t>(GetPixel(reader->memory, x, y));
}

void bitmapRow(BitmapReader* reader, int y, int width, std::uint32_t* colors) {
    for (int x = 0; x < width; ++x) colors[x] = bitmapPixel(reader, x, y);
}

void closeBitmap(BitmapReader* reader) {
    if (!reader) return;
    if (reader->memory) DeleteDC(reader->memory);
    if (reader->screen) ReleaseDC(GetDesktopWindow(), reader->screen);
    if (reader->bitmap) DeleteObject(reader->bitmap);
    delete reader;
}

}  // namespace platform
