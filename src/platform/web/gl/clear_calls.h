#pragma once

#include <GL/gl.h>

namespace webgl {

// Whether name is the clear colour, then given in values as last set in the current context.
bool clearColourAsked(GLenum name, GLfloat* values);

} // namespace webgl
