#include "common/aml_writer.h"
#include "gl/gl_test_context.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <GL/gl.h>
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

} // namespace
