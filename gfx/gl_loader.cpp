#include "gfx/gl_loader.h"

#include "gfx/gl.h"
#include "platform/platform.h"

#define LUMERIDGE_GL_ENTRY(name, type) type lumeridge_##name = nullptr;
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY

namespace {
void* libraryHandle = nullptr;
int contextMajor = 0;
int contextMinor = 0;

void* resolve(const char* name) {
    void* p = platform::glDriverProc(name);
    return p ? p : platform::glLibraryProc(libraryHandle, name);
}
}  // namespace

int glLoaderInit() {
    libraryHandle = platform::glLibraryOpen();
#define LUMERIDGE_GL_ENTRY(name, type) lumeridge_##name = reinterpret_cast<type>(resolve(#name));
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
    platform::glLibraryClose(libraryHandle);
    if (glGetIntegerv == nullptr) return -1;
    glGetIntegerv(GL_MAJOR_VERSION, &contextMajor);
    glGetIntegerv(GL_MINOR_VERSION, &contextMinor);
    return contextMajor < 3 ? -1 : 0;
}

bool glLoaderIsSupported(int major, int minor) {
    if (major < 3) return false;
    if (major == contextMajor) return contextMinor >= minor;
    return contextMajor >= major;
}

void* glLoaderGetProc(const char* name) { return resolve(name); }
