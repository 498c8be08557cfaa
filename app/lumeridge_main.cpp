#include "app/lumeridge_main.h"

#include "app/about_window.h"
#include "app/command_line.h"
#include "app/screensaver_app.h"
#include "platform/platform.h"

int lumeridgeMain(const char* commandLineText, void* instance, int showCommand) {
    gCommandLine = new CommandLine(parseCommandLine(commandLineText));
    const ScreensaverMode mode = gCommandLine->mode;

    if ((mode == Preview || mode == None) && !isFirstInstance()) return 0;

    if (mode == Configure) {
        static AboutWindow* aboutWindow = nullptr;  // lives until the process ends
        aboutWindow = new AboutWindow(instance, showCommand);  // runs its own message loop
        (void)aboutWindow;
        return 0;
    }

    // A preview needs a host window to draw into: without one there is
    // nothing to show, so end quietly.
    if (mode == Preview && !platform::hostWindowExists(gCommandLine->parentWindow)) return 0;

    platform::installStopHandlers();
    gScreensaverApp = new ScreensaverApp(gCommandLine);
    gScreensaverApp->run();
    return 0;
}
