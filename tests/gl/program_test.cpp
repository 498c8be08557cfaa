#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/fake_gl.h"
#include "gfx/gl.h"
#include "gfx/program.h"
#include "platform/platform.h"
#include "resources/resource_ids.h"

namespace {

struct CutCase {
    std::string input;
    std::size_t capacity;
    std::string expected;
};

TEST(ShaderText, CutsAtTildeEndOrCapacityAndAlwaysWritesFourZeros) {
    const std::string longText(20000, 'a');
    const CutCase cases[] = {
        {"#version 110\r\nvoid main(){}\r\n//~\r\n", 16384, "#version 110\r\nvoid main(){}\r\n//"},
        {"abc~def~", 16384, "abc"},  // the first '~' ends the text
        {"~", 16384, ""},
        {"no tilde at all", 16384, "no tilde at all"},  // stops at the resource's end
        {longText, 16384, std::string(16384, 'a')},     // never past the capacity
        {"", 16384, ""},
    };
    for (const CutCase& c : cases) {
        std::vector<char> buffer(c.capacity + 4 + 8, 'X');
        const std::size_t n = cutShaderText(reinterpret_cast<const unsigned char*>(c.input.data()), c.input.size(),
                                            buffer.data(), c.capacity);
        EXPECT_EQ(n, c.expected.size());
        EXPECT_EQ(std::string(buffer.data(), n), c.expected);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(buffer[n + k], '\0') << "zero byte " << k;
        EXPECT_EQ(buffer[n + 4], 'X');  // nothing written past the four zeros
    }
}

TEST(ShaderText, ProgramResourcesEndWithAnEmptyComment) {
    for (int id : {resource::kRippleVertexShader, resource::kRippleFragmentShader}) {
        std::vector<char> buffer(kShaderBufferSize);
        GLFWProgram::loadTextResource(id, buffer.data(), kShaderTextCapacity);
        const std::string text(buffer.data());
        ASSERT_GE(text.size(), 4u);
        EXPECT_EQ(text.substr(text.size() - 2), "//") << id;
        EXPECT_EQ(text.find("\r\n"), text.find('\n') - 1) << "CR LF line ends in " << id;
    }
    std::vector<char> buffer(kShaderBufferSize, 'X');
    GLFWProgram::loadTextResource(9999, buffer.data(), kShaderTextCapacity);  // missing: empty text
    EXPECT_EQ(buffer[0], '\0');
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { fakegl::install(); }
    void TearDown() override { fakegl::uninstall(); }
};

TEST_F(ProgramTest, LocationCacheAsksOnceSharedByKindsAndKeepsMinusOne) {
    fakegl::state().uniformLocations["iTime"] = 3;
    GLFWProgram program(resource::kRippleVertexShader, resource::kRippleFragmentShader);
    EXPECT_EQ(program.uniformLocation("iTime"), 3);
    EXPECT_EQ(program.uniformLocation("iTime"), 3);
    EXPECT_EQ(program.attributeLocation("iTime"), 3);  // the cache key is the name alone
    EXPECT_EQ(fakegl::count("glGetUniformLocation"), 1u);
    EXPECT_EQ(fakegl::count("glGetAttribLocation"), 0u);
    EXPECT_EQ(program.uniformLocation("unused"), -1);
    EXPECT_EQ(program.uniformLocation("unused"), -1);
    EXPECT_EQ(fakegl::count("glGetUniformLocation"), 2u);
}

TEST_F(ProgramTest, BuildSequenceCompilesVertexThenFragmentThenLinks) {
    GLFWProgram program(resource::kRippleVertexShader, resource::kRippleFragmentShader);
    const std::vector<fakegl::Call> shaders = fakegl::callsNamed("glCreateShader");
    ASSERT_EQ(shaders.size(), 2u);
    EXPECT_EQ(shaders[0].i(0), GL_VERTEX_SHADER);
    EXPECT_EQ(shaders[1].i(0), GL_FRAGMENT_SHADER);
    EXPECT_LT(fakegl::indexOf("glCreateProgram"), fakegl::indexOf("glCreateShader"));
    EXPECT_EQ(fakegl::count("glAttachShader"), 2u);
    EXPECT_EQ(fakegl::count("glLinkProgram"), 1u);
    const std::string source = fakegl::first("glShaderSource")->text;
    EXPECT_EQ(source.rfind("#version 110", 0), 0u);
}

TEST_F(ProgramTest, RegistryFirstRegistrationWinsAndUnknownKeysAreHarmless) {
    GLFWProgramRegistry registry;
    EXPECT_EQ(registry.program("BackgroundProgram"), nullptr);
    registry.useProgram("BackgroundProgram");  // nothing registered: nothing happens
    EXPECT_EQ(fakegl::count("glUseProgram"), 0u);
    registry.addProgram("BackgroundProgram", resource::kRippleVertexShader, resource::kRippleFragmentShader);
    GLFWProgram* first = registry.program("BackgroundProgram");
    ASSERT_NE(first, nullptr);
    registry.addProgram("BackgroundProgram", resource::kRippleVertexShader, resource::kRippleFragmentShader);
    EXPECT_EQ(registry.program("BackgroundProgram"), first);
    EXPECT_EQ(fakegl::count("glCreateProgram"), 1u);  // the second builds nothing
    registry.useProgram("BackgroundProgram");
    ASSERT_EQ(fakegl::count("glUseProgram"), 1u);
    EXPECT_EQ(fakegl::first("glUseProgram")->i(0), static_cast<long long>(first->programName()));
}

TEST_F(ProgramTest, FailingVertexShaderShowsLogThenMessageAndExitsZero) {
    ::testing::FLAGS_gtest_death_test_style = "threadsafe";
    EXPECT_EXIT(
        {
            unsetenv("DISPLAY");  // message boxes go to stderr alone
            fakegl::install();
            fakegl::state().compileStatus[GL_VERTEX_SHADER] = 0;
            fakegl::state().infoLog[GL_VERTEX_SHADER] = "0:3(1): error: broken";
            GLFWProgram program(resource::kRippleVertexShader, resource::kRippleFragmentShader);
            // Not reached: the fragment shader must never be compiled.
            if (fakegl::count("glCreateShader") > 1) std::exit(7);
            std::exit(8);
        },
        ::testing::ExitedWithCode(0), "Debug: 0:3\\(1\\): error: broken.*Debug: Vertex shader compilation error");
}

}  // namespace
