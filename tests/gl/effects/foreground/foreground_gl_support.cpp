#include "foreground_gl_support.h"

#include <algorithm>
#include <cmath>

namespace {

GLuint uploadTexture(int side, const std::vector<std::uint8_t>& pixels) {
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, side, side, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return name;
}

} // namespace

GLuint makeSolidTexture(std::uint8_t red, std::uint8_t green, std::uint8_t blue, int side) {
    return makeTopBottomTexture({red, green, blue, 255}, {red, green, blue, 255}, side);
}

GLuint makeTopBottomTexture(const Rgba& top, const Rgba& bottom, int side) {
    std::vector<std::uint8_t> pixels;
    for (int row = 0; row < side; ++row) {
        const Rgba& colour = row < side / 2 ? top : bottom;
        for (int column = 0; column < side; ++column) {
            pixels.insert(pixels.end(), colour.begin(), colour.begin() + 3);
        }
    }
    return uploadTexture(side, pixels);
}

int modelviewStackDepth() {
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

namespace {

double dot(const Vec3& a, const Vec3& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec3 normalised(const Vec3& v) {
    const double length = std::sqrt(dot(v, v));
    return {v[0] / length, v[1] / length, v[2] / length};
}

} // namespace

std::array<double, 2> projectThroughCamera(const Vec3& point, const Vec3& eye, const Vec3& target) {
    const Vec3 forward = normalised({target[0] - eye[0], target[1] - eye[1], target[2] - eye[2]});
    // side = forward x (0, 1, 0); up = side x forward
    const Vec3 side = normalised({-forward[2], 0.0, forward[0]});
    const Vec3 up = {side[1] * forward[2] - side[2] * forward[1],
                     side[2] * forward[0] - side[0] * forward[2],
                     side[0] * forward[1] - side[1] * forward[0]};
    const Vec3 offset = {point[0] - eye[0], point[1] - eye[1], point[2] - eye[2]};
    const double depth = dot(forward, offset);
    // tan(45 degrees) is 1; the aspect is 4:3.
    const double ndcX = dot(side, offset) / (depth * 4.0 / 3.0);
    const double ndcY = dot(up, offset) / depth;
    return {(ndcX + 1.0) * 256.0, (ndcY + 1.0) * 256.0};
}

Rgba toBytes(double red, double green, double blue) {
    const auto channel = [](double value) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
    };
    return {channel(red), channel(green), channel(blue), 255};
}
