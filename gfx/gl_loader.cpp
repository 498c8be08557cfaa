#include "gfx/gl_loader.h"

#include <cstdlib>
#include <cstring>

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

// The version that made each table function core; 0, 0 for the extensions.
namespace introduced {
#define LUMERIDGE_GL_VERSION(name, major, minor) constexpr int name##Major = major, name##Minor = minor;
#include "gfx/gl_entry_versions.inc"
#undef LUMERIDGE_GL_VERSION
}  // namespace introduced

struct RequiredFunction {
    const char* name;
    bool (*loaded)();
    int major;
    int minor;
    const char* extension;  // offers the same entry point before `major.minor`; may be null
};

const RequiredFunction requiredFunctions[] = {
#define LUMERIDGE_GL_REQUIRED(name, extension) \
    {#name, [] { return lumeridge_##name != nullptr; }, introduced::name##Major, introduced::name##Minor, extension},
#include "gfx/gl_required_functions.inc"
#undef LUMERIDGE_GL_REQUIRED
};

const char* text(const GLubyte* s) { return reinterpret_cast<const char*>(s); }

// "4.5 (Compatibility Profile) Mesa 22.3.6", "OpenGL ES 3.2 ...": the first
// "digits.digits" in the text.
bool parseVersion(const char* s, int* major, int* minor) {
    while (s != nullptr && *s != '\0' && (*s < '0' || *s > '9')) ++s;
    if (s == nullptr || *s == '\0') return false;
    char* end = nullptr;
    const long a = std::strtol(s, &end, 10);
    if (*end != '.' || end[1] < '0' || end[1] > '9') return false;
    const long b = std::strtol(end + 1, nullptr, 10);
    *major = static_cast<int>(a);
    *minor = static_cast<int>(b);
    return true;
}

// The current context's version. GL_VERSION answers on every context; the
// integer queries only from 3.0 on. 0.0 when neither answers.
void readContextVersion(int* major, int* minor) {
    *major = 0;
    *minor = 0;
    if (glGetString != nullptr && parseVersion(text(glGetString(GL_VERSION)), major, minor)) return;
    if (glGetIntegerv == nullptr) return;
    GLint a = 0, b = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &a);
    glGetIntegerv(GL_MINOR_VERSION, &b);
    if (a >= 3) {
        *major = a;
        *minor = b;
    }
}

bool hasExtension(int major, const char* name) {
    // Indexed queries from 3.0 on (core profiles have no other), the one
    // blank-separated string before that.
    if (major >= 3 && glGetIntegerv != nullptr && glGetStringi != nullptr) {
        GLint count = 0;
        glGetIntegerv(GL_NUM_EXTENSIONS, &count);
        for (GLint i = 0; i < count; ++i) {
            const char* e = text(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
            if (e != nullptr && std::strcmp(e, name) == 0) return true;
        }
    }
    if (glGetString == nullptr) return false;
    const char* list = text(glGetString(GL_EXTENSIONS));
    const std::size_t length = std::strlen(name);
    for (const char* p = list; p != nullptr && (p = std::strstr(p, name)) != nullptr; p += length) {
        const bool starts = p == list || p[-1] == ' ';
        const bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
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

std::vector<std::string> glLoaderMissingFunctions() {
    int major = 0, minor = 0;
    readContextVersion(&major, &minor);
    std::vector<std::string> missing;
    for (const RequiredFunction& f : requiredFunctions) {
        const bool core = f.major > 0 && (major > f.major || (major == f.major && minor >= f.minor));
        const bool provided = f.loaded() && (core || (f.extension != nullptr && hasExtension(major, f.extension)));
        if (!provided) missing.emplace_back(f.name);
    }
    return missing;
}

std::string glLoaderMissingFunctionsMessage() {
    const std::vector<std::string> missing = glLoaderMissingFunctions();
    if (missing.empty()) return {};
    int major = 0, minor = 0;
    readContextVersion(&major, &minor);
    std::string message = "This computer's OpenGL";
    if (major > 0) message += " " + std::to_string(major) + "." + std::to_string(minor);
    message += " lacks functions Lumeridge needs:";
    for (std::size_t i = 0; i < missing.size(); ++i) message += (i == 0 ? " " : ", ") + missing[i];
    return message;
}
