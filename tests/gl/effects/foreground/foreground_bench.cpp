// The cost of each foreground's draw on the machine's GL (llvmpipe on the build machines): one
// frame's draw into the 512x512 square, finished with glFinish so the rasteriser's work counts.
#include "core/random.h"
#include "effects/mesh_showcase.h"
#include "effects/picture_strips.h"
#include "effects/voxel_growth.h"
#include "effects/water_ripple.h"
#include "foreground_gl_support.h"
#include "resources/texture_bank.h"
#include "showcase_files.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace {

constexpr BaseColour benchColour = {0.6f, 0.5f, 0.7f};

// The frame driver's start of a frame: clear and reset the state the effects rely on.
void startFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glColor3f(benchColour.red, benchColour.green, benchColour.blue);
}

std::unique_ptr<VoxelGrowth> grownTo(std::int32_t cubes) {
    seedRandom(1);
    auto growth = std::make_unique<VoxelGrowth>();
    float t = 0.0f;
    while (growth->cubeCount < cubes) {
        t += 0.1f;
        growth->advance(t);
    }
    return growth;
}

void voxelGrowthDraw(benchmark::State& state) {
    enterDrawContext(benchColour);
    auto growth = grownTo(static_cast<std::int32_t>(state.range(0)));
    // Drawn at the time of the last step: no step and no reset, the same cubes every frame.
    const float t = growth->lastStepTime;
    for (auto _ : state) {
        startFrame();
        growth->draw(t);
        glFinish();
    }
    state.counters["cubes"] = growth->cubeCount;
}
BENCHMARK(voxelGrowthDraw)
    ->Arg(1)
    ->Arg(100)
    ->Arg(400)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void voxelGridScan(benchmark::State& state) {
    auto growth = grownTo(400);
    for (auto _ : state) {
        int visited = 0;
        growth->forEachTakenCell([&](int, int, int) { ++visited; });
        benchmark::DoNotOptimize(visited);
    }
}
BENCHMARK(voxelGridScan)->Unit(benchmark::kMicrosecond);

void pictureStripsDraw(benchmark::State& state) {
    enterDrawContext(benchColour);
    for (int slot = 20; slot <= 29; ++slot) {
        textureBank[static_cast<std::size_t>(slot)] =
            makeSolidTexture(static_cast<std::uint8_t>(slot * 8), 90, 160, 256);
    }
    PictureStrips strips;
    float t = 0.0f;
    for (auto _ : state) {
        startFrame();
        strips.draw(t);
        glFinish();
        t += 1.0f / 60.0f;
    }
}
BENCHMARK(pictureStripsDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

// A sphere of the given triangle count (rings x segments x 2) in all three model files.
void meshShowcaseDraw(benchmark::State& state) {
    enterDrawContext(benchColour);
    textureBank[environmentPictureSlot] = makeSolidTexture(180, 200, 220, 256);
    const auto rings = static_cast<int>(state.range(0));
    const AmlModel sphere = {sphereMesh(30.0f, rings, 100)};
    const ShowcaseDirectory files({sphere, sphere, sphere});
    MeshShowcase showcase;
    float t = 20.0f;
    for (auto _ : state) {
        startFrame();
        showcase.draw(t);
        glFinish();
        t += 1.0f / 60.0f;
    }
    state.counters["triangles"] = rings * 100 * 2;
}
BENCHMARK(meshShowcaseDraw)->Arg(10)->Arg(140)->Unit(benchmark::kMillisecond)->UseRealTime();

void waterRippleDraw(benchmark::State& state) {
    enterDrawContext(benchColour);
    textureBank[40] = makeSolidTexture(100, 150, 200, 512);
    WaterRipple water;
    water.heights[20 * WaterRipple::columns + 30] = 1024;
    for (auto _ : state) {
        startFrame();
        water.draw(40, 0.0f);
        glFinish();
    }
}
BENCHMARK(waterRippleDraw)->Unit(benchmark::kMillisecond)->UseRealTime();

void waterRippleStep(benchmark::State& state) {
    WaterRipple water;
    water.heights[20 * WaterRipple::columns + 30] = 1024;
    for (auto _ : state) {
        water.step();
        benchmark::DoNotOptimize(water.heights.data());
    }
}
BENCHMARK(waterRippleStep)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    GlTestContext context;
    if (!context.ready()) {
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
