#version 420 compatibility
// The ripple algorithm written the plain way, as a yardstick for the
// program's own fragment shader (resources/shaders/ripple.frag): the nine
// cells around the fragment, each with its two hashes and its wave evaluated
// twice for a central-difference slope, or, from render mode 2.0 on, the
// normals read from the texture. The same uniforms and the same picture;
// only gl_ripple_bench compiles it.

in vec2 fs_tex;

uniform float iTime;
uniform vec2 rippleDrift;
uniform float ringSwing;
uniform float viewportWidth;
uniform float viewportHeight;

layout(binding = 0) uniform sampler2D normalsTexture;
layout(binding = 1) uniform sampler2D backgroundTexture;

uniform float normalsTextureSize;
uniform float renderMode;

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

float wave(float e)
{
    return sin(31.0 * e) * smoothstep(-0.6, -0.3, e) * (1.0 - smoothstep(-0.3, 0.0, e));
}

vec3 shade(vec3 n, vec2 uvx, float intensity)
{
    vec3 base = texture2D(backgroundTexture, uvx - intensity * n.xy).rgb;
    vec3 light = normalize(vec3(1.0, 0.7, 0.5));
    float spec = 5.0 * pow(clamp(dot(n, light), 0.0, 1.0), 6.0);
    return base + vec3(spec);
}

void main()
{
    float w = abs(fract(0.05 * iTime + 0.5) * 2.0 - 1.0);
    float intensity = mix(0.01, 0.15, smoothstep(0.1, 0.6, w));

    float aspect = viewportWidth / viewportHeight;
    vec2 uvx = vec2(gl_FragCoord.x / viewportWidth, (gl_FragCoord.y / viewportHeight) / aspect);

    vec3 colour = vec3(0.0);
    if (renderMode < 2.0) {
        vec2 uv = rippleDrift + 5.0 * gl_FragCoord.xy / normalsTextureSize;
        vec2 p0 = floor(uv);
        vec2 circles_average = vec2(0.0);
        for (int j = -MAX_RADIUS; j <= MAX_RADIUS; ++j) {
            for (int i = -MAX_RADIUS; i <= MAX_RADIUS; ++i) {
                vec2 c = p0 + vec2(float(i), float(j));
                vec2 p = c + hash22(c);
                float t = fract(0.3 * iTime + hash12(c));
                vec2 v = p - uv;
                float d = length(v) - (float(MAX_RADIUS) + 0.5 - 0.2 * ringSwing) * t;
                float h = 0.001;
                float s = (wave(d + h) - wave(d - h)) / (2.0 * h);
                s *= (1.0 - t) * (1.0 - t);
                circles_average += 0.5 * normalize(v) * s;
            }
        }
        circles_average /= 9.0;
        vec3 n = vec3(circles_average, sqrt(max(0.0, 1.0 - dot(circles_average, circles_average))));
        colour = renderMode < 1.0 ? n : shade(n, uvx, intensity);
    } else {
        vec3 n = texture2D(normalsTexture, uvx * (normalsTextureSize / 1024.0)).rgb;
        colour = shade(n, uvx, intensity);
    }
    gl_FragColor = vec4(colour, 1.0);
}
//~
