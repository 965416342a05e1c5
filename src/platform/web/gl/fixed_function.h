#pragma once

#include "platform/web/gl/matrix_stacks.h"
#include "platform/web/gl/vertex_pipeline.h"

#include <GL/gl.h>
#include <vector>

namespace webgl {

// The state WebGL must be in for one draw.
struct RenderState {
    bool texturing = false;
    bool blending = false;
    bool depthTest = false;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;

    bool operator==(const RenderState&) const = default;
};

// Triangles: without indices the vertices are their corners in order, with indices each
// index picks a vertex.
struct DrawBatch {
    RenderState state;
    std::vector<TransformedVertex> vertices;
    std::vector<GLushort> indices;
};

// Where finished draws go: WebGL in the browser, a recorder in tests.
class DrawSink {
public:
    DrawSink() = default;
    virtual ~DrawSink() = default;
    DrawSink(const DrawSink&) = delete;
    DrawSink& operator=(const DrawSink&) = delete;
    virtual void draw(const DrawBatch& batch) = 0;
};

// One client-side array of floats, as glVertexPointer and its kin describe it.
struct ClientArray {
    bool enabled = false;
    int size = 0;
    GLsizei stride = 0;
    const GLfloat* data = nullptr;

    const GLfloat* element(std::size_t index) const;
};

// The fixed-function part of OpenGL 1.1 that WebGL lacks, with no WebGL call of its own: the
// matrix stacks, current values, immediate mode and client arrays, sphere-map generation and
// the enables. Each method is one GL call; errors are kept as glGetError reports them.
class FixedFunction {
public:
    explicit FixedFunction(DrawSink& sink);

    void matrixMode(GLenum mode);
    void pushMatrix();
    void popMatrix();
    void loadMatrix(const Matrix4& m);
    void multiplyMatrix(const Matrix4& m);
    const MatrixStacks& matrices() const { return stacks; }

    void begin(GLenum mode);
    void end();
    void vertex(float x, float y, float z);
    void colour(float red, float green, float blue, float alpha);
    void texCoord(float s, float t);
    void normal(float x, float y, float z);

    // False for a capability WebGL has itself (the caller passes it on).
    bool setCapability(GLenum cap, bool enabled);
    void blendFunction(GLenum source, GLenum destination);
    void textureGenerationMode(GLenum coordinate, GLenum mode);
    // False for a name this state does not hold.
    bool getFloats(GLenum name, GLfloat* values) const;

    void setClientState(GLenum array, bool enabled);
    void vertexPointer(GLint size, GLenum type, GLsizei stride, const void* data);
    void normalPointer(GLenum type, GLsizei stride, const void* data);
    void texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* data);
    void drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices);

    void recordError(GLenum error);
    // The first error since the last call, or GL_NO_ERROR.
    GLenum takeError();

private:
    bool insideBeginEnd();
    RenderState renderState() const;
    VertexTransform vertexTransform() const;
    void setArray(ClientArray& array, GLint size, GLenum type, GLsizei stride, const void* data);
    VertexAttributes arrayVertex(std::size_t index) const;

    DrawSink& sink;
    MatrixStacks stacks;
    VertexAttributes current;
    GLenum primitive = GL_NONE;
    bool begun = false;
    std::vector<VertexAttributes> pending;

    bool texturing = false;
    bool sphereMapS = false;
    bool sphereMapT = false;
    bool generateS = false;
    bool generateT = false;
    bool blending = false;
    bool depthTest = false;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;

    ClientArray positions;
    ClientArray normals;
    ClientArray texCoords;

    GLenum firstError = GL_NO_ERROR;
};

} // namespace webgl
