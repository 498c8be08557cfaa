// Shader programs built from two text resources, and the registry that holds
// them by key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

enum class LocationKind : int { Uniform = 0, Attribute = 1 };

// Text buffers hold up to kShaderTextCapacity bytes of text and four zeros.
constexpr std::size_t kShaderTextCapacity = 16384;
constexpr std::size_t kShaderBufferSize = kShaderTextCapacity + 4;

// Cuts a shader text out of `bytes`: everything before the first '~', the end
// of the bytes, or `capacity` bytes, whichever comes first, followed by four
// zero bytes. `destination` must hold capacity + 4 bytes. Returns the length.
std::size_t cutShaderText(const unsigned char* bytes, std::size_t size, char* destination, std::size_t capacity);

class GLFWProgram {
public:
    // Reads, compiles and links; a compilation failure shows the log and
    // ends the process.
    GLFWProgram(int vertexResourceId, int fragmentResourceId);
    // The same from two shader texts, each cut as a resource's text is.
    GLFWProgram(const std::string& vertexText, const std::string& fragmentText);
    // Deletes both shaders and the program.
    ~GLFWProgram();
    GLFWProgram(const GLFWProgram&) = delete;
    GLFWProgram& operator=(const GLFWProgram&) = delete;

    void use();
    std::int32_t uniformLocation(const std::string& name);
    std::int32_t attributeLocation(const std::string& name);

    // Cuts the text of TEXTFILE resource `id` into `destination` (see
    // cutShaderText). A missing resource gives an empty text.
    static void loadTextResource(int id, char* destination, std::size_t capacity);

    std::uint32_t programName() const { return program_; }

private:
    void build();
    std::int32_t location(const std::string& name, LocationKind kind);
    std::uint32_t compile(std::uint32_t type, const char* source, const char* failureText);

    std::vector<char> vertexSource_;
    std::vector<char> fragmentSource_;
    std::uint32_t vertexShader_ = 0;
    std::uint32_t fragmentShader_ = 0;
    std::uint32_t program_ = 0;
    std::map<std::string, std::int32_t> locations_;
};

class GLFWProgramRegistry {
public:
    GLFWProgramRegistry() = default;
    ~GLFWProgramRegistry();
    GLFWProgramRegistry(const GLFWProgramRegistry&) = delete;
    GLFWProgramRegistry& operator=(const GLFWProgramRegistry&) = delete;
    // The first registration of a key wins; a later one builds nothing.
    void addProgram(const std::string& key, int vertexResourceId, int fragmentResourceId);
    void addProgramFromTexts(const std::string& key, const std::string& vertexText, const std::string& fragmentText);
    GLFWProgram* program(const std::string& key);
    // Makes the program current; an unregistered key changes nothing.
    void useProgram(const std::string& key);

private:
    std::map<std::string, std::unique_ptr<GLFWProgram>> programs_;
};
