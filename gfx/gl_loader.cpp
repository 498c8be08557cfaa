#include "gfx/gl_loader.h"

#include "gfx/gl.h"
#include "platform/platform.h"

#define LUMERIDGE_GL_ENTRY(name, type) type lumeridge_##name = nullptr;
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY

namespace {

GlResolver resolver = {platform::glLibraryOpen, platform::glDriverProc, platform::glLibraryProc,
                       platform::glLibraryClose};
int contextMajor = 0;
int contextMinor = 0;

void* resolve(void* library, const char* name) {
    void* p = resolver.driverProc(name);
    return p ? p : resolver.libraryProc(library, name);
}

}  // namespace

GlResolver glLoaderSetResolver(const GlResolver& replacement) {
    const GlResolver previous = resolver;
    resolver = replacement;
    return previous;
}

int glLoaderInit() {
    contextMajor = 0;
    contextMinor = 0;
    void* library = resolver.libraryOpen();
#define LUMERIDGE_GL_ENTRY(name, type) lumeridge_##name = reinterpret_cast<type>(resolve(library, #name));
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
    resolver.libraryClose(library);
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

void* glLoaderGetProc(const char* name) {
    if (name == nullptr) return nullptr;
    if (void* p = resolver.driverProc(name)) return p;
    // The library is open only for this lookup, as during the table fill.
    void* library = resolver.libraryOpen();
    void* p = resolver.libraryProc(library, name);
    resolver.libraryClose(library);
    return p;
}
