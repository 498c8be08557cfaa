#version 110
// Full-screen rectangle: its corners already lie at x, y = +-1, z = 0, so the
// position goes straight to clip space and the matrices are not applied.

attribute vec4 position;
attribute vec2 position_tex;
attribute vec3 position_normal;

uniform mat4 model_world;
uniform mat4 world_projection;
uniform mat4 model_projection;

varying vec2 fs_tex;

void main()
{
    fs_tex = position_tex;
    gl_Position = position;
}
//~
