// A host built without OpenGL (the Windows build) offers no
// "PPB_OpenGLES2;1.0" of its own.
#include "devhost/browser/browser_interfaces.h"

namespace pphost {

const PPB_OpenGLES2_1_0* OpenGLES2Interface() { return nullptr; }

}  // namespace pphost
