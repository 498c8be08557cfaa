// The one scene the screensaver shows: rain ripples over a photograph.
//
// Every frame draws the full-screen rectangle with the ripple program, in one
// of two quality modes: per-pixel (the ripple field computed for every screen
// pixel) or normals-texture (the ripple normals rendered into a square
// off-screen texture first, the screen pass reading them from there). The
// scene starts per-pixel and, after 100 measured renders, decides once
// whether to switch and at which size.
#pragma once

#include <cstdint>

#include "gfx/gl.h"
#include "scene/background_choice.h"
#include "gfx/camera.h"
#include "scene/frame_stats.h"
#include "gfx/scene_clock.h"

class GLFWProgramRegistry;
class GLFWTexture;
class GLFWDrawableSky;

// Quality thresholds on the average render time of the first 100 renders.
constexpr float kSmallNormalsAboveMs = 1.0f;    // above: 512 x 512 normals
constexpr float kNormalsTextureAboveMs = 0.2f;  // above: 1024 x 1024 normals
constexpr std::int32_t kMeasuredFrames = 100;

// A quality mode: per-pixel, or a normals texture of normalsSize squared.
struct QualityChoice {
    bool useNormalsTexture = false;
    std::int32_t normalsSize = 1024;
    bool operator==(const QualityChoice& other) const {
        return useNormalsTexture == other.useNormalsTexture && normalsSize == other.normalsSize;
    }
};

// The rows of a normals square of side `normalsSize` that the screen pass of
// a `width` x `height` window reads: the square spans the window's width.
std::int32_t normalsRowsRead(std::int32_t normalsSize, std::int32_t width, std::int32_t height);

// The mode for windows of `windowPixels` pixels in all whose first
// kMeasuredFrames per-pixel renders took `averageMs` on average. The
// thresholds pick 512 or 1024 as before; a texture is then halved, down to
// 128, until it costs less than per-pixel rendering of the same windows,
// and where none does the windows stay per-pixel.
QualityChoice chooseQuality(std::int64_t windowPixels, float averageMs);

class RainScene {
public:
    RainScene() = default;
    // Frees what setup built, GL objects included (the program's own scene
    // is never destroyed; tests build and drop scenes of their own).
    ~RainScene();
    RainScene(const RainScene&) = delete;
    RainScene& operator=(const RainScene&) = delete;

    // Builds everything once; later calls do nothing.
    void setup();
    // One frame into the bound back buffer. Does nothing before setup.
    void render();

    SceneClock* clock() { return clock_; }
    Camera* camera() { return camera_; }
    const FrameStats& frameStats() const { return stats_; }
    bool usesNormalsTexture() const { return useNormalsTexture_; }
    std::int32_t normalsSize() const { return normalsSize_; }
    // The bitmap shown, or kPhotoBackgroundId for a photograph of the user's.
    int backgroundId() const { return backgroundId_; }
    // 0 until the first frame of normals-texture mode creates them.
    GLuint normalsFramebuffer() const { return normalsFramebuffer_; }
    GLuint normalsTarget() const { return normalsTarget_; }
    GLuint blankTexture() const { return blank_; }
    const GLFWTexture* background() const { return background_; }

private:
    // The off-screen pass of normals-texture mode.
    void renderNormals();
    // The normals framebuffer and its target, made when the quality decision
    // first asks for them: a per-pixel run never needs them, and the target
    // is 8 MiB of fresh memory.
    void createNormalsTarget();
    void decideQuality();

    FrameStats stats_;
    GLFWProgramRegistry* registry_ = nullptr;
    SceneClock* clock_ = nullptr;
    Camera* camera_ = nullptr;
    GLFWTexture* background_ = nullptr;
    GLFWDrawableSky* sky_ = nullptr;
    GLuint normalsFramebuffer_ = 0;
    GLuint normalsTarget_ = 0;
    GLuint blank_ = 0;  // createBlankTexture
    std::int32_t normalsSize_ = 1024;
    bool useNormalsTexture_ = false;
    GLint normalsTextureLocation_ = -1;
    GLint normalsTextureSizeLocation_ = -1;
    GLint backgroundTextureLocation_ = -1;
    GLint renderModeLocation_ = -1;
    int backgroundId_ = 0;
};

// The process-wide scene, created on first use and never destroyed.
RainScene& rainScene();
