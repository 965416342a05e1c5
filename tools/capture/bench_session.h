#pragma once

#include "demo_driver.h"
#include "effects/verified_blur.h"
#include "frame_rate.h"
#include "sound_feed.h"
#include "startup_probes.h"
#include "virtual_clock.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <vector>

// One start-up, from the start-up's first step to the end of the first frame, in seconds. The
// phases add up to the total.
struct StartupSample {
    double pictures = 0.0;
    double mipmaps = 0.0;
    double meshes = 0.0;
    // The main thread's share: opening the loops and waiting for their decoding.
    double music = 0.0;
    double restOfStartup = 0.0;
    double firstFrame = 0.0;
    double total = 0.0;
    // The decoding's processor time on the worker threads, and when the last loop was done,
    // counted from the start.
    double musicWorkers = 0.0;
    double allMusicDecoded = 0.0;
    std::uint32_t pictureCount = 0;
    std::uint32_t mipmapCount = 0;
    std::uint32_t meshCount = 0;
    std::uint32_t loopCount = 0;
};

// A backdrop and foreground pair: milliseconds per frame drawn with both, for the same frames
// with both effects drawing nothing (the floor), and with both drawing and the reference blur
// forced.
struct PairSample {
    int backdrop = 0;
    int foreground = 0;
    std::vector<double> pairMilliseconds;
    std::vector<double> floorMilliseconds;
    std::vector<double> referenceMilliseconds;
};

// Times the demo's start-up several times over (an F1 after each first frame starts the next),
// then every backdrop x foreground pair against its floor, on the virtual clock at 60 frames
// per second. A frame is timed from the start of drawFrame until glFinish returns.
class BenchSession final : public DemoDriver {
public:
    static constexpr int startupRuns = 5;
    static constexpr int warmUpFrames = 10;

    BenchSession(std::uint32_t seed, int framesPerPair, StartupProbeReader probes,
                 const volatile std::sig_atomic_t& interrupted);

    void start(DemoWindow& window, KeyState& keys) override;
    void update() override;
    void draw() override;

    const std::vector<StartupSample>& startups() const { return startupSamples; }
    const std::vector<PairSample>& pairs() const { return pairSamples; }
    // The blur's choice as it stood after the last pair.
    const VerifiedBlur::Report& blur() const { return blurReport; }
    bool complete() const;

private:
    using Clock = std::chrono::steady_clock;

    void drawFirstFrame();
    void drawPairFrame();
    enum class FrameKind { pair, floor, reference };
    double timedFrame(FrameKind kind);
    void nextFrame();

    FrameRate rate{60, 1};
    VirtualClock clock;
    SoundFeed sound;
    int framesPerPair;
    StartupProbeReader probes;
    const volatile std::sig_atomic_t& interrupted;
    DemoWindow* window = nullptr;
    int runCount = 0;
    bool firstFrameOfRun = false;
    Clock::time_point runBegan;
    Clock::time_point startupEnded;
    StartupProbeReading atRunStart;
    StartupProbeReading atStartupEnd;
    std::vector<StartupSample> startupSamples;
    std::vector<PairSample> pairSamples;
    std::size_t currentPair = 0;
    int warmedUp = 0;
    VerifiedBlur::Report blurReport;
};
