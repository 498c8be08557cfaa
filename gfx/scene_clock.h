// Viewport size and frame time, handed by the rain scene to its drawable.
#pragma once

class SceneClock {
public:
    explicit SceneClock(float seconds) : currentTime_(seconds) {}

    void setViewport(float width, float height) {
        width_ = width;
        height_ = height;
    }
    void setCurrentTime(float seconds) { currentTime_ = seconds; }
    float width() const { return width_; }
    float height() const { return height_; }
    float currentTime() const { return currentTime_; }

private:
    float width_ = 0.0f;
    float height_ = 0.0f;
    float currentTime_;
};
