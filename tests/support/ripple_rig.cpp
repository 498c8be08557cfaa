#include "tests/support/ripple_rig.h"

#include "gfx/texture.h"
#include "math/math3d.h"
#include "resources/resource_ids.h"

namespace {
constexpr int kVertexShaderId = resource::kRippleVertexShader;
constexpr int kFragmentShaderId = resource::kRippleFragmentShader;
constexpr int kRectangleObjId = resource::kRectangleObj;
constexpr int kRectangleMtlId = resource::kRectangleMtl;
}  // namespace

RippleRig::RippleRig(const std::string& fragmentText) : camera_(Vector3(0.0f, 0.0f, 100.0f)) {
    camera_.pitch(1.0f);
    camera_.updateView(0);
    camera_.setProjection(perspective(50.0f, 16.0f / 9.0f, 0.1f, 1000.0f));
    if (fragmentText.empty()) {
        registry_.addProgram(kProgramKey, kVertexShaderId, kFragmentShaderId);
    } else {
        std::vector<char> vertex(kShaderBufferSize);
        GLFWProgram::loadTextResource(kVertexShaderId, vertex.data(), kShaderTextCapacity);
        registry_.addProgramFromTexts(kProgramKey, vertex.data(), fragmentText);
    }
    sky_ = std::make_unique<GLFWDrawableSky>(&clock_, &camera_, &registry_, kProgramKey, kRectangleObjId,
                                             kRectangleMtlId, 1.0f);
    sky_->init();
    sky_->setModelMatrix(translation(0.0f, 0.0f, -100.0f));
    blank_ = createBlankTexture();
}

// The sky goes first (declared last), while the registry's program lives.
RippleRig::~RippleRig() { glDeleteTextures(1, &blank_); }

bool RippleRig::ready() {
    GLFWProgram* p = program();
    if (p == nullptr) return false;
    GLint linked = 0;
    glGetProgramiv(p->programName(), GL_LINK_STATUS, &linked);
    if (linked == 0) return false;
    for (const char* name : {"iTime", "rippleDrift", "ringSwing", "viewportWidth", "viewportHeight", "normalsTexture", "backgroundTexture",
                             "normalsTextureSize", "renderMode"})
        if (p->uniformLocation(name) < 0) return false;
    return true;
}

void RippleRig::draw(const ripple::Uniforms& u) {
    GLFWProgram* p = program();
    if (p == nullptr) return;
    clock_.setViewport(u.viewportWidth, u.viewportHeight);
    clock_.setCurrentTime(u.time);
    registry_.useProgram(kProgramKey);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, normalsTexture_ != 0 ? normalsTexture_ : blank_);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, backgroundTexture_ != 0 ? backgroundTexture_ : blank_);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, u.renderMode >= 2.0f ? blank_ : 0);
    glUniform1f(p->uniformLocation("normalsTextureSize"), u.normalsTextureSize);
    glUniform1i(p->uniformLocation("normalsTexture"), 0);
    glUniform1i(p->uniformLocation("backgroundTexture"), 1);
    glUniform1f(p->uniformLocation("renderMode"), u.renderMode);
    sky_->draw();
}

GLuint createNormalsTexture(const std::vector<float>& rgb) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, 1024, 1024, 0, GL_RGB, GL_FLOAT,
                 rgb.size() >= 1024u * 1024u * 3u ? rgb.data() : nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    return texture;
}
