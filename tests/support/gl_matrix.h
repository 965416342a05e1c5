#pragma once

#include <GL/gl.h>
#include <array>

// Matrices written out independently of GLU, to check what the code under test loads.
using Matrix = std::array<double, 16>; // column-major, as OpenGL stores it

Matrix currentMatrix(GLenum which);
Matrix identityMatrix();
Matrix multiply(const Matrix& a, const Matrix& b);
// gluPerspective's matrix.
Matrix perspectiveMatrix(double fovyDegrees, double aspect, double nearPlane, double farPlane);
void expectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance);
