#include "app/lumeridge_main.h"

#include <new>

#include "app/command_line.h"
#include "app/screensaver_app.h"
#include "platform/about_window.h"
#include "platform/fatal.h"
#include "platform/platform.h"

namespace {

// True when no other Preview/None instance runs. Keeps the marker for the
// rest of the process.
bool isFirstInstance() { return platform::createNamedEvent("K_OPENGL_SCREENSAVER"); }

int runSaver(const char* commandLineText, void* instance, int showCommand) {
    gCommandLine = new CommandLine(parseCommandLine(commandLineText));
    const ScreensaverMode mode = gCommandLine->mode;

    if ((mode == ScreensaverMode::Preview || mode == ScreensaverMode::None) && !isFirstInstance()) return 0;

    if (mode == ScreensaverMode::Configure) {
        static AboutWindow* aboutWindow = nullptr;  // lives until the process ends
        aboutWindow = new AboutWindow(instance, showCommand);  // runs its own message loop
        (void)aboutWindow;
        return 0;
    }

    // A preview needs a host window to draw into: without one there is
    // nothing to show, so end quietly.
    if (mode == ScreensaverMode::Preview && !platform::hostWindowExists(gCommandLine->parentWindow)) return 0;

    platform::installStopHandlers();
    gScreensaverApp = new ScreensaverApp(gCommandLine);
    gScreensaverApp->run();
    return 0;
}

}  // namespace

int endingOnOutOfMemory(const std::function<int()>& body) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        // Texture conversion, shader buffers and the scene's objects all
        // allocate; none of them can go on without the memory.
        platform::fatalError("Out of memory", "Debug");
    }
}

int lumeridgeMain(const char* commandLineText, void* instance, int showCommand) {
    return endingOnOutOfMemory([&] { return runSaver(commandLineText, instance, showCommand); });
}
