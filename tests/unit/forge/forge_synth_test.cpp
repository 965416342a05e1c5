#include "forge/data_set.h"
#include "forge/music/beat_clock.h"
#include "forge/music/envelope.h"
#include "forge/music/melody.h"
#include "forge/music/oscillator.h"
#include "forge/music/resonant_filter.h"
#include "forge/music/stereo_buffer.h"
#include "platform/sound_decoder.h"
#include "platform/sound_wav_writer.h"
#include "support/scratch_directory.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

constexpr double pi = 3.14159265358979323846;

// Power at one frequency (the Goertzel algorithm), for a signal sampled at 44.1 kHz.
double powerAt(const std::vector<float>& signal, double frequency) {
    double coefficient = 2.0 * std::cos(2.0 * pi * frequency / 44100.0);
    double s1 = 0.0;
    double s2 = 0.0;
    for (float sample : signal) {
        double s0 = sample + coefficient * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    // Normalised so that a sine of amplitude a has power a * a / 4.
    double count = static_cast<double>(signal.size());
    return (s1 * s1 + s2 * s2 - coefficient * s1 * s2) / (count * count);
}

TEST(Melody, ReadsNamesLengthsRestsAndChords) {
    EXPECT_EQ(forge::noteNumber("A4"), 69);
    EXPECT_EQ(forge::noteNumber("C4"), 60);
    EXPECT_EQ(forge::noteNumber("G#3"), 56);
    EXPECT_EQ(forge::noteNumber("Bb2"), 46);
    EXPECT_EQ(forge::noteNumber("H4"), -1);
    EXPECT_EQ(forge::noteNumber("A"), -1);
    EXPECT_EQ(forge::noteNumber("A4x"), -1);

    auto notes = forge::parseMelody("E5/4 -/2 A3+C4/8 G5/2", 16.0, 0.5f);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].note, 76);
    EXPECT_DOUBLE_EQ(notes[0].beat, 16.0);
    EXPECT_DOUBLE_EQ(notes[0].length, 1.0);
    // The rest moves the chord on by half a beat; both chord notes start together.
    EXPECT_DOUBLE_EQ(notes[1].beat, 17.5);
    EXPECT_DOUBLE_EQ(notes[2].beat, 17.5);
    EXPECT_EQ(notes[1].note, 57);
    EXPECT_EQ(notes[2].note, 60);
    EXPECT_DOUBLE_EQ(notes[3].beat, 19.5);
    EXPECT_FLOAT_EQ(notes[3].velocity, 0.5f);
}

// A saw at 3150 Hz has its 8th harmonic at 25200 Hz, past the Nyquist frequency: a naive saw
// folds it back to 18900 Hz. The band-limited one must leave far less there.
TEST(Oscillator, SawAliasesFarLessThanANaiveSaw) {
    const float increment = 3150.0f / 44100.0f;
    forge::Oscillator oscillator;
    std::vector<float> limited;
    std::vector<float> naive;
    float phase = 0.0f;
    for (int i = 0; i < 44100; ++i) {
        limited.push_back(oscillator.sawPulse(increment, 0.0f, 0.5f));
        naive.push_back(2.0f * phase - 1.0f);
        phase = std::fmod(phase + increment, 1.0f);
    }
    double limitedAlias = powerAt(limited, 18900.0);
    double naiveAlias = powerAt(naive, 18900.0);
    EXPECT_LT(limitedAlias, naiveAlias * 0.25);
    // The fundamental is still all there.
    EXPECT_NEAR(powerAt(limited, 3150.0) / powerAt(naive, 3150.0), 1.0, 0.1);
}

TEST(ResonantFilter, PassesTheBandBelowCutoffAndStopsTheBandAbove) {
    auto through = [](double frequency, float resonance) {
        forge::ResonantFilter filter;
        filter.setCutoff(1000.0f, resonance);
        std::vector<float> output;
        for (int i = 0; i < 44100; ++i) {
            output.push_back(
                filter.lowPass(static_cast<float>(std::sin(2.0 * pi * frequency * i / 44100.0))));
        }
        return std::sqrt(powerAt(output, frequency) / 0.25);
    };
    EXPECT_NEAR(through(100.0, 0.0f), 1.0, 0.05);
    EXPECT_LT(through(10000.0, 0.0f), 0.02);
    // Resonance lifts the cutoff frequency well above the plain response.
    EXPECT_GT(through(1000.0, 0.8f), through(1000.0, 0.0f) * 2.0);
}

TEST(Envelope, RisesDecaysAndReleasesWithoutAJump) {
    forge::Envelope envelope{0.01f, 0.1f, 0.5f, 0.2f};
    EXPECT_FLOAT_EQ(envelope.level(-0.001f, 1.0f), 0.0f);
    EXPECT_NEAR(envelope.level(0.005f, 1.0f), 0.5f, 1e-5);
    EXPECT_NEAR(envelope.level(0.9f, 1.0f), 0.5f, 0.01);
    // A note released during its attack falls from where it was, not from the sustain level.
    float atGate = envelope.level(0.004999f, 0.005f);
    EXPECT_NEAR(envelope.level(0.005001f, 0.005f), atGate, 1e-3);
    EXPECT_LT(envelope.level(0.005f + 1.0f, 0.005f), 0.01f);
}

// The encoder's tag must let a gapless decoder return exactly what was encoded, in time: an odd
// length checks the padding, a click at a known frame checks the delay.
TEST(Mp3Encoder, RoundTripsExactlyThroughTheGaplessDecoder) {
    constexpr std::int64_t frames = 44100 + 1234;
    forge::StereoBuffer buffer(frames);
    for (std::int64_t i = 0; i < frames; ++i) {
        float value = 0.3f * static_cast<float>(std::sin(2.0 * pi * 440.0 * i / 44100.0));
        buffer.left[static_cast<std::size_t>(i)] = value;
        buffer.right[static_cast<std::size_t>(i)] = -value;
    }
    std::vector<unsigned char> bytes;
    std::string reason;
    ASSERT_TRUE(encodeMp3(buffer.left, buffer.right, forge::loopMp3Settings(), bytes, reason))
        << reason;
    ScratchDirectory scratch;
    const std::string path = scratch.file("round_trip.mp3");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);

    std::vector<std::int16_t> samples;
    ASSERT_EQ(platform::decodeSoundFile(path.c_str(), 44100, samples, reason),
              platform::DecodeResult::decoded)
        << reason;
    ASSERT_EQ(samples.size(), static_cast<std::size_t>(frames * 2));
    // In step with the input: the decoded sine matches it sample by sample.
    double error = 0.0;
    for (std::int64_t i = 1000; i < frames - 1000; ++i) {
        double expected = buffer.left[static_cast<std::size_t>(i)];
        error = std::max(error,
                         std::fabs(samples[static_cast<std::size_t>(2 * i)] / 32768.0 - expected));
        error = std::max(
            error, std::fabs(samples[static_cast<std::size_t>(2 * i + 1)] / 32768.0 + expected));
    }
    EXPECT_LT(error, 0.02);
}

TEST(WavWriter, WritesA16BitStereoHeaderAndClampedSamples) {
    forge::StereoBuffer buffer(3);
    buffer.left = {0.0f, 1.5f, -0.5f};
    buffer.right = {0.25f, -2.0f, 0.5f};
    const std::vector<std::int16_t> samples = buffer.toPcm16();
    ScratchDirectory scratch;
    const std::string path = scratch.file("loop.wav");
    std::string reason;
    ASSERT_TRUE(platform::writeWavFile(path.c_str(), samples.data(), samples.size(),
                                       forge::beat::sampleRate, reason))
        << reason;
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(bytes.size(), 44u + 12u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    auto word = [&](std::size_t at) { return bytes[at] | bytes[at + 1] << 8; };
    EXPECT_EQ(word(22), 2);      // channels
    EXPECT_EQ(word(24), 44100);  // rate, low half
    EXPECT_EQ(word(34), 16);     // bits
    EXPECT_EQ(word(46), 8192);   // the first frame, right: 0.25
    EXPECT_EQ(word(48), 0x7fff); // 1.5 clamps to full scale
    EXPECT_EQ(word(50), 0x8001); // -2.0 clamps to -32767
}

} // namespace
