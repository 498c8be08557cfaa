// A recording stand-in for OpenGL, for tests that run graphics code without a
// context.
//
//   fakegl::install();                     // fills the entry-point table
//   fakegl::state().uniformLocations["iTime"] = 3;
//   ... run the code under test ...
//   EXPECT_EQ(fakegl::count("glDrawElements"), 1u);
//   const fakegl::Call* c = fakegl::first("glUniform1f");
//   EXPECT_EQ(c->i(0), 3); EXPECT_FLOAT_EQ(c->f(1), 0.5f);
//
// install() first sets all 700 table pointers to null, then points those of
// the functions the program calls at recorders: every function of
// gfx/gl_required_functions.inc (the install list is made from it, so a
// function added there needs a recorder here before the tests build), and the
// loader's own queries glGetIntegerv, glGetString and glGetStringi. Calling
// any other function is a null call, so a test notices a function it did not
// expect. install() also resets the log and the scripted answers.
//
// Each call is recorded in order as a Call:
//   args   every scalar argument in order: integers, enums, object names and
//          floats as doubles (exact for 32-bit values); pointer arguments as
//          their address value (byte offsets into bound buffers stay readable,
//          null is 0).
//   text   the string argument: the name of glGetUniformLocation,
//          glGetAttribLocation; the concatenated sources of glShaderSource.
//   floats float data a pointer argument points to: glUniformMatrix4fv
//          (count × 16 values).
//   bytes  byte data a pointer argument points to: glBufferData, and
//          glTexImage2D / glTexSubImage2D when the pointer is not null and
//          the format is RED, RG, RGB, BGR, RGBA or BGRA with type
//          UNSIGNED_BYTE or FLOAT (GL_UNPACK_ALIGNMENT is not applied).
//          glDrawBuffers copies its enums into bytes and floats.
//   floats also the names handed out by glGen*, glCreateShader and
//          glCreateProgram, in order.
//
// Scripted answers (fakegl::state(), set before or during the run):
//   - object names from glGen*, glCreateShader, glCreateProgram come from one
//     counter shared by all kinds, starting at `nextName` (1), so every name
//     is unique in one test;
//   - compile status and info log per shader type (GL_VERTEX_SHADER,
//     GL_FRAGMENT_SHADER): compileStatus (default 1), infoLog (default "");
//     GL_INFO_LOG_LENGTH answers strlen + 1, or 0 for an empty log, as GL does;
//   - uniformLocations / attribLocations by name (default -1 for names not
//     in the maps);
//   - integers answered by glGetIntegerv by pname (defaults: GL_MAJOR_VERSION
//     4, GL_MINOR_VERSION 5, GL_NUM_EXTENSIONS = extensions.size());
//   - strings for glGetString and the extension list for glGetStringi.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace fakegl {

struct Call {
    std::string name;
    std::vector<double> args;
    std::string text;
    std::vector<float> floats;
    std::vector<unsigned char> bytes;

    long long i(std::size_t index) const;  // args[index] as an integer; 0 when absent
    float f(std::size_t index) const;      // args[index] as a float; 0 when absent
};

struct State {
    unsigned nextName = 1;
    std::map<unsigned, int> compileStatus;    // shader type -> status
    std::map<unsigned, std::string> infoLog;  // shader type -> log
    std::map<std::string, int> uniformLocations;
    std::map<std::string, int> attribLocations;
    std::map<unsigned, int> integers;         // glGetIntegerv pname -> value
    std::map<unsigned, std::string> strings;  // glGetString name -> text
    std::vector<std::string> extensions;      // glGetStringi(GL_EXTENSIONS, i)

    // Filled by the fake as it runs: shader name -> its type.
    std::map<unsigned, unsigned> shaderTypes;
};

// Installs the recorders and resets log and state.
void install();
// Sets every table pointer back to null (the state is kept).
void uninstall();

State& state();
const std::vector<Call>& calls();
void clearCalls();

// Queries on the log.
std::size_t count(const std::string& name);
std::vector<Call> callsNamed(const std::string& name);
const Call* first(const std::string& name);  // null when never called
const Call* last(const std::string& name);   // null when never called
// Index in calls() of the first call named `name` at or after `from`; -1 when none.
long long indexOf(const std::string& name, std::size_t from = 0);
// The names of all calls, in order (handy for EXPECT_EQ on a sequence).
std::vector<std::string> names();

}  // namespace fakegl
