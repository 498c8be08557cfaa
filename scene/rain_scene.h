// The one scene the screensaver shows: rain ripples over a photograph.
//
// Every frame draws the full-screen rectangle with the ripple program, in one
// of two quality modes: per-pixel (the ripple field computed for every screen
// pixel) or normals-texture (the ripple normals rendered into a square
// off-screen texture first, the screen pass reading them from there). The
// scene starts per-pixel and, after 100 measured renders, decides once
// whether to switch and at which size.
//
// The scene's objects (program, background, rectangle) are shared by every
// window it draws into; each window brings its own RainView.
#pragma once

#include <cstdint>
#include <memory>

#include "gfx/camera.h"
#include "gfx/gl.h"
#include "gfx/scene_clock.h"
#include "scene/background_choice.h"
#include "scene/frame_stats.h"
#include "scene/rain_view.h"

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

// The mode for a frame whose first kMeasuredFrames per-pixel renders took
// `averageMs` on average (all its windows together) and whose smallest
// window has `windowPixels` pixels. The thresholds pick 512 or 1024 as
// before; a texture is then halved, down to 128, until it costs less than
// per-pixel rendering of that window, and where none does the windows stay
// per-pixel.
QualityChoice chooseQuality(std::int64_t windowPixels, float averageMs);

class RainScene {
public:
    RainScene();
    // Frees what setup built, GL objects included: a context sharing them
    // must be current.
    ~RainScene();
    RainScene(const RainScene&) = delete;
    RainScene& operator=(const RainScene&) = delete;

    // Builds everything once, in the current context; later calls do nothing.
    void setup();

    // One frame over every window: beginFrame, then renderView for each
    // window with its context current, then endFrame. The frame statistics
    // measure the whole, so the quality decision judges all windows together.
    // Nothing happens before setup.
    void beginFrame();
    void renderView(RainView& view);
    void endFrame();
    // The frame of a single window (its context current).
    void render(RainView& view);

    SceneClock* clock() { return clock_.get(); }
    Camera* camera() { return camera_.get(); }
    const FrameStats& frameStats() const { return stats_; }
    bool usesNormalsTexture() const { return useNormalsTexture_; }
    std::int32_t normalsSize() const { return normalsSize_; }
    // The bitmap shown, or kPhotoBackgroundId for a photograph of the user's.
    int backgroundId() const { return backgroundId_; }
    const GLFWTexture* background() const { return background_.get(); }
    GLuint blankTexture() const { return blank_; }

private:
    // The off-screen pass of normals-texture mode into the view's target.
    void renderNormals(RainView& view);
    void decideQuality();

    FrameStats stats_;
    std::unique_ptr<GLFWProgramRegistry> registry_;
    std::unique_ptr<SceneClock> clock_;
    std::unique_ptr<Camera> camera_;
    std::unique_ptr<GLFWTexture> background_;
    std::unique_ptr<GLFWDrawableSky> sky_;
    GLuint blank_ = 0;  // createBlankTexture
    std::int32_t normalsSize_ = RainView::kTargetSide;
    bool useNormalsTexture_ = false;
    GLint normalsTextureLocation_ = -1;
    GLint normalsTextureSizeLocation_ = -1;
    GLint backgroundTextureLocation_ = -1;
    GLint renderModeLocation_ = -1;
    int backgroundId_ = 0;
    std::int64_t smallestViewPixels_ = -1;  // of the views drawn this frame; -1 before the first
};
