// Drawable meshes: the CPU-side interleaved arrays, their GPU buffers with
// the attribute layout, and the draw sequence shared by every drawable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "gfx/gl.h"
#include "gfx/camera.h"
#include "math/math3d.h"
#include "gfx/scene_clock.h"

class MeshData;
class GLFWProgram;
class GLFWProgramRegistry;

// The bytes of `count` array elements of `elementBytes` each, into *bytes;
// false when they do not fit the size a GL buffer takes (GLsizeiptr).
bool bufferBytes(std::size_t count, std::size_t elementBytes, std::size_t* bytes);

// One OBJ/MTL resource pair as an interleaved vertex array of 24 floats per
// vertex (position, texture coordinate, normal, tangent, bitangent, ambient,
// diffuse, specular with exponent) and a flat index array.
class GLFWVertexData {
public:
    static constexpr std::int32_t kFloatsPerVertex = 24;
    // Float offsets of the eight items within a vertex, in that order.
    static constexpr std::int32_t kPositionOffset = 0;
    static constexpr std::int32_t kTexCoordOffset = 3;
    static constexpr std::int32_t kNormalOffset = 5;
    static constexpr std::int32_t kTangentOffset = 8;
    static constexpr std::int32_t kBitangentOffset = 11;
    static constexpr std::int32_t kAmbientOffset = 14;
    static constexpr std::int32_t kDiffuseOffset = 17;
    static constexpr std::int32_t kSpecularOffset = 20;

    // Loads the mesh; ends the process with "Failed to load mesh" if the OBJ
    // text yields nothing or its arrays do not fit a GL buffer.
    GLFWVertexData(int objResourceId, int mtlResourceId, float scale);
    ~GLFWVertexData();
    GLFWVertexData(const GLFWVertexData&) = delete;
    GLFWVertexData& operator=(const GLFWVertexData&) = delete;

    const float* vertices() const { return vertices_.data(); }
    std::int32_t floatsPerVertex() const { return kFloatsPerVertex; }
    std::int32_t vertexCount() const { return vertexCount_; }
    std::size_t vertexDataSize() const { return vertexBytes_; }
    const GLuint* indices() const { return indices_.data(); }
    std::int32_t indexCount() const { return indexCount_; }
    std::size_t indexDataSize() const { return indexBytes_; }

private:
    std::vector<float> vertices_;
    std::vector<GLuint> indices_;
    std::unique_ptr<MeshData> mesh_;
    std::int32_t vertexCount_ = 0;
    std::int32_t indexCount_ = 0;
    std::size_t vertexBytes_ = 0;
    std::size_t indexBytes_ = 0;
};

// A vertex buffer and an index buffer with the vertex-attribute layout kept
// by attribute name.
class GLFWBufferObject {
public:
    explicit GLFWBufferObject(GLFWProgramRegistry* registry);
    ~GLFWBufferObject();
    GLFWBufferObject(const GLFWBufferObject&) = delete;
    GLFWBufferObject& operator=(const GLFWBufferObject&) = delete;

    void setVertexData(std::size_t sizeBytes, const float* data, std::int32_t strideFloats);
    void setIndexData(std::size_t sizeBytes, const GLuint* data, std::int32_t count);
    // Looks the attribute up in the program under `programKey`; a name keeps
    // the values it was first added with.
    void addAttribute(const char* programKey, const std::string& name, std::int32_t components,
                      std::int32_t offsetFloats);
    void bind();
    // Enables and points every attribute, in ascending name order.
    void applyAttributes();
    // bind, applyAttributes, then fill both buffers (GL_STATIC_DRAW).
    void upload();
    std::int32_t indexCount() const { return indexCount_; }

    GLuint vertexBuffer() const { return vertexBuffer_; }
    GLuint indexBuffer() const { return indexBuffer_; }
    const std::map<std::string, GLint>& attributeLocations() const { return locations_; }
    const std::map<std::string, std::int32_t>& attributeComponents() const { return components_; }
    const std::map<std::string, std::int32_t>& attributeOffsets() const { return offsets_; }

private:
    GLFWProgramRegistry* registry_;
    GLuint vertexBuffer_ = 0;
    GLuint indexBuffer_ = 0;
    const float* vertexData_ = nullptr;
    std::size_t vertexSize_ = 0;
    std::int32_t strideFloats_ = 0;
    std::map<std::string, GLint> locations_;
    std::map<std::string, std::int32_t> components_;
    std::map<std::string, std::int32_t> offsets_;
    const GLuint* indexData_ = nullptr;
    std::size_t indexSize_ = 0;
    std::int32_t indexCount_ = 0;
};

// A mesh tied to a program of the registry by key, drawn with the scene's
// clock and camera. Subclasses choose the attributes and their own uniforms.
class GLFWDrawableObject {
public:
    GLFWDrawableObject(SceneClock* clock, Camera* camera, GLFWProgramRegistry* registry, const char* programKey,
                       int objResourceId, int mtlResourceId, float scale);
    virtual ~GLFWDrawableObject();
    GLFWDrawableObject(const GLFWDrawableObject&) = delete;
    GLFWDrawableObject& operator=(const GLFWDrawableObject&) = delete;

    // Registers the attributes and fills the buffers. Call once, after
    // construction, with the program registered under the key.
    void init();
    void setModelMatrix(const Matrix4& m) { model_ = m; }
    const Matrix4& modelMatrix() const { return model_; }
    // Program current, beforeDraw, the three matrices, setUniforms, buffers
    // and attributes, one indexed draw.
    void draw();

    GLFWVertexData* vertexData() { return vertexData_.get(); }
    GLFWBufferObject* buffers() { return buffers_.get(); }

protected:
    virtual void setupAttributes() = 0;
    virtual void setUniforms() = 0;
    virtual void beforeDraw() = 0;

    // The location of a uniform in this drawable's program; -1 without one.
    GLint uniformLocation(const char* name);

    SceneClock* clock_;
    GLFWProgramRegistry* registry_;
    std::unique_ptr<GLFWVertexData> vertexData_;
    std::unique_ptr<GLFWBufferObject> buffers_;
    Camera* camera_;
    const char* programKey_;
    Matrix4 model_ = Matrix4::identity();  // until the owner sets one
};

// The full-screen rectangle the ripple shader runs on.
class GLFWDrawableSky : public GLFWDrawableObject {
public:
    using GLFWDrawableObject::GLFWDrawableObject;

protected:
    void setupAttributes() override;
    void setUniforms() override;
    void beforeDraw() override;
};
