// Viewport size and frame time, handed by the rain scene to its drawable.
//
// The time stays a double here: a 32-bit float of seconds steps by 7.8 ms
// after a day and by 62.5 ms after a week, so a frame loop that handed the
// shader raw seconds would repeat frames and then jump, and GPU sines lose
// accuracy far from zero. The shader gets only values already reduced on the
// CPU, which are as fine a year into a run as in its first minute.
#pragma once

// The ripple shader's time inputs at one moment.
struct ShaderTime {
    // Seconds into the current 20-second cycle. Every periodic term the
    // shader computes from it (the 20 s refraction swing, the drops' 10/3 s
    // phase) has a period dividing 20 s, so the wrap shows no seam.
    float cycleTime = 0.0f;
    // The ripple grid's slow drift, (sin(t / 31), cos(t / 23)), and the swing
    // of a ring's final radius, sin(t / 10): periods without a common
    // multiple with the cycle, so they are sent as values.
    float driftX = 0.0f;
    float driftY = 1.0f;
    float ringSwing = 0.0f;
    // The refraction strength, which swings with the cycle between 0.01
    // (calm, at multiples of 20 s) and 0.15 (at odd multiples of 10 s): one
    // value a frame, worked out here rather than by every fragment.
    float refractionIntensity = 0.01f;
};

// The shader's inputs for `seconds` of scene time, computed in double.
ShaderTime shaderTimeAt(double seconds);

class SceneClock {
public:
    explicit SceneClock(double seconds) { setCurrentTime(seconds); }

    void setViewport(float width, float height) {
        width_ = width;
        height_ = height;
    }
    void setCurrentTime(double seconds) {
        currentTime_ = seconds;
        shaderTime_ = shaderTimeAt(seconds);
    }
    // A constant shift of the ripple grid, in cells, added to its drift: it
    // moves a window's drops to where they lie on the desktop.
    void setRippleShift(float cellsX, float cellsY) {
        rippleShiftX_ = cellsX;
        rippleShiftY_ = cellsY;
    }
    float width() const { return width_; }
    float height() const { return height_; }
    double currentTime() const { return currentTime_; }
    const ShaderTime& shaderTime() const { return shaderTime_; }
    float rippleShiftX() const { return rippleShiftX_; }
    float rippleShiftY() const { return rippleShiftY_; }

private:
    float width_ = 0.0f;
    float height_ = 0.0f;
    double currentTime_ = 0.0;
    ShaderTime shaderTime_;
    float rippleShiftX_ = 0.0f;
    float rippleShiftY_ = 0.0f;
};
