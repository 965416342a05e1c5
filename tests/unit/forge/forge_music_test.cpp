#include "forge/music/beat_clock.h"
#include "forge/music/loop_renderer.h"
#include "forge/music/melody.h"
#include "forge/music/song.h"
#include "kick_detector.h"
#include "platform/sound_decoder.h"
#include "resources/data_manifest.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numeric>
#include <set>
#include <string>

namespace {

// Loop n, counted from 1 as the score counts them.
std::vector<std::int16_t> decodeLoop(int number) {
    const std::string path =
        std::string(LUMIVAHA_DATA_DIR) + "/" +
        std::string(nameInDataFolder(loopFiles[static_cast<std::size_t>(number - 1)]));
    std::vector<std::int16_t> samples;
    std::string reason;
    platform::DecodeResult result = platform::decodeSoundFile(path.c_str(), 44100, samples, reason);
    EXPECT_EQ(result, platform::DecodeResult::decoded) << path << ": " << reason;
    return samples;
}

double rms(const std::vector<std::int16_t>& samples, std::int64_t fromFrame, std::int64_t toFrame) {
    double sum = 0.0;
    for (std::int64_t i = fromFrame * 2; i < toFrame * 2; ++i) {
        double value = samples[static_cast<std::size_t>(i)] / 32768.0;
        sum += value * value;
    }
    return std::sqrt(sum / static_cast<double>((toFrame - fromFrame) * 2));
}

// Frames before the demo's loop boundary: the position 14674 ms itself still belongs to the loop.
constexpr std::int64_t boundaryFrame = 647123;

class ForgedLoop : public testing::TestWithParam<int> {};

TEST_P(ForgedLoop, DecodesGaplesslyToExactlyFifteenSeconds) {
    EXPECT_EQ(decodeLoop(GetParam()).size(), static_cast<std::size_t>(forge::beat::loopFrames * 2));
}

TEST_P(ForgedLoop, HoldsThirtyTwoKicksOnTheBeatGridBeforeTheBoundary) {
    std::vector<std::int16_t> samples = decodeLoop(GetParam());
    std::vector<std::int64_t> onsets = findKickOnsets(samples, boundaryFrame);
    ASSERT_EQ(onsets.size(), 32u);
    const double tolerance = 0.005 * 44100.0;
    for (std::size_t beat = 0; beat < onsets.size(); ++beat) {
        double expected = static_cast<double>(beat) * forge::beat::framesPerBeat;
        EXPECT_NEAR(static_cast<double>(onsets[beat]), expected, tolerance) << "beat " << beat;
    }
}

TEST_P(ForgedLoop, IsLoudWithoutClipping) {
    std::vector<std::int16_t> samples = decodeLoop(GetParam());
    ASSERT_FALSE(samples.empty());
    int peak = 0;
    for (std::int16_t sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    // Under -0.5 dBFS after decoding, and a body no quieter than -20 dBFS.
    EXPECT_LT(peak, 30900);
    EXPECT_GT(20.0 * std::log10(rms(samples, 0, boundaryFrame)), -20.0);
}

TEST_P(ForgedLoop, TailDecaysToSilenceByFifteenSeconds) {
    std::vector<std::int16_t> samples = decodeLoop(GetParam());
    ASSERT_EQ(samples.size(), static_cast<std::size_t>(forge::beat::loopFrames * 2));
    double body = rms(samples, 0, boundaryFrame);
    double tail = rms(samples, forge::beat::loopFrames - 2205, forge::beat::loopFrames - 441);
    double end = rms(samples, forge::beat::loopFrames - 44, forge::beat::loopFrames);
    // Something still sounds through the rewind point (14830 ms), then it fades out.
    EXPECT_GT(rms(samples, 653000, 654000), body * 0.01);
    EXPECT_LT(tail, body * 0.3);
    EXPECT_LT(end, body * 0.01);
}

// The demo cuts from a loop's boundary to the next loop's first sample, and the whole show opens
// on the opening's: an offset would step at every cut, and a first sample off zero clicks.
TEST_P(ForgedLoop, MixIsCentredOnZeroAndStartsFromSilence) {
    forge::StereoBuffer mix = forge::renderLoop(forge::loopScore(GetParam()));
    for (const std::vector<float>* channel : {&mix.left, &mix.right}) {
        double mean = std::accumulate(channel->begin(), channel->end(), 0.0) /
                      static_cast<double>(channel->size());
        EXPECT_LT(std::fabs(mean), 0.0005);
        EXPECT_LT(std::fabs(channel->front()), 0.001f);
    }
}

INSTANTIATE_TEST_SUITE_P(AllLoops, ForgedLoop,
                         testing::Range(1, static_cast<int>(loopFiles.size()) + 1));

TEST(OpeningLoop, BuildsUpFromItsFirstBarsToItsLast) {
    std::vector<std::int16_t> samples = decodeLoop(5);
    ASSERT_EQ(samples.size(), static_cast<std::size_t>(forge::beat::loopFrames * 2));
    double firstBars = rms(samples, 0, forge::beat::frameOf(8));
    double lastBars = rms(samples, forge::beat::frameOf(24), forge::beat::frameOf(32));
    EXPECT_LT(firstBars, lastBars * 0.8);
}

// Any loop may follow any other: every note of every score lies in A minor (natural, with the
// raised seventh of the dominant), and every loop keeps the kick on all 32 beats.
TEST(LoopScores, ShareOneKeyAndAFullBarOfKicks) {
    const std::set<int> aMinor = {9, 11, 0, 2, 4, 5, 7, 8};
    for (int number = 1; number <= 5; ++number) {
        forge::LoopScore score = forge::loopScore(number);
        for (const auto* part : {&score.bass, &score.pad, &score.pluck, &score.lead}) {
            ASSERT_FALSE(part == &score.lead && number < 5 && part->empty());
            for (const forge::NoteEvent& note : *part) {
                EXPECT_TRUE(aMinor.count(note.note % 12))
                    << "loop " << number << " note " << note.note;
                EXPECT_LT(note.beat, 32.0) << "loop " << number;
            }
        }
        std::set<double> kickBeats;
        for (const forge::DrumHit& hit : score.drums) {
            if (hit.drum == forge::Drum::kick) {
                kickBeats.insert(hit.beat);
            }
        }
        EXPECT_EQ(kickBeats.size(), 32u) << "loop " << number;
        EXPECT_EQ(*kickBeats.begin(), 0.0);
        EXPECT_EQ(*kickBeats.rbegin(), 31.0);
    }
}

TEST(BeatClock, PutsThirtyTwoBeatsInExactly14674Milliseconds) {
    EXPECT_EQ(forge::beat::frameOf(0), 0);
    EXPECT_EQ(forge::beat::frameOf(32), 647123); // 14674 ms x 44.1 = 647123.4
    EXPECT_NEAR(forge::beat::secondsOf(32), 14.674, 1e-12);
    EXPECT_NEAR(60.0 / forge::beat::secondsPerBeat, 130.84, 0.01);
}

} // namespace
