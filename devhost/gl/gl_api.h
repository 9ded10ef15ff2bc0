#pragma once

// The GL declarations of the host's own GL code (the drawing buffer, the
// presented side, the "PPB_OpenGLES2;1.0" table): OpenGL ES 2.0's, whose
// library the EGL contexts draw with.
#include <GLES2/gl2.h>
#include <GLES2/gl2ext.h>
