#pragma once

// The GL declarations of the host's own GL code (the drawing buffer, the
// presented side, the "PPB_OpenGLES2;1.0" table). With EGL, OpenGL ES 2.0's
// headers and library. On Windows, desktop OpenGL's: opengl32 exports the
// functions of OpenGL 1.1, and the rest are loaded from the driver at run
// time under the same names (gl_loaded_functions.h), so that the code reads
// the same on both.
#ifdef _WIN32
#include "devhost/gl/gl_loaded_functions.h"
#else
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
#endif
