#include "platform/web/gl/fixed_function.h"

#include "platform/web/gl/primitive_assembly.h"

#include <algorithm>
#include <optional>

namespace webgl {

namespace {

std::size_t floatStride(const ClientArray& array) {
    const auto bytes = array.stride != 0 ? static_cast<std::size_t>(array.stride)
                                         : static_cast<std::size_t>(array.size) * sizeof(GLfloat);
    return bytes / sizeof(GLfloat);
}

std::vector<std::size_t> readIndices(GLenum type, GLsizei count, const void* indices) {
    std::vector<std::size_t> result(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < result.size(); ++i) {
        result[i] = type == GL_UNSIGNED_SHORT ? static_cast<const GLushort*>(indices)[i]
                                              : static_cast<const GLubyte*>(indices)[i];
    }
    return result;
}

} // namespace

const GLfloat* ClientArray::element(std::size_t index) const {
    return data + index * floatStride(*this);
}

FixedFunction::FixedFunction(DrawSink& sink) : sink(sink) {}

void FixedFunction::matrixMode(GLenum mode) {
    if (!insideBeginEnd() && !stacks.select(mode)) {
        recordError(GL_INVALID_ENUM);
    }
}

void FixedFunction::pushMatrix() {
    if (!insideBeginEnd() && !stacks.push()) {
        recordError(GL_STACK_OVERFLOW);
    }
}

void FixedFunction::popMatrix() {
    if (!insideBeginEnd() && !stacks.pop()) {
        recordError(GL_STACK_UNDERFLOW);
    }
}

void FixedFunction::loadMatrix(const Matrix4& m) {
    if (!insideBeginEnd()) {
        stacks.load(m);
    }
}

void FixedFunction::multiplyMatrix(const Matrix4& m) {
    if (!insideBeginEnd()) {
        stacks.multiplyBy(m);
    }
}

void FixedFunction::begin(GLenum mode) {
    if (insideBeginEnd()) {
        return;
    }
    if (!triangleCorners(mode, 0)) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    primitive = mode;
    begun = true;
    pending.clear();
}

void FixedFunction::end() {
    if (!begun) {
        recordError(GL_INVALID_OPERATION);
        return;
    }
    begun = false;
    const std::vector<std::size_t> corners = *triangleCorners(primitive, pending.size());
    if (corners.empty()) {
        return;
    }
    const VertexTransform transform = vertexTransform();
    std::vector<TransformedVertex> transformed;
    transformed.reserve(pending.size());
    for (const VertexAttributes& vertex : pending) {
        transformed.push_back(transform.apply(vertex));
    }
    DrawBatch batch{renderState(), {}, {}};
    batch.vertices.reserve(corners.size());
    for (std::size_t corner : corners) {
        batch.vertices.push_back(transformed[corner]);
    }
    sink.draw(batch);
}

void FixedFunction::vertex(float x, float y, float z) {
    current.position = {x, y, z, 1.0f};
    // Outside glBegin/glEnd a vertex does nothing in OpenGL 1.1.
    if (begun) {
        pending.push_back(current);
    }
}

void FixedFunction::colour(float red, float green, float blue, float alpha) {
    current.colour = {red, green, blue, alpha};
}

void FixedFunction::texCoord(float s, float t) {
    current.texCoord = {s, t};
}

void FixedFunction::normal(float x, float y, float z) {
    current.normal = {x, y, z};
}

bool FixedFunction::setCapability(GLenum cap, bool enabled) {
    switch (cap) {
    case GL_TEXTURE_2D:
        texturing = enabled;
        return true;
    case GL_TEXTURE_GEN_S:
        generateS = enabled;
        return true;
    case GL_TEXTURE_GEN_T:
        generateT = enabled;
        return true;
    case GL_BLEND:
        blending = enabled;
        return true;
    case GL_DEPTH_TEST:
        depthTest = enabled;
        return true;
    default:
        return false;
    }
}

void FixedFunction::blendFunction(GLenum source, GLenum destination) {
    blendSource = source;
    blendDestination = destination;
}

// Only sphere maps are generated; other modes are refused rather than drawn wrongly.
void FixedFunction::textureGenerationMode(GLenum coordinate, GLenum mode) {
    if (mode != GL_SPHERE_MAP || (coordinate != GL_S && coordinate != GL_T)) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    (coordinate == GL_S ? sphereMapS : sphereMapT) = true;
}

bool FixedFunction::getFloats(GLenum name, GLfloat* values) const {
    switch (name) {
    case GL_CURRENT_COLOR:
        std::copy(current.colour.begin(), current.colour.end(), values);
        return true;
    case GL_MODELVIEW_MATRIX:
        std::copy(stacks.modelview().begin(), stacks.modelview().end(), values);
        return true;
    case GL_PROJECTION_MATRIX:
        std::copy(stacks.projection().begin(), stacks.projection().end(), values);
        return true;
    default:
        return false;
    }
}

void FixedFunction::setClientState(GLenum array, bool enabled) {
    switch (array) {
    case GL_VERTEX_ARRAY:
        positions.enabled = enabled;
        break;
    case GL_NORMAL_ARRAY:
        normals.enabled = enabled;
        break;
    case GL_TEXTURE_COORD_ARRAY:
        texCoords.enabled = enabled;
        break;
    default:
        recordError(GL_INVALID_ENUM);
    }
}

void FixedFunction::vertexPointer(GLint size, GLenum type, GLsizei stride, const void* data) {
    setArray(positions, size, type, stride, data);
}

void FixedFunction::normalPointer(GLenum type, GLsizei stride, const void* data) {
    setArray(normals, 3, type, stride, data);
}

void FixedFunction::texCoordPointer(GLint size, GLenum type, GLsizei stride, const void* data) {
    setArray(texCoords, size, type, stride, data);
}

// Only float arrays: the demo's meshes are floats.
void FixedFunction::setArray(ClientArray& array, GLint size, GLenum type, GLsizei stride,
                             const void* data) {
    if (type != GL_FLOAT) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    if (size < 2 || size > 4 || stride < 0) {
        recordError(GL_INVALID_VALUE);
        return;
    }
    array = {array.enabled, size, stride, static_cast<const GLfloat*>(data)};
}

void FixedFunction::drawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    if (type != GL_UNSIGNED_SHORT && type != GL_UNSIGNED_BYTE) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    if (count < 0) {
        recordError(GL_INVALID_VALUE);
        return;
    }
    const std::optional<std::vector<std::size_t>> corners =
        triangleCorners(mode, static_cast<std::size_t>(count));
    if (!corners) {
        recordError(GL_INVALID_ENUM);
        return;
    }
    if (insideBeginEnd() || !positions.enabled || corners->empty()) {
        return;
    }
    const std::vector<std::size_t> picked = readIndices(type, count, indices);
    const std::size_t vertexCount = *std::max_element(picked.begin(), picked.end()) + 1;
    const VertexTransform transform = vertexTransform();
    DrawBatch batch{renderState(), {}, {}};
    batch.vertices.reserve(vertexCount);
    for (std::size_t i = 0; i < vertexCount; ++i) {
        batch.vertices.push_back(transform.apply(arrayVertex(i)));
    }
    batch.indices.reserve(corners->size());
    for (std::size_t corner : *corners) {
        batch.indices.push_back(static_cast<GLushort>(picked[corner]));
    }
    sink.draw(batch);
}

// Attributes without an enabled array take the current values.
VertexAttributes FixedFunction::arrayVertex(std::size_t index) const {
    VertexAttributes vertex = current;
    const GLfloat* position = positions.element(index);
    vertex.position = {position[0], position[1], positions.size > 2 ? position[2] : 0.0f,
                       positions.size > 3 ? position[3] : 1.0f};
    if (normals.enabled) {
        const GLfloat* n = normals.element(index);
        vertex.normal = {n[0], n[1], n[2]};
    }
    if (texCoords.enabled) {
        const GLfloat* t = texCoords.element(index);
        vertex.texCoord = {t[0], t[1]};
    }
    return vertex;
}

void FixedFunction::recordError(GLenum error) {
    if (firstError == GL_NO_ERROR) {
        firstError = error;
    }
}

GLenum FixedFunction::takeError() {
    const GLenum error = firstError;
    firstError = GL_NO_ERROR;
    return error;
}

bool FixedFunction::insideBeginEnd() {
    if (begun) {
        recordError(GL_INVALID_OPERATION);
    }
    return begun;
}

RenderState FixedFunction::renderState() const {
    return {texturing, blending, depthTest, blendSource, blendDestination};
}

VertexTransform FixedFunction::vertexTransform() const {
    return VertexTransform(stacks.modelview(), stacks.projection(), generateS && sphereMapS,
                           generateT && sphereMapT);
}

} // namespace webgl
