#pragma once

#include "platform/web/gl/fixed_function.h"

namespace webgl {

// The one fixed-function state behind the gl* and glu* names, drawing through WebGL into the
// context current at each draw.
FixedFunction& fixedFunction();

} // namespace webgl
