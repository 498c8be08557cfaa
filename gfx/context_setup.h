// The OpenGL context the program draws with, set up in one place so that the
// real-GL tests and the tools draw as the program does.
#pragma once

// GLFW window hints before the window is made: an OpenGL 2.0 context that is
// lost on a GPU reset, no multisampling, no stereo, no depth or stencil
// buffer.
void setContextHints();

// The render state after glLoaderInit: clockwise front faces with back faces
// culled, and no multisampling or smoothing.
void setRenderState();
