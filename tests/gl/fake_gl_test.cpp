// The recording fake itself: what other areas' tests rely on.
#include <gtest/gtest.h>

#include "gfx/gl.h"
#include "tests/support/fake_gl.h"

TEST(FakeGl, RecordsCallsInOrderWithArgumentsAndScriptedAnswers) {
    fakegl::install();
    fakegl::state().uniformLocations["iTime"] = 7;
    fakegl::state().compileStatus[GL_FRAGMENT_SHADER] = 0;
    fakegl::state().infoLog[GL_FRAGMENT_SHADER] = "0:1: bad";

    GLuint buffers[2] = {0, 0};
    glGenBuffers(2, buffers);
    const GLuint vs = glCreateShader(GL_VERTEX_SHADER);
    const GLuint fs = glCreateShader(GL_FRAGMENT_SHADER);
    const float data[3] = {1.0f, 2.0f, 3.0f};
    glBufferData(GL_ARRAY_BUFFER, sizeof data, data, GL_STATIC_DRAW);
    EXPECT_EQ(glGetUniformLocation(5, "iTime"), 7);
    EXPECT_EQ(glGetUniformLocation(5, "other"), -1);
    glUniform1f(7, 0.5f);
    GLint vsStatus = -1, fsStatus = -1, logLength = -1;
    glGetShaderiv(vs, GL_COMPILE_STATUS, &vsStatus);
    glGetShaderiv(fs, GL_COMPILE_STATUS, &fsStatus);
    glGetShaderiv(fs, GL_INFO_LOG_LENGTH, &logLength);
    char log[64] = "x";
    glGetShaderInfoLog(fs, logLength, nullptr, log);

    EXPECT_EQ(buffers[0], 1u);
    EXPECT_EQ(buffers[1], 2u);
    EXPECT_EQ(vs, 3u);
    EXPECT_EQ(fs, 4u);
    EXPECT_EQ(vsStatus, 1);
    EXPECT_EQ(fsStatus, 0);
    EXPECT_EQ(logLength, 9);
    EXPECT_STREQ(log, "0:1: bad");
    ASSERT_NE(fakegl::first("glBufferData"), nullptr);
    EXPECT_EQ(fakegl::first("glBufferData")->bytes.size(), sizeof data);
    EXPECT_EQ(fakegl::count("glGetUniformLocation"), 2u);
    EXPECT_EQ(fakegl::last("glGetUniformLocation")->text, "other");
    EXPECT_EQ(fakegl::first("glUniform1f")->i(0), 7);
    EXPECT_FLOAT_EQ(fakegl::first("glUniform1f")->f(1), 0.5f);
    EXPECT_LT(fakegl::indexOf("glGenBuffers"), fakegl::indexOf("glUniform1f"));
    EXPECT_EQ(fakegl::indexOf("glUniform1f", static_cast<std::size_t>(fakegl::indexOf("glUniform1f")) + 1), -1);
    EXPECT_EQ(lumeridge_glTextureBarrier, nullptr);  // not a recorder: stays null

    fakegl::install();  // resets log and answers
    EXPECT_TRUE(fakegl::calls().empty());
    EXPECT_EQ(glGetUniformLocation(5, "iTime"), -1);
}
