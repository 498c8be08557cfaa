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

}  // namespace

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
    if (clock_ != nullptr) stats_.begin();
}

void RainScene::endFrame() {
    if (clock_ == nullptr) return;
    decideQuality();
    stats_.end();
}

void RainScene::renderView(RainView& view) {
    if (clock_ == nullptr) return;
    const WindowSize& size = view.size();

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
    if (useNormalsTexture_) sky_->draw();

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
    const float average = stats_.averageMs();
    if (average > kSmallNormalsAboveMs) {
        useNormalsTexture_ = true;
        normalsSize_ = 512;
    } else if (average > kNormalsTextureAboveMs) {
        useNormalsTexture_ = true;
        normalsSize_ = 1024;
    }
}
