#include "math/math3d.h"

#include <cmath>

Vector3 operator+(const Vector3& a, const Vector3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vector3 operator-(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vector3 operator*(const Vector3& a, float s) { return {a.x * s, a.y * s, a.z * s}; }
Vector3 operator-(const Vector3& a) { return {-a.x, -a.y, -a.z}; }
Vector3 operator/(const Vector3& a, float s) { return {a.x / s, a.y / s, a.z / s}; }

float length(const Vector3& a) { return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z); }

Vector3 normalize(const Vector3& a) { return a / length(a); }

Vector3 cross(const Vector3& a, const Vector3& b) {
    return {a.y * b.z - b.y * a.z, a.z * b.x - b.z * a.x, a.x * b.y - b.x * a.y};
}

Matrix4 Matrix4::identity() { return Matrix4({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}); }

Matrix4 operator*(const Matrix4& a, const Matrix4& b) {
    Matrix4 result;
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[k][r] * b[c][k];
            result[c][r] = sum;
        }
    }
    return result;
}

float radians(float degrees) { return degrees * 0.017453292f; }

Matrix4 perspective(float fovDegrees, float aspect, float nearPlane, float farPlane) {
    const float f = 1.0f / std::tan(radians(fovDegrees) * 0.5f);
    const float a = f / aspect;
    const float b = (nearPlane + farPlane) / (nearPlane - farPlane);
    const float c = 2.0f * nearPlane * farPlane / (nearPlane - farPlane);
    return Matrix4({a, 0, 0, 0}, {0, f, 0, 0}, {0, 0, b, -1}, {0, 0, c, 0});
}

Matrix4 translation(float x, float y, float z) {
    return Matrix4({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {x, y, z, 1});
}

Matrix4 translation(const Vector3& v) { return translation(v.x, v.y, v.z); }

Matrix4 lookAt(const Vector3& eye, const Vector3& target, const Vector3& up) {
    const Vector3 f = normalize(target - eye);
    const Vector3 u0 = normalize(up);
    const Vector3 s = cross(f, u0);  // not normalised again
    const Vector3 u = cross(s, f);
    const Matrix4 m({s.x, u.x, -f.x, 0}, {s.y, u.y, -f.y, 0}, {s.z, u.z, -f.z, 0}, {0, 0, 0, 1});
    return m * translation(-eye);
}
