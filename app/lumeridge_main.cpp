#include "app/lumeridge_main.h"

#include <new>

#include "app/command_line.h"
#include "app/host_options.h"
#include "app/xscreensaver_list.h"
#include "app/screensaver_app.h"
#include "platform/about_window.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "scene/photo_background.h"

#include <cstdio>
#include <cstdlib>

namespace {

// True when no other Preview/None instance runs. Keeps the marker for the
// rest of the process.
bool isFirstInstance() { return platform::createNamedEvent("K_OPENGL_SCREENSAVER"); }

int runWithCommandLine(const CommandLine& line, void* instance, int showCommand) {
    const ScreensaverMode mode = line.mode;

    if ((mode == ScreensaverMode::Preview || mode == ScreensaverMode::None) && !isFirstInstance()) return 0;

    if (mode == ScreensaverMode::Configure) {
        AboutWindow aboutWindow(instance, showCommand);  // runs its own message loop
        return 0;
    }

    // A preview needs a host window to draw into: without one there is
    // nothing to show, so end quietly.
    if (mode == ScreensaverMode::Preview && !platform::hostWindowExists(line.parentWindow)) return 0;

    platform::installStopHandlers();
    ScreensaverApp app(line);
    app.run();
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
    return endingOnOutOfMemory(
        [&] { return runWithCommandLine(parseCommandLine(commandLineText), instance, showCommand); });
}

namespace {

int fail(const std::string& what) {
    std::fprintf(stderr, "lumeridge: %s\n", what.c_str());
    return 1;
}

std::string hex(std::intptr_t id) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%lx", static_cast<unsigned long>(id));
    return text;
}

// Host mode as the screensaver hosts start it: no single-instance check
// (one process per monitor, a preview beside the saver), nothing of ours on
// screen but the drawing, and a stop signal ends the process by itself.
int runHostMode(CommandLine line) {
    const std::intptr_t root = platform::rootWindow();
    if (root == 0) {
        const char* display = std::getenv("DISPLAY");
        return fail(std::string("cannot open display \"") + (display ? display : "") + "\"");
    }
    if (line.parentWindow == 0) line.parentWindow = root;
    if (!platform::hostWindowExists(line.parentWindow)) {
        return fail("no window " + hex(line.parentWindow) + " on the display");
    }
    platform::messageBoxesToStderrOnly();
    platform::installStopHandlers();
    platform::stopSignalsEndAtOnce();
    ScreensaverApp app(line);
    app.run();
    return 0;
}

int linuxMain(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    LaunchOptions options = parseLaunchOptions(args, xscreensaverWindow);
    switch (options.action) {
        case LaunchAction::Error: return fail(options.error);
        case LaunchAction::Help: std::fputs(launchUsage(), stdout); return 0;
        case LaunchAction::AddToXScreenSaver: return addToXScreenSaverList(platform::executablePath());
        case LaunchAction::Run: break;
    }
    const CommandLine& line = options.line;
    // The background photograph's folder: --photos, else in host mode the
    // image folder the user chose in XScreenSaver's settings, if any.
    std::string photos = line.photosDirectory;
    if (photos.empty() && line.mode == ScreensaverMode::Host) photos = platform::xscreensaverImageFolder();
    setPhotosDirectory(photos);
    if (line.mode == ScreensaverMode::Host) return runHostMode(line);
    return runWithCommandLine(line, nullptr, 0);
}

}  // namespace

int lumeridgeLinuxMain(const std::vector<std::string>& args, const char* xscreensaverWindow) {
    return endingOnOutOfMemory([&] { return linuxMain(args, xscreensaverWindow); });
}
