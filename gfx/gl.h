// OpenGL for the whole program: the Khronos types and enums, and every
// function as a process-wide pointer of the entry-point table, filled once by
// glLoaderInit. Include this instead of any system OpenGL header.
#pragma once

#include <GL/glcorearb.h>

#define LUMERIDGE_GL_ENTRY(name, type) extern type lumeridge_##name;
#include "gfx/gl_functions.inc"
#undef LUMERIDGE_GL_ENTRY

// Calls are spelled as in OpenGL and go through the table.
#define LUMERIDGE_GL_ENTRY(name, type)
#include "gfx/gl_aliases.inc"
#undef LUMERIDGE_GL_ENTRY
