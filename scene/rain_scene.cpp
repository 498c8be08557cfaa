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

// Per pixel, the ripple program costs about as much in per-pixel mode as in
// the normals pass (30 ns of CPU each on llvmpipe, scripts/bench ripple) and
// 11 ns in the screen pass that reads the normals. The normals pass draws the
// rows of its square that a window of width W and height H reads, H / W of
// them (all in a window taller than wide), so a texture of S x S for P
// window pixels costs 30 S^2 min(1, H / W) + 11 P against 30 P: less while
// S^2 min(1, H / W) < 0.63 P, which S^2 < 0.6 P keeps for every shape.
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

RainScene::~RainScene() {
    if (blank_ != 0) glDeleteTextures(1, &blank_);
}

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
    blank_ = createBlankTexture();

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

    if (useNormalsTexture_) renderNormals(view);

    // Screen pass. Per pixel, the blank texture stands in for the normals
    // target the shader does not read (llvmpipe fetches from every bound or
    // empty unit the shader names, whichever way its branches go, but not
    // from a texture that reads constants), and unit 2 stays empty; in
    // texture mode the blank on unit 2 is the hint that the pass computes no
    // ripples.
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, useNormalsTexture_ ? view.normalsTarget() : blank_);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, background_->textureId());
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, useNormalsTexture_ ? blank_ : 0);
    glUniform1f(normalsTextureSizeLocation_, static_cast<float>(normalsSize_));
    glUniform1i(normalsTextureLocation_, 0);
    glUniform1i(backgroundTextureLocation_, 1);
    glUniform1f(renderModeLocation_, useNormalsTexture_ ? kModeBackgroundFromTexture : kModeNormalsBackground);
    glViewport(0, 0, size.width(), size.height());
    sky_->draw();
}

std::int32_t normalsRowsRead(std::int32_t normalsSize, std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0 || height >= width) return normalsSize;
    // Row floor(y / width * size) for y below height, one more for the
    // rounding of that division on the GPU.
    const std::int64_t rows = static_cast<std::int64_t>(normalsSize) * height / width + 2;
    return rows < normalsSize ? static_cast<std::int32_t>(rows) : normalsSize;
}

void RainScene::renderNormals(RainView& view) {
    view.makeNormalsTarget();
    // Ripple normals into the lower-left square of normalsTarget, using the
    // normalsTextureSize the previous frame left; only its rows that the
    // screen pass reads (the square spans the window's width, so height /
    // width of it), whose pixels the rectangle overwrites every frame.
    glBindFramebuffer(GL_FRAMEBUFFER, view.normalsFramebuffer());
    glUniform1f(renderModeLocation_, kModeNormals);
    glViewport(0, 0, normalsSize_, normalsRowsRead(normalsSize_, view.size().width(), view.size().height()));
    // The pass reads no texture: the blank stands in on units 0 and 1 (unit
    // 0 still holds normalsTarget, which the pass draws into, and GL leaves a
    // texture sampled while it is rendered to undefined), unit 2 is empty.
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, blank_);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, blank_);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, 0);
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
