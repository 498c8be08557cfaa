// Linux entry point: the screensaver hosts' options, or the Windows switches
// (the arguments joined by blanks are the text Windows would hand to WinMain).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/lumeridge_main.h"

#if defined(__SANITIZE_ADDRESS__)
// A fatal error ends the program through std::exit, which leaves the
// application's objects to the end of the process, and the GL driver and
// Xlib keep caches they never free; LeakSanitizer's report at exit would
// list those. Memory growth is watched by the soak run.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

namespace {

constexpr const char* kHugePagesTunable = "glibc.malloc.hugetlb=1";

// Fresh memory is most of the set-up: the background texture, the window's
// buffers and the driver's compiled shaders are tens of megabytes, and each
// 4 KiB page is faulted in and zeroed when first touched, thousands of
// faults at tens of microseconds each in a virtual machine. glibc's malloc
// asks the kernel for transparent huge pages (one fault per 2 MiB, where the
// kernel grants them on request, Debian's default) when a tunable says so,
// and tunables are read only as a process starts: so the program starts
// itself once more, in place (same process, arguments and environment),
// with the tunable added. Where that cannot be done it goes on as it is.
void restartWithHugePages(char** argv) {
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizer's allocator replaces malloc's
    const char* tunables = std::getenv("GLIBC_TUNABLES");
    if (tunables != nullptr && std::strstr(tunables, "glibc.malloc.hugetlb") != nullptr) return;
    const std::string previous = tunables != nullptr ? tunables : "";
    const std::string value = previous.empty() ? kHugePagesTunable : previous + ":" + kHugePagesTunable;
    if (setenv("GLIBC_TUNABLES", value.c_str(), 1) != 0) return;
    execv("/proc/self/exe", argv);
    if (tunables != nullptr)
        setenv("GLIBC_TUNABLES", previous.c_str(), 1);
    else
        unsetenv("GLIBC_TUNABLES");
#else
    (void)argv;
#endif
}

}  // namespace

int main(int argc, char** argv) {
    restartWithHugePages(argv);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return lumeridgeLinuxMain(args, std::getenv("XSCREENSAVER_WINDOW"));
}
