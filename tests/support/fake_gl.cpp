#include "tests/support/fake_gl.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "gfx/gl.h"

namespace fakegl {
namespace {

State gState;
std::vector<Call> gCalls;

template <typename T>
double num(T value) {
    return static_cast<double>(value);
}
double ptr(const void* p) { return static_cast<double>(reinterpret_cast<std::uintptr_t>(p)); }

Call& rec(const char* name, std::initializer_list<double> args) {
    Call c;
    c.name = name;
    c.args.assign(args.begin(), args.end());
    gCalls.push_back(std::move(c));
    return gCalls.back();
}

unsigned newName() { return gState.nextName++; }

void genNames(const char* name, GLsizei n, GLuint* out) {
    Call& c = rec(name, {num(n), ptr(out)});
    for (GLsizei k = 0; out && k < n; ++k) {
        out[k] = newName();
        c.floats.push_back(static_cast<float>(out[k]));
    }
}

std::size_t components(GLenum format) {
    switch (format) {
        case GL_RED: return 1;
        case GL_RG: return 2;
        case GL_RGB:
        case GL_BGR: return 3;
        case GL_RGBA:
        case GL_BGRA: return 4;
        default: return 0;
    }
}
std::size_t typeSize(GLenum type) {
    switch (type) {
        case GL_UNSIGNED_BYTE: return 1;
        case GL_FLOAT: return 4;
        default: return 0;
    }
}
void copyPixels(Call& c, GLsizei w, GLsizei h, GLenum format, GLenum type, const void* pixels) {
    const std::size_t bytes = components(format) * typeSize(type) * static_cast<std::size_t>(w > 0 ? w : 0) *
                              static_cast<std::size_t>(h > 0 ? h : 0);
    if (pixels && bytes) {
        const auto* p = static_cast<const unsigned char*>(pixels);
        c.bytes.assign(p, p + bytes);
    }
}
void copyBytes(Call& c, const void* data, GLsizeiptr size) {
    if (data && size > 0) {
        const auto* p = static_cast<const unsigned char*>(data);
        c.bytes.assign(p, p + size);
    }
}
void copyFloats(Call& c, const GLfloat* v, std::size_t n) {
    if (v) c.floats.assign(v, v + n);
}

std::string infoLogFor(GLuint shader) {
    auto t = gState.shaderTypes.find(shader);
    if (t == gState.shaderTypes.end()) return "";
    auto it = gState.infoLog.find(t->second);
    return it == gState.infoLog.end() ? "" : it->second;
}
GLint logLength(const std::string& log) { return log.empty() ? 0 : static_cast<GLint>(log.size() + 1); }
void copyLog(const std::string& log, GLsizei bufSize, GLsizei* length, GLchar* out) {
    GLsizei n = 0;
    if (out && bufSize > 0) {
        n = static_cast<GLsizei>(log.size()) < bufSize - 1 ? static_cast<GLsizei>(log.size()) : bufSize - 1;
        std::memcpy(out, log.data(), static_cast<std::size_t>(n));
        out[n] = '\0';
    }
    if (length) *length = n;
}

// The recorders: fake_ and the OpenGL name, one for each function the
// program calls (install() takes them by those names).

// --- state -----------------------------------------------------------------
void APIENTRY fake_glCullFace(GLenum mode) { rec("glCullFace", {num(mode)}); }
void APIENTRY fake_glFrontFace(GLenum mode) { rec("glFrontFace", {num(mode)}); }
void APIENTRY fake_glDisable(GLenum cap) { rec("glDisable", {num(cap)}); }
void APIENTRY fake_glClear(GLbitfield mask) { rec("glClear", {num(mask)}); }
void APIENTRY fake_glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    rec("glViewport", {num(x), num(y), num(w), num(h)});
}
void APIENTRY fake_glGetIntegerv(GLenum pname, GLint* data) {
    rec("glGetIntegerv", {num(pname), ptr(data)});
    if (!data) return;
    auto it = gState.integers.find(pname);
    if (it != gState.integers.end())
        *data = it->second;
    else if (pname == GL_NUM_EXTENSIONS)
        *data = static_cast<GLint>(gState.extensions.size());
}
const GLubyte* APIENTRY fake_glGetString(GLenum name) {
    rec("glGetString", {num(name)});
    auto it = gState.strings.find(name);
    return it == gState.strings.end() ? nullptr : reinterpret_cast<const GLubyte*>(it->second.c_str());
}
const GLubyte* APIENTRY fake_glGetStringi(GLenum name, GLuint index) {
    rec("glGetStringi", {num(name), num(index)});
    if (name != GL_EXTENSIONS || index >= gState.extensions.size()) return nullptr;
    return reinterpret_cast<const GLubyte*>(gState.extensions[index].c_str());
}

// --- shaders and programs ----------------------------------------------------
GLuint APIENTRY fake_glCreateShader(GLenum type) {
    Call& c = rec("glCreateShader", {num(type)});
    const GLuint name = newName();
    gState.shaderTypes[name] = type;
    c.floats.push_back(static_cast<float>(name));
    return name;
}
void APIENTRY fake_glShaderSource(GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths) {
    Call& c = rec("glShaderSource", {num(shader), num(count), ptr(strings), ptr(lengths)});
    for (GLsizei k = 0; strings && k < count; ++k) {
        if (!strings[k]) continue;
        if (lengths && lengths[k] >= 0)
            c.text.append(strings[k], static_cast<std::size_t>(lengths[k]));
        else
            c.text.append(strings[k]);
    }
}
void APIENTRY fake_glCompileShader(GLuint shader) { rec("glCompileShader", {num(shader)}); }
void APIENTRY fake_glGetShaderiv(GLuint shader, GLenum pname, GLint* params) {
    rec("glGetShaderiv", {num(shader), num(pname), ptr(params)});
    if (!params) return;
    if (pname == GL_COMPILE_STATUS) {
        auto t = gState.shaderTypes.find(shader);
        int status = 1;
        if (t != gState.shaderTypes.end()) {
            auto s = gState.compileStatus.find(t->second);
            if (s != gState.compileStatus.end()) status = s->second;
        }
        *params = status;
    } else if (pname == GL_INFO_LOG_LENGTH) {
        *params = logLength(infoLogFor(shader));
    } else if (pname == GL_SHADER_TYPE) {
        auto t = gState.shaderTypes.find(shader);
        *params = t == gState.shaderTypes.end() ? 0 : static_cast<GLint>(t->second);
    }
}
void APIENTRY fake_glGetShaderInfoLog(GLuint shader, GLsizei bufSize, GLsizei* length, GLchar* log) {
    rec("glGetShaderInfoLog", {num(shader), num(bufSize), ptr(length), ptr(log)});
    copyLog(infoLogFor(shader), bufSize, length, log);
}
void APIENTRY fake_glDeleteShader(GLuint shader) { rec("glDeleteShader", {num(shader)}); }
GLuint APIENTRY fake_glCreateProgram() {
    Call& c = rec("glCreateProgram", {});
    const GLuint name = newName();
    c.floats.push_back(static_cast<float>(name));
    return name;
}
void APIENTRY fake_glAttachShader(GLuint program, GLuint shader) { rec("glAttachShader", {num(program), num(shader)}); }
void APIENTRY fake_glLinkProgram(GLuint program) { rec("glLinkProgram", {num(program)}); }
void APIENTRY fake_glDeleteProgram(GLuint program) { rec("glDeleteProgram", {num(program)}); }
void APIENTRY fake_glUseProgram(GLuint program) { rec("glUseProgram", {num(program)}); }
GLint APIENTRY fake_glGetUniformLocation(GLuint program, const GLchar* name) {
    Call& c = rec("glGetUniformLocation", {num(program), ptr(name)});
    if (name) c.text = name;
    auto it = gState.uniformLocations.find(c.text);
    return it == gState.uniformLocations.end() ? -1 : it->second;
}
GLint APIENTRY fake_glGetAttribLocation(GLuint program, const GLchar* name) {
    Call& c = rec("glGetAttribLocation", {num(program), ptr(name)});
    if (name) c.text = name;
    auto it = gState.attribLocations.find(c.text);
    return it == gState.attribLocations.end() ? -1 : it->second;
}

// --- uniforms --------------------------------------------------------------
void APIENTRY fake_glUniform1f(GLint l, GLfloat a) { rec("glUniform1f", {num(l), num(a)}); }
void APIENTRY fake_glUniform2f(GLint l, GLfloat a, GLfloat b) { rec("glUniform2f", {num(l), num(a), num(b)}); }
void APIENTRY fake_glUniform1i(GLint l, GLint a) { rec("glUniform1i", {num(l), num(a)}); }
void APIENTRY fake_glUniformMatrix4fv(GLint l, GLsizei n, GLboolean transpose, const GLfloat* v) {
    copyFloats(rec("glUniformMatrix4fv", {num(l), num(n), num(transpose), ptr(v)}), v,
               16u * static_cast<std::size_t>(n > 0 ? n : 0));
}

// --- buffers, vertex attributes and draws --------------------------------------
void APIENTRY fake_glGenBuffers(GLsizei n, GLuint* out) { genNames("glGenBuffers", n, out); }
void APIENTRY fake_glDeleteBuffers(GLsizei n, const GLuint* names) { rec("glDeleteBuffers", {num(n), ptr(names)}); }
void APIENTRY fake_glBindBuffer(GLenum target, GLuint buffer) { rec("glBindBuffer", {num(target), num(buffer)}); }
void APIENTRY fake_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
    copyBytes(rec("glBufferData", {num(target), num(size), ptr(data), num(usage)}), data, size);
}
void APIENTRY fake_glEnableVertexAttribArray(GLuint index) { rec("glEnableVertexAttribArray", {num(index)}); }
void APIENTRY fake_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
                                         const void* pointer) {
    rec("glVertexAttribPointer", {num(index), num(size), num(type), num(normalized), num(stride), ptr(pointer)});
}
void APIENTRY fake_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    rec("glDrawElements", {num(mode), num(count), num(type), ptr(indices)});
}

// --- textures ------------------------------------------------------------------
void APIENTRY fake_glGenTextures(GLsizei n, GLuint* out) { genNames("glGenTextures", n, out); }
void APIENTRY fake_glDeleteTextures(GLsizei n, const GLuint* names) { rec("glDeleteTextures", {num(n), ptr(names)}); }
void APIENTRY fake_glBindTexture(GLenum target, GLuint texture) { rec("glBindTexture", {num(target), num(texture)}); }
void APIENTRY fake_glActiveTexture(GLenum unit) { rec("glActiveTexture", {num(unit)}); }
void APIENTRY fake_glTexParameteri(GLenum target, GLenum pname, GLint param) {
    rec("glTexParameteri", {num(target), num(pname), num(param)});
}
void APIENTRY fake_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei w, GLsizei h, GLint border,
                                GLenum format, GLenum type, const void* pixels) {
    Call& c = rec("glTexImage2D", {num(target), num(level), num(internalFormat), num(w), num(h), num(border),
                                   num(format), num(type), ptr(pixels)});
    copyPixels(c, w, h, format, type, pixels);
}
void APIENTRY fake_glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format,
                                   GLenum type, const void* pixels) {
    Call& c = rec("glTexSubImage2D",
                  {num(target), num(level), num(x), num(y), num(w), num(h), num(format), num(type), ptr(pixels)});
    copyPixels(c, w, h, format, type, pixels);
}
void APIENTRY fake_glTexStorage2D(GLenum target, GLsizei levels, GLenum internalFormat, GLsizei w, GLsizei h) {
    rec("glTexStorage2D", {num(target), num(levels), num(internalFormat), num(w), num(h)});
}

// --- framebuffers ----------------------------------------------------------------
void APIENTRY fake_glGenFramebuffers(GLsizei n, GLuint* out) { genNames("glGenFramebuffers", n, out); }
void APIENTRY fake_glDeleteFramebuffers(GLsizei n, const GLuint* names) {
    rec("glDeleteFramebuffers", {num(n), ptr(names)});
}
void APIENTRY fake_glBindFramebuffer(GLenum target, GLuint fb) { rec("glBindFramebuffer", {num(target), num(fb)}); }
void APIENTRY fake_glFramebufferTexture(GLenum target, GLenum attachment, GLuint texture, GLint level) {
    rec("glFramebufferTexture", {num(target), num(attachment), num(texture), num(level)});
}
void APIENTRY fake_glDrawBuffers(GLsizei n, const GLenum* bufs) {
    Call& c = rec("glDrawBuffers", {num(n), ptr(bufs)});
    if (bufs && n > 0) {
        const auto* p = reinterpret_cast<const unsigned char*>(bufs);
        c.bytes.assign(p, p + sizeof(GLenum) * static_cast<std::size_t>(n));
        for (GLsizei k = 0; k < n; ++k) c.floats.push_back(static_cast<float>(bufs[k]));
    }
}

void nullTable() {
#define LUMERIDGE_GL_ENTRY(name, type) lumeridge_##name = nullptr;
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY
}

}  // namespace

long long Call::i(std::size_t index) const { return index < args.size() ? static_cast<long long>(args[index]) : 0; }
float Call::f(std::size_t index) const { return index < args.size() ? static_cast<float>(args[index]) : 0.0f; }

void install() {
    nullTable();
    gState = State();
    gState.integers[GL_MAJOR_VERSION] = 4;
    gState.integers[GL_MINOR_VERSION] = 5;
    gCalls.clear();

    // Every function the program calls: the list the loader checks, and the
    // loader's own version and extension queries, which it makes through
    // pointers it tests itself and which are therefore not on that list.
#define LUMERIDGE_GL_REQUIRED(name, extension) lumeridge_##name = fake_##name;
#include "gfx/gl_required_functions.inc"
#undef LUMERIDGE_GL_REQUIRED
    lumeridge_glGetIntegerv = fake_glGetIntegerv;
    lumeridge_glGetString = fake_glGetString;
    lumeridge_glGetStringi = fake_glGetStringi;
}

void uninstall() { nullTable(); }

State& state() { return gState; }
const std::vector<Call>& calls() { return gCalls; }
void clearCalls() { gCalls.clear(); }

std::size_t count(const std::string& name) {
    std::size_t n = 0;
    for (const Call& c : gCalls) n += c.name == name;
    return n;
}
std::vector<Call> callsNamed(const std::string& name) {
    std::vector<Call> out;
    for (const Call& c : gCalls)
        if (c.name == name) out.push_back(c);
    return out;
}
const Call* first(const std::string& name) {
    for (const Call& c : gCalls)
        if (c.name == name) return &c;
    return nullptr;
}
const Call* last(const std::string& name) {
    for (auto it = gCalls.rbegin(); it != gCalls.rend(); ++it)
        if (it->name == name) return &*it;
    return nullptr;
}
long long indexOf(const std::string& name, std::size_t from) {
    for (std::size_t k = from; k < gCalls.size(); ++k)
        if (gCalls[k].name == name) return static_cast<long long>(k);
    return -1;
}
std::vector<std::string> names() {
    std::vector<std::string> out;
    out.reserve(gCalls.size());
    for (const Call& c : gCalls) out.push_back(c.name);
    return out;
}

}  // namespace fakegl
