#include "bench_report.h"
#include "frame_statistics.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace {

std::vector<double> oneTo(int count) {
    std::vector<double> values(static_cast<std::size_t>(count));
    std::iota(values.begin(), values.end(), 1.0);
    // Shuffled by reversal: the functions must not rely on sorted input.
    std::reverse(values.begin(), values.end());
    return values;
}

TEST(FrameStatisticsTest, MedianTakesTheMiddleOrTheMeanOfTheTwoMiddleValues) {
    EXPECT_EQ(median({3.0, 1.0, 2.0}), 2.0);
    EXPECT_EQ(median({4.0, 1.0, 3.0, 2.0}), 2.5);
    EXPECT_EQ(median({7.0}), 7.0);
    EXPECT_EQ(median({}), 0.0);
}

TEST(FrameStatisticsTest, NinetiethPercentileIsTheNearestRank) {
    EXPECT_EQ(percentile(oneTo(10), 0.9), 9.0);
    EXPECT_EQ(percentile(oneTo(120), 0.9), 108.0);
    EXPECT_EQ(percentile(oneTo(11), 0.9), 10.0);
    EXPECT_EQ(percentile(oneTo(120), 1.0), 120.0);
    EXPECT_EQ(percentile({5.0}, 0.9), 5.0);
    EXPECT_EQ(percentile({}, 0.9), 0.0);
}

StartupSample startup(double totalSeconds) {
    StartupSample sample;
    sample.pictures = 0.012;
    sample.mipmaps = 0.020;
    sample.meshes = 0.004;
    sample.music = 0.003;
    sample.firstFrame = 0.030;
    sample.restOfStartup = totalSeconds - 0.069;
    sample.total = totalSeconds;
    sample.pictureCount = 17;
    sample.mipmapCount = 17;
    sample.meshCount = 3;
    sample.loopCount = 5;
    return sample;
}

std::vector<PairSample> pairsWithRatio(double worstRatio) {
    std::vector<PairSample> pairs;
    for (int backdrop = 0; backdrop < 3; ++backdrop) {
        for (int foreground = 0; foreground < 4; ++foreground) {
            const double scale = backdrop == 2 && foreground == 1 ? worstRatio : 1.1;
            pairs.push_back({backdrop,
                             foreground,
                             {20.0 * scale, 20.0 * scale, 30.0 * scale},
                             {20.0, 20.0, 21.0},
                             {40.0, 40.0, 41.0}});
        }
    }
    return pairs;
}

TEST(BenchReportTest, StartUpPhasesAreMediansAgainstTheTarget) {
    const std::string report =
        benchReport({startup(0.150), startup(0.140), startup(0.400)}, pairsWithRatio(1.2));
    EXPECT_NE(report.find("| pictures (17 JPEG files decoded) | 12.0 |"), std::string::npos)
        << report;
    EXPECT_NE(report.find("| **start-up to first frame** | **150.0** |"), std::string::npos)
        << report;
    EXPECT_NE(report.find("first start-up of the process took 150.0 ms"), std::string::npos);
    EXPECT_NE(report.find("under 250 ms to the first frame: met"), std::string::npos);
    const std::string slow = benchReport({startup(0.300)}, pairsWithRatio(1.2));
    EXPECT_NE(slow.find("under 250 ms to the first frame: missed"), std::string::npos) << slow;
}

TEST(BenchReportTest, EveryPairIsSetAgainstItsFloorAndTheWorstIsNamed) {
    const std::string report = benchReport({startup(0.1)}, pairsWithRatio(1.5));
    EXPECT_NE(report.find("| PulseBackdrop | PictureStrips | 30.00 | 45.00 | 20.00 | 21.00 | "
                          "1.50 |"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("| SpiralBackdrop | TitleCards | 22.00 | 33.00 | 20.00 | 21.00 | 1.10 |"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("at most 1.3 x its floor: missed (highest: PulseBackdrop with "
                          "PictureStrips, 1.50 x)"),
              std::string::npos)
        << report;
    const std::string met = benchReport({startup(0.1)}, pairsWithRatio(1.25));
    EXPECT_NE(met.find("at most 1.3 x its floor: met"), std::string::npos) << met;
}

TEST(BenchReportTest, EveryPairIsSetAgainstSixtyFramesAndTheReferenceBlur) {
    const std::string report = benchReport({startup(0.1)}, pairsWithRatio(1.5));
    EXPECT_NE(report.find("| PulseBackdrop | PictureStrips | 30.00 | 45.00 | 20.00 | 21.00 | "
                          "1.50 | 40.00 | 0.75 |"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("at most 16.7 ms: missed (highest: PulseBackdrop with PictureStrips, "
                          "30.00 ms)"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("at most 0.6 x its reference frame: missed (highest: PulseBackdrop "
                          "with PictureStrips, 0.75 x)"),
              std::string::npos)
        << report;
    const std::string met = benchReport({startup(0.1)}, pairsWithRatio(1.0));
    EXPECT_NE(met.find("at most 0.6 x its reference frame: met"), std::string::npos) << met;
}

TEST(BenchReportTest, NamesTheChosenBlurWithItsReasonAndTheCheckCost) {
    VerifiedBlur::Report blur;
    blur.path = VerifiedBlur::Path::candidate;
    blur.candidateName = "processor";
    blur.reason = "identical in all 8 frames compared and faster";
    blur.framesCompared = 8;
    blur.checkMilliseconds = 61.3;
    const std::string report = benchReport({startup(0.1)}, pairsWithRatio(1.0), &blur);
    EXPECT_NE(report.find("Blur: candidate (processor): identical in all 8 frames compared and "
                          "faster. The check compared 8 frames and added 61.3 ms"),
              std::string::npos)
        << report;
    const VerifiedBlur::Report forced = VerifiedBlur(nullptr, "LUMIVAHA_BLUR=reference").report();
    const std::string reference = benchReport({startup(0.1)}, pairsWithRatio(1.0), &forced);
    EXPECT_NE(reference.find("Blur: reference: LUMIVAHA_BLUR=reference.\n"), std::string::npos)
        << reference;
}

} // namespace
