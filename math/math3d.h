// Single-precision vectors and a column-major 4x4 matrix with the few
// builders the scene needs.
#pragma once

struct Vector3 {
    float x, y, z;
    Vector3() : x(0.0f), y(0.0f), z(0.0f) {}
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};

Vector3 operator+(const Vector3& a, const Vector3& b);
Vector3 operator-(const Vector3& a, const Vector3& b);
Vector3 operator*(const Vector3& a, float s);
Vector3 operator-(const Vector3& a);
Vector3 operator/(const Vector3& a, float s);
float length(const Vector3& a);
Vector3 normalize(const Vector3& a);  // no guard: a zero vector gives non-finite components
Vector3 cross(const Vector3& a, const Vector3& b);

struct Vector4 {
    float x, y, z, w;
    Vector4() : x(0.0f), y(0.0f), z(0.0f), w(0.0f) {}
    Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
    float& operator[](int i) { return (&x)[i]; }
    float operator[](int i) const { return (&x)[i]; }
};

// Four columns, column 0 first: the sixteen floats lie in OpenGL's order.
// Element (row r, column c) is component r of column c.
struct Matrix4 {
    Vector4 columns[4];
    Matrix4() = default;
    Matrix4(const Vector4& c0, const Vector4& c1, const Vector4& c2, const Vector4& c3) : columns{c0, c1, c2, c3} {}
    Vector4& operator[](int c) { return columns[c]; }
    const Vector4& operator[](int c) const { return columns[c]; }
    const float* data() const { return &columns[0].x; }
    static Matrix4 identity();
};

// The ordinary product: applied to a column vector, b first, then a.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);

float radians(float degrees);
Matrix4 perspective(float fovDegrees, float aspect, float nearPlane, float farPlane);
Matrix4 translation(float x, float y, float z);
Matrix4 translation(const Vector3& v);
Matrix4 lookAt(const Vector3& eye, const Vector3& target, const Vector3& up);
