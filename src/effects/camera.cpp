#include "effects/camera.h"

#include <GL/gl.h>
#include <GL/glu.h>

void Camera::setFieldOfView(float degrees) {
    fieldOfView = degrees;
}

void Camera::setTarget(float x, float y, float z) {
    target[0] = x;
    target[1] = y;
    target[2] = z;
}

void Camera::setEye(float x, float y, float z) {
    eye[0] = x;
    eye[1] = y;
    eye[2] = z;
}

void Camera::apply() const {
    gluLookAt(eye[0], eye[1], eye[2], target[0], target[1], target[2], 0.0, 1.0, 0.0);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The near plane is the float 0.1 widened, and the aspect always 4:3 whatever the window.
    constexpr double nearPlane = static_cast<double>(0.1f);
    gluPerspective(fieldOfView, 4.0 / 3.0, nearPlane, 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glPopMatrix();
}
