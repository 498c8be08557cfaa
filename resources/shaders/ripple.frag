#version 420 compatibility
// Rain on water: every fragment sums the expanding ripples of the drops in
// the nine grid cells around it, turns them into a surface normal, and either
// shows that normal or lets it refract the background photograph and catch a
// specular highlight.

in vec2 fs_tex;

// Time, reduced on the CPU in double precision: iTime is the time within a
// 20-second cycle (every period computed from it divides 20 s), the others
// are values of slow periodic functions of the time since start-up.
uniform float iTime;
uniform vec2 rippleDrift;  // (sin(t / 31), cos(t / 23)): the grid's slow drift
uniform float ringSwing;   // sin(t / 10): the swing of a ring's final radius
uniform float viewportWidth;
uniform float viewportHeight;

layout(binding = 0) uniform sampler2D normalsTexture;
layout(binding = 1) uniform sampler2D backgroundTexture;

uniform float normalsTextureSize;

// 0.5: range 0 to 1, render normals
// 1.5: range 1 to 2, render normals+background
// 2.5: range 2 to 3, render background+normals from texture
uniform float renderMode;

// How many cells a ripple can cross: the search covers (2 * MAX_RADIUS + 1)^2 cells.
#define MAX_RADIUS 1

#define HASHSCALE1 0.1031
#define HASHSCALE3 vec3(0.1031, 0.1030, 0.0973)

float hash12(vec2 p)
{
    vec3 p3 = fract(vec3(p.xyx) * HASHSCALE1);
    p3 += dot(p3, p3.yzx + 19.19);
    return fract((p3.x + p3.y) * p3.z);
}

vec2 hash22(vec2 p)
{
    vec3 p3 = fract(vec3(p.xyx) * HASHSCALE3);
    p3 += dot(p3, p3.yzx + 19.19);
    return fract((p3.xx + p3.yz) * p3.zy);
}

// The ring's profile behind its front: a short wave train that rises from
// nothing 0.6 cells inside the circle and dies out at the front. The falling
// edge is smoothstep(0.0, -0.3, e) read with its edges reversed; GLSL leaves
// smoothstep undefined for edge0 >= edge1, so it is written out as the rising
// edge taken from 1, which every driver computes alike.
float wave(float e)
{
    return sin(31.0 * e) * smoothstep(-0.6, -0.3, e) * (1.0 - smoothstep(-0.3, 0.0, e));
}

vec3 shade(vec3 n, vec2 uvx, float intensity)
{
    // Refraction: the normal shifts the look-up into the photograph.
    vec3 base = texture2D(backgroundTexture, uvx - intensity * n.xy).rgb;
    // Specular highlight from a fixed light.
    vec3 light = normalize(vec3(1.0, 0.7, 0.5));
    float spec = 5.0 * pow(clamp(dot(n, light), 0.0, 1.0), 6.0);
    return base + vec3(spec);
}

void main()
{
    // Refraction strength swings between calm and strong every 20 seconds.
    float w = abs(fract(0.05 * iTime + 0.5) * 2.0 - 1.0);
    float intensity = mix(0.01, 0.15, smoothstep(0.1, 0.6, w));

    float aspect = viewportWidth / viewportHeight;
    vec2 uvx = vec2(gl_FragCoord.x / viewportWidth, (gl_FragCoord.y / viewportHeight) / aspect);

    // Ripple space: 5 cells per normalsTextureSize pixels, drifting slowly.
    vec2 uv = rippleDrift + 5.0 * gl_FragCoord.xy / normalsTextureSize;
    vec2 p0 = floor(uv);

    // The cells around p0, row by row (j = -1, 0, 1), each row left to right
    // (i = -1, 0, 1): all nine below render mode 2.0, none from 2.0 on, where
    // the normals come from the texture. The mode sets the loop's count
    // rather than an if around it: a rasteriser that runs both sides of a
    // branch for all its fragments (llvmpipe does) still leaves a loop as
    // soon as no fragment is left in it, so the texture mode pays for one
    // masked pass instead of nine cells.
    const int side = 2 * MAX_RADIUS + 1;
    int cells = renderMode < 2.0 ? side * side : 0;
    vec2 circles_average = vec2(0.0);
    for (int k = 0; k < cells; ++k) {
        vec2 c = p0 + vec2(float(k % side - MAX_RADIUS), float(k / side - MAX_RADIUS));
        vec2 p = c + hash22(c);
        float t = fract(0.3 * iTime + hash12(c));
        vec2 v = p - uv;
        float d = length(v) - (float(MAX_RADIUS) + 0.5 - 0.2 * ringSwing) * t;
        float h = 0.001;
        float s = (wave(d + h) - wave(d - h)) / (2.0 * h);
        s *= (1.0 - t) * (1.0 - t);
        circles_average += 0.5 * normalize(v) * s;
    }
    circles_average /= 9.0;

    vec3 n;
    if (renderMode < 2.0) {
        // Young strong ripples can tilt past vertical: keep the root real.
        n = vec3(circles_average, sqrt(max(0.0, 1.0 - dot(circles_average, circles_average))));
    } else {
        n = texture2D(normalsTexture, uvx * (normalsTextureSize / 1024.0)).rgb;
    }

    // Mode 0.5 shows the normal itself; the others shade with it, once.
    vec3 colour = renderMode < 1.0 ? n : shade(n, uvx, intensity);
    gl_FragColor = vec4(colour, 1.0);
}
//~
