// The program's entry point behind WinMain (Windows) and main (Linux).
#pragma once

// `commandLineText` is the command line without the program path; `instance`
// and `showCommand` are WinMain's (unused on Linux). Always returns 0.
int lumeridgeMain(const char* commandLineText, void* instance, int showCommand);
