// OpenGL entry points on Linux: libGL.so.1 and its glXGetProcAddressARB.
#include <dlfcn.h>

#include "platform/platform.h"

namespace platform {

namespace {
using GetProcAddressFn = void* (*)(const unsigned char*);
GetProcAddressFn driverLookup() {
    static GetProcAddressFn lookup = [] {
        void* lib = dlopen("libGL.so.1", RTLD_LAZY | RTLD_GLOBAL);
        return lib ? reinterpret_cast<GetProcAddressFn>(dlsym(lib, "glXGetProcAddressARB")) : nullptr;
    }();
    return lookup;
}
}  // namespace

void* glLibraryOpen() { return dlopen("libGL.so.1", RTLD_LAZY | RTLD_GLOBAL); }

void* glDriverProc(const char* name) {
    GetProcAddressFn lookup = driverLookup();
    return lookup ? lookup(reinterpret_cast<const unsigned char*>(name)) : nullptr;
}

void* glLibraryProc(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

void glLibraryClose(void* library) {
    if (library) dlclose(library);
}

}  // namespace platform
