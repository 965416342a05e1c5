#include "bench_report.h"

#include "frame_statistics.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr const char* backdropNames[] = {"SpiralBackdrop", "StreakBackdrop", "PulseBackdrop"};
constexpr const char* foregroundNames[] = {"VoxelGrowth", "PictureStrips", "MeshShowcase",
                                           "TitleCards"};

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

double medianMilliseconds(const std::vector<StartupSample>& startups,
                          const std::function<double(const StartupSample&)>& field) {
    std::vector<double> values;
    for (const StartupSample& sample : startups) {
        values.push_back(field(sample) * 1000.0);
    }
    return median(values);
}

std::string startupRow(const std::vector<StartupSample>& startups, const std::string& phase,
                       const std::function<double(const StartupSample&)>& field) {
    return format("| %s | %.1f |\n", phase.c_str(), medianMilliseconds(startups, field));
}

std::string startupTable(const std::vector<StartupSample>& startups) {
    const StartupSample& first = startups.front();
    std::string table = format("Start-up, median of %zu start-ups (ms):\n\n", startups.size());
    table += "| phase | ms |\n|---|---:|\n";
    table += startupRow(startups, format("pictures (%u JPEG files decoded)", first.pictureCount),
                        [](const StartupSample& s) { return s.pictures; });
    table += startupRow(startups, format("mipmaps (%u chains built)", first.mipmapCount),
                        [](const StartupSample& s) { return s.mipmaps; });
    table += startupRow(startups, format("meshes (%u AML files read)", first.meshCount),
                        [](const StartupSample& s) { return s.meshes; });
    table += startupRow(
        startups, format("music decoding (%u loops; the start-up's own wait)", first.loopCount),
        [](const StartupSample& s) { return s.music; });
    table += startupRow(startups, "rest of the start-up (effects, OpenGL state)",
                        [](const StartupSample& s) { return s.restOfStartup; });
    table +=
        startupRow(startups, "first frame", [](const StartupSample& s) { return s.firstFrame; });
    const double total =
        medianMilliseconds(startups, [](const StartupSample& s) { return s.total; });
    table += format("| **start-up to first frame** | **%.1f** |\n\n", total);
    table += format(
        "The loops decode on worker threads beside the start-up: %.1f ms of processor time, "
        "all done %.1f ms after the start-up began. The first start-up of the process "
        "took %.1f ms to its first frame.\n",
        medianMilliseconds(startups, [](const StartupSample& s) { return s.musicWorkers; }),
        medianMilliseconds(startups, [](const StartupSample& s) { return s.allMusicDecoded; }),
        first.total * 1000.0);
    table += format("Target: under %.0f ms to the first frame: %s.\n\n", startupTargetMilliseconds,
                    total < startupTargetMilliseconds ? "met" : "missed");
    return table;
}

struct Worst {
    double value = 0.0;
    const PairSample* pair = nullptr;

    void consider(double candidate, const PairSample& sample) {
        if (pair == nullptr || candidate > value) {
            value = candidate;
            pair = &sample;
        }
    }
    std::string names() const {
        return pair == nullptr ? "- with -"
                               : std::string(backdropNames[pair->backdrop]) + " with " +
                                     foregroundNames[pair->foreground];
    }
};

std::string metOrMissed(bool met) {
    return met ? "met" : "missed";
}

std::string pairTable(const std::vector<PairSample>& pairs) {
    std::string table = format("Frames, ms per frame over %zu frames per pair; the floor is the "
                               "same frame with both effects drawing nothing, the reference the "
                               "same frame with the reference blur:\n\n",
                               pairs.front().pairMilliseconds.size());
    table += "| backdrop | foreground | median | p90 | floor median | floor p90 | median / floor "
             "| reference median | median / reference |\n"
             "|---|---|---:|---:|---:|---:|---:|---:|---:|\n";
    Worst floorRatio;
    Worst slowest;
    Worst referenceRatio;
    for (const PairSample& pair : pairs) {
        const double pairMedian = median(pair.pairMilliseconds);
        const double floorMedian = median(pair.floorMilliseconds);
        const double referenceMedian = median(pair.referenceMilliseconds);
        const double ratio = floorMedian > 0.0 ? pairMedian / floorMedian : 0.0;
        const double toReference = referenceMedian > 0.0 ? pairMedian / referenceMedian : 0.0;
        table +=
            format("| %s | %s | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f |\n",
                   backdropNames[pair.backdrop], foregroundNames[pair.foreground], pairMedian,
                   percentile(pair.pairMilliseconds, 0.9), floorMedian,
                   percentile(pair.floorMilliseconds, 0.9), ratio, referenceMedian, toReference);
        floorRatio.consider(ratio, pair);
        slowest.consider(std::max(pairMedian, floorMedian), pair);
        referenceRatio.consider(toReference, pair);
    }
    table += format("\nTarget: every pair at most %.1f x its floor: %s (highest: %s, %.2f x).\n",
                    pairTargetRatio, metOrMissed(floorRatio.value <= pairTargetRatio).c_str(),
                    floorRatio.names().c_str(), floorRatio.value);
    table += format("Target: every median and floor median at most %.1f ms: %s (highest: %s, "
                    "%.2f ms).\n",
                    frameTargetMilliseconds,
                    metOrMissed(slowest.value <= frameTargetMilliseconds).c_str(),
                    slowest.names().c_str(), slowest.value);
    table += format("Target: every pair at most %.1f x its reference frame: %s (highest: %s, "
                    "%.2f x).\n",
                    referenceTargetRatio,
                    metOrMissed(referenceRatio.value <= referenceTargetRatio).c_str(),
                    referenceRatio.names().c_str(), referenceRatio.value);
    return table;
}

std::string blurSection(const VerifiedBlur::Report& blur) {
    std::string section = format("\nBlur: %s", pathName(blur.path));
    if (blur.path == VerifiedBlur::Path::candidate) {
        section += " (" + blur.candidateName + ")";
    }
    section += ": " + blur.reason + ".";
    if (!blur.candidateName.empty()) {
        section += format(" The check compared %d frames and added %.1f ms to the frames it ran "
                          "in, the %s blur's preparation included.",
                          blur.framesCompared, blur.checkMilliseconds, blur.candidateName.c_str());
    }
    return section + "\n";
}

} // namespace

std::string benchReport(const std::vector<StartupSample>& startups,
                        const std::vector<PairSample>& pairs, const VerifiedBlur::Report* blur) {
    std::string report;
    if (!startups.empty()) {
        report += startupTable(startups);
    }
    if (!pairs.empty()) {
        report += pairTable(pairs);
    }
    if (blur != nullptr) {
        report += blurSection(*blur);
    }
    return report;
}
