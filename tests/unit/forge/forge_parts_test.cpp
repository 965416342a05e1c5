#include "forge/data_set.h"
#include "forge/file_output.h"
#include "forge/music/beat_clock.h"
#include "forge/music/drum_kit.h"
#include "forge/music/loop_renderer.h"
#include "forge/music/reverb.h"
#include "forge/music/stereo_delay.h"
#include "forge/pictures/image.h"
#include "forge/pictures/text_renderer.h"
#include "support/scratch_directory.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

double energy(const std::vector<float>& samples, std::size_t from, std::size_t to) {
    double sum = 0.0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) {
        sum += samples[i] * samples[i];
    }
    return sum;
}

// The share of a signal's energy above a one-pole split at the given frequency.
double highShare(const std::vector<float>& samples, double splitHz) {
    double k = std::exp(-2.0 * 3.14159265358979 * splitHz / 44100.0);
    double low = 0.0;
    double lowEnergy = 0.0;
    double highEnergy = 0.0;
    for (float sample : samples) {
        low = (1.0 - k) * sample + k * low;
        lowEnergy += low * low;
        highEnergy += (sample - low) * (sample - low);
    }
    return highEnergy / (lowEnergy + highEnergy);
}

std::vector<float> drumAlone(forge::Drum drum) {
    forge::StereoBuffer buffer(44100);
    forge::renderDrumHit(buffer, {0.0, drum, 1.0f, 0.0f});
    return buffer.left;
}

TEST(DrumKit, EachDrumSitsInItsOwnPartOfTheSpectrum) {
    std::vector<float> kick = drumAlone(forge::Drum::kick);
    std::vector<float> snare = drumAlone(forge::Drum::snare);
    std::vector<float> hat = drumAlone(forge::Drum::closedHat);
    EXPECT_LT(highShare(kick, 200.0), 0.2);
    EXPECT_GT(highShare(hat, 2000.0), 0.8);
    double snareShare = highShare(snare, 1000.0);
    EXPECT_GT(snareShare, highShare(kick, 1000.0));
    EXPECT_LT(snareShare, highShare(hat, 1000.0));
    // A closed hat is short, an open one rings on.
    std::vector<float> open = drumAlone(forge::Drum::openHat);
    EXPECT_LT(energy(hat, 4410, 44100), energy(hat, 0, 4410) * 0.01);
    EXPECT_GT(energy(open, 4410, 44100), energy(open, 0, 4410) * 0.1);
}

TEST(DrumKit, AHitStartsExactlyOnItsBeatAndPansAsAsked) {
    forge::StereoBuffer buffer(forge::beat::frameOf(4.0));
    forge::renderDrumHit(buffer, {2.5, forge::Drum::clap, 1.0f, 1.0f});
    std::int64_t start = forge::beat::frameOf(2.5);
    auto firstSound = std::find_if(buffer.right.begin(), buffer.right.end(),
                                   [](float sample) { return sample != 0.0f; });
    EXPECT_GE(firstSound - buffer.right.begin(), start);
    EXPECT_LT(firstSound - buffer.right.begin(), start + 5);
    EXPECT_LT(energy(buffer.left, 0, buffer.left.size()), 1e-6);
}

TEST(StereoDelay, RepeatsAnImpulseFromSideToSideEachQuieter) {
    forge::StereoBuffer input(forge::beat::frameOf(4.0));
    input.left[0] = 1.0f;
    input.right[0] = 1.0f;
    forge::StereoBuffer output(input.frames());
    forge::applyPingPongDelay(input, output, 0.75, 0.5f, 15000.0f);
    auto delay = static_cast<std::size_t>(forge::beat::frameOf(0.75));
    // Echo windows: the first on the left, the second on the right, the third on the left.
    auto window = [&](const std::vector<float>& channel, std::size_t repeat) {
        return energy(channel, repeat * delay, repeat * delay + 64);
    };
    EXPECT_LT(window(output.left, 0) + window(output.right, 0), 1e-9);
    EXPECT_GT(window(output.left, 1), 0.1);
    EXPECT_LT(window(output.right, 1), 1e-6);
    EXPECT_GT(window(output.right, 2), 0.01);
    EXPECT_LT(window(output.left, 2), 1e-6);
    EXPECT_LT(window(output.left, 3), window(output.left, 1));
}

TEST(Reverb, DecaysAndDiffersBetweenTheSides) {
    forge::StereoBuffer input(44100 * 4);
    input.left[0] = 1.0f;
    input.right[0] = 1.0f;
    forge::StereoBuffer output(input.frames());
    forge::applyReverb(input, output, 0.86f, 0.35f);
    double early = energy(output.left, 0, 44100);
    double late = energy(output.left, 44100 * 3, 44100 * 4);
    EXPECT_GT(early, 1e-4);
    EXPECT_LT(late, early * 0.01);
    double difference = 0.0;
    for (std::size_t i = 0; i < 44100; ++i) {
        difference += std::fabs(output.left[i] - output.right[i]);
    }
    EXPECT_GT(difference, 0.1);
}

TEST(LoopRenderer, MastersToItsPeakAndEndsInSilence) {
    forge::LoopScore score;
    score.drums.push_back({0.0, forge::Drum::kick, 1.0f, 0.0f});
    score.pad.push_back({0.0, 31.9, 57, 1.0f});
    score.padBrightness = [](double) { return 0.5f; };
    score.pluckBrightness = score.padBrightness;
    forge::StereoBuffer mix = forge::renderLoop(score);
    ASSERT_EQ(mix.frames(), forge::beat::loopFrames);
    float peak = 0.0f;
    for (std::size_t i = 0; i < mix.left.size(); ++i) {
        peak = std::max({peak, std::fabs(mix.left[i]), std::fabs(mix.right[i])});
    }
    EXPECT_NEAR(peak, forge::peakLevel, 1e-4f);
    EXPECT_NEAR(mix.left.back(), 0.0f, 1e-6f);
    EXPECT_NEAR(mix.right.back(), 0.0f, 1e-6f);
    // The held pad still sounds just before the fade.
    EXPECT_GT(energy(mix.left, 640000, 641000), 1e-4);
}

TEST(DataSet, NamesTheFirstFileThatFailsAndWhy) {
    ScratchDirectory scratch;
    const std::filesystem::path folder = scratch.path();
    auto succeed = [](const std::string& path, std::string& reason) {
        return forge::writeFileBytes(path, {1, 2, 3}, reason);
    };
    auto fail = [](const std::string&, std::string& reason) {
        reason = "no good";
        return false;
    };
    std::vector<forge::AssetJob> jobs = {{"a.bin", succeed}, {"b.bin", fail}, {"c.bin", fail}};
    std::string error;
    EXPECT_FALSE(forge::writeAssets(jobs, folder.string(), 2, error));
    EXPECT_EQ(error, (folder / "b.bin").string() + ": no good");
    EXPECT_EQ(std::filesystem::file_size(folder / "a.bin"), 3u);

    std::vector<forge::AssetJob> unwritable = {{"missing/a.bin", succeed}};
    EXPECT_FALSE(forge::writeAssets(unwritable, folder.string(), 1, error));
    EXPECT_NE(error.find("missing/a.bin: "), std::string::npos);
}

TEST(TextRenderer, DrawsCentredAntiAliasedTextAndRefusesANonFont) {
    forge::TextRenderer text;
    std::string reason;
    ASSERT_TRUE(text.open("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", reason))
        << reason;
    EXPECT_GT(text.measure(U"Lumivaha", 40, 0), text.measure(U"Lumivaha", 20, 0) * 3 / 2);
    EXPECT_EQ(text.measure(U"ab", 20, 10), text.measure(U"ab", 20, 0) + 10);

    constexpr int width = 200;
    constexpr int height = 60;
    std::vector<float> mask(width * height);
    text.drawCentred(mask, width, height, U"HH", 40, 0, 100, 45);
    float left = 0.0f;
    float right = 0.0f;
    int partial = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            float value = mask[static_cast<std::size_t>(y * width + x)];
            (x < 100 ? left : right) += value;
            partial += value > 0.05f && value < 0.95f ? 1 : 0;
        }
    }
    EXPECT_GT(left, 100.0f);
    EXPECT_NEAR(left / right, 1.0f, 0.15f);
    EXPECT_GT(partial, 10); // soft edges

    forge::TextRenderer notAFont;
    EXPECT_FALSE(notAFont.open("/etc/hostname", reason));
    EXPECT_FALSE(reason.empty());
}

TEST(Image, RoundsAndClampsToBytesAndSamplesBetweenPixels) {
    forge::Image image(2, 1);
    image.at(0, 0) = {-0.5f, 0.5f, 1.5f};
    image.at(1, 0) = {1.0f, 0.0f, 0.2f};
    std::vector<unsigned char> bytes = image.toRgb8();
    ASSERT_EQ(bytes.size(), 6u);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 128);
    EXPECT_EQ(bytes[2], 255);
    EXPECT_EQ(bytes[5], 51);
    forge::Colour middle = image.sample(0.5f, 0.5f);
    EXPECT_NEAR(middle.r, 0.25f, 1e-6f);
    EXPECT_NEAR(middle.g, 0.25f, 1e-6f);
}

} // namespace
