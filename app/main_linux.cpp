// Linux entry point: the screensaver hosts' options, or the Windows switches
// (the arguments joined by blanks are the text Windows would hand to WinMain).
#include <cstdlib>
#include <string>
#include <vector>

#include "app/lumeridge_main.h"

#if defined(__SANITIZE_ADDRESS__)
// The program keeps everything it acquires until the process ends and frees
// nothing on the way out, by design; LeakSanitizer's report at exit would
// list exactly those objects. Memory growth is watched by the soak run.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lumeridgeLinuxMain(args, std::getenv("XSCREENSAVER_WINDOW"));
}
