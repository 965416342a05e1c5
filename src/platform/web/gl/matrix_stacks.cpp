#include "platform/web/gl/matrix_stacks.h"

namespace webgl {

MatrixStacks::MatrixStacks()
    : modelviewStack{identityMatrix()}, projectionStack{identityMatrix()},
      selected(&modelviewStack) {}

bool MatrixStacks::select(GLenum mode) {
    if (mode == GL_MODELVIEW) {
        selected = &modelviewStack;
    } else if (mode == GL_PROJECTION) {
        selected = &projectionStack;
    } else {
        return false;
    }
    return true;
}

bool MatrixStacks::push() {
    if (selected->size() >= maximumDepth) {
        return false;
    }
    selected->push_back(selected->back());
    return true;
}

bool MatrixStacks::pop() {
    if (selected->size() <= 1) {
        return false;
    }
    selected->pop_back();
    return true;
}

void MatrixStacks::load(const Matrix4& m) {
    selected->back() = m;
}

void MatrixStacks::multiplyBy(const Matrix4& m) {
    selected->back() = multiply(selected->back(), m);
}

} // namespace webgl
