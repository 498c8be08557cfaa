// The program's entry point behind WinMain (Windows) and main (Linux).
#pragma once

#include <functional>

// `commandLineText` is the command line without the program path; `instance`
// and `showCommand` are WinMain's (unused on Linux). Always returns 0.
int lumeridgeMain(const char* commandLineText, void* instance, int showCommand);

// Runs `body` (lumeridgeMain's work); running out of memory anywhere in it
// ends the program through platform::fatalError with "Out of memory"
// (caption "Debug", exit code 0) instead of std::terminate.
int endingOnOutOfMemory(const std::function<int()>& body);
