// The OpenGL entry-point loader.
#pragma once

#include <string>
#include <vector>

// How names are looked up: the driver's lookup first (wglGetProcAddress,
// glXGetProcAddressARB), and for a name it does not know, the export of the
// OpenGL library (opengl32.dll, libGL), which is opened for the lookups and
// closed after them. The pointers found stay valid after the close because
// the window system keeps its own reference to the library while the context
// exists. The platform's functions unless a test installs others.
struct GlResolver {
    void* (*libraryOpen)();
    void* (*driverProc)(const char* name);
    void* (*libraryProc)(void* library, const char* name);
    void (*libraryClose)(void* library);
};
// Installs `resolver` for later lookups; returns the one it replaces.
GlResolver glLoaderSetResolver(const GlResolver& resolver);

// Fills the whole entry-point table with the context current. 0 when the
// context reports major version 3 or higher; -1 when glGetIntegerv is
// missing or the major version is below 3.
int glLoaderInit();
bool glLoaderIsSupported(int major, int minor);
// One name, looked up the way the table is filled; null when not found.
void* glLoaderGetProc(const char* name);

// The OpenGL functions the program calls (gfx/gl_required_functions.inc)
// that the current context does not provide, in the order of that list. A
// function counts as provided when its pointer is loaded and the context's
// version has it in core, or the context offers the extension that brings
// the same entry point. The pointer alone proves nothing: some libraries
// hand out a dispatch stub for any name.
std::vector<std::string> glLoaderMissingFunctions();
// The text that tells the user which of them are missing, naming them all;
// empty when none is.
std::string glLoaderMissingFunctionsMessage();
