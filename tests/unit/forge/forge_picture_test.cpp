#include "resources/data_manifest.h"
#include "resources/jpeg_reader.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// A decoded picture as luminance and colour, 0 to 1.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<float> red, green, blue;

    float luma(int x, int y) const {
        std::size_t i = static_cast<std::size_t>(y * width + x);
        return 0.2126f * red[i] + 0.7152f * green[i] + 0.0722f * blue[i];
    }
    // Luminance at u, v from 0 to 1, nearest pixel.
    float lumaAt(float u, float v) const {
        int x = std::clamp(static_cast<int>(u * width), 0, width - 1);
        int y = std::clamp(static_cast<int>(v * height), 0, height - 1);
        return luma(x, y);
    }
    float meanLuma(int x0, int y0, int x1, int y1) const {
        double sum = 0.0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                sum += luma(x, y);
            }
        }
        return static_cast<float>(sum / ((x1 - x0) * (y1 - y0)));
    }
};

// A picture of the manifest, from the build's data set.
Picture load(const char* dataFile) {
    const std::string name(nameInDataFolder(dataFile));
    std::unique_ptr<DecodedImage> image = readJpegFile(std::string(LUMIVAHA_DATA_DIR) + "/" + name);
    Picture picture;
    if (!image) {
        ADD_FAILURE() << name << " cannot be opened";
        return picture;
    }
    picture.width = image->width;
    picture.height = image->height;
    EXPECT_EQ(image->rowStride, image->width * 3) << name << " is not three-component";
    for (int i = 0; i < image->width * image->height; ++i) {
        picture.red.push_back(image->pixels[static_cast<std::size_t>(i * 3)] / 255.0f);
        picture.green.push_back(image->pixels[static_cast<std::size_t>(i * 3 + 1)] / 255.0f);
        picture.blue.push_back(image->pixels[static_cast<std::size_t>(i * 3 + 2)] / 255.0f);
    }
    return picture;
}

bool isStripSlot(int slot) {
    return (slot >= firstUpperStripSlot && slot < firstUpperStripSlot + upperStripSlotCount) ||
           (slot >= firstLowerStripSlot && slot < firstLowerStripSlot + lowerStripSlotCount);
}

const std::vector<const char*> stripPictures = [] {
    std::vector<const char*> names;
    for (const PictureFile& picture : pictureFiles) {
        if (isStripSlot(picture.slot)) {
            names.push_back(picture.fileName);
        }
    }
    return names;
}();

constexpr std::array<const char*, 3> titleCards = {pictureFileName(firstTitleCardSlot),
                                                   pictureFileName(secondTitleCardSlot),
                                                   pictureFileName(lastTitleCardSlot)};

struct Size {
    int width;
    int height;
};

Size intendedSize(int slot) {
    if (slot >= firstTitleCardSlot && slot <= lastTitleCardSlot) {
        return {640, 480};
    }
    if (slot == streakPictureSlot) {
        return {256, 512};
    }
    if (slot == pulsePictureSlot || slot == spiralPictureSlot || slot == environmentPictureSlot) {
        return {512, 512};
    }
    return {256, 256};
}

TEST(ForgedPictures, DecodeToTheirIntendedSizes) {
    for (const PictureFile& file : pictureFiles) {
        const Picture picture = load(file.fileName);
        const Size expected = intendedSize(file.slot);
        EXPECT_EQ(picture.width, expected.width) << file.fileName;
        EXPECT_EQ(picture.height, expected.height) << file.fileName;
    }
}

// Added onto the backdrop, a strip picture must leave most of it alone and light up some of it.
TEST(ForgedPictures, StripPicturesAreMostlyDarkWithBrightDetail) {
    // Every strip slot has its picture.
    EXPECT_EQ(stripPictures.size(),
              static_cast<std::size_t>(upperStripSlotCount + lowerStripSlotCount));
    for (const char* name : stripPictures) {
        Picture picture = load(name);
        ASSERT_GT(picture.width, 0);
        float mean = picture.meanLuma(0, 0, picture.width, picture.height);
        int bright = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                bright += picture.luma(x, y) > 0.7f ? 1 : 0;
            }
        }
        EXPECT_LT(mean, 0.3f) << name;
        EXPECT_GT(bright, picture.width * picture.height / 200) << name;
    }
}

TEST(ForgedPictures, StripPicturesAreEachRecognisablyDifferent) {
    std::vector<Picture> pictures;
    for (const char* name : stripPictures) {
        pictures.push_back(load(name));
    }
    for (std::size_t a = 0; a < pictures.size(); ++a) {
        for (std::size_t b = a + 1; b < pictures.size(); ++b) {
            double difference = 0.0;
            for (int y = 0; y < 32; ++y) {
                for (int x = 0; x < 32; ++x) {
                    float u = (x + 0.5f) / 32.0f;
                    float v = (y + 0.5f) / 32.0f;
                    difference += std::fabs(pictures[a].lumaAt(u, v) - pictures[b].lumaAt(u, v));
                }
            }
            EXPECT_GT(difference / 1024.0, 0.04) << stripPictures[a] << " and " << stripPictures[b];
        }
    }
}

// Black adds nothing to the streaks behind the cards: their borders must be black, their
// middles bright.
TEST(ForgedPictures, TitleCardsAreLightOnBlack) {
    for (const char* name : titleCards) {
        Picture card = load(name);
        ASSERT_EQ(card.width, 640);
        EXPECT_LT(card.meanLuma(0, 0, 640, 16), 0.01f) << name;
        EXPECT_LT(card.meanLuma(0, 464, 640, 480), 0.01f) << name;
        EXPECT_LT(card.meanLuma(0, 0, 16, 480), 0.01f) << name;
        EXPECT_LT(card.meanLuma(624, 0, 640, 480), 0.01f) << name;
        EXPECT_GT(card.meanLuma(160, 200, 480, 290), 0.2f) << name;
    }
    // The two typeset cards show different words.
    Picture first = load(pictureFileName(firstTitleCardSlot));
    Picture second = load(pictureFileName(secondTitleCardSlot));
    EXPECT_GT(
        std::fabs(first.meanLuma(40, 200, 320, 300) - second.meanLuma(40, 200, 320, 300)) +
            std::fabs(first.meanLuma(320, 200, 600, 300) - second.meanLuma(320, 200, 600, 300)),
        0.02f);
}

// Spun at 800 degrees a second, a picture that looks the same turned by a third or a half turn
// would not show its rotation.
TEST(ForgedPictures, SpiralChangesUnderEveryPartTurn) {
    Picture spiral = load(pictureFileName(spiralPictureSlot));
    ASSERT_EQ(spiral.width, 512);
    for (float turn : {0.25f, 1.0f / 3.0f, 0.5f}) {
        double difference = 0.0;
        int samples = 0;
        for (float radius = 0.1f; radius < 0.4f; radius += 0.02f) {
            for (int step = 0; step < 90; ++step) {
                float angle = static_cast<float>(step) / 90.0f * 6.2831853f;
                float turned = angle + turn * 6.2831853f;
                difference += std::fabs(spiral.lumaAt(0.5f + radius * std::cos(angle),
                                                      0.5f + radius * std::sin(angle)) -
                                        spiral.lumaAt(0.5f + radius * std::cos(turned),
                                                      0.5f + radius * std::sin(turned)));
                ++samples;
            }
        }
        EXPECT_GT(difference / samples, 0.05) << "turn " << turn;
    }
}

// The pulse picture is mapped transposed; it must read the same either way.
TEST(ForgedPictures, PulsePictureIsSymmetricAboutItsDiagonal) {
    Picture pulse = load(pictureFileName(pulsePictureSlot));
    ASSERT_EQ(pulse.width, 512);
    double difference = 0.0;
    for (int y = 0; y < 512; y += 3) {
        for (int x = 0; x < 512; x += 3) {
            difference += std::fabs(pulse.luma(x, y) - pulse.luma(y, x));
        }
    }
    EXPECT_LT(difference / (171.0 * 171.0), 0.02);
    EXPECT_GT(pulse.meanLuma(240, 240, 272, 272), 0.9f);
}

// s runs across the streak (columns), t along it (rows).
TEST(ForgedPictures, StreakIsASoftBarAcrossThatVariesAlong) {
    Picture streak = load(pictureFileName(streakPictureSlot));
    ASSERT_EQ(streak.width, 256);
    EXPECT_LT(streak.meanLuma(0, 0, 6, 512), 0.02f);
    EXPECT_LT(streak.meanLuma(250, 0, 256, 512), 0.02f);
    EXPECT_GT(streak.meanLuma(124, 0, 132, 512), 0.5f);
    // Soft: halfway out the bar is neither black nor full.
    float half = streak.meanLuma(60, 0, 68, 512);
    EXPECT_GT(half, 0.02f);
    EXPECT_LT(half, streak.meanLuma(124, 0, 132, 512) * 0.6f);
    std::vector<float> rows;
    for (int y = 0; y < 512; y += 8) {
        rows.push_back(streak.meanLuma(96, y, 160, y + 8));
    }
    auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    EXPECT_GT(*high - *low, 0.2f);
}

// Sphere mapping puts reflections that point up at large t, the bottom of the stored picture: the
// sky must be there, or the models reflect the ground overhead.
TEST(ForgedPictures, EnvironmentMapHasItsSkyWhereSphereMappingLooksUp) {
    Picture environment = load(pictureFileName(environmentPictureSlot));
    ASSERT_EQ(environment.width, 512);
    float sky = environment.meanLuma(128, 300, 384, 420);
    float ground = environment.meanLuma(128, 92, 384, 212);
    EXPECT_GT(sky, ground + 0.15f);
    // A bright horizon line between them and a few highlights.
    float horizon = environment.meanLuma(200, 254, 312, 258);
    EXPECT_GT(horizon, sky);
    int highlights = 0;
    for (int y = 0; y < 512; ++y) {
        for (int x = 0; x < 512; ++x) {
            highlights += environment.luma(x, y) > 0.97f ? 1 : 0;
        }
    }
    EXPECT_GT(highlights, 500);
}

} // namespace
