#include "fixed_function_scenario.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

namespace {

void recordFloats(NumberSets& sets, const char* name, GLenum query, int count) {
    GLfloat values[16] = {};
    glGetFloatv(query, values);
    sets[name].assign(values, values + count);
}

void recordMatrices(NumberSets& sets) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 4.0 / 3.0, static_cast<double>(0.1f), 10000.0);
    recordFloats(sets, "matrix/perspective", GL_PROJECTION_MATRIX, 16);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(std::sin(1.3) * 75.0, 0.0, std::cos(1.3) * 80.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    recordFloats(sets, "matrix/look at", GL_MODELVIEW_MATRIX, 16);
    glPushMatrix();
    glRotatef(117.0f, 1.0f, 1.0f, 1.0f);
    glTranslatef(1.0f, -2.0f, 3.0f);
    glScalef(2.0f, 0.5f, 1.5f);
    recordFloats(sets, "matrix/rotated, moved and scaled", GL_MODELVIEW_MATRIX, 16);
    // The projection's own stack: pushing the modelview above leaves it alone.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 1.0, 100.0);
    recordFloats(sets, "matrix/second perspective", GL_PROJECTION_MATRIX, 16);
    glPopMatrix();
    recordFloats(sets, "matrix/perspective after pop", GL_PROJECTION_MATRIX, 16);
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    recordFloats(sets, "matrix/look at after pop", GL_MODELVIEW_MATRIX, 16);
    // Popping the last matrix fails, says so, and keeps it.
    glPopMatrix();
    sets["error/one pop too many"] = {static_cast<double>(glGetError())};
    recordFloats(sets, "matrix/look at after one pop too many", GL_MODELVIEW_MATRIX, 16);
}

void recordColours(NumberSets& sets) {
    glColor3f(0.25f, 0.5f, 0.75f);
    recordFloats(sets, "colour/three floats", GL_CURRENT_COLOR, 4);
    glColor4ub(255, 127, 63, 31);
    recordFloats(sets, "colour/four bytes", GL_CURRENT_COLOR, 4);
    glColor4f(1.5f, -0.25f, 0.5f, 2.0f);
    recordFloats(sets, "colour/outside zero to one", GL_CURRENT_COLOR, 4);
}

void showcaseCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 4.0 / 3.0, static_cast<double>(0.1f), 10000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(std::sin(0.7) * 75.0, 0.0, std::cos(0.7) * 80.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glRotatef(63.0f, 1.0f, 1.0f, 1.0f);
}

void flatCamera() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

// As the meshes draw: Mesa generates coordinates only for a unit whose texturing is on.
void setSphereMapping(bool enabled) {
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    if (enabled) {
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_TEXTURE_GEN_S);
        glEnable(GL_TEXTURE_GEN_T);
    } else {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
    }
}

// Position, normal, texture coordinate, as the meshes interleave them. Some normals are not of
// unit length, which sphere mapping takes as they are.
constexpr GLfloat meshVertices[][8] = {
    {-20.0f, -15.0f, 10.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f},
    {20.0f, -15.0f, 10.0f, 0.6f, 0.0f, 0.8f, 1.0f, 0.0f},
    {20.0f, 15.0f, -10.0f, 0.0f, 2.0f, 0.0f, 1.0f, 1.0f},
    {-20.0f, 15.0f, -10.0f, -0.3f, 0.3f, 0.3f, 0.0f, 1.0f},
    {0.0f, 0.0f, 25.0f, 0.5f, -0.5f, 0.7f, 0.5f, 0.5f},
};
constexpr GLushort meshIndices[] = {0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4, 0, 2, 1};

void drawSphereMappedImmediate() {
    showcaseCamera();
    setSphereMapping(true);
    glColor3f(0.9f, 0.8f, 0.7f);
    glBegin(GL_TRIANGLES);
    for (GLushort index : meshIndices) {
        glNormal3fv(meshVertices[index] + 3);
        glTexCoord2fv(meshVertices[index] + 6);
        glVertex3fv(meshVertices[index]);
    }
    glEnd();
    setSphereMapping(false);
}

void drawSphereMappedArrays() {
    showcaseCamera();
    setSphereMapping(true);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    constexpr GLsizei stride = sizeof(meshVertices[0]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, stride, meshVertices[0]);
    glNormalPointer(GL_FLOAT, stride, meshVertices[0] + 3);
    glTexCoordPointer(2, GL_FLOAT, stride, meshVertices[0] + 6);
    glDrawElements(GL_TRIANGLES, sizeof meshIndices / sizeof meshIndices[0], GL_UNSIGNED_SHORT,
                   meshIndices);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    setSphereMapping(false);
}

// Texture coordinates and colours pass through unchanged when nothing is generated; colours
// are clamped on their way to the rasteriser.
void drawColouredTriangles() {
    flatCamera();
    glTranslatef(0.1f, 0.05f, -0.5f);
    glScalef(0.8f, 0.9f, 1.0f);
    glBegin(GL_TRIANGLES);
    glColor4ub(255, 127, 63, 31);
    glTexCoord2f(-0.25f, 1.5f);
    glVertex2f(-0.9f, -0.9f);
    glColor4f(1.5f, -0.25f, 0.5f, 2.0f);
    glTexCoord2d(0.125, 0.375);
    glVertex3f(0.9f, -0.8f, 0.3f);
    glColor3f(0.0f, 1.0f, 0.5f);
    glVertex2f(0.0f, 0.9f);
    glEnd();
}

void drawPerspectiveQuads() {
    showcaseCamera();
    glColor3f(0.5f, 0.25f, 1.0f);
    glBegin(GL_QUADS);
    for (int i = 0; i < 2; ++i) {
        const auto z = static_cast<float>(i * 10 - 5);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(-10.0f, -10.0f, z);
        glTexCoord2f(0.0f, 1.0f);
        glVertex3f(-10.0f, 10.0f, z);
        glTexCoord2f(1.0f, 1.0f);
        glVertex3f(10.0f, 10.0f, z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(10.0f, -10.0f, z);
    }
    glEnd();
}

void drawStrip() {
    flatCamera();
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < 6; ++i) {
        const auto x = static_cast<float>(i / 2) * 0.5f - 0.5f;
        const auto y = static_cast<float>(i % 2) * 0.5f - 0.25f;
        glColor4ub(static_cast<GLubyte>(40 * i), 200, 100, 255);
        glTexCoord2f(x, y);
        glVertex2f(x, y);
    }
    glEnd();
}

// A fan and a quad strip over the same corners as the strip above.
void drawFanAndQuadStrip() {
    flatCamera();
    for (GLenum mode : {GL_TRIANGLE_FAN, GL_QUAD_STRIP}) {
        glBegin(mode);
        for (int i = 0; i < 6; ++i) {
            const auto x = static_cast<float>(i / 2) * 0.5f - 0.5f;
            const auto y = static_cast<float>((i + i / 2) % 2) * 0.5f - 0.25f;
            glColor4ub(static_cast<GLubyte>(40 * i), 100, 200, 255);
            glVertex2f(x, y);
        }
        glEnd();
    }
}

void fullViewQuad() {
    glBegin(GL_QUADS);
    glVertex2f(-1.0f, -1.0f);
    glVertex2f(-1.0f, 1.0f);
    glVertex2f(1.0f, 1.0f);
    glVertex2f(1.0f, -1.0f);
    glEnd();
}

} // namespace

void recordMatrixAndColourQueries(NumberSets& sets) {
    recordMatrices(sets);
    recordColours(sets);
}

const std::vector<DrawStep>& vertexSteps() {
    static const std::vector<DrawStep> steps{
        {"vertices/sphere map, immediate", drawSphereMappedImmediate},
        {"vertices/sphere map, indexed arrays", drawSphereMappedArrays},
        {"vertices/colours and texture coordinates", drawColouredTriangles},
        {"vertices/quads in perspective", drawPerspectiveQuads},
        {"vertices/triangle strip", drawStrip},
        {"vertices/fan and quad strip", drawFanAndQuadStrip},
    };
    return steps;
}

const std::vector<DrawStep>& blendSteps() {
    static const std::vector<DrawStep> steps{
        {"blend/1 opaque, blending off",
         [] {
             flatCamera();
             glDisable(GL_BLEND);
             glColor4ub(200, 100, 50, 127);
             fullViewQuad();
         }},
        {"blend/2 source alpha",
         [] {
             glEnable(GL_BLEND);
             glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             glColor4ub(255, 255, 255, 127);
             fullViewQuad();
         }},
        {"blend/3 added, colour above one",
         [] {
             glBlendFunc(GL_ONE, GL_ONE);
             glColor4f(0.1f, 1.5f, -0.5f, 1.0f);
             fullViewQuad();
         }},
        {"blend/4 function kept while off",
         [] {
             glDisable(GL_BLEND);
             glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
             glColor4ub(10, 20, 30, 63);
             fullViewQuad();
         }},
        {"blend/5 back on with the function set while off",
         [] {
             glEnable(GL_BLEND);
             glColor4ub(250, 150, 50, 31);
             fullViewQuad();
             glDisable(GL_BLEND);
         }},
    };
    return steps;
}

std::vector<MipmapSource> mipmapSources() {
    const struct {
        const char* name;
        int width;
        int height;
        int components;
        int alignment;
    } shapes[] = {
        {"mipmap/4x2 rgb", 4, 2, 3, 4},  {"mipmap/5x3 rgb", 5, 3, 3, 4},
        {"mipmap/6x6 rgba", 6, 6, 4, 4}, {"mipmap/20x15 rgb", 20, 15, 3, 4},
        {"mipmap/2x4 rgb", 2, 4, 3, 1},
    };
    std::vector<MipmapSource> sources;
    for (const auto& shape : shapes) {
        const int rowBytes = shape.width * shape.components;
        const int stride = (rowBytes + shape.alignment - 1) / shape.alignment * shape.alignment;
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride * shape.height), 0xEE);
        for (int y = 0; y < shape.height; ++y) {
            for (int i = 0; i < rowBytes; ++i) {
                pixels[static_cast<std::size_t>(y * stride + i)] =
                    static_cast<std::uint8_t>((i * 53 + y * 97 + i * y * 31) % 256);
            }
        }
        sources.push_back(
            {shape.name, shape.width, shape.height, shape.components, shape.alignment, pixels});
    }
    return sources;
}

RgbaIntoRgb rgbaIntoRgb() {
    RgbaIntoRgb upload;
    for (int i = 0; i < RgbaIntoRgb::side * RgbaIntoRgb::side * 3; ++i) {
        upload.baseRgb.push_back(static_cast<std::uint8_t>(i * 7));
    }
    for (int i = 0; i < RgbaIntoRgb::partRowLength * RgbaIntoRgb::partHeight * 4; ++i) {
        upload.rgbaPart.push_back(static_cast<std::uint8_t>(200 - i * 3));
    }
    return upload;
}
