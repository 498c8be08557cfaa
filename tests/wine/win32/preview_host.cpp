// A stand-in for the Screen Saver Settings dialog: a top-level window with a
// child "monitor" window, whose handle it passes to the screensaver with /p.
// It checks what the screensaver does with that window while the preview
// runs, then ends the preview the way the dialog does and checks that the
// screensaver process ends with exit code 0.
//
// Usage: preview_host <Lumeridge.scr> disable|destroy|predisabled|resize|vanish
//   disable      EnableWindow(preview, FALSE) while the preview runs
//   destroy      DestroyWindow(preview) while the preview runs
//   predisabled  the preview window is disabled before the start
//   resize       the preview window is resized while the preview runs (the
//                screensaver's window follows it), then destroyed
//   vanish       DestroyWindow(preview) as soon as GLFW has started in the
//                screensaver (its hidden helper window exists), after the
//                screensaver checked the window and before it adopts it: it
//                ends with 0 without a message box
// Prints one "ok:" line per passed check and "FAIL:" lines; exit code 0 when
// every check passed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/wine/win32/checks.h"

using namespace checks;

namespace {

constexpr int kPreviewX = 20, kPreviewY = 20, kPreviewWidth = 152, kPreviewHeight = 112;

LRESULT CALLBACK hostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// Everything about a window that the screensaver must leave alone.
struct Snapshot {
    RECT outer{}, client{};
    LONG_PTR style = 0, exStyle = 0;
    BOOL visible = FALSE, iconic = FALSE, zoomed = FALSE;
    HWND parent = nullptr;
    bool operator==(const Snapshot& o) const {
        return EqualRect(&outer, &o.outer) && EqualRect(&client, &o.client) && style == o.style &&
               exStyle == o.exStyle && visible == o.visible && iconic == o.iconic && zoomed == o.zoomed &&
               parent == o.parent;
    }
};

Snapshot snapshot(HWND window) {
    Snapshot s;
    GetWindowRect(window, &s.outer);
    GetClientRect(window, &s.client);
    s.style = GetWindowLongPtrW(window, GWL_STYLE);
    s.exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    s.visible = IsWindowVisible(window);
    s.iconic = IsIconic(window);
    s.zoomed = IsZoomed(window);
    s.parent = GetParent(window);
    return s;
}

struct Search {
    DWORD pid;
    HWND found;
};

// The screensaver's window inside the preview window (the preview window
// itself would count too, but another process cannot take it over).
HWND saverWindowIn(HWND preview, DWORD pid) {
    Search search{pid, nullptr};
    EnumChildWindows(
        preview,
        [](HWND window, LPARAM data) -> BOOL {
            Search* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid) return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible top-level window of the screensaver process: a message box.
std::string visibleTopLevelText(DWORD pid) {
    const std::vector<TopLevel> windows = visibleWindowsOf(pid);
    return windows.empty() ? std::string() : "window \"" + windows.front().title + "\"";
}

// GLFW's hidden helper window, which glfwInit creates, in process `pid`.
bool glfwStartedIn(DWORD pid) {
    struct Found {
        DWORD pid;
        bool found;
    } found{pid, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            Found* f = reinterpret_cast<Found*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            wchar_t name[32] = L"";
            GetClassNameW(window, name, 32);
            if (owner != f->pid || std::wcscmp(name, L"GLFW30") != 0) return TRUE;
            f->found = true;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found.found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: preview_host <Lumeridge.scr> disable|destroy|predisabled|resize|vanish\n");
        return 2;
    }
    const std::string ending = argv[2];
    if (ending != "disable" && ending != "destroy" && ending != "predisabled" && ending != "resize" &&
        ending != "vanish") {
        std::fprintf(stderr, "unknown ending %s\n", argv[2]);
        return 2;
    }

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = hostProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = L"LumeridgePreviewHost";
    RegisterClassW(&windowClass);
    HWND host = CreateWindowExW(0, L"LumeridgePreviewHost", L"Preview host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                                400, 300, nullptr, nullptr, instance, nullptr);
    HWND preview = CreateWindowExW(WS_EX_CLIENTEDGE, L"LumeridgePreviewHost", L"", WS_CHILD | WS_VISIBLE, kPreviewX,
                                   kPreviewY, kPreviewWidth, kPreviewHeight, host, nullptr, instance, nullptr);
    if (!host || !preview) {
        fail("host windows");
        return 1;
    }
    pumpUntilExit(GetCurrentProcess(), 100);  // let the windows settle (returns on time-out)
    if (ending == "predisabled") EnableWindow(preview, FALSE);

    const Snapshot hostBefore = snapshot(host);
    const Snapshot previewBefore = snapshot(preview);
    RECT previewClient{};
    GetClientRect(preview, &previewClient);

    char commandLine[MAX_PATH + 64];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\" /p %d", argv[1],
                  static_cast<int>(reinterpret_cast<INT_PTR>(preview)));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fail("CreateProcess " + std::string(commandLine));
        return 1;
    }
    std::printf("started: %s\n", commandLine);

    if (ending == "vanish") {
        bool started = false;
        const DWORD start = GetTickCount();
        while (!started && GetTickCount() - start < kStartBoundMs) {
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
            started = glfwStartedIn(process.dwProcessId);
        }
        check(started, "GLFW started in the screensaver");
        DestroyWindow(preview);
        std::string stray;
        const DWORD end = GetTickCount();
        while (stray.empty() && !pumpUntilExit(process.hProcess, 20) && GetTickCount() - end < kEndBoundMs)
            stray = visibleTopLevelText(process.dwProcessId);
        check(stray.empty(), stray.empty() ? "no message box" : ("the screensaver showed " + stray).c_str());
    } else if (ending != "predisabled") {
        // 1. The preview appears inside the preview window.
        HWND saver = nullptr;
        const DWORD start = GetTickCount();
        while (!saver && GetTickCount() - start < kStartBoundMs) {
            if (pumpUntilExit(process.hProcess, 50)) break;
            saver = saverWindowIn(preview, process.dwProcessId);
            const std::string stray = visibleTopLevelText(process.dwProcessId);
            if (!stray.empty()) {
                fail("the screensaver showed " + stray);
                break;
            }
        }
        if (!saver) {
            fail("no screensaver window inside the preview window");
        } else {
            check(GetParent(saver) == preview, "the screensaver's window is a child of the preview window");
            RECT saverClient{};
            GetClientRect(saver, &saverClient);
            std::printf("preview client %ldx%ld, screensaver window client %ldx%ld\n", previewClient.right,
                        previewClient.bottom, saverClient.right, saverClient.bottom);
            check(EqualRect(&saverClient, &previewClient), "it has the preview window's client size");
            POINT origin{0, 0};
            MapWindowPoints(saver, preview, &origin, 1);
            check(origin.x == 0 && origin.y == 0, "it covers the preview window's client area from its corner");
            check(IsWindowVisible(saver) != FALSE, "it is visible");

            // 2. It keeps running quietly and leaves the host's windows alone.
            const bool ended = pumpUntilExit(process.hProcess, 1500);
            check(!ended, "the preview keeps running");
            const std::string stray = visibleTopLevelText(process.dwProcessId);
            check(stray.empty(), stray.empty() ? "no message box" : ("the screensaver showed " + stray).c_str());
            check(snapshot(host) == hostBefore, "the host window is neither moved, resized nor shown differently");
            check(snapshot(preview) == previewBefore,
                  "the preview window is neither moved, resized nor shown differently");
        }

        // 3. The dialog resizes the preview window: the screensaver's follows.
        if (saver && ending == "resize") {
            SetWindowPos(preview, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            GetClientRect(preview, &previewClient);
            RECT saverClient{};
            const DWORD start = GetTickCount();
            do {
                if (pumpUntilExit(process.hProcess, 50)) break;
                GetClientRect(saver, &saverClient);
            } while (!EqualRect(&saverClient, &previewClient) && GetTickCount() - start < kEndBoundMs);
            std::printf("resized preview client %ldx%ld, screensaver window client %ldx%ld\n", previewClient.right,
                        previewClient.bottom, saverClient.right, saverClient.bottom);
            check(EqualRect(&saverClient, &previewClient), "it follows the preview window's new client size");
        }

        // 4. The dialog ends the preview.
        if (ending == "disable") EnableWindow(preview, FALSE);
        if (ending == "destroy" || ending == "resize") DestroyWindow(preview);
    }

    if (!pumpUntilExit(process.hProcess, kEndBoundMs)) {
        fail("the screensaver did not end within 5 s after: " + ending);
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    std::printf("exit code %lu after: %s\n", code, ending.c_str());
    check(code == 0, "the screensaver ended with exit code 0");
    if (ending == "disable" || ending == "predisabled")
        check(IsWindow(preview) && snapshot(host) == hostBefore, "the host's windows are still there and unchanged");
    return failures == 0 ? 0 : 1;
}
