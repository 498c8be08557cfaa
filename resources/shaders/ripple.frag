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
// The refraction strength of the moment, mix(0.01, 0.15, smoothstep(0.1, 0.6,
// w)) with w = |fract(0.05 iTime + 0.5) 2 - 1|: one value for the whole frame.
uniform float refractionIntensity;
uniform float viewportWidth;
uniform float viewportHeight;

layout(binding = 0) uniform sampler2D normalsTexture;
layout(binding = 1) uniform sampler2D backgroundTexture;
// What a draw will not need, told in advance: a texture whose alpha reads 0
// here marks a draw that computes no ripples (the scene binds one for the
// screen pass of texture mode, whose renderMode says the same). An empty
// unit reads alpha 1. Mesa's software rasteriser (llvmpipe) runs both sides
// of every branch for all its fragments, but builds a variant of the shader
// for the formats and swizzles of the textures bound: with that alpha a
// constant 0 (by the texture's swizzle), the ripple arithmetic drops out of
// the texture mode's screen pass, which then costs its two texture reads.
layout(binding = 2) uniform sampler2D passHint;

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

// The ring's profile behind its front is wave(e) = sin(31 e) * envelope(e):
// a short wave train that rises from nothing 0.6 cells inside the circle and
// dies out at the front. The envelope is smoothstep(-0.6, -0.3, e) times the
// falling edge 1 - smoothstep(-0.3, 0, e); only one of the two is below 1 at
// any e, and the falling edge is the rising one mirrored, so both are one
// smoothstep of the distance from the band's middle, u = 1 - |x - 1| with x
// the position across the band in units of its 0.3-cell halves. It is exactly
// 0 outside the band, -0.6 < e < 0.
vec2 envelopes(vec2 e)
{
    vec2 u = 1.0 - abs(clamp((e + 0.6) * (1.0 / 0.3), 0.0, 2.0) - 1.0);
    return u * u * (3.0 - 2.0 * u);
}

// sin and cos of a from one range reduction to [-pi/4, pi/4] (two-part pi/2,
// exact enough for the |a| < 20 of a ring) and two short polynomials.
vec2 sinCos(float a)
{
    float k = floor(a * 0.63661977 + 0.5);
    float r = a - k * 1.5707964 + k * 4.3711388e-8;
    float r2 = r * r;
    float s = r + r * r2 * (-0.16666667 + r2 * (0.0083333310 + r2 * -0.00019840874));
    float c = 1.0 + r2 * (-0.5 + r2 * (0.041666638 + r2 * (-0.0013888378 + r2 * 2.4390448e-05)));
    // Quadrant k mod 4: odd quadrants swap sine and cosine, the upper two
    // negate both.
    float odd = k - 2.0 * floor(k * 0.5);
    float upper = 1.0 - 2.0 * (floor(k * 0.5) - 2.0 * floor(k * 0.25));
    return upper * vec2(mix(s, c, odd), mix(c, -s, odd));
}

// The ring's radial slope at d, the central difference
// (wave(d + h) - wave(d - h)) / 2h with h = 0.001, written with
// sin(31 (d +- h)) = sin(31 d) cos(31 h) +- cos(31 d) sin(31 h): one sine and
// cosine instead of two sines, and no cancellation between two nearly equal
// waves.
float slope(float d)
{
    const float h = 0.001;
    vec2 e = envelopes(vec2(d + h, d - h));
    vec2 sc = sinCos(31.0 * d);
    return sc.x * (e.x - e.y) * (cos(31.0 * h) / (2.0 * h)) + sc.y * (e.x + e.y) * (sin(31.0 * h) / (2.0 * h));
}

// Whether the ring of cell c can tilt the water at uv: a ring is flat
// outside its band, more than 0.6 cells inside its front or beyond it, so a
// cell whose band (widened by a margin far above rounding) does not hold uv
// adds exactly zero. Squared distances: no root.
bool inBand(vec2 c, vec2 uv, float finalRadius, float phase)
{
    vec2 v = c + hash22(c) - uv;
    float front = finalRadius * fract(phase + hash12(c));
    float outer = front + 0.01;
    float inner = max(front - 0.61, 0.0);
    float distance2 = dot(v, v);
    return distance2 < outer * outer && distance2 > inner * inner;
}

void main()
{
    float aspect = viewportWidth / viewportHeight;
    vec2 uvx = vec2(gl_FragCoord.x / viewportWidth, (gl_FragCoord.y / viewportHeight) / aspect);

    vec3 n = texture2D(normalsTexture, uvx * (normalsTextureSize / 1024.0)).rgb;
    if (renderMode < 2.0 && texture2D(passHint, vec2(0.5)).a != 0.0) {
        // Ripple space: 5 cells per normalsTextureSize pixels, drifting slowly.
        vec2 uv = rippleDrift + 5.0 * gl_FragCoord.xy / normalsTextureSize;
        vec2 p0 = floor(uv);
        float finalRadius = float(MAX_RADIUS) + 0.5 - 0.2 * ringSwing;
        float phase = 0.3 * iTime;

        // The cells whose band holds the fragment, cell (i, j) as bit
        // 4 (j + 1) + i + 1: a row of three cells and a gap, so that a bit
        // splits by & and >>. Written out rather than looped: the nine tests
        // share their columns' and rows' terms of the hashes.
        int rings = (inBand(p0 + vec2(-1.0, -1.0), uv, finalRadius, phase) ? 1 : 0) |
                    (inBand(p0 + vec2(0.0, -1.0), uv, finalRadius, phase) ? 2 : 0) |
                    (inBand(p0 + vec2(1.0, -1.0), uv, finalRadius, phase) ? 4 : 0) |
                    (inBand(p0 + vec2(-1.0, 0.0), uv, finalRadius, phase) ? 16 : 0) |
                    (inBand(p0 + vec2(0.0, 0.0), uv, finalRadius, phase) ? 32 : 0) |
                    (inBand(p0 + vec2(1.0, 0.0), uv, finalRadius, phase) ? 64 : 0) |
                    (inBand(p0 + vec2(-1.0, 1.0), uv, finalRadius, phase) ? 256 : 0) |
                    (inBand(p0 + vec2(0.0, 1.0), uv, finalRadius, phase) ? 512 : 0) |
                    (inBand(p0 + vec2(1.0, 1.0), uv, finalRadius, phase) ? 1024 : 0);

        // The slopes of those rings, in the cells' order; the sum is the one
        // of all nine, the others adding zero. A loop rather than an if
        // around the slope of every cell: llvmpipe leaves a loop as soon as
        // no fragment is left in it, so a block of fragments pays for as many
        // slopes as its fragment with the most rings (about 1.6 on average);
        // a fragment without any ring runs one pass that adds nothing.
        vec2 circles_average = vec2(0.0);
        do {
            int k = findLSB(rings);
            rings &= rings - 1;
            vec2 c = p0 + vec2(float((k & 3) - MAX_RADIUS), float((k >> 2) - MAX_RADIUS));
            vec2 v = c + hash22(c) - uv;
            float t = fract(phase + hash12(c));
            float len = length(v);
            float s = slope(len - finalRadius * t) * (1.0 - t) * (1.0 - t);
            circles_average += k >= 0 ? 0.5 * (v / len) * s : vec2(0.0);
        } while (rings != 0);
        circles_average /= 9.0;
        // Young strong ripples can tilt past vertical: keep the root real.
        n = vec3(circles_average, sqrt(max(0.0, 1.0 - dot(circles_average, circles_average))));
    }

    // Mode 0.5 shows the normal itself; the others shade with it.
    vec3 colour = n;
    if (renderMode >= 1.0) {
        // Refraction: the normal shifts the look-up into the photograph.
        vec3 base = texture2D(backgroundTexture, uvx - refractionIntensity * n.xy).rgb;
        // Specular highlight from a fixed light; the sixth power as three
        // products rather than pow's exp2(6 log2(x)).
        float lit = clamp(dot(n, normalize(vec3(1.0, 0.7, 0.5))), 0.0, 1.0);
        float lit3 = lit * lit * lit;
        colour = base + vec3(5.0 * lit3 * lit3);
    }
    gl_FragColor = vec4(colour, 1.0);
}
//~
