#include "support/gl_matrix.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

Matrix currentMatrix(GLenum which) {
    std::array<GLdouble, 16> stored{};
    glGetDoublev(which, stored.data());
    Matrix matrix{};
    std::copy(stored.begin(), stored.end(), matrix.begin());
    return matrix;
}

Matrix identityMatrix() {
    Matrix m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
    return product;
}

Matrix perspectiveMatrix(double fovyDegrees, double aspect, double nearPlane, double farPlane) {
    const double f = 1.0 / std::tan(fovyDegrees * M_PI / 360.0);
    Matrix m{};
    m[0] = f / aspect;
    m[5] = f;
    m[10] = (farPlane + nearPlane) / (nearPlane - farPlane);
    m[11] = -1.0;
    m[14] = 2.0 * farPlane * nearPlane / (nearPlane - farPlane);
    return m;
}

void expectMatrixNear(const Matrix& actual, const Matrix& expected, double tolerance) {
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual[i], expected[i], tolerance) << "element " << i;
    }
}
