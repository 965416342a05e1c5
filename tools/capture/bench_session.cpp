#include "bench_session.h"

#include "demo/demo_startup.h"
#include "demo/demo_state.h"
#include "demo/frame_driver.h"
#include "effects/effect.h"
#include "effects/feedback_blur.h"
#include "platform/messages.h"
#include "shell/demo_window.h"

#include <GL/gl.h>
#include <memory>
#include <utility>

namespace {

class DrawsNothing final : public Effect {
public:
    void draw(float) override {}
};

double secondsBetween(std::chrono::steady_clock::time_point from,
                      std::chrono::steady_clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

} // namespace

BenchSession::BenchSession(std::uint32_t seed, int framesPerPair, StartupProbeReader probes,
                           const volatile std::sig_atomic_t& interrupted)
    : clock(rate, seed), sound(rate), framesPerPair(framesPerPair), probes(probes),
      interrupted(interrupted) {
    for (int backdrop = 0; backdrop < backdropCount; ++backdrop) {
        for (int foreground = 0; foreground < foregroundCount; ++foreground) {
            pairSamples.push_back({backdrop, foreground, {}, {}, {}});
        }
    }
    clock.install();
}

void BenchSession::start(DemoWindow& demoWindow, KeyState& keys) {
    window = &demoWindow;
    ++runCount;
    firstFrameOfRun = true;
    glFinish();
    atRunStart = probes();
    runBegan = Clock::now();
    startDemo(demoWindow, keys);
    glFinish();
    startupEnded = Clock::now();
    atStartupEnd = probes();
}

void BenchSession::update() {
    // Every start-up but the last ends with its first frame, through the demo's own restart.
    const bool restart = firstFrameOfRun && runCount < startupRuns;
    if (restart) {
        sendKey(*window, platform::VK_F1, true);
    }
    updateFrame();
    if (restart) {
        sendKey(*window, platform::VK_F1, false);
    }
}

void BenchSession::draw() {
    if (firstFrameOfRun) {
        drawFirstFrame();
    } else {
        drawPairFrame();
    }
    nextFrame();
    if (interrupted || complete()) {
        requestQuit(*window);
    }
}

bool BenchSession::complete() const {
    return currentPair == pairSamples.size();
}

void BenchSession::drawFirstFrame() {
    drawFrame();
    glFinish();
    const Clock::time_point drawn = Clock::now();
    const StartupProbeReading atFirstFrame = probes();
    firstFrameOfRun = false;

    StartupSample sample;
    sample.pictures = atStartupEnd.pictureSeconds - atRunStart.pictureSeconds;
    sample.mipmaps = atStartupEnd.mipmapSeconds - atRunStart.mipmapSeconds;
    sample.meshes = atStartupEnd.meshSeconds - atRunStart.meshSeconds;
    const double musicInStartup =
        atStartupEnd.musicMainThreadSeconds - atRunStart.musicMainThreadSeconds;
    const double musicInFirstFrame =
        atFirstFrame.musicMainThreadSeconds - atStartupEnd.musicMainThreadSeconds;
    sample.music = musicInStartup + musicInFirstFrame;
    sample.restOfStartup = secondsBetween(runBegan, startupEnded) - sample.pictures -
                           sample.mipmaps - sample.meshes - musicInStartup;
    sample.firstFrame = secondsBetween(startupEnded, drawn) - musicInFirstFrame;
    sample.total = secondsBetween(runBegan, drawn);
    sample.musicWorkers = atFirstFrame.musicWorkerSeconds - atRunStart.musicWorkerSeconds;
    sample.allMusicDecoded = secondsBetween(runBegan, atFirstFrame.lastLoopDecoded);
    sample.pictureCount = atStartupEnd.pictures - atRunStart.pictures;
    sample.mipmapCount = atStartupEnd.mipmaps - atRunStart.mipmaps;
    sample.meshCount = atStartupEnd.meshes - atRunStart.meshes;
    sample.loopCount = atStartupEnd.loopsOpened - atRunStart.loopsOpened;
    startupSamples.push_back(sample);
}

void BenchSession::drawPairFrame() {
    PairSample& pair = pairSamples[currentPair];
    if (warmedUp < warmUpFrames) {
        demoState->backdropIndex = pair.backdrop;
        demoState->foregroundIndex = pair.foreground;
        drawFrame();
        ++warmedUp;
        return;
    }
    pair.pairMilliseconds.push_back(timedFrame(FrameKind::pair));
    // The floor and the reference are the same frame again, at the same demo time.
    pair.floorMilliseconds.push_back(timedFrame(FrameKind::floor));
    pair.referenceMilliseconds.push_back(timedFrame(FrameKind::reference));
    if (static_cast<int>(pair.pairMilliseconds.size()) == framesPerPair) {
        ++currentPair;
        warmedUp = 0;
    }
    if (const auto* verified = dynamic_cast<const VerifiedBlur*>(demoState->feedbackBlur.get())) {
        blurReport = verified->report();
    }
}

double BenchSession::timedFrame(FrameKind kind) {
    const bool floor = kind == FrameKind::floor;
    DemoState& state = *demoState;
    auto* verified = dynamic_cast<VerifiedBlur*>(state.feedbackBlur.get());
    if (verified != nullptr) {
        verified->forceReference(kind == FrameKind::reference);
    }
    const PairSample& pair = pairSamples[currentPair];
    // The frame driver's loop boundary may have moved on: every frame draws the pair it times.
    state.backdropIndex = pair.backdrop;
    state.foregroundIndex = pair.foreground;
    std::unique_ptr<Effect> backdrop = std::make_unique<DrawsNothing>();
    std::unique_ptr<Effect> foreground = std::make_unique<DrawsNothing>();
    if (floor) {
        std::swap(state.backgroundEffects[pair.backdrop], backdrop);
        std::swap(state.foregroundEffects[pair.foreground], foreground);
    }
    glFinish();
    const Clock::time_point began = Clock::now();
    drawFrame();
    glFinish();
    const double milliseconds = secondsBetween(began, Clock::now()) * 1000.0;
    if (verified != nullptr) {
        verified->forceReference(false);
    }
    if (floor) {
        std::swap(state.backgroundEffects[pair.backdrop], backdrop);
        std::swap(state.foregroundEffects[pair.foreground], foreground);
    }
    return milliseconds;
}

void BenchSession::nextFrame() {
    sound.mixFrame(clock.frame());
    clock.setFrame(clock.frame() + 1);
}
