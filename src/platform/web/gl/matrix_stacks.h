#pragma once

#include "platform/web/gl/matrix4.h"

#include <GL/gl.h>
#include <vector>

namespace webgl {

// The modelview and projection stacks, each starting with one identity matrix.
class MatrixStacks {
public:
    MatrixStacks();

    // False for a mode other than GL_MODELVIEW and GL_PROJECTION.
    bool select(GLenum mode);
    // False when the selected stack is full or holds only its last matrix.
    bool push();
    bool pop();
    void load(const Matrix4& m);
    // Multiplies on the right of the selected stack's top, as glMultMatrix does.
    void multiplyBy(const Matrix4& m);

    const Matrix4& modelview() const { return modelviewStack.back(); }
    const Matrix4& projection() const { return projectionStack.back(); }

    // The depth OpenGL implementations commonly give both stacks.
    static constexpr std::size_t maximumDepth = 32;

private:
    std::vector<Matrix4> modelviewStack;
    std::vector<Matrix4> projectionStack;
    std::vector<Matrix4>* selected;
};

} // namespace webgl
