// Drives a full-screen Lumeridge.scr under Wine the way Windows and other
// programs reach it, and checks how it answers.
//
// Usage: saver_probe <Lumeridge.scr> power|focus|monitors [saver arguments...]
//   power     sends WM_SYSCOMMAND SC_MONITORPOWER (off) and SC_SCREENSAVE to
//             the saver's window; it keeps running; a key ends it. Prints
//             "saver window XXXXXXXX thread XXXX" so the caller can read
//             Wine's trace of that window's default window procedure.
//   focus     another window comes to the front: the saver ends with 0
//             within 5 s and is never minimised, and shows no message box.
//   monitors  every monitor is covered by a visible topmost window of the
//             saver of exactly its size, one of them on the primary; motion
//             over another monitor's window leaves it running, a key ends it.
// The saver's arguments default to /s; "bare" starts it without any.
// Prints one "ok:" line per passed check and "FAIL:" lines; exit code 0 when
// every check passed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/wine/win32/checks.h"

using namespace checks;

namespace {

std::string rectText(const RECT& r) {
    char text[96];
    std::snprintf(text, sizeof text, "%ldx%ld at %ld,%ld", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return text;
}

HWND findTitled(const std::vector<TopLevel>& windows, const char* title) {
    for (const TopLevel& w : windows)
        if (w.title == title) return w.handle;
    return nullptr;
}

std::vector<RECT> monitorRects() {
    std::vector<RECT> rects;
    EnumDisplayMonitors(
        nullptr, nullptr,
        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
            MONITORINFO info{};
            info.cbSize = sizeof info;
            if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&rects));
    return rects;
}

// A window of exactly the monitor's place and size (monitors may overlap).
bool covers(const std::vector<TopLevel>& windows, const RECT& monitor, bool* topmost) {
    for (const TopLevel& w : windows) {
        if (EqualRect(&w.rect, &monitor)) {
            *topmost = w.topmost;
            return true;
        }
    }
    return false;
}

// A key press and release as the keyboard driver would queue them.
void sendKey(HWND window) {
    PostMessageW(window, WM_KEYDOWN, VK_SPACE, 0x00390001);
    PostMessageW(window, WM_KEYUP, VK_SPACE, 0xC0390001);
}

LRESULT CALLBACK plainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

// Waits for the saver to end (bounded) and checks its exit code. While it
// runs, `whileRunning` is called every 20 ms.
template <typename F>
void expectExit0(const PROCESS_INFORMATION& process, const std::string& after, F whileRunning) {
    const DWORD start = GetTickCount();
    bool ended = false;
    while (!ended && GetTickCount() - start < kEndBoundMs) {
        ended = pumpUntilExit(process.hProcess, 20);
        if (!ended) whileRunning();
    }
    if (!ended) {
        fail("the saver still runs 5 s after " + after);
        TerminateProcess(process.hProcess, 1);
        return;
    }
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    check(code == 0, "after " + after + " the saver ended with exit code " + std::to_string(code));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: saver_probe <Lumeridge.scr> power|focus|monitors [arguments...]\n");
        return 2;
    }
    const std::string what = argv[2];
    std::string commandLine = std::string("\"") + argv[1] + "\"";
    for (int i = 3; i < argc; ++i)
        if (std::string(argv[i]) != "bare") commandLine += std::string(" ") + argv[i];
    if (argc == 3) commandLine += " /s";

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fail("CreateProcess " + commandLine);
        return 1;
    }
    std::printf("started: %s\n", commandLine.c_str());

    HWND saver = nullptr;
    const DWORD start = GetTickCount();
    while (!saver && GetTickCount() - start < kStartBoundMs) {
        if (pumpUntilExit(process.hProcess, 50)) break;
        saver = findTitled(visibleWindowsOf(process.dwProcessId), "Lumeridge");
    }
    if (!saver) {
        fail("no visible window titled Lumeridge");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    pumpUntilExit(process.hProcess, 1000);  // the first frames

    if (what == "power") {
        std::printf("saver window %08lx thread %04lx\n", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(saver)),
                    GetWindowThreadProcessId(saver, nullptr));
        DWORD_PTR result = 0;
        check(
            SendMessageTimeoutW(saver, WM_SYSCOMMAND, SC_MONITORPOWER, 2, SMTO_ABORTIFHUNG, kEndBoundMs, &result) != 0,
            "SC_MONITORPOWER was answered");
        check(SendMessageTimeoutW(saver, WM_SYSCOMMAND, SC_SCREENSAVE, 0, SMTO_ABORTIFHUNG, kEndBoundMs, &result) != 0,
              "SC_SCREENSAVE was answered");
        check(!pumpUntilExit(process.hProcess, 500), "the saver keeps running after both");
        std::fflush(stdout);
        sendKey(saver);
        expectExit0(process, "a key", [] {});
    } else if (what == "focus") {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = plainProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"LumeridgeProbeFront";
        RegisterClassW(&windowClass);
        HWND front = CreateWindowExW(WS_EX_TOPMOST, L"LumeridgeProbeFront", L"Front", WS_POPUP | WS_VISIBLE, 50, 50,
                                     200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
        check(front != nullptr, "a window of another process comes to the front");
        SetForegroundWindow(front);
        bool minimised = false;
        std::string box;
        expectExit0(process, "another window came to the front", [&] {
            if (IsWindow(saver) && IsIconic(saver)) minimised = true;
            for (const TopLevel& w : visibleWindowsOf(process.dwProcessId))
                if (w.handle != saver) box = w.title;
        });
        check(!minimised, "the saver's window was never minimised");
        check(box.empty(), box.empty() ? "no other window of the saver appeared" : "the saver showed \"" + box + "\"");
    } else if (what == "monitors") {
        const std::vector<RECT> monitors = monitorRects();
        std::printf("%zu monitors\n", monitors.size());
        check(monitors.size() >= 2, "Wine sees at least two monitors");
        const std::vector<TopLevel> windows = visibleWindowsOf(process.dwProcessId);
        HWND other = nullptr;
        for (const RECT& monitor : monitors) {
            bool topmost = false;
            const bool covered = covers(windows, monitor, &topmost);
            check(covered && topmost, "the monitor " + rectText(monitor) + " is covered by a topmost window");
        }
        const RECT primary{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        int onPrimary = 0;
        for (const TopLevel& w : windows) {
            std::printf("saver window \"%s\" %s%s\n", w.title.c_str(), rectText(w.rect).c_str(),
                        w.topmost ? " topmost" : "");
            if (EqualRect(&w.rect, &primary))
                ++onPrimary;
            else
                other = w.handle;
        }
        check(onPrimary == 1, "one window covers the primary monitor");
        if (other) {
            // Motion over another monitor's window leaves it running; a key ends it.
            PostMessageW(other, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
            PostMessageW(other, WM_MOUSEMOVE, 0, MAKELPARAM(40, 30));
            check(!pumpUntilExit(process.hProcess, 500), "motion over another monitor's window leaves it running");
            sendKey(other);
            expectExit0(process, "a key on another monitor's window", [] {});
        } else {
            fail("no window of the saver besides the primary's");
            TerminateProcess(process.hProcess, 1);
        }
    } else {
        std::fprintf(stderr, "unknown check %s\n", what.c_str());
        TerminateProcess(process.hProcess, 1);
        return 2;
    }
    return failures == 0 ? 0 : 1;
}
