#include "effects/camera.h"
#include "support/gl_matrix.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// The textbook look-at matrix, written out independently of GLU.
Matrix lookAt(const double eye[3], const double target[3]) {
    double forward[3] = {target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]};
    const double forwardLength =
        std::sqrt(forward[0] * forward[0] + forward[1] * forward[1] + forward[2] * forward[2]);
    for (double& c : forward) {
        c /= forwardLength;
    }
    // side = forward x up, with up = (0, 1, 0)
    double side[3] = {-forward[2], 0.0, forward[0]};
    const double sideLength = std::sqrt(side[0] * side[0] + side[2] * side[2]);
    for (double& c : side) {
        c /= sideLength;
    }
    const double up[3] = {side[1] * forward[2] - side[2] * forward[1],
                          side[2] * forward[0] - side[0] * forward[2],
                          side[0] * forward[1] - side[1] * forward[0]};
    Matrix m{};
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = side[i];
        m[i * 4 + 1] = up[i];
        m[i * 4 + 2] = -forward[i];
    }
    m[15] = 1.0;
    Matrix translate = identityMatrix();
    translate[12] = -eye[0];
    translate[13] = -eye[1];
    translate[14] = -eye[2];
    return multiply(m, translate);
}

Camera cameraAt(float eyeX, float eyeY, float eyeZ) {
    Camera camera{};
    camera.setFieldOfView(90.0f);
    camera.setTarget(0.0f, 0.0f, 0.0f);
    camera.setEye(eyeX, eyeY, eyeZ);
    return camera;
}

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        glViewport(0, 0, 512, 512);
        // The start-up projection, which apply must replace.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glFrustum(-1, 1, -1, 1, 1, 2);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    GlTestContext context;
};

TEST_F(CameraTest, ApplyMultipliesTheLookAtOntoTheModelviewAndReplacesTheProjection) {
    glTranslatef(1.0f, 2.0f, 3.0f);
    const Matrix entry = currentMatrix(GL_MODELVIEW_MATRIX);
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);

    Camera camera = cameraAt(30.0f, 20.0f, 40.0f);
    camera.setTarget(1.0f, -2.0f, 0.5f);
    camera.apply();

    const double eye[3] = {30.0, 20.0, 40.0};
    const double target[3] = {1.0, -2.0, 0.5};
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), multiply(entry, lookAt(eye, target)),
                     1e-5);
    expectMatrixNear(currentMatrix(GL_PROJECTION_MATRIX),
                     perspectiveMatrix(90.0, 4.0 / 3.0, static_cast<double>(0.1f), 10000.0), 1e-5);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
}

TEST_F(CameraTest, AspectStaysFourThirdsWhateverTheViewport) {
    glViewport(0, 0, 300, 700);
    cameraAt(0.0f, 0.0f, 10.0f).apply();
    const Matrix projection = currentMatrix(GL_PROJECTION_MATRIX);
    EXPECT_NEAR(projection[5] / projection[0], 4.0 / 3.0, 1e-6);
}

TEST_F(CameraTest, TargetIsDrawnAtTheCentreOfTheView) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    Camera camera = cameraAt(20.0f, 15.0f, 30.0f);
    camera.setTarget(5.0f, 5.0f, 5.0f);
    camera.apply();
    glColor3f(1.0f, 1.0f, 1.0f);
    glPointSize(5.0f);
    glBegin(GL_POINTS);
    glVertex3f(5.0f, 5.0f, 5.0f);
    glEnd();
    EXPECT_EQ(readPixel(256, 256), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(readPixel(266, 256), (Rgba{0, 0, 0, 255}));
}

TEST_F(CameraTest, ChangingTheEyeAfterApplyTakesEffectOnlyAtTheNextApply) {
    Camera camera = cameraAt(0.0f, 0.0f, 100.0f);
    glPushMatrix();
    camera.apply();
    const Matrix applied = currentMatrix(GL_MODELVIEW_MATRIX);
    camera.setEye(50.0f, 0.0f, 0.0f);
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), applied, 0.0);
    glPopMatrix();
    glPushMatrix();
    camera.apply();
    const double eye[3] = {50.0, 0.0, 0.0};
    const double target[3] = {0.0, 0.0, 0.0};
    expectMatrixNear(currentMatrix(GL_MODELVIEW_MATRIX), lookAt(eye, target), 1e-5);
    glPopMatrix();
}

} // namespace
