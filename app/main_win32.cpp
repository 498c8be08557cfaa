// Windows GUI entry point.
#include <windows.h>

#include "app/lumeridge_main.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR commandLine, int showCommand) {
    lumeridgeMain(commandLine ? commandLine : "", instance, showCommand);
    return 0;
}
