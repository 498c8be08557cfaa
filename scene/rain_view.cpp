#include "scene/rain_view.h"

void RainView::makeNormalsTarget() {
    if (normalsFramebuffer_ != 0) return;
    glGenFramebuffers(1, &normalsFramebuffer_);
    glBindFramebuffer(GL_FRAMEBUFFER, normalsFramebuffer_);
    glActiveTexture(GL_TEXTURE0);
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
    // Once: later frames draw over the rows they use and leave the rest.
    glClear(GL_COLOR_BUFFER_BIT);
}

RainView::~RainView() {
    if (normalsFramebuffer_ == 0) return;
    glDeleteTextures(1, &normalsTarget_);
    glDeleteFramebuffers(1, &normalsFramebuffer_);
}
