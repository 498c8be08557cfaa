// The view and projection the rain scene hands to its drawable.
#pragma once

#include "math/math3d.h"

struct Camera {
    Matrix4 views[5];
    int currentView = 0;
    Vector3 eye;
    Vector3 target;
    Vector3 forward{0.0f, 0.0f, -1.0f};
    Vector3 right{1.0f, 0.0f, 0.0f};
    Vector3 up{0.0f, 1.0f, 0.0f};
    Matrix4 projectionMatrix;

    explicit Camera(const Vector3& eyePosition);

    void pitch(float degrees);
    void updateView(int index);
    void setProjection(const Matrix4& m) { projectionMatrix = m; }
    void setCurrentView(int index) { currentView = index; }
    const Matrix4& projection() const { return projectionMatrix; }
    const Matrix4& view() const { return views[currentView]; }
};
