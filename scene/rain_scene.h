// The one scene the screensaver shows: rain ripples over a photograph.
#pragma once

#include "scene/camera.h"
#include "scene/scene_clock.h"

class RainScene {
public:
    void setup();
    void render();
    SceneClock* clock() { return clock_; }

private:
    SceneClock* clock_ = nullptr;
    Camera* camera_ = nullptr;
};

// The process-wide scene, created on first use and never destroyed.
RainScene& rainScene();
