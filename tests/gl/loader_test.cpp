// The entry-point loader with an injected resolver, and the check of the
// functions the program calls, against the recording fake GL.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/screensaver_app.h"
#include "gfx/gl.h"
#include "gfx/gl_loader.h"
#include "tests/support/fake_gl.h"

namespace {

const std::vector<std::string>& tableNames() {
    static const std::vector<std::string> names = {
#define LUMERIDGE_GL_ENTRY(name, type) #name,
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
    };
    return names;
}

std::vector<void*> tablePointers() {
    return {
#define LUMERIDGE_GL_ENTRY(name, type) reinterpret_cast<void*>(lumeridge_##name),
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
    };
}

const std::vector<std::string>& requiredNames() {
    static const std::vector<std::string> names = {
#define LUMERIDGE_GL_REQUIRED(name, extension) #name,
#include "gfx/gl_required_functions.inc"
#undef LUMERIDGE_GL_REQUIRED
    };
    return names;
}

std::string joined(const std::vector<std::string>& names) {
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
    return out;
}

// --- a resolver that records every step ----------------------------------------
// Each name found gets its own address; glGetIntegerv is a working function
// that answers the scripted context version.

struct Step {
    std::string what;  // "open", "driver", "library", "close"
    std::string name;
    int handle;  // 1-based number of the open that produced the handle; 0 for none
    bool operator==(const Step& o) const { return what == o.what && name == o.name && handle == o.handle; }
};
std::ostream& operator<<(std::ostream& os, const Step& s) {
    return os << s.what << "(" << s.name << "," << s.handle << ")";
}

struct FakeResolver {
    std::vector<Step> steps;
    std::vector<bool> open;  // per handle
    bool closedHandleUsed = false;
    bool (*driverFinds)(std::size_t index) = nullptr;
    bool (*libraryFinds)(std::size_t index) = nullptr;
    bool versionQuery = true;
    int major = 4, minor = 5;
} fake;
char handles[16];
char addresses[1000];

void APIENTRY fakeGetIntegerv(GLenum pname, GLint* data) {
    if (pname == GL_MAJOR_VERSION) *data = fake.major;
    if (pname == GL_MINOR_VERSION) *data = fake.minor;
}

int handleNumber(void* library) {
    for (std::size_t k = 0; k < sizeof handles; ++k)
        if (library == &handles[k]) return static_cast<int>(k) + 1;
    return 0;
}

void* addressFor(const char* name, bool (*finds)(std::size_t)) {
    const std::vector<std::string>& names = tableNames();
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (names[k] != name) continue;
        if (!finds(k)) return nullptr;
        if (names[k] == "glGetIntegerv") return fake.versionQuery ? reinterpret_cast<void*>(&fakeGetIntegerv) : nullptr;
        return &addresses[k];
    }
    return nullptr;
}

void* fakeOpen() {
    fake.open.push_back(true);
    fake.steps.push_back({"open", "", static_cast<int>(fake.open.size())});
    return &handles[fake.open.size() - 1];
}
void* fakeDriver(const char* name) {
    fake.steps.push_back({"driver", name, 0});
    return addressFor(name, fake.driverFinds);
}
void* fakeLibrary(void* library, const char* name) {
    const int n = handleNumber(library);
    if (n == 0 || !fake.open[static_cast<std::size_t>(n - 1)]) fake.closedHandleUsed = true;
    fake.steps.push_back({"library", name, n});
    return addressFor(name, fake.libraryFinds);
}
void fakeClose(void* library) {
    const int n = handleNumber(library);
    if (n > 0) fake.open[static_cast<std::size_t>(n - 1)] = false;
    fake.steps.push_back({"close", "", n});
}

class Loader : public ::testing::Test {
protected:
    void SetUp() override {
        fake = FakeResolver();
        // The driver knows the names at even positions, the library the
        // rest, except one extension that neither knows.
        fake.driverFinds = [](std::size_t k) { return k % 2 == 0; };
        fake.libraryFinds = [](std::size_t k) { return k % 2 == 1 && tableNames()[k] != "glGetTextureHandleARB"; };
        previous_ = glLoaderSetResolver({fakeOpen, fakeDriver, fakeLibrary, fakeClose});
    }
    void TearDown() override {
        glLoaderSetResolver(previous_);
        fakegl::uninstall();  // the table holds addresses that are not functions
    }
    GlResolver previous_{};
};

TEST_F(Loader, FillsEveryPointerInTableOrderDriverFirstThenTheOpenLibrary) {
    ASSERT_EQ(tableNames().size(), 700u);
    ASSERT_EQ(glLoaderInit(), 0);

    const std::vector<std::string>& names = tableNames();
    std::vector<Step> expected = {{"open", "", 1}};
    for (std::size_t k = 0; k < names.size(); ++k) {
        expected.push_back({"driver", names[k], 0});
        if (k % 2 == 1) expected.push_back({"library", names[k], 1});
    }
    expected.push_back({"close", "", 1});
    EXPECT_EQ(fake.steps, expected);
    EXPECT_FALSE(fake.closedHandleUsed);

    const std::vector<void*> table = tablePointers();
    for (std::size_t k = 0; k < names.size(); ++k) {
        if (names[k] == "glGetTextureHandleARB") {
            EXPECT_EQ(table[k], nullptr) << names[k];  // found by neither step: only this one stays null
        } else if (names[k] != "glGetIntegerv") {
            EXPECT_EQ(table[k], &addresses[k]) << names[k];
        }
    }
}

TEST_F(Loader, ResultAndSupportedVersionsFollowTheContextVersion) {
    struct Request {
        int major, minor;
        bool supported;
    };
    struct Case {
        const char* what;
        bool versionQuery;
        int major, minor;
        int result;
        std::vector<Request> requests;
    };
    const Case cases[] = {
        {"4.5", true, 4, 5, 0, {{4, 5, true}, {3, 3, true}, {4, 6, false}, {5, 0, false}, {2, 0, false}, {4, 0, true}}},
        {"3.0", true, 3, 0, 0, {{3, 0, true}, {3, 1, false}, {4, 0, false}, {1, 0, false}}},
        {"2.1", true, 2, 1, -1, {{2, 1, false}, {3, 0, false}}},
        {"4.5 again", true, 4, 5, 0, {{4, 5, true}}},
        // Right after a 4.5 context: nothing of that version may linger.
        {"no glGetIntegerv",
         false,
         0,
         0,
         -1,
         {{0, 0, false}, {2, 0, false}, {3, 0, false}, {4, 5, false}, {-1, -1, false}}},
    };
    for (const Case& c : cases) {
        fake.versionQuery = c.versionQuery;
        fake.major = c.major;
        fake.minor = c.minor;
        EXPECT_EQ(glLoaderInit(), c.result) << c.what;
        for (const Request& r : c.requests)
            EXPECT_EQ(glLoaderIsSupported(r.major, r.minor), r.supported)
                << c.what << " asked " << r.major << "." << r.minor;
    }
}

TEST_F(Loader, GetProcOpensTheLibraryForItsOwnLookupOnlyWhenTheDriverFails) {
    ASSERT_EQ(glLoaderInit(), 0);  // opens and closes handle 1
    fake.steps.clear();

    EXPECT_EQ(glLoaderGetProc("glCullFace"), &addresses[0]);   // position 0: the driver's
    EXPECT_EQ(glLoaderGetProc("glFrontFace"), &addresses[1]);  // position 1: the library's
    EXPECT_EQ(glLoaderGetProc("glNoSuchFunction"), nullptr);
    EXPECT_EQ(glLoaderGetProc(nullptr), nullptr);

    const std::vector<Step> expected = {
        {"driver", "glCullFace", 0},
        {"driver", "glFrontFace", 0},
        {"open", "", 2},
        {"library", "glFrontFace", 2},
        {"close", "", 2},
        {"driver", "glNoSuchFunction", 0},
        {"open", "", 3},
        {"library", "glNoSuchFunction", 3},
        {"close", "", 3},
    };
    EXPECT_EQ(fake.steps, expected);
    EXPECT_FALSE(fake.closedHandleUsed);  // never the handle the table fill closed
}

// --- the functions the program calls -----------------------------------------

class RequiredFunctions : public ::testing::Test {
protected:
    void SetUp() override { fakegl::install(); }
    void TearDown() override { fakegl::uninstall(); }
};

TEST_F(RequiredFunctions, MissingAreThoseTheContextVersionOrItsExtensionsDoNotProvide) {
    struct Case {
        const char* what;
        void (*setup)();
        std::vector<std::string> missing;
        const char* version;  // as the message names it
    };
    const Case cases[] = {
        {"4.5 by the integers", [] {}, {}, ""},
        {"4.5 by GL_VERSION",
         [] { fakegl::state().strings[GL_VERSION] = "4.5 (Compatibility Profile) Mesa 22.3.6"; },
         {},
         ""},
        {"3.3",
         [] { fakegl::state().integers[GL_MINOR_VERSION] = 3, fakegl::state().integers[GL_MAJOR_VERSION] = 3; },
         {"glTexStorage2D"},
         "3.3"},
        {"3.3 with texture storage",
         [] {
             fakegl::state().integers[GL_MAJOR_VERSION] = 3;
             fakegl::state().integers[GL_MINOR_VERSION] = 3;
             fakegl::state().extensions = {"GL_ARB_debug_output", "GL_ARB_texture_storage"};
         },
         {},
         ""},
        {"2.1, look-alike extension names",
         [] {
             fakegl::state().integers.clear();  // GL_MAJOR_VERSION is not a 2.1 query
             fakegl::state().strings[GL_VERSION] = "2.1 Mesa 22.3.6";
             fakegl::state().strings[GL_EXTENSIONS] = "GL_ARB_framebuffer_object_extra GL_ARB_texture_storage";
         },
         {"glBindFramebuffer", "glDeleteFramebuffers", "glFramebufferTexture", "glGenFramebuffers"},
         "2.1"},
        {"2.1 with framebuffer objects",
         [] {
             fakegl::state().integers.clear();
             fakegl::state().strings[GL_VERSION] = "2.1 Mesa 22.3.6";
             fakegl::state().strings[GL_EXTENSIONS] = "GL_ARB_texture_storage GL_ARB_framebuffer_object";
         },
         {"glFramebufferTexture"},
         "2.1"},
        {"a null pointer in a 4.5 context", [] { lumeridge_glUniform1f = nullptr; }, {"glUniform1f"}, "4.5"},
        {"nothing answers the version",
         [] {
             lumeridge_glGetString = nullptr;
             lumeridge_glGetIntegerv = nullptr;
         },
         requiredNames(), ""},
    };
    for (const Case& c : cases) {
        fakegl::install();
        c.setup();
        EXPECT_EQ(glLoaderMissingFunctions(), c.missing) << c.what;
        const std::string message = glLoaderMissingFunctionsMessage();
        if (c.missing.empty()) {
            EXPECT_EQ(message, "") << c.what;
        } else {
            const std::string version = *c.version ? std::string(" ") + c.version : "";
            EXPECT_EQ(message,
                      "This computer's OpenGL" + version + " lacks functions Lumeridge needs: " + joined(c.missing))
                << c.what;
        }
    }
}

TEST_F(RequiredFunctions, CompleteContextPassesSilently) {
    ::testing::internal::CaptureStderr();
    requireOpenGlFunctions();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(RequiredFunctions, IncompleteContextShowsTheMissingNamesAndExitsZero) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");  // message boxes go to stderr alone
            fakegl::install();
            fakegl::state().integers[GL_MINOR_VERSION] = 1;  // 4.1: no texture storage in core
            lumeridge_glDrawBuffers = nullptr;
            requireOpenGlFunctions();
            std::exit(7);  // not reached
        },
        ::testing::ExitedWithCode(0),
        "Debug: This computer's OpenGL 4.1 lacks functions Lumeridge needs: glDrawBuffers, glTexStorage2D\n");
}

}  // namespace
