// The error boxes of a running full-screen saver, run under Wine: each
// failure that can happen while the saver's window is open (a GLFW error, a
// shader that does not compile, a mesh that does not load) shows its box as
// the top window, with the saver's window gone, and ends with exit code 0.
// Usage: error_box_test check glfw|shader|mesh (starts itself as the probe:
// error_box_test probe KIND). Prints "ok:"/"FAIL:" lines; exit code 0 when
// every check passed.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include <GLFW/glfw3.h>

#include "app/command_line.h"
#include "app/screensaver_app.h"
#include "gfx/program.h"
#include "mesh/mesh_data.h"
#include "resources/resource_ids.h"
#include "tests/wine/win32/checks.h"

namespace {

using checks::check;
using checks::failures;

// The saver's full-screen start, then the failure.
int probe(const std::string& kind) {
    static CommandLine line;
    line.mode = ScreensaverMode::Screensaver;
    ScreensaverApp app(line);
    if (kind == "glfw") glfwGetKey(app.window(), -5);  // GLFW_INVALID_ENUM
    if (kind == "shader") GLFWProgram program(resource::kRectangleObj, resource::kRectangleMtl);
    if (kind == "mesh") MeshData mesh(9999, 9999, 1.0f);
    return 3;  // not reached
}

struct Search {
    DWORD process;
    HWND box = nullptr;
    HWND saver = nullptr;
};

BOOL CALLBACK findWindows(HWND window, LPARAM data) {
    Search* s = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != s->process || !IsWindowVisible(window)) return TRUE;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::strcmp(name, "#32770") == 0 && s->box == nullptr) s->box = window;
    GetWindowTextA(window, name, sizeof name);
    if (std::strcmp(name, "Lumeridge") == 0) s->saver = window;
    return TRUE;
}

BOOL CALLBACK clickButton(HWND child, LPARAM) {
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (_stricmp(name, "Button") != 0) return TRUE;
    PostMessageA(child, BM_CLICK, 0, 0);
    return FALSE;
}

HWND firstVisibleTopWindow() {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w)) return w;
    }
    return nullptr;
}

int checkKind(const std::string& kind) {
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = std::string("\"") + self + "\" probe " + kind;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child)) {
        check(false, kind + ": probe started");
        return 1;
    }
    // The boxes within 60 s, and the end of the process within 10 s of the
    // last box seen. Measured in time rather than in polls, which a loaded
    // machine stretches: a start that hangs on its way out fails here,
    // reported, rather than in the script's timeout.
    const ULONGLONG start = GetTickCount64();
    ULONGLONG lastBoxSeen = 0;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= start + 60000 || (lastBoxSeen != 0 && now >= lastBoxSeen + 10000)) break;
        if (WaitForSingleObject(child.hProcess, 100) == WAIT_OBJECT_0) break;
        Search s{child.dwProcessId};
        EnumWindows(findWindows, reinterpret_cast<LPARAM>(&s));
        if (s.box == nullptr) continue;
        if (lastBoxSeen == 0) {
            check(s.saver == nullptr, kind + ": the saver's window is gone when the box shows");
            check(firstVisibleTopWindow() == s.box, kind + ": the box is the top window");
        }
        lastBoxSeen = GetTickCount64();
        EnumChildWindows(s.box, clickButton, 0);
        Sleep(300);
    }
    check(lastBoxSeen != 0, kind + ": a box was shown");
    DWORD code = 259;
    if (WaitForSingleObject(child.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(child.hProcess, 124);
    GetExitCodeProcess(child.hProcess, &code);
    check(code == 0, kind + ": exit code " + std::to_string(code));
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "probe") return probe(argv[2]);
    if (argc == 3 && std::string(argv[1]) == "check") return checkKind(argv[2]);
    std::printf("usage: error_box_test check glfw|shader|mesh\n");
    return 2;
}
