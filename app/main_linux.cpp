// Linux entry point: the screensaver hosts' options, or the Windows switches
// (the arguments joined by blanks are the text Windows would hand to WinMain).
#include <cstdlib>
#include <string>
#include <vector>

#include "app/lumeridge_main.h"

#if defined(__SANITIZE_ADDRESS__)
// A key or a button ends the program through std::exit, which leaves the
// application's objects to the end of the process, and the GL driver and
// Xlib keep caches they never free; LeakSanitizer's report at exit would
// list those. Memory growth is watched by the soak run.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lumeridgeLinuxMain(args, std::getenv("XSCREENSAVER_WINDOW"));
}
