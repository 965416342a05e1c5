// Opening the music loops: reading, decoding and waiting until every sample is there, as the
// demo's start-up does. The loops are made here: 15 s of chords, bass, noisy hits and hiss at
// 44.1 kHz stereo, LAME VBR with the encoder tag (about 140 kbit/s), like the data set's.
#include "mp3_test_files.h"
#include "platform/sound_system.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t loopFrames = 661500;

std::vector<std::int16_t> makeLoopSignal(unsigned seed) {
    std::vector<std::int16_t> samples(std::size_t(loopFrames) * 2);
    const double pi = 3.14159265358979;
    const double beat = 14.674 / 32 * 44100;
    std::uint32_t noise = seed * 2654435761u + 1;
    for (std::uint32_t i = 0; i < loopFrames; ++i) {
        const double t = i / 44100.0;
        const double sinceBeat = std::fmod(i, beat) / 44100.0;
        noise = noise * 1664525u + 1013904223u;
        const double hit = (int(noise >> 16) / 32768.0 - 1.0) * std::exp(-sinceBeat * 30.0);
        const double chord = std::sin(2 * pi * (220.0 + seed * 20) * t) +
                             std::sin(2 * pi * 277.2 * t) + std::sin(2 * pi * 329.6 * t);
        const double bass = std::sin(2 * pi * 55.0 * t) * std::exp(-sinceBeat * 4.0);
        for (int side = 0; side < 2; ++side) {
            // A steady hiss keeps the bit rate up where real mixes have cymbals and reverb.
            const double hiss = (int(noise >> (side ? 8 : 0) & 0xffff) / 32768.0 - 1.0) * 0.04;
            const double value = 0.12 * chord + 0.3 * bass + 0.25 * hit * (side ? 0.8 : 1.0) + hiss;
            samples[std::size_t(i) * 2 + side] = std::int16_t(std::lround(value * 32767.0));
        }
    }
    return samples;
}

struct LoopFiles {
    ScratchDirectory directory;
    std::vector<std::string> paths;

    LoopFiles() {
        for (unsigned i = 1; i <= 5; ++i) {
            paths.push_back(soundtest::writeMp3(directory.file("loop" + std::to_string(i) + ".mp3"),
                                                makeLoopSignal(i)));
        }
    }
};

const LoopFiles& loopFiles() {
    static const LoopFiles files;
    return files;
}

void openLoops(benchmark::State& state, std::size_t count) {
    const LoopFiles& files = loopFiles();
    platform::SoundSystem sound;
    platform::selectSoundOutput(sound, platform::SoundOutput::offline);
    for (auto _ : state) {
        state.PauseTiming();
        sound.initialise(44100, 16, 0); // frees the previous iteration's loops
        state.ResumeTiming();
        std::vector<platform::SoundStream*> streams;
        for (std::size_t i = 0; i < count; ++i) {
            streams.push_back(sound.openStream(files.paths[i].c_str()));
        }
        for (platform::SoundStream* stream : streams) {
            benchmark::DoNotOptimize(sound.streamPosition(stream)); // waits for the samples
        }
    }
}

void openOneLoop(benchmark::State& state) {
    openLoops(state, 1);
}
void openFiveLoops(benchmark::State& state) {
    openLoops(state, 5);
}

BENCHMARK(openOneLoop)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(openFiveLoops)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
