// The OpenGL entry-point loader.
#pragma once

// Fills the whole entry-point table with the context current. 0 when the
// context reports major version 3 or higher; -1 when glGetIntegerv is
// missing or the major version is below 3.
int glLoaderInit();
bool glLoaderIsSupported(int major, int minor);
void* glLoaderGetProc(const char* name);
