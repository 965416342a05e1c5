#include "platform/web/gl/fixed_function_instance.h"

#include "platform/web/gl/webgl_sink.h"

namespace webgl {

FixedFunction& fixedFunction() {
    static WebGlSink sink;
    static FixedFunction state(sink);
    return state;
}

} // namespace webgl
