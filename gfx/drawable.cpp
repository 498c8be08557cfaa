#include "gfx/drawable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "gfx/program.h"
#include "mesh/mesh_data.h"
#include "platform/fatal.h"

namespace {

// Copies `count` floats of vertex i from a per-vertex array of `count`-float
// elements into the interleaved vertex at `offset`. An array too short for
// the vertex count leaves zeros rather than reading past its end.
void copyItem(float* vertices, int i, int offset, const std::vector<float>& source, int count) {
    float* out = vertices + static_cast<std::size_t>(i) * GLFWVertexData::kFloatsPerVertex + offset;
    const std::size_t in = static_cast<std::size_t>(i) * static_cast<std::size_t>(count);
    if (in + static_cast<std::size_t>(count) > source.size()) return;
    for (int k = 0; k < count; ++k) out[k] = source[in + static_cast<std::size_t>(k)];
}

}  // namespace

bool bufferBytes(std::size_t count, std::size_t elementBytes, std::size_t* bytes) {
    const std::size_t limit = static_cast<std::size_t>(std::numeric_limits<GLsizeiptr>::max());
    if (elementBytes != 0 && count > limit / elementBytes) return false;
    *bytes = count * elementBytes;
    return true;
}

GLFWVertexData::GLFWVertexData(int objResourceId, int mtlResourceId, float scale)
    : mesh_(std::make_unique<MeshData>(objResourceId, mtlResourceId, scale)) {
    const MeshData& mesh = *mesh_;
    vertexCount_ = mesh.vertexCount() > 0 ? mesh.vertexCount() : 0;
    indexCount_ = mesh.indexCount() > 0 ? mesh.indexCount() : 0;
    if (!bufferBytes(static_cast<std::size_t>(vertexCount_), kFloatsPerVertex * sizeof(float), &vertexBytes_) ||
        !bufferBytes(static_cast<std::size_t>(indexCount_), sizeof(GLuint), &indexBytes_))
        platform::fatalError("Failed to load mesh", "Debug");
    vertices_.assign(static_cast<std::size_t>(vertexCount_) * kFloatsPerVertex, 0.0f);
    indices_.assign(static_cast<std::size_t>(indexCount_), 0u);
    float* v = vertices_.data();
    for (int i = 0; i < vertexCount_; ++i) {
        copyItem(v, i, kPositionOffset, mesh.positions, 3);
        copyItem(v, i, kTexCoordOffset, mesh.texCoords, 2);
        copyItem(v, i, kNormalOffset, mesh.normals, 3);
        copyItem(v, i, kTangentOffset, mesh.tangents, 3);
        copyItem(v, i, kBitangentOffset, mesh.bitangents, 3);
        copyItem(v, i, kAmbientOffset, mesh.ambientColors, 3);
        copyItem(v, i, kDiffuseOffset, mesh.diffuseColors, 3);
        copyItem(v, i, kSpecularOffset, mesh.specularColors, 4);
    }
    const std::size_t indexCopies = std::min(indices_.size(), mesh.indices.size());
    for (std::size_t j = 0; j < indexCopies; ++j) indices_[j] = mesh.indices[j];
}

GLFWVertexData::~GLFWVertexData() = default;

GLFWBufferObject::GLFWBufferObject(GLFWProgramRegistry* registry) : registry_(registry) {
    glGenBuffers(1, &vertexBuffer_);
    glGenBuffers(1, &indexBuffer_);
}

GLFWBufferObject::~GLFWBufferObject() {
    glDeleteBuffers(1, &vertexBuffer_);
    glDeleteBuffers(1, &indexBuffer_);
}

void GLFWBufferObject::setVertexData(std::size_t sizeBytes, const float* data, std::int32_t strideFloats) {
    vertexSize_ = sizeBytes;
    vertexData_ = data;
    strideFloats_ = strideFloats;
}

void GLFWBufferObject::setIndexData(std::size_t sizeBytes, const GLuint* data, std::int32_t count) {
    indexSize_ = sizeBytes;
    indexData_ = data;
    indexCount_ = count;
}

void GLFWBufferObject::addAttribute(const char* programKey, const std::string& name, std::int32_t components,
                                    std::int32_t offsetFloats) {
    if (locations_.count(name) != 0) return;
    GLint location = -1;
    if (registry_ != nullptr && programKey != nullptr) {
        if (GLFWProgram* program = registry_->program(programKey)) location = program->attributeLocation(name);
    }
    locations_.emplace(name, location);
    components_.emplace(name, components);
    offsets_.emplace(name, offsetFloats);
}

void GLFWBufferObject::bind() {
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer_);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indexBuffer_);
}

void GLFWBufferObject::applyAttributes() {
    // A location of -1 (a name the program does not have) is passed on as is;
    // OpenGL rejects it without touching the other attributes.
    for (const auto& [name, location] : locations_) {
        const GLuint index = static_cast<GLuint>(location);
        const std::uintptr_t byteOffset = static_cast<std::uintptr_t>(offsets_[name]) * 4u;
        glEnableVertexAttribArray(index);
        glVertexAttribPointer(index, components_[name], GL_FLOAT, GL_FALSE, strideFloats_ * 4,
                              reinterpret_cast<const void*>(byteOffset));
    }
}

void GLFWBufferObject::upload() {
    bind();
    applyAttributes();
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexSize_), vertexData_, GL_STATIC_DRAW);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indexSize_), indexData_, GL_STATIC_DRAW);
}

GLFWDrawableObject::GLFWDrawableObject(SceneClock* clock, Camera* camera, GLFWProgramRegistry* registry,
                                       const char* programKey, int objResourceId, int mtlResourceId, float scale)
    : clock_(clock),
      registry_(registry),
      vertexData_(std::make_unique<GLFWVertexData>(objResourceId, mtlResourceId, scale)),
      buffers_(std::make_unique<GLFWBufferObject>(registry)),
      camera_(camera),
      programKey_(programKey) {
    buffers_->setVertexData(vertexData_->vertexDataSize(), vertexData_->vertices(), GLFWVertexData::kFloatsPerVertex);
    buffers_->setIndexData(vertexData_->indexDataSize(), vertexData_->indices(), vertexData_->indexCount());
}

GLFWDrawableObject::~GLFWDrawableObject() = default;

void GLFWDrawableObject::init() {
    setupAttributes();
    buffers_->upload();
}

GLint GLFWDrawableObject::uniformLocation(const char* name) {
    if (registry_ == nullptr || programKey_ == nullptr) return -1;
    GLFWProgram* program = registry_->program(programKey_);
    return program ? program->uniformLocation(name) : -1;
}

void GLFWDrawableObject::draw() {
    if (registry_ != nullptr && programKey_ != nullptr) registry_->useProgram(programKey_);
    beforeDraw();

    // The shader's matrix interface, sent on every draw whether or not the
    // program reads it. Without a camera the identity stands in for both.
    const Matrix4 view = camera_ ? camera_->view() : Matrix4::identity();
    const Matrix4 projection = camera_ ? camera_->projection() : Matrix4::identity();
    const Matrix4 modelProjection = projection * view * model_;
    const Matrix4 worldProjection = projection * view;
    glUniformMatrix4fv(uniformLocation("model_world"), 1, GL_FALSE, model_.data());
    glUniformMatrix4fv(uniformLocation("world_projection"), 1, GL_FALSE, worldProjection.data());
    glUniformMatrix4fv(uniformLocation("model_projection"), 1, GL_FALSE, modelProjection.data());

    setUniforms();

    buffers_->bind();
    buffers_->applyAttributes();
    glDrawElements(GL_TRIANGLES, buffers_->indexCount(), GL_UNSIGNED_INT, nullptr);
}

void GLFWDrawableSky::setupAttributes() {
    buffers_->addAttribute(programKey_, "position", 3, GLFWVertexData::kPositionOffset);
    buffers_->addAttribute(programKey_, "position_tex", 2, GLFWVertexData::kTexCoordOffset);
    buffers_->addAttribute(programKey_, "position_normal", 3, GLFWVertexData::kNormalOffset);
}

void GLFWDrawableSky::setUniforms() {
    const ShaderTime time = clock_ ? clock_->shaderTime() : ShaderTime();
    const float width = clock_ ? clock_->width() : 0.0f;
    const float height = clock_ ? clock_->height() : 0.0f;
    glUniform1f(uniformLocation("iTime"), time.cycleTime);
    glUniform1f(uniformLocation("viewportWidth"), width);
    glUniform1f(uniformLocation("viewportHeight"), height);
    const float shiftX = clock_ ? clock_->rippleShiftX() : 0.0f;
    const float shiftY = clock_ ? clock_->rippleShiftY() : 0.0f;
    glUniform2f(uniformLocation("rippleDrift"), time.driftX + shiftX, time.driftY + shiftY);
    glUniform1f(uniformLocation("ringSwing"), time.ringSwing);
    glUniform1f(uniformLocation("refractionIntensity"), time.refractionIntensity);
}

void GLFWDrawableSky::beforeDraw() {}
