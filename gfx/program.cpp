#include "gfx/program.h"

#include <cstring>
#include <vector>

#include "gfx/gl.h"
#include "platform/fatal.h"
#include "platform/platform.h"

std::size_t cutShaderText(const unsigned char* bytes, std::size_t size, char* destination, std::size_t capacity) {
    std::size_t n = 0;
    while (bytes != nullptr && n < size && n < capacity && bytes[n] != '~') {
        destination[n] = static_cast<char>(bytes[n]);
        ++n;
    }
    std::memset(destination + n, 0, 4);
    return n;
}

void GLFWProgram::loadTextResource(int id, char* destination, std::size_t capacity) {
    const platform::Resource text = platform::findResource("TEXTFILE", id);
    cutShaderText(text.data, text.size, destination, capacity);
}

GLFWProgram::GLFWProgram(int vertexResourceId, int fragmentResourceId)
    : vertexSource_(kShaderBufferSize), fragmentSource_(kShaderBufferSize) {
    loadTextResource(vertexResourceId, vertexSource_.data(), kShaderTextCapacity);
    loadTextResource(fragmentResourceId, fragmentSource_.data(), kShaderTextCapacity);
    build();
}

GLFWProgram::GLFWProgram(const std::string& vertexText, const std::string& fragmentText)
    : vertexSource_(kShaderBufferSize), fragmentSource_(kShaderBufferSize) {
    cutShaderText(reinterpret_cast<const unsigned char*>(vertexText.data()), vertexText.size(), vertexSource_.data(),
                  kShaderTextCapacity);
    cutShaderText(reinterpret_cast<const unsigned char*>(fragmentText.data()), fragmentText.size(),
                  fragmentSource_.data(), kShaderTextCapacity);
    build();
}

void GLFWProgram::build() {
    program_ = glCreateProgram();
    vertexShader_ = compile(GL_VERTEX_SHADER, vertexSource_.data(), "Vertex shader compilation error");
    fragmentShader_ = compile(GL_FRAGMENT_SHADER, fragmentSource_.data(), "Fragment shader compilation error");
    glAttachShader(program_, vertexShader_);
    glAttachShader(program_, fragmentShader_);
    glLinkProgram(program_);
}

GLFWProgram::~GLFWProgram() {
    glDeleteShader(vertexShader_);
    glDeleteShader(fragmentShader_);
    glDeleteProgram(program_);
}

std::uint32_t GLFWProgram::compile(std::uint32_t type, const char* source, const char* failureText) {
    const GLuint shader = glCreateShader(type);
    const GLchar* sources[1] = {source};
    glShaderSource(shader, 1, sources, nullptr);
    glCompileShader(shader);
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == 0) {
        GLint length = 0;
        glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
        if (length < 0) length = 0;
        std::vector<char> log(static_cast<std::size_t>(length) + 1, '\0');
        glGetShaderInfoLog(shader, length, &length, log.data());
        log.back() = '\0';
        // The log is copied out: the context may go with the window.
        platform::fatalError(log.data(), failureText, "Debug");
    }
    return shader;
}

void GLFWProgram::use() { glUseProgram(program_); }

std::int32_t GLFWProgram::location(const std::string& name, LocationKind kind) {
    const auto found = locations_.find(name);
    if (found != locations_.end()) return found->second;
    const GLint value = kind == LocationKind::Uniform ? glGetUniformLocation(program_, name.c_str())
                                                      : glGetAttribLocation(program_, name.c_str());
    locations_.emplace(name, value);
    return value;
}

std::int32_t GLFWProgram::uniformLocation(const std::string& name) { return location(name, LocationKind::Uniform); }

std::int32_t GLFWProgram::attributeLocation(const std::string& name) { return location(name, LocationKind::Attribute); }

GLFWProgramRegistry::~GLFWProgramRegistry() = default;

void GLFWProgramRegistry::addProgram(const std::string& key, int vertexResourceId, int fragmentResourceId) {
    if (programs_.count(key) != 0) return;
    programs_.emplace(key, std::make_unique<GLFWProgram>(vertexResourceId, fragmentResourceId));
}

void GLFWProgramRegistry::addProgramFromTexts(const std::string& key, const std::string& vertexText,
                                              const std::string& fragmentText) {
    if (programs_.count(key) != 0) return;
    programs_.emplace(key, std::make_unique<GLFWProgram>(vertexText, fragmentText));
}

GLFWProgram* GLFWProgramRegistry::program(const std::string& key) {
    const auto found = programs_.find(key);
    return found == programs_.end() ? nullptr : found->second.get();
}

void GLFWProgramRegistry::useProgram(const std::string& key) {
    if (GLFWProgram* p = program(key)) p->use();
}
