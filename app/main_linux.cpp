// Linux entry point: the arguments joined by blanks are the command-line text
// that Windows would hand to WinMain, once the Linux-only photographs option
// is taken out.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/lumeridge_main.h"
#include "app/photos_option.h"
#include "platform/platform.h"
#include "scene/photo_background.h"

#if defined(__SANITIZE_ADDRESS__)
// The program keeps everything it acquires until the process ends and frees
// nothing on the way out, by design; LeakSanitizer's report at exit would
// list exactly those objects. Memory growth is watched by the soak run.
extern "C" const char* __lsan_default_options() { return "detect_leaks=0"; }
#endif

int main(int argc, char** argv) {
    const PhotosOption photos = takePhotosOption(std::vector<std::string>(argv + 1, argv + argc));
    if (photos.missingFolder) {
        std::fprintf(stderr, "lumeridge: --photos needs a folder\n");
        return 1;
    }
    // Started by a screensaver host without a folder of its own: the image
    // folder the user chose in XScreenSaver's settings, if any.
    if (photos.given) {
        setPhotosDirectory(photos.folder);
    } else if (std::getenv("XSCREENSAVER_WINDOW") != nullptr) {
        setPhotosDirectory(platform::xscreensaverImageFolder());
    }
    std::string text;
    for (std::size_t i = 0; i < photos.rest.size(); ++i) {
        if (i > 0) text += ' ';
        text += photos.rest[i];
    }
    return lumeridgeMain(text.c_str(), nullptr, 0);
}
