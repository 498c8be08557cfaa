// Shows one platform message box: message_box_probe CAPTION TEXT [exclamation].
// Prints "returned" on stdout when the box has been dismissed.
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    platform::installStopHandlers();
    const bool exclamation = argc > 3 && std::strcmp(argv[3], "exclamation") == 0;
    platform::messageBox(argv[2], argv[1],
                         exclamation ? platform::MessageIcon::Exclamation : platform::MessageIcon::Information);
    std::printf("returned\n");
    return 0;
}
