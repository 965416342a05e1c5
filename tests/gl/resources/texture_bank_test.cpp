#include "resource_test_files.h"
#include "resources/jpeg_reader.h"
#include "resources/texture_bank.h"
#include "support/gl_test_context.h"
#include "texture_probe.h"

#include <GL/gl.h>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct BankPicture {
    int slot;
    std::string fileName; // inside data/
    int width;
    int height;
};

// Sides differ from picture to picture, so a picture in the wrong slot shows. Powers of two, so
// level 0 is the decoded picture itself; 2 x 4 has rows of 6 bytes. One per picture of the
// manifest, in its order.
constexpr std::pair<int, int> pictureSides[] = {
    {64, 64},   {32, 64}, {64, 32}, {128, 16}, {16, 128}, {8, 8},  {4, 16}, {16, 4},  {32, 32},
    {128, 128}, {2, 4},   {4, 2},   {8, 32},   {32, 8},   {64, 8}, {8, 64}, {16, 16},
};
static_assert(std::size(pictureSides) == pictureFiles.size());

const std::vector<BankPicture> bankPictures = [] {
    std::vector<BankPicture> pictures;
    for (std::size_t i = 0; i < pictureFiles.size(); ++i) {
        pictures.push_back({pictureFiles[i].slot,
                            std::string(nameInDataFolder(pictureFiles[i].fileName)),
                            pictureSides[i].first, pictureSides[i].second});
    }
    return pictures;
}();

bool isPictureSlot(int slot) {
    return std::any_of(pictureFiles.begin(), pictureFiles.end(),
                       [slot](const PictureFile& picture) { return picture.slot == slot; });
}

// The picture's top row becomes texture row 0, which glGetTexImage returns first: the decoded
// rows as they are.
std::vector<std::uint8_t> decodedRows(const DecodedImage& image) {
    return {image.pixels.get(),
            image.pixels.get() + static_cast<std::size_t>(image.rowStride * image.height)};
}

class TextureBankTest : public testing::Test {
protected:
    void SetUp() override {
        previousDirectory = std::filesystem::current_path();
        std::filesystem::create_directory(directory.file("data"));
        std::filesystem::current_path(directory.path());
        for (const BankPicture& picture : bankPictures) {
            writeBytes(dataFile(picture.fileName),
                       encodeJpeg(makeGradientPicture(picture.width, picture.height), 90));
        }
    }

    void TearDown() override { std::filesystem::current_path(previousDirectory); }

    static std::string dataFile(const std::string& name) { return "data/" + name; }

    ScratchDirectory directory;
    std::filesystem::path previousDirectory;
};

TEST_F(TextureBankTest, EverySlotHoldsWhatTheTableGivesIt) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    const std::vector<GLuint> before = existingTextureNames(4000);
    loadTextureBank();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const std::set<GLuint> bankNames(textureBank.begin(), textureBank.end());
    EXPECT_EQ(bankNames.size(), 100u);
    EXPECT_EQ(bankNames.count(0), 0u);

    // The names first given to the picture slots still exist (they were bound once for their
    // filters), were never given an image and are in the table no more.
    std::vector<GLuint> replaced;
    for (GLuint name : existingTextureNames(4000)) {
        if (!bankNames.contains(name) &&
            std::find(before.begin(), before.end(), name) == before.end()) {
            replaced.push_back(name);
        }
    }
    ASSERT_EQ(replaced.size(), pictureFiles.size());
    for (GLuint name : replaced) {
        EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_WIDTH), 0) << name;
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << name;
    }
    // The first glGenTextures(100) handed out the names kept and those replaced; the pictures'
    // names came later.
    GLuint newestFirstName = *std::max_element(replaced.begin(), replaced.end());
    GLuint oldestPictureName = ~0u;
    for (int slot = 0; slot < textureSlotCount; ++slot) {
        const GLuint name = textureBank[static_cast<std::size_t>(slot)];
        if (isPictureSlot(slot)) {
            oldestPictureName = std::min(oldestPictureName, name);
        } else {
            newestFirstName = std::max(newestFirstName, name);
        }
    }
    EXPECT_LT(newestFirstName, oldestPictureName);
}

TEST_F(TextureBankTest, RenderTargetsAreEmptyRgbaWithoutMipmaps) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    loadTextureBank();
    const std::pair<int, GLint> targets[] = {{90, 256}, {91, 256}, {92, 512}};
    for (const auto& [slot, side] : targets) {
        SCOPED_TRACE(slot);
        const GLuint name = textureBank[static_cast<std::size_t>(slot)];
        EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_WIDTH), side);
        EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_HEIGHT), side);
        EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA);
        EXPECT_EQ(levelParameter(name, 1, GL_TEXTURE_WIDTH), 0);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    }
    for (int slot = 0; slot < textureSlotCount; ++slot) {
        if (!isPictureSlot(slot) && (slot < 90 || slot > 92)) {
            const GLuint name = textureBank[static_cast<std::size_t>(slot)];
            EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_WIDTH), 0) << slot;
            EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR) << slot;
        }
    }
}

TEST_F(TextureBankTest, PictureSlotsHoldTheirDecodedPictureWithMipmaps) {
    GlTestContext context;
    ASSERT_TRUE(context.ready());
    loadTextureBank();
    for (const BankPicture& picture : bankPictures) {
        SCOPED_TRACE(picture.fileName);
        const GLuint name = textureBank[static_cast<std::size_t>(picture.slot)];
        const auto decoded = readJpegFile(dataFile(picture.fileName));
        ASSERT_NE(decoded, nullptr);
        const TextureLevel level = readTextureLevel(name, 0);
        ASSERT_EQ(level.width, picture.width);
        ASSERT_EQ(level.height, picture.height);
        EXPECT_EQ(level.rgb, decodedRows(*decoded));
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(textureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        // A full chain: the last level is 1 x 1.
        int levels = 0;
        while (levelParameter(name, levels + 1, GL_TEXTURE_WIDTH) != 0) {
            ++levels;
        }
        EXPECT_EQ(levelParameter(name, levels, GL_TEXTURE_WIDTH), 1);
        EXPECT_EQ(levelParameter(name, levels, GL_TEXTURE_HEIGHT), 1);
        EXPECT_EQ(1 << levels, std::max(picture.width, picture.height));
    }
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

TEST_F(TextureBankTest, RestartFillsTheTableAgainInTheNewContext) {
    {
        GlTestContext first;
        ASSERT_TRUE(first.ready());
        loadTextureBank();
    }
    GlTestContext second;
    ASSERT_TRUE(second.ready());
    loadTextureBank();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    for (const BankPicture& picture : bankPictures) {
        const GLuint name = textureBank[static_cast<std::size_t>(picture.slot)];
        EXPECT_EQ(glIsTexture(name), GL_TRUE) << picture.fileName;
        EXPECT_EQ(levelParameter(name, 0, GL_TEXTURE_WIDTH), picture.width) << picture.fileName;
    }
    EXPECT_EQ(levelParameter(textureBank[92], 0, GL_TEXTURE_WIDTH), 512);
}

using TextureBankDeathTest = TextureBankTest;

TEST_F(TextureBankDeathTest, MissingFirstPictureEndsBeforeAnyOtherIsRead) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::filesystem::remove(dataFile("p0.jpg"));
    // Were any other picture read first, its corruption would be reported instead.
    for (const BankPicture& picture : bankPictures) {
        if (picture.slot != 10) {
            writeBytes(dataFile(picture.fileName), std::vector<std::uint8_t>{'x'});
        }
    }
    EXPECT_EXIT(
        {
            GlTestContext context;
            loadTextureBank();
        },
        testing::ExitedWithCode(1), "^File data/p0.jpg not found!\n$");
}

TEST_F(TextureBankDeathTest, PicturesAreLoadedInTableOrder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    // sumu.jpg (slot 32) comes before yla0.jpg (slot 20) in the load order.
    std::filesystem::remove(dataFile("sumu.jpg"));
    writeBytes(dataFile("yla0.jpg"), std::vector<std::uint8_t>{'x'});
    EXPECT_EXIT(
        {
            GlTestContext context;
            loadTextureBank();
        },
        testing::ExitedWithCode(1), "^File data/sumu.jpg not found!\n$");
}

TEST_F(TextureBankDeathTest, CorruptPictureEndsNamingIt) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    std::vector<std::uint8_t> bytes = encodeJpeg(makeGradientPicture(64, 64));
    bytes.resize(bytes.size() / 2);
    writeBytes(dataFile("env.jpg"), bytes);
    EXPECT_EXIT(
        {
            GlTestContext context;
            loadTextureBank();
        },
        testing::ExitedWithCode(1),
        "^File data/env.jpg is not a valid picture: Premature end of JPEG file\n$");
}

} // namespace
