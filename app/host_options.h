// The Linux command line. Screensaver hosts start a saver the XScreenSaver
// way (--root, --window-id ID, $XSCREENSAVER_WINDOW, --help); the Windows
// switches (/s, /p ID, /c) keep their own scan, parseCommandLine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_line.h"

enum class LaunchAction {
    Run,                // start in line.mode
    Help,               // print launchUsage() on stdout, exit 0
    AddToXScreenSaver,  // add Lumeridge to ~/.xscreensaver, then exit
    Error,              // print error on stderr, exit 1
};

struct LaunchOptions {
    LaunchAction action = LaunchAction::Run;
    CommandLine line;
    std::string error;  // Error: what was wrong, one line without the newline
};

// `args` are the arguments without the program path; `xscreensaverWindow`
// is the value of XSCREENSAVER_WINDOW, or nullptr when it is unset.
//
// Every "--photos DIR" / "-photos DIR" and "--delay USEC" / "-delay USEC"
// pair is taken out first (XScreenSaver's settings pass them with --root). What is left
// is a Linux command line when it starts with '-': each argument must then be
// one of --root, --window-id ID, --help, --add-to-xscreensaver (also with a
// single dash). --window-id wins over --root and the variable; --root, or
// nothing at all, reads the variable, and without it draws into the root
// window (--root) or runs full screen (nothing). Any other remainder is a
// Windows command line, joined by blanks for parseCommandLine.
LaunchOptions parseLaunchOptions(const std::vector<std::string>& args, const char* xscreensaverWindow);

// The longest --delay: one frame a second.
constexpr long kLongestFrameDelay = 1000000;

// --delay's microseconds, XScreenSaver's "Frame rate" setting: decimal
// digits from 0 to kLongestFrameDelay, as seconds in *period.
bool parseFrameDelay(const std::string& text, double* period);

// An X11 window id as the hosts write it: hex with 0x or 0X, or decimal,
// white space around it allowed. Zero, signs, other characters and values
// beyond 32 bits are refused.
bool parseWindowId(const std::string& text, std::intptr_t* id);

// The --help text.
const char* launchUsage();
