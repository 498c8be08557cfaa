#include "scene/rain_view.h"

RainView::RainView(const WindowSize& size) : size_(size) {
    glGenFramebuffers(1, &normalsFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, normalsFramebuffer_);
    glGenTextures(1, &normalsTarget_);
    glBindTexture(GL_TEXTURE_2D, normalsTarget_);
    // Half floats keep the normals' signs: an 8-bit target would clamp their
    // negative x and y to 0 and the texture mode would refract one way only.
    // RGBA rather than RGB: RGBA16F is a colour-renderable format everywhere.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, kTargetSide, kTargetSide, 0, GL_RGBA, GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glFramebufferTexture(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, normalsTarget_, 0);
    const GLenum drawBuffers[1] = {GL_COLOR_ATTACHMENT0};
    glDrawBuffers(1, drawBuffers);
    // The framebuffer stays bound; the first render rebinds what it needs.
}

RainView::~RainView() {
    glDeleteTextures(1, &normalsTarget_);
    glDeleteFramebuffers(1, &normalsFramebuffer_);
}
