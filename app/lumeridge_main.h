// The program's entry point behind WinMain (Windows) and main (Linux).
#pragma once

#include <functional>
#include <string>
#include <vector>

// `commandLineText` is the command line without the program path; `instance`
// and `showCommand` are WinMain's (unused on Linux). Always returns 0.
int lumeridgeMain(const char* commandLineText, void* instance, int showCommand);

// Linux entry point: `args` without the program path, `xscreensaverWindow`
// the value of XSCREENSAVER_WINDOW or nullptr (see parseLaunchOptions).
// Returns the process's exit code: 0, or 1 after a bad command line.
int lumeridgeLinuxMain(const std::vector<std::string>& args, const char* xscreensaverWindow);

// Runs `body` (lumeridgeMain's work); running out of memory anywhere in it
// ends the program through platform::fatalError with "Out of memory"
// (caption "Debug", exit code 0) instead of std::terminate.
int endingOnOutOfMemory(const std::function<int()>& body);
