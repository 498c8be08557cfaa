// The one seam between Lumeridge's portable code and the operating system.
//
// Portable code (app/, gfx/, scene/, mesh/) includes this header and nothing
// platform-specific. Each function has two back ends, chosen by CMake:
// platform/win32/ (the Win32 calls the screensaver is defined by) and
// platform/linux/ (X11, POSIX and the resources linked into the executable).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct GLFWwindow;
struct GLFWmonitor;

namespace platform {

// ---------------------------------------------------------------------------
// Resources compiled into the executable.
//
// `type` is the resource type name as the resource list spells it:
// "TEXTFILE", "BITMAP", "PNG", "ICON". A resource that does not exist gives
// data == nullptr and size == 0 (Win32: FindResourceA, LoadResource,
// SizeofResource, LockResource on the executable's own module).
struct Resource {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};
Resource findResource(const char* type, int id);

// ---------------------------------------------------------------------------
// Message boxes with no owner window. They block until dismissed, like
// MessageBoxA. Linux shows a small X11 dialog and writes the text to stderr.
enum class MessageIcon { Information, Exclamation };
void messageBox(const char* text, const char* caption, MessageIcon icon);
// From now on message boxes only write their "caption: text" line to
// stderr and show nothing (host mode: nothing of ours may appear on the
// host's screen but the drawing).
void messageBoxesToStderrOnly();

// ---------------------------------------------------------------------------
// Single-instance marker. Creates the named event `name` and keeps it for the
// rest of the process. Returns false when it already existed (another
// instance holds it; the handle just obtained is closed again). Any other
// failure counts as "did not exist" and returns true.
bool createNamedEvent(const char* name);

// ---------------------------------------------------------------------------
// The value of Win32 GetVersion(): low byte of the low word is the major
// version, high byte of the low word the minor version. Linux answers 10.0.
std::uint32_t getVersion();

// ---------------------------------------------------------------------------
// The preview host's window, named by the number that follows /p.
bool hostWindowExists(std::intptr_t handle);                         // IsWindow
bool hostClientSize(std::intptr_t handle, int* width, int* height);  // GetClientRect
bool hostWindowEnabled(std::intptr_t handle);                        // IsWindowEnabled; false once gone
// A GLFW window with a current-able context that draws into the host window;
// nullptr on failure. Win32: glfwAttachWin32Window(handle, NULL) on a window
// of this process; a host window of another process (the Screen Saver
// Settings dialog's) gets a child window of ours, filling its client area,
// that is adopted instead. The host window's size and enabled state stay
// what the caller watches.
GLFWwindow* adoptHostWindow(std::intptr_t handle);
// Host mode (Linux screensaver hosts): true while the host window exists,
// mapped or not; like hostWindowEnabled it keeps the adopted window at the
// host's size. Win32: IsWindow.
bool hostWindowAlive(std::intptr_t handle);
// The screen's root window, the host of --root without $XSCREENSAVER_WINDOW;
// 0 when no display can be opened (Win32: the desktop window).
std::intptr_t rootWindow();

// ---------------------------------------------------------------------------
// A monitor's place and size on the desktop, in screen coordinates (Win32:
// GetMonitorInfo of the monitor's adapter; Linux: GLFW's position and video
// mode). False when they are not known.
bool monitorArea(GLFWmonitor* monitor, int* x, int* y, int* width, int* height);

// ---------------------------------------------------------------------------
// Process-level requests to stop (Linux: SIGTERM, SIGINT, a lost display).
// Installed once at start-up; the frame loop treats a request as a close.
void installStopHandlers();
bool stopRequested();
// Host mode: a stop signal must end the process by that very signal, which
// the screensaver hosts log as a normal stop. After stopSignalsEndAtOnce the
// handler does so at once (start-up: nothing to finish); after
// stopSignalsEndAfterTheFrame it only requests the stop, and the frame loop,
// once it has cleaned up, calls endByStopSignal: default action restored,
// the signal raised again. endByStopSignal returns when no stop signal came.
// Win32: nothing of this happens; endByStopSignal returns.
void stopSignalsEndAtOnce();
void stopSignalsEndAfterTheFrame();
void endByStopSignal();

// ---------------------------------------------------------------------------
// Timed waits (the frame loop's event wait) to the millisecond from now on.
// Win32: timeBeginPeriod(1), kept to the end of the process (a wait
// otherwise lasts whole ticks of the system timer, about 15.6 ms); Linux's
// waits already are this fine.
void fineTimedWaits();

// ---------------------------------------------------------------------------
// Opens a URL in the user's browser (Linux: xdg-open). Result not reported.
void openUrl(const char* url);

// The running executable's absolute path ("" when it cannot be told).
const char* executablePath();

// ---------------------------------------------------------------------------
// OpenGL procedure lookup, the two steps of the entry-point loader.
void* glLibraryOpen();                                 // LoadLibraryA("opengl32.dll") / dlopen libGL
void* glDriverProc(const char* name);                  // wglGetProcAddress / glXGetProcAddressARB
void* glLibraryProc(void* library, const char* name);  // GetProcAddress / dlsym
void glLibraryClose(void* library);                    // FreeLibrary / dlclose

// ---------------------------------------------------------------------------
// Pixel reads from a bitmap resource, as GDI answers them: a COLORREF laid
// out 0x00BBGGRR, or kInvalidColor for a position outside the bitmap.
// openBitmap never fails: a missing resource gives a reader whose every
// pixel is kInvalidColor. (Win32: LoadBitmapA, GetDC(GetDesktopWindow()),
// CreateCompatibleDC, SelectObject / GetPixel / DeleteDC, ReleaseDC,
// DeleteObject.)
constexpr std::uint32_t kInvalidColor = 0xFFFFFFFFu;
struct BitmapReader;
BitmapReader* openBitmap(int id);
std::uint32_t bitmapPixel(BitmapReader* reader, int x, int y);
// Row y from x = 0 to width - 1 into colors, each as bitmapPixel answers it,
// in one pass where the back end can. (Win32: GetPixel per pixel, as above.)
void bitmapRow(BitmapReader* reader, int y, int width, std::uint32_t* colors);
void closeBitmap(BitmapReader* reader);

// ---------------------------------------------------------------------------
// A photograph of the user's as the background. Linux only: the Windows
// program reads no files, and its back end always answers false.
// Picks one JPEG or PNG at random under `folder` (sub-folders included,
// hidden files left out), turns it upright by its orientation tag, cuts the
// largest centred square and scales it to side x side into `rgb` (side *
// side * 3 bytes, 8-bit RGB, rows top to bottom). A file that cannot be used
// is passed over for another, a few at most; when none is usable, one line
// on stderr says so and the answer is false.
bool loadPhoto(const char* folder, int side, unsigned char* rgb);
// The image folder the user chose in XScreenSaver's settings (the
// imageDirectory line of ~/.xscreensaver, ~ expanded), or "" when there is
// none or it is not a local folder. Win32: always "".
std::string xscreensaverImageFolder();

}  // namespace platform
