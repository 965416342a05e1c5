#include "platform/fatal_exit.h"
#include "resource_test_files.h"
#include "resources/jpeg_reader.h"
#include "resources/texture_bank.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// The largest difference between a decoded pixel component and the picture it was encoded from.
int largestDifference(const DecodedImage& image, const TestPicture& picture) {
    int largest = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int source = picture.pixels[static_cast<std::size_t>(
                    (y * picture.width + x) * picture.components +
                    (picture.components == 1 ? 0 : c))];
                const int decoded =
                    image.pixels[static_cast<std::size_t>(y * image.rowStride + x * 3 + c)];
                largest = std::max(largest, std::abs(source - decoded));
            }
        }
    }
    return largest;
}

class JpegReaderTest : public testing::Test {
protected:
    std::string writePicture(const std::string& name, const TestPicture& picture, int quality = 95,
                             bool progressive = false) {
        const std::string path = directory.file(name);
        writeBytes(path, encodeJpeg(picture, quality, progressive));
        return path;
    }

    std::string writeRaw(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const std::string path = directory.file(name);
        writeBytes(path, bytes);
        return path;
    }

    ScratchDirectory directory;
};

TEST_F(JpegReaderTest, ColourPictureDecodesTopRowFirst) {
    const TestPicture picture = makeQuadrantPicture(64, 32, 3);
    const auto image = readJpegFile(writePicture("p0.jpg", picture));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 64);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->rowStride, 64 * 3);
    EXPECT_LE(largestDifference(*image, picture), 12);
    // The first row is the red top of the picture, the last the blue and white bottom.
    EXPECT_GT(image->pixels[0], 200);
    EXPECT_LT(image->pixels[2], 60);
    EXPECT_GT(image->pixels[static_cast<std::size_t>(31 * image->rowStride + 2)], 200);
}

TEST_F(JpegReaderTest, GradientSurvivesDecodingClosely) {
    const TestPicture picture = makeGradientPicture(128, 96);
    const auto image = readJpegFile(writePicture("gradient.jpg", picture, 98));
    ASSERT_NE(image, nullptr);
    EXPECT_LE(largestDifference(*image, picture), 8);
}

TEST_F(JpegReaderTest, AnyWidthIsPackedWithoutGaps) {
    // 301 x 3 bytes is no multiple of 4: a padded row would shift every following row.
    const TestPicture picture = makeGradientPicture(301, 37);
    const auto image = readJpegFile(writePicture("odd.jpg", picture, 98));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->rowStride, 903);
    EXPECT_LE(largestDifference(*image, picture), 8);
}

TEST_F(JpegReaderTest, GrayscaleBecomesRgb) {
    const TestPicture picture = makeQuadrantPicture(40, 24, 1);
    const auto image = readJpegFile(writePicture("gray.jpg", picture));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->rowStride, 40 * 3);
    for (int i = 0; i < 40 * 24; ++i) {
        const std::uint8_t* pixel = &image->pixels[static_cast<std::size_t>(i * 3)];
        ASSERT_EQ(pixel[0], pixel[1]) << i;
        ASSERT_EQ(pixel[0], pixel[2]) << i;
    }
    EXPECT_LE(largestDifference(*image, picture), 8);
}

TEST_F(JpegReaderTest, ProgressivePictureDecodes) {
    const TestPicture picture = makeGradientPicture(48, 48);
    const auto image = readJpegFile(writePicture("progressive.jpg", picture, 98, true));
    ASSERT_NE(image, nullptr);
    EXPECT_LE(largestDifference(*image, picture), 8);
}

TEST_F(JpegReaderTest, WarningsDoNotStopTheDecode) {
    std::vector<std::uint8_t> bytes = encodeJpeg(makeQuadrantPicture(16, 16, 3));
    // Garbage before the end-of-image marker: the decoder warns and carries on.
    bytes.insert(bytes.end() - 2, {0x12, 0x34, 0x56});
    const auto image = readJpegFile(writeRaw("extraneous.jpg", bytes));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 16);
}

TEST_F(JpegReaderTest, MissingFileGivesNothing) {
    EXPECT_EQ(readJpegFile(directory.file("absent.jpg")), nullptr);
}

TEST_F(JpegReaderTest, LargestSideIsAccepted) {
    const auto image =
        readJpegFile(writePicture("wide.jpg", makeQuadrantPicture(maximumPictureSide, 2, 3)));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, maximumPictureSide);
}

using JpegReaderDeathTest = JpegReaderTest;

void announceTeardown() {
    std::fputs("teardown\n", stderr);
}

TEST_F(JpegReaderDeathTest, NotAJpegEndsNamingFileAndLibraryMessage) {
    const std::string path = writeRaw("p0.jpg", {'h', 'e', 'l', 'l', 'o', '\n'});
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path +
                    " is not a valid picture: Not a JPEG file: starts with 0x68 0x65\n$");
}

TEST_F(JpegReaderDeathTest, CorruptPictureTearsThePlatformDownFirst) {
    const std::string path = writeRaw("env.jpg", {0xff, 0xd8, 0xff, 0x00, 0x00});
    EXPECT_EXIT(
        {
            platform::registerTeardown(announceTeardown);
            readJpegFile(path);
        },
        testing::ExitedWithCode(1), "^teardown\nFile " + path + " is not a valid picture: ");
}

TEST_F(JpegReaderDeathTest, AFifoInThePicturesPlaceEndsWithoutWaitingForAWriter) {
    ASSERT_TRUE(directory.makeNotAFile("p0.jpg", NotAFile::fifo));
    const std::string path = directory.file("p0.jpg");
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path + " cannot be read: it is a FIFO, not a regular file\n$");
}

TEST_F(JpegReaderDeathTest, EmptyFileEnds) {
    const std::string path = writeRaw("empty.jpg", {});
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path + " is not a valid picture: Empty input file\n$");
}

TEST_F(JpegReaderDeathTest, PictureTruncatedInItsHeaderEnds) {
    std::vector<std::uint8_t> bytes = encodeJpeg(makeQuadrantPicture(32, 32, 3));
    bytes.resize(40);
    const std::string path = writeRaw("sumu.jpg", bytes);
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path + " is not a valid picture: Premature end of JPEG file\n$");
}

TEST_F(JpegReaderDeathTest, PictureTruncatedInItsDataEnds) {
    // The decoder would only warn and paint the rest grey.
    std::vector<std::uint8_t> bytes = encodeJpeg(makeGradientPicture(64, 64));
    bytes.resize(bytes.size() * 2 / 3);
    const std::string path = writeRaw("ilo.jpg", bytes);
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path + " is not a valid picture: Premature end of JPEG file\n$");
}

TEST_F(JpegReaderDeathTest, CmykPictureIsRefused) {
    const std::string path = writePicture("cmyk.jpg", makeQuadrantPicture(16, 16, 4));
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path +
                    " is not a usable picture: it has 4 colour components \\(CMYK\\); only colour "
                    "and grayscale JPEG pictures are supported\n$");
}

TEST_F(JpegReaderDeathTest, OversizedPictureIsRefusedBeforeDecoding) {
    const std::string path = writePicture("huge.jpg", makeQuadrantPicture(5000, 2, 3));
    EXPECT_EXIT(readJpegFile(path), testing::ExitedWithCode(1),
                "^File " + path +
                    " is not a usable picture: it is 5000 x 2 pixels; at most 4096 x 4096 are "
                    "supported\n$");
}

// Both fail before any OpenGL call, so no context is needed.
TEST_F(JpegReaderDeathTest, MissingPictureEndsWithStatusOne) {
    const std::string path = directory.file("p0.jpg");
    EXPECT_EXIT(loadPicture(textureBank, path, 10), testing::ExitedWithCode(1),
                "^File " + path + " not found!\n$");
}

TEST_F(JpegReaderDeathTest, TruncatedPictureEndsWithStatusOne) {
    std::vector<std::uint8_t> bytes = encodeJpeg(makeGradientPicture(64, 64));
    bytes.resize(bytes.size() / 2);
    const std::string path = writeRaw("yla0.jpg", bytes);
    EXPECT_EXIT(loadPicture(textureBank, path, 20), testing::ExitedWithCode(1),
                "^File " + path + " is not a valid picture: Premature end of JPEG file\n$");
}

} // namespace
