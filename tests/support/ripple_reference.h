// The ripple arithmetic on the CPU in single precision, with the texture
// look-ups modelled on OpenGL's sampling rules, so that what a driver renders
// can be compared with what the picture is defined to be.
//
// It is the plain form of that arithmetic, as tests/gl/straightforward_ripple
// .frag has it: all nine cells, each ring's slope a central difference of
// two wave evaluations, the highlight a pow. The same constants as 32-bit
// floats, GLSL's definitions of fract, mix, smoothstep (any edge order) and
// normalize. The program's shader reaches the same sum by another route (it
// skips the cells whose ring is flat at the fragment, which add exactly
// zero, takes the central difference through the angle-sum identity, and the
// sixth power as products), so the two agree to rounding, not bit for bit:
// the reference stays the definition rather than a copy of the route, so that
// a slip in the route shows.
#pragma once

#include <vector>

#include "gfx/scene_clock.h"

namespace ripple {

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// GLSL built-ins, single precision.
float fract(float x);
float mix(float a, float b, float t);
// t^2 (3 - 2t) with t = clamp((x - a) / (b - a), 0, 1); also for a > b.
float smoothstep(float a, float b, float x);

float hash12(Vec2 p);
Vec2 hash22(Vec2 p);
// The ring's profile: sin(31 e) inside the band -0.6 < e < 0 behind the front;
// the falling edge written as 1 - smoothstep(-0.3, 0, e), as the shader has it.
float wave(float e);
// The refraction strength at a time: 0.01 near multiples of 20 s, 0.15 near
// odd multiples of 10 s.
float refractionIntensity(float iTime);

// A texture's level 0 as the shader sees it: RGB floats per texel, row 0 at
// texture coordinate t = 0.
struct Texture {
    int width = 0;
    int height = 0;
    std::vector<float> rgb;
    Vec3 texel(int i, int j) const;  // indices wrapped (GL_REPEAT)
};

// GL_LINEAR with GL_REPEAT, level 0.
Vec3 sampleLinear(const Texture& texture, Vec2 st);
// GL_NEAREST with GL_REPEAT.
Vec3 sampleNearest(const Texture& texture, Vec2 st);

struct Uniforms {
    // Scene seconds: the shader's time inputs (iTime, rippleDrift, ringSwing)
    // are what the program's clock reduces them to (shaderTimeAt).
    double time = 0.0;
    float viewportWidth = 0.0f;
    float viewportHeight = 0.0f;
    float normalsTextureSize = 1024.0f;
    float renderMode = 1.5f;
};

struct Textures {
    const Texture* normals = nullptr;     // unit 0; read in render modes from 2.0
    const Texture* background = nullptr;  // unit 1; read in render modes from 1.0
};

// Half the sum over the nine cells of each ripple's fading radial slope,
// divided by nine, at window position `fragCoord` (a pixel centre).
Vec2 circlesAverage(Vec2 fragCoord, const ShaderTime& time, float normalsTextureSize);
// How close the fragment lies to the edge of a ring's band, in cells: the
// least |d| or |d + 0.6| over the nine cells, d the fragment's signed
// distance behind a ring's front. Near 0 the slope fades in or out, and a
// test whether a cell can be skipped is at its finest.
float bandEdgeDistance(Vec2 fragCoord, const ShaderTime& time, float normalsTextureSize);
// The surface normal from circlesAverage; the root's argument clamped at 0.
Vec3 normalFrom(Vec2 circlesAverage);
// Refraction into the background and the specular highlight.
Vec3 shade(Vec3 n, Vec2 uvx, float intensity, const Texture& background);
// gl_FragColor.rgb for the fragment at `fragCoord`.
Vec3 fragment(const Uniforms& u, const Textures& textures, Vec2 fragCoord);

// A whole viewport: width * height * 3 floats, bottom row first.
std::vector<float> render(const Uniforms& u, const Textures& textures, int width, int height);

}  // namespace ripple
