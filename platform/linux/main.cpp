// Linux entry point: the arguments joined by blanks are the command-line text
// that Windows would hand to WinMain.
#include <string>

#include "app/lumeridge_main.h"

int main(int argc, char** argv) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) text += ' ';
        text += argv[i];
    }
    return lumeridgeMain(text.c_str(), nullptr, 0);
}
