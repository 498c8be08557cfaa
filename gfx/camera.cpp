#include "gfx/camera.h"

#include <cmath>

Camera::Camera(const Vector3& eyePosition) : eye(eyePosition) { target = eye + forward; }

void Camera::pitch(float degrees) {
    const float r = radians(degrees);
    forward = forward * std::cos(r) + up * std::sin(r);
    up = cross(right, forward);
    target = eye + forward;
}

void Camera::updateView(int index) {
    views[index] = lookAt(eye, target, up);
    currentView = index;
}
