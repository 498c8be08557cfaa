#include "scene/rain_scene.h"

#include "gfx/drawable.h"
#include "gfx/program.h"
#include "gfx/texture.h"
#include "scene/photo_background.h"
#include "scene/scene_time.h"
#include "resources/resource_ids.h"

namespace {

const char* const kProgramKey = "BackgroundProgram";
constexpr int kVertexShaderId = resource::kRippleVertexShader;
constexpr int kFragmentShaderId = resource::kRippleFragmentShader;
constexpr int kRectangleObjId = resource::kRectangleObj;
constexpr int kRectangleMtlId = resource::kRectangleMtl;
constexpr int kBackgroundSide = 1024;

// Shader render modes (the shader tests ranges: below 1, 1 to 2, 2 and up).
constexpr float kModeNormals = 0.5f;
constexpr float kModeNormalsBackground = 1.5f;
constexpr float kModeBackgroundFromTexture = 2.5f;

// The shader's ripple space has 5 cells per normalsTextureSize pixels, which
// is the target's side in per-pixel mode.
constexpr float kCellsPerPixel = 5.0f / static_cast<float>(RainView::kTargetSide);

// Per pixel, the ripple program costs about 68 ns in per-pixel mode, 79 in
// the normals pass and 19 in the screen pass that reads the normals
// (llvmpipe, scripts/bench ripple). A texture of S x S for P window pixels
// costs 79 S^2 + 19 P against 68 P: less only while S^2 < 0.62 P.
constexpr double kNormalsPayBelowWindowShare = 0.6;
// Five ripple cells span the texture and a ring's wave train is a fifth of
// a cell: below 128 texels its waves fall under four texels each and alias.
constexpr std::int32_t kSmallestNormalsSize = 128;

}  // namespace

QualityChoice chooseQuality(std::int64_t windowPixels, float averageMs) {
    std::int32_t size = 0;
    if (averageMs > kSmallNormalsAboveMs) {
        size = 512;
    } else if (averageMs > kNormalsTextureAboveMs) {
        size = 1024;
    } else {
        return QualityChoice();
    }
    while (size >= kSmallestNormalsSize &&
           static_cast<double>(size) * size >= kNormalsPayBelowWindowShare * static_cast<double>(windowPixels))
        size /= 2;
    if (size < kSmallestNormalsSize) return QualityChoice();
    return QualityChoice{true, size};
}

RainScene::RainScene() = default;
RainScene::~RainScene() = default;

void RainScene::setup() {
    if (clock_ != nullptr) return;

    stats_ = FrameStats();
    registry_ = std::make_unique<GLFWProgramRegistry>();
    clock_ = std::make_unique<SceneClock>(0.0);
    camera_ = std::make_unique<Camera>(Vector3(0.0f, 0.0f, 100.0f));
    camera_->pitch(1.0f);
    camera_->updateView(0);

    const std::vector<unsigned char> photo = loadBackgroundPhoto(kBackgroundSide);
    if (!photo.empty()) {
        backgroundId_ = kPhotoBackgroundId;
        background_ = std::make_unique<GLFWTexture>(photo.data(), kBackgroundSide);
    } else {
        backgroundId_ = backgroundBitmapIds[backgroundIndex(static_cast<float>(sceneTime()))];
        background_ = std::make_unique<GLFWTexture>(backgroundId_, kBackgroundSide);
    }

    registry_->addProgram(kProgramKey, kVertexShaderId, kFragmentShaderId);

    sky_ = std::make_unique<GLFWDrawableSky>(clock_.get(), camera_.get(), registry_.get(), kProgramKey, kRectangleObjId,
                                             kRectangleMtlId, 1.0f);
    sky_->init();

    if (GLFWProgram* program = registry_->program(kProgramKey)) {
        normalsTextureLocation_ = program->uniformLocation("normalsTexture");
        normalsTextureSizeLocation_ = program->uniformLocation("normalsTextureSize");
        backgroundTextureLocation_ = program->uniformLocation("backgroundTexture");
        renderModeLocation_ = program->uniformLocation("renderMode");
    }

    useNormalsTexture_ = false;
    normalsSize_ = RainView::kTargetSide;
}

void RainScene::render(RainView& view) {
    beginFrame();
    renderView(view);
    endFrame();
}

void RainScene::beginFrame() {
    if (clock_ == nullptr) return;
    smallestViewPixels_ = -1;
    stats_.begin();
}

void RainScene::endFrame() {
    if (clock_ == nullptr) return;
    decideQuality();
    stats_.end();
}

void RainScene::renderView(RainView& view) {
    if (clock_ == nullptr) return;
    const WindowSize& size = view.size();
    const std::int64_t pixels = static_cast<std::int64_t>(size.width()) * size.height();
    if (smallestViewPixels_ < 0 || pixels < smallestViewPixels_) smallestViewPixels_ = pixels;

    camera_->setProjection(perspective(50.0f, size.aspectRatio(), 0.1f, 1000.0f));
    clock_->setViewport(static_cast<float>(size.width()), static_cast<float>(size.height()));
    clock_->setRippleShift(kCellsPerPixel * static_cast<float>(view.rippleOriginX()),
                           kCellsPerPixel * static_cast<float>(view.rippleOriginY()));
    camera_->setCurrentView(0);
    sky_->setModelMatrix(translation(0.0f, 0.0f, -100.0f));
    registry_->useProgram(kProgramKey);

    // Off-screen pass: ripple normals into the lower-left square of
    // normalsTarget, using the normalsTextureSize the previous frame left.
    glBindFramebuffer(GL_FRAMEBUFFER, view.normalsFramebuffer());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glUniform1f(renderModeLocation_, kModeNormals);
    glViewport(0, 0, normalsSize_, normalsSize_);
    if (useNormalsTexture_) {
        // The pass reads no texture, so none stays bound: unit 0 still holds
        // normalsTarget, which the pass draws into (GL leaves a texture that
        // is sampled while it is rendered to undefined, and llvmpipe runs
        // the shader's fetches of both branches for every fragment, masked),
        // and unit 1 the background. With both units empty llvmpipe builds
        // the shader without their fetches.
        glActiveTexture(GL_TEXTURE0);
        glBindTexture(GL_TEXTURE_2D, 0);
        glActiveTexture(GL_TEXTURE1);
        glBindTexture(GL_TEXTURE_2D, 0);
        sky_->draw();
    }

    // Screen pass.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, view.normalsTarget());
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, background_->textureId());
    glUniform1f(normalsTextureSizeLocation_, static_cast<float>(normalsSize_));
    glUniform1i(normalsTextureLocation_, 0);
    glUniform1i(backgroundTextureLocation_, 1);
    glUniform1f(renderModeLocation_, useNormalsTexture_ ? kModeBackgroundFromTexture : kModeNormalsBackground);
    glViewport(0, 0, size.width(), size.height());
    sky_->draw();
}

void RainScene::decideQuality() {
    // count() is 100 only during the 101st render: before end() adds it.
    if (stats_.count() != kMeasuredFrames) return;
    // The whole frame's time says how slow the machine is; the smallest
    // window bounds the texture, which no window may find dearer than its
    // own per-pixel rendering.
    const QualityChoice choice = chooseQuality(smallestViewPixels_ < 0 ? 0 : smallestViewPixels_, stats_.averageMs());
    useNormalsTexture_ = choice.useNormalsTexture;
    normalsSize_ = choice.normalsSize;
}
