// Linux entry point: the arguments joined by blanks are the command-line text
// that Windows would hand to WinMain.
#include <string>

#include "app/lumeridge_main.h"

#if defined(__SANITIZE_ADDRESS__)
// The program keeps everything it acquires until the process ends and frees
// nothing on the way out, by design; LeakSanitizer's report at exit would
// list exactly those objects. Memory growth is watched by the soak run.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return lumeridgeMain(text.c_str(), nullptr, 0);
}
