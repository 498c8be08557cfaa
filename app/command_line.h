// The start mode and the parsed command line: one per process.
#pragma once

#include <cstdint>
#include <string>

#include "app/frame_pacer.h"

enum class ScreensaverMode : std::int32_t {
    Preview = 0,      // /p <handle>: draw into the host's preview window
    Screensaver = 1,  // /s: full screen
    Configure = 2,    // /c: the About window
    None = 3,         // no recognised switch: full screen, as Screensaver
    Host = 4,         // Linux screensaver hosts (XScreenSaver, MATE, Xfce): draw into their window
};

struct CommandLine {
    ScreensaverMode mode = ScreensaverMode::None;
    std::intptr_t parentWindow = 0;  // Host: 0 stands for the root window
    // --photos DIR (Linux): the folder to take the background photograph
    // from; empty for the built-in backgrounds.
    std::string photosDirectory;
    // --delay USEC (Linux): frames at most every framePeriod seconds; 0
    // draws as fast as the swaps allow.
    double framePeriod = kDefaultFramePeriod;
};

// Scans the command-line text (without the program path). The last recognised
// switch decides the mode; from the first recognised switch on, every '/'
// reads the handle again from the text three characters after it.
CommandLine parseCommandLine(const char* text);

// Reads a decimal number as atoi does (leading white space, optional sign,
// digits up to the first non-digit; no digits give 0). Values beyond the
// signed 32-bit range are clamped to it instead of overflowing.
std::int32_t readDecimal(const char* text);
