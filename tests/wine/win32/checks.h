// What the Win32 helper programs of the Wine tests share: "ok:"/"FAIL:"
// lines, a bounded message pump that watches a process, and the visible
// top-level windows of a process.
#pragma once

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace checks {

constexpr DWORD kStartBoundMs = 30000;  // a cold Wine start of a large executable
constexpr DWORD kEndBoundMs = 5000;

inline int failures = 0;

inline void ok(const std::string& what) {
    std::printf("ok: %s\n", what.c_str());
    std::fflush(stdout);
}
inline void fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    ++failures;
}
inline void check(bool condition, const std::string& what) { condition ? ok(what) : fail(what); }

// Dispatches this thread's messages for up to `ms`, or until `process` ends
// (true). The screensaver may wait on our queue: its windows can live in ours.
inline bool pumpUntilExit(HANDLE process, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= ms) return false;
        if (MsgWaitForMultipleObjects(1, &process, FALSE, ms - elapsed, QS_ALLINPUT) == WAIT_OBJECT_0) return true;
    }
}

struct TopLevel {
    HWND handle;
    RECT rect;
    std::string title;
    bool topmost;
};

// The visible top-level windows of process `pid`, topmost first.
inline std::vector<TopLevel> visibleWindowsOf(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<TopLevel> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            Search* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != s->pid || !IsWindowVisible(window)) return TRUE;
            TopLevel w{window, {}, {}, (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0};
            GetWindowRect(window, &w.rect);
            char title[256] = "";
            GetWindowTextA(window, title, sizeof title);
            w.title = title;
            s->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace checks
