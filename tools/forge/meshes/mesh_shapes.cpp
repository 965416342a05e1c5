#include "forge/meshes/mesh_shapes.h"

#include <algorithm>
#include <cmath>

namespace forge {

namespace {

constexpr float pi = 3.14159265358979f;

bool samePoint(ProfilePoint a, ProfilePoint b) {
    return a.radius == b.radius && a.height == b.height;
}

// The profile's tangent at point i, one-sided at creases and open ends.
ProfilePoint profileTangent(const std::vector<ProfilePoint>& profile, std::size_t i, bool closed) {
    std::size_t count = profile.size();
    bool hasBefore = closed || i > 0;
    bool hasAfter = closed || i + 1 < count;
    ProfilePoint before = profile[(i + count - 1) % count];
    ProfilePoint after = profile[(i + 1) % count];
    if (!hasBefore || samePoint(before, profile[i])) {
        before = profile[i];
    }
    if (!hasAfter || samePoint(after, profile[i])) {
        after = profile[i];
    }
    return {after.radius - before.radius, after.height - before.height};
}

void addQuad(MeshPart& part, std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    part.triangles.insert(part.triangles.end(), {a, b, c, a, c, d});
}

} // namespace

MeshPart lathe(const std::vector<ProfilePoint>& profile, int segments, bool closed) {
    MeshPart part;
    std::size_t count = profile.size();
    for (std::size_t i = 0; i < count; ++i) {
        ProfilePoint tangent = profileTangent(profile, i, closed);
        for (int j = 0; j <= segments; ++j) {
            float angle = 2.0f * pi * static_cast<float>(j) / segments;
            float c = std::cos(angle);
            float s = std::sin(angle);
            Vec3 normal = normalise(Vec3{tangent.height * c, -tangent.radius, tangent.height * s});
            part.vertices.push_back(
                {{profile[i].radius * c, profile[i].height, profile[i].radius * s},
                 normal,
                 static_cast<float>(j) / segments,
                 static_cast<float>(i) / static_cast<float>(count - 1)});
        }
    }
    std::size_t rings = closed ? count : count - 1;
    auto stride = static_cast<std::uint32_t>(segments + 1);
    for (std::size_t i = 0; i < rings; ++i) {
        std::size_t next = (i + 1) % count;
        if (samePoint(profile[i], profile[next])) {
            continue;
        }
        for (int j = 0; j < segments; ++j) {
            auto a = static_cast<std::uint32_t>(i) * stride + static_cast<std::uint32_t>(j);
            auto d = static_cast<std::uint32_t>(next) * stride + static_cast<std::uint32_t>(j);
            // Counter-clockwise seen from outside for a profile that rises.
            addQuad(part, a, d, d + 1, a + 1);
        }
    }
    return part;
}

MeshPart torus(float major, float minor, int majorSegments, int minorSegments) {
    std::vector<ProfilePoint> circle;
    for (int i = 0; i < minorSegments; ++i) {
        float angle = 2.0f * pi * static_cast<float>(i) / minorSegments;
        // Counter-clockwise in (radius, height), so the lathe's normals point away from the core.
        circle.push_back({major + minor * std::cos(angle), minor * std::sin(angle)});
    }
    return lathe(circle, majorSegments, true);
}

MeshPart sphere(float radius, int segments) {
    std::vector<ProfilePoint> arc;
    int steps = segments / 2;
    for (int i = 0; i <= steps; ++i) {
        float angle = -pi / 2.0f + pi * static_cast<float>(i) / steps;
        arc.push_back({radius * std::cos(angle), radius * std::sin(angle)});
    }
    arc.front().radius = 0.0f;
    arc.back().radius = 0.0f;
    return lathe(arc, segments);
}

MeshPart tube(const std::vector<Vec3>& path, float radius, int sides) {
    MeshPart part;
    // Parallel transport: each ring's frame is the last one turned as little as possible.
    Vec3 direction = normalise(path[1] - path[0]);
    Vec3 side = std::fabs(direction.y) < 0.9f ? normalise(cross(direction, Vec3{0, 1, 0}))
                                              : normalise(cross(direction, Vec3{1, 0, 0}));
    for (std::size_t i = 0; i < path.size(); ++i) {
        Vec3 next = i + 1 < path.size() ? path[i + 1] : path[i];
        Vec3 previous = i > 0 ? path[i - 1] : path[i];
        direction = normalise(next - previous);
        side = normalise(side - direction * dot(side, direction));
        Vec3 up = cross(direction, side);
        for (int j = 0; j <= sides; ++j) {
            float angle = 2.0f * pi * static_cast<float>(j) / sides;
            Vec3 normal = side * std::cos(angle) + up * std::sin(angle);
            part.vertices.push_back({path[i] + normal * radius, normal,
                                     static_cast<float>(j) / sides,
                                     static_cast<float>(i) / static_cast<float>(path.size() - 1)});
        }
    }
    auto stride = static_cast<std::uint32_t>(sides + 1);
    for (std::uint32_t i = 0; i + 1 < path.size(); ++i) {
        for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(sides); ++j) {
            std::uint32_t a = i * stride + j;
            addQuad(part, a, a + 1, a + stride + 1, a + stride);
        }
    }
    // Flat caps, each a fan about its own centre vertex.
    for (bool atEnd : {false, true}) {
        std::size_t ring = atEnd ? path.size() - 1 : 0;
        Vec3 axis = atEnd ? normalise(path[ring] - path[ring - 1]) : normalise(path[0] - path[1]);
        auto centre = static_cast<std::uint32_t>(part.vertices.size());
        part.vertices.push_back({path[ring], axis, 0.5f, 0.5f});
        for (int j = 0; j <= sides; ++j) {
            MeshVertex rim = part.vertices[ring * stride + static_cast<std::size_t>(j)];
            rim.normal = axis;
            part.vertices.push_back(rim);
        }
        for (std::uint32_t j = 0; j < static_cast<std::uint32_t>(sides); ++j) {
            if (atEnd) {
                part.triangles.insert(part.triangles.end(),
                                      {centre, centre + 1 + j, centre + 2 + j});
            } else {
                part.triangles.insert(part.triangles.end(),
                                      {centre, centre + 2 + j, centre + 1 + j});
            }
        }
    }
    return part;
}

std::vector<Vec3> roundedPath(const std::vector<Vec3>& corners, float bendRadius,
                              int stepsPerBend) {
    std::vector<Vec3> path{corners.front()};
    for (std::size_t i = 1; i + 1 < corners.size(); ++i) {
        Vec3 in = normalise(corners[i] - corners[i - 1]);
        Vec3 out = normalise(corners[i + 1] - corners[i]);
        float reach = std::min({bendRadius, length(corners[i] - corners[i - 1]) * 0.45f,
                                length(corners[i + 1] - corners[i]) * 0.45f});
        Vec3 start = corners[i] - in * reach;
        Vec3 end = corners[i] + out * reach;
        // A quadratic curve with the corner as its control point approximates the arc.
        for (int step = 0; step <= stepsPerBend; ++step) {
            float k = static_cast<float>(step) / stepsPerBend;
            path.push_back(start * ((1 - k) * (1 - k)) + corners[i] * (2 * k * (1 - k)) +
                           end * (k * k));
        }
    }
    path.push_back(corners.back());
    return path;
}

MeshPart box(Vec3 halfSize) {
    MeshPart part;
    const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Vec3& normal : normals) {
        // Two axes spanning the face, ordered so the corners run counter-clockwise outside.
        Vec3 u = std::fabs(normal.y) > 0.5f ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        Vec3 v = cross(normal, u);
        auto base = static_cast<std::uint32_t>(part.vertices.size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& corner : corners) {
            Vec3 p = normal + u * corner[0] + v * corner[1];
            part.vertices.push_back({{p.x * halfSize.x, p.y * halfSize.y, p.z * halfSize.z},
                                     normal,
                                     (corner[0] + 1.0f) * 0.5f,
                                     (corner[1] + 1.0f) * 0.5f});
        }
        addQuad(part, base, base + 1, base + 2, base + 3);
    }
    return part;
}

MeshPart prism(const std::vector<ProfilePoint>& outline, float height) {
    MeshPart part;
    std::size_t count = outline.size();
    auto at = [&](std::size_t i, float y) {
        return Vec3{outline[i % count].radius, y, outline[i % count].height};
    };
    for (std::size_t i = 0; i < count; ++i) {
        Vec3 a = at(i, 0.0f);
        Vec3 b = at(i + 1, 0.0f);
        Vec3 normal = normalise(cross(b - a, Vec3{0, 1, 0}));
        auto base = static_cast<std::uint32_t>(part.vertices.size());
        for (Vec3 p : {a, b, at(i + 1, height), at(i, height)}) {
            part.vertices.push_back({p, normal, 0.0f, p.y / height});
        }
        addQuad(part, base, base + 1, base + 2, base + 3);
    }
    for (bool top : {false, true}) {
        float y = top ? height : 0.0f;
        Vec3 normal{0.0f, top ? 1.0f : -1.0f, 0.0f};
        auto centre = static_cast<std::uint32_t>(part.vertices.size());
        part.vertices.push_back({{0.0f, y, 0.0f}, normal, 0.5f, 0.5f});
        for (std::size_t i = 0; i < count; ++i) {
            part.vertices.push_back({at(i, y), normal, 0.0f, 0.0f});
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t a = centre + 1 + i;
            std::uint32_t b = centre + 1 + (i + 1) % static_cast<std::uint32_t>(count);
            if (top) {
                part.triangles.insert(part.triangles.end(), {centre, a, b});
            } else {
                part.triangles.insert(part.triangles.end(), {centre, b, a});
            }
        }
    }
    return part;
}

std::vector<ProfilePoint> gearOutline(int teeth, float rootRadius, float tipRadius) {
    std::vector<ProfilePoint> outline;
    // Per tooth: root, rise, tip, tip, fall: trapezoidal teeth.
    const float shape[4][2] = {{0.0f, 0.0f}, {0.2f, 1.0f}, {0.45f, 1.0f}, {0.65f, 0.0f}};
    for (int tooth = 0; tooth < teeth; ++tooth) {
        for (const auto& step : shape) {
            float angle = 2.0f * pi * (static_cast<float>(tooth) + step[0]) / teeth;
            float radius = rootRadius + (tipRadius - rootRadius) * step[1];
            // Counter-clockwise seen from +y means angle turning from +x towards -z.
            outline.push_back({radius * std::cos(angle), -radius * std::sin(angle)});
        }
    }
    return outline;
}

} // namespace forge
