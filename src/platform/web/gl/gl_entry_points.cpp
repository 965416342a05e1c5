// The OpenGL 1.1 calls WebGL lacks or means differently, under their standard names. Calls
// WebGL has as they are (glClear, glViewport, glBindTexture, glReadPixels...) are left to
// the browser's own bindings.
#include "platform/web/gl/clear_calls.h"
#include "platform/web/gl/fixed_function_instance.h"

#include <GL/gl.h>
#include <webgl/webgl1.h>

using webgl::fixedFunction;

extern "C" {

void glMatrixMode(GLenum mode) {
    fixedFunction().matrixMode(mode);
}

void glLoadIdentity() {
    fixedFunction().loadMatrix(webgl::identityMatrix());
}

void glPushMatrix() {
    fixedFunction().pushMatrix();
}

void glPopMatrix() {
    fixedFunction().popMatrix();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    fixedFunction().multiplyMatrix(webgl::translationMatrix(x, y, z));
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    fixedFunction().multiplyMatrix(webgl::rotationMatrix(angle, x, y, z));
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    fixedFunction().multiplyMatrix(webgl::scaleMatrix(x, y, z));
}

void glBegin(GLenum mode) {
    fixedFunction().begin(mode);
}

void glEnd() {
    fixedFunction().end();
}

void glVertex2f(GLfloat x, GLfloat y) {
    fixedFunction().vertex(x, y, 0.0f);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    fixedFunction().vertex(x, y, z);
}

void glVertex3fv(const GLfloat* v) {
    fixedFunction().vertex(v[0], v[1], v[2]);
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    fixedFunction().texCoord(s, t);
}

void glTexCoord2fv(const GLfloat* v) {
    fixedFunction().texCoord(v[0], v[1]);
}

void glTexCoord2d(GLdouble s, GLdouble t) {
    fixedFunction().texCoord(static_cast<float>(s), static_cast<float>(t));
}

void glNormal3fv(const GLfloat* v) {
    fixedFunction().normal(v[0], v[1], v[2]);
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    fixedFunction().colour(red, green, blue, 1.0f);
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    fixedFunction().colour(red, green, blue, alpha);
}

void glColor4ub(GLubyte red, GLubyte green, GLubyte blue, GLubyte alpha) {
    constexpr float scale = 1.0f / 255.0f;
    fixedFunction().colour(red * scale, green * scale, blue * scale, alpha * scale);
}

void glEnable(GLenum cap) {
    if (!fixedFunction().setCapability(cap, true)) {
        emscripten_glEnable(cap);
    }
}

void glDisable(GLenum cap) {
    if (!fixedFunction().setCapability(cap, false)) {
        emscripten_glDisable(cap);
    }
}

void glBlendFunc(GLenum source, GLenum destination) {
    fixedFunction().blendFunction(source, destination);
}

// WebGL interpolates colours across triangles, which is GL_SMOOTH; flat shading is not offered.
void glShadeModel(GLenum mode) {
    if (mode != GL_SMOOTH) {
        fixedFunction().recordError(GL_INVALID_ENUM);
    }
}

void glTexGeni(GLenum coordinate, GLenum name, GLint value) {
    if (name != GL_TEXTURE_GEN_MODE) {
        fixedFunction().recordError(GL_INVALID_ENUM);
        return;
    }
    fixedFunction().textureGenerationMode(coordinate, static_cast<GLenum>(value));
}

void glGetFloatv(GLenum name, GLfloat* values) {
    if (!fixedFunction().getFloats(name, values) && !webgl::clearColourAsked(name, values)) {
        emscripten_glGetFloatv(name, values);
    }
}

GLenum glGetError() {
    const GLenum error = fixedFunction().takeError();
    return error != GL_NO_ERROR ? error : emscripten_glGetError();
}

void glEnableClientState(GLenum array) {
    fixedFunction().setClientState(array, true);
}

void glDisableClientState(GLenum array) {
    fixedFunction().setClientState(array, false);
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const void* data) {
    fixedFunction().vertexPointer(size, type, stride, data);
}

void glNormalPointer(GLenum type, GLsizei stride, const void* data) {
    fixedFunction().normalPointer(type, stride, data);
}

void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* data) {
    fixedFunction().texCoordPointer(size, type, stride, data);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    fixedFunction().drawElements(mode, count, type, indices);
}

// A browser may return from WebGL's finish before the drawing is done; reading a pixel back
// cannot, so timings taken after glFinish hold.
void glFinish() {
    emscripten_glFinish();
    GLubyte pixel[4] = {};
    emscripten_glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
}

} // extern "C"
