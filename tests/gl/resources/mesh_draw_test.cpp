#include "common/aml_writer.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"
#include "support/gl_test_context.h"

#include <GL/gl.h>
#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Corner {
    float x, y;
    float nz; // the normal is (0, 0, nz)
    float s;  // the texture coordinate is (s, 0.5)
};

void appendVertex(AmlSubMeshData& subMesh, const Corner& corner, std::size_t extraFloats) {
    subMesh.vertices.insert(subMesh.vertices.end(),
                            {corner.x, corner.y, 0.0f, 0.0f, 0.0f, corner.nz, corner.s, 0.5f});
    // Floats beyond the eighth are never sent; as a position they would land far off screen.
    subMesh.vertices.insert(subMesh.vertices.end(), extraFloats, 1.0e6f);
}

// Two triangles of a square from (-0.5, -0.5) to (0.5, 0.5): the left one with the first pair of
// attributes, the right one with the second. Each triangle's first corner is where a value
// issued after the position would leak from the triangle before.
AmlSubMeshData squareOfTwoHalves(float leftNormal, float leftS, float rightNormal, float rightS,
                                 std::vector<std::uint8_t> sizes = {3, 3, 2}) {
    std::size_t stride = 0;
    for (std::uint8_t size : sizes) {
        stride += size;
    }
    AmlSubMeshData subMesh{std::move(sizes), {}, {0, 1, 2, 3, 4, 5}};
    const Corner corners[] = {
        {-0.5f, 0.5f, leftNormal, leftS},  {-0.5f, -0.5f, leftNormal, leftS},
        {0.5f, -0.5f, leftNormal, leftS},  {0.5f, -0.45f, rightNormal, rightS},
        {0.5f, 0.5f, rightNormal, rightS}, {-0.45f, 0.5f, rightNormal, rightS},
    };
    for (const Corner& corner : corners) {
        appendVertex(subMesh, corner, stride - 8);
    }
    return subMesh;
}

AmlSubMeshData smallTriangle() {
    AmlSubMeshData subMesh{{3, 3, 2}, {}, {2, 1, 0}};
    for (const Corner& corner :
         {Corner{0.6f, 0.6f, 1, 0}, Corner{0.9f, 0.6f, 1, 0}, Corner{0.75f, 0.9f, 1, 0}}) {
        appendVertex(subMesh, corner, 0);
    }
    return subMesh;
}

// A closed ball of latitude-longitude quads on shared vertices, so most corners share a vertex
// with five others, in two sub-meshes (northern and southern halves).
std::vector<AmlSubMeshData> ballOfSharedVertices(int rings, int segments) {
    std::vector<AmlSubMeshData> halves;
    for (int half = 0; half < 2; ++half) {
        AmlSubMeshData subMesh{{3, 3, 2}, {}, {}};
        const int firstRing = half * rings / 2;
        const int ringCount = rings / 2;
        for (int ring = 0; ring <= ringCount; ++ring) {
            const double latitude = M_PI * (firstRing + ring) / rings;
            for (int segment = 0; segment <= segments; ++segment) {
                const double longitude = 2.0 * M_PI * segment / segments;
                const auto x = static_cast<float>(std::sin(latitude) * std::cos(longitude));
                const auto y = static_cast<float>(std::cos(latitude));
                const auto z = static_cast<float>(std::sin(latitude) * std::sin(longitude));
                subMesh.vertices.insert(subMesh.vertices.end(),
                                        {0.9f * x, 0.9f * y, 0.9f * z, x, y, z,
                                         static_cast<float>(segment) / segments,
                                         static_cast<float>(ring) / ringCount});
            }
        }
        const int row = segments + 1;
        for (int ring = 0; ring < ringCount; ++ring) {
            for (int segment = 0; segment < segments; ++segment) {
                const auto corner = static_cast<std::uint16_t>(ring * row + segment);
                const auto below = static_cast<std::uint16_t>(corner + row);
                subMesh.indices.insert(subMesh.indices.end(),
                                       {corner, below, static_cast<std::uint16_t>(corner + 1),
                                        static_cast<std::uint16_t>(corner + 1), below,
                                        static_cast<std::uint16_t>(below + 1)});
            }
        }
        halves.push_back(std::move(subMesh));
    }
    return halves;
}

MeshModel modelOf(const std::vector<AmlSubMeshData>& subMeshes) {
    const std::vector<std::uint8_t> bytes = encodeAml(subMeshes);
    MemoryStream stream(bytes, "test.AML");
    MeshModel model;
    model.load(stream);
    return model;
}

// Window position of a point in the [-1, 1] square that the identity matrices map onto 800x600.
Rgba pixelAt(float x, float y) {
    return readPixel(static_cast<int>((x + 1.0f) * 400.0f), static_cast<int>((y + 1.0f) * 300.0f));
}

class MeshDrawTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(context.ready());
        glViewport(0, 0, 800, 600);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
    }

    GlTestContext context;
};

TEST_F(MeshDrawTest, IssuesTheTrianglesOfEverySubMesh) {
    const MeshModel model = modelOf({squareOfTwoHalves(1, 0, 1, 0), smallTriangle()});
    glColor3f(1, 1, 0);
    model.draw();
    EXPECT_EQ(pixelAt(-0.3f, 0.0f), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(pixelAt(0.3f, 0.2f), (Rgba{255, 255, 0, 255}));
    EXPECT_EQ(pixelAt(0.75f, 0.7f), (Rgba{255, 255, 0, 255}));
    // Outside every triangle.
    EXPECT_EQ(pixelAt(-0.7f, 0.0f), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0.0f, -0.7f), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0.6f, 0.85f), (Rgba{0, 0, 0, 255}));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshDrawTest, EveryCornerCarriesItsOwnTextureCoordinate) {
    // A 2 x 1 texture: red at s = 0.25, green at s = 0.75.
    const std::uint8_t texels[] = {255, 0, 0, 0, 255, 0};
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 2, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const MeshModel model = modelOf({squareOfTwoHalves(1, 0.25f, 1, 0.75f)});
    model.draw();
    EXPECT_EQ(pixelAt(-0.4f, -0.3f), (Rgba{255, 0, 0, 255}));
    // Beside the right triangle's first corner.
    EXPECT_EQ(pixelAt(0.45f, -0.35f), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(pixelAt(0.3f, 0.3f), (Rgba{0, 255, 0, 255}));
    glDeleteTextures(1, &name);
}

TEST_F(MeshDrawTest, EveryCornerCarriesItsOwnNormal) {
    // A white light straight from the viewer: the left half faces it, the right half turns away.
    const GLfloat direction[] = {0, 0, 1, 0};
    const GLfloat white[] = {1, 1, 1, 1};
    const GLfloat black[] = {0, 0, 0, 1};
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    const MeshModel model = modelOf({squareOfTwoHalves(1, 0, -1, 0)});
    model.draw();
    glDisable(GL_LIGHTING);
    EXPECT_EQ(pixelAt(-0.4f, -0.3f), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(pixelAt(0.45f, -0.35f), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(pixelAt(0.3f, 0.3f), (Rgba{0, 0, 0, 255}));
}

TEST_F(MeshDrawTest, WideVerticesSkipTheirExtraFloats) {
    const MeshModel model = modelOf({squareOfTwoHalves(1, 0, 1, 0, {3, 3, 2, 4})});
    ASSERT_EQ(model.subMeshes[0].floatsPerVertex, 12);
    glColor3f(0, 1, 1);
    model.draw();
    EXPECT_EQ(pixelAt(-0.3f, 0.0f), (Rgba{0, 255, 255, 255}));
    EXPECT_EQ(pixelAt(0.3f, 0.2f), (Rgba{0, 255, 255, 255}));
    EXPECT_EQ(pixelAt(-0.7f, 0.0f), (Rgba{0, 0, 0, 255}));
}

TEST_F(MeshDrawTest, ModelWithoutSubMeshesIssuesNothing) {
    const MeshModel model = modelOf({});
    glEnable(GL_TEXTURE_2D);
    glColor3f(1, 1, 1);
    model.draw();
    // Not even the texturing switch of a sub-mesh.
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    glDisable(GL_TEXTURE_2D);
    EXPECT_EQ(pixelAt(0.0f, 0.0f), (Rgba{0, 0, 0, 255}));
}

TEST_F(MeshDrawTest, SubMeshWithoutTrianglesStillSwitchesTexturing) {
    AmlSubMeshData empty{{3, 3, 2}, std::vector<float>(8, 0.0f), {}};
    const MeshModel model = modelOf({empty});
    glEnable(GL_TEXTURE_2D);
    model.draw();
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(pixelAt(0.0f, 0.0f), (Rgba{0, 0, 0, 255}));
}

// The arrays are only a faster way to send the same corners: a tumbling, sphere-mapped,
// depth-tested ball must come out the same in every pixel, and leave the same current normal
// and texture coordinate behind for whatever draws next.
TEST_F(MeshDrawTest, ArraysDrawExactlyWhatThePerVertexCallsDraw) {
    std::vector<std::uint8_t> texels;
    for (int t = 0; t < 64; ++t) {
        for (int s = 0; s < 64; ++s) {
            texels.insert(texels.end(),
                          {static_cast<std::uint8_t>(s * 4), static_cast<std::uint8_t>(t * 4),
                           static_cast<std::uint8_t>(((s ^ t) & 8) != 0 ? 255 : 40)});
        }
    }
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 64, 64, 0, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    const MeshModel model = modelOf(ballOfSharedVertices(60, 90));
    glEnable(GL_DEPTH_TEST);
    glColor3f(0.9f, 0.7f, 1.0f);
    const auto picture = [&](float degrees, bool fromArrays, bool sphereMapped) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glRotatef(degrees, 1.0f, 1.0f, 1.0f);
        if (sphereMapped) {
            glEnable(GL_TEXTURE_GEN_S);
            glEnable(GL_TEXTURE_GEN_T);
        }
        fromArrays ? model.draw() : model.drawPerVertex();
        glDisable(GL_TEXTURE_GEN_S);
        glDisable(GL_TEXTURE_GEN_T);
        glPopMatrix();
        std::array<GLfloat, 7> current{};
        glGetFloatv(GL_CURRENT_NORMAL, current.data());
        glGetFloatv(GL_CURRENT_TEXTURE_COORDS, current.data() + 3);
        return std::make_pair(readPixels(0, 0, 800, 600), current);
    };
    for (const float degrees : {0.0f, 37.5f, 212.0f}) {
        for (const bool sphereMapped : {true, false}) {
            const auto reference = picture(degrees, false, sphereMapped);
            const auto fromArrays = picture(degrees, true, sphereMapped);
            EXPECT_TRUE(reference.first == fromArrays.first)
                << degrees << " degrees, sphere-mapped " << sphereMapped;
            EXPECT_EQ(reference.second, fromArrays.second);
            // Not an empty frame that both ways would trivially agree on.
            EXPECT_NE(reference.first[300 * 800 + 400], (Rgba{0, 0, 0, 255}));
        }
    }
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &name);
}

} // namespace
