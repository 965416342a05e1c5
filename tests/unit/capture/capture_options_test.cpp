#include "capture_options.h"
#include "capture_session.h"
#include "platform/messages.h"

#include <gtest/gtest.h>

namespace {

struct Parsed {
    bool ok = false;
    CaptureOptions options;
    std::string error;
};

Parsed parse(std::vector<std::string_view> arguments) {
    Parsed parsed;
    parsed.ok = parseCaptureOptions(arguments, parsed.options, parsed.error);
    return parsed;
}

TEST(CaptureOptionsTest, DefaultsCaptureTheWholeDemoAtSixtyFrames) {
    const Parsed parsed = parse({"--wav", "music.wav"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.options.frameRate.numerator(), 60u);
    EXPECT_EQ(parsed.options.frameRate.denominator(), 1u);
    EXPECT_FALSE(parsed.options.seed.has_value());
    EXPECT_EQ(parsed.options.from.numerator, 0u);
    EXPECT_FALSE(parsed.options.to.has_value());
    EXPECT_EQ(parsed.options.wavFile, "music.wav");
    EXPECT_FALSE(parsed.options.bench);
}

TEST(CaptureOptionsTest, EveryOptionIsReadInBothSpellings) {
    const Parsed parsed = parse({"--fps=60000/1001", "--seed", "4294967295", "--from", "1.5",
                                 "--to=3", "--frames", "out", "--video=v.mp4", "--press", "2:f1",
                                 "--press=1:SPACE", "--press", "2:Escape"});
    ASSERT_TRUE(parsed.ok) << parsed.error;
    const CaptureOptions& options = parsed.options;
    EXPECT_EQ(options.frameRate.numerator(), 60000u);
    EXPECT_EQ(options.seed, 4294967295u);
    EXPECT_EQ(options.from.numerator, 15u);
    EXPECT_EQ(options.from.denominator, 10u);
    ASSERT_TRUE(options.to.has_value());
    EXPECT_EQ(options.to->numerator, 3u);
    EXPECT_EQ(options.framesDirectory, "out");
    EXPECT_EQ(options.videoFile, "v.mp4");
    // In time order; the two at 2 s keep the command line's order.
    ASSERT_EQ(options.presses.size(), 3u);
    EXPECT_EQ(options.presses[0].virtualKey, platform::VK_SPACE);
    EXPECT_EQ(options.presses[1].virtualKey, platform::VK_F1);
    EXPECT_EQ(options.presses[2].virtualKey, platform::VK_ESCAPE);
}

TEST(CaptureOptionsTest, BadOptionsNameTheirFault) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases = {
        {{"--fps", "0", "--wav", "a"}, "--fps takes N or N/D"},
        {{"--fps", "29.97", "--wav", "a"}, "--fps takes N or N/D"},
        {{"--seed", "4294967296", "--wav", "a"}, "--seed takes"},
        {{"--seed", "-1", "--wav", "a"}, "--seed takes"},
        {{"--press", "5:F2", "--wav", "a"}, "Space, F1 or Escape"},
        {{"--press", "5F1", "--wav", "a"}, "T:KEY"},
        {{"--from", "1,5", "--wav", "a"}, "--from takes seconds"},
        {{"--from", "3", "--to", "2", "--wav", "a"}, "--to must come after --from"},
        {{"--from", "2", "--to", "2.0", "--wav", "a"}, "--to must come after --from"},
        {{"--to", "2"}, "nothing to write"},
        {{"--bench", "--frames", "out"}, "--bench writes no files"},
        {{"--bench", "--fps", "30"}, "only --seed and --bench-frames"},
        {{"--bench", "--press", "1:F1"}, "only --seed and --bench-frames"},
        {{"--bench", "--bench-frames", "0"}, "--bench-frames takes"},
        {{"--bench", "--bench-frames", "481"}, "--bench-frames takes"},
        {{"--bench-frames", "5", "--wav", "a"}, "goes with --bench"},
        {{"--wav"}, "--wav needs a value"},
        {{"--frames="}, "non-empty path"},
        {{"--colour", "red"}, "unknown option \"--colour\""},
        // Last on the line: unknown still, not short of a value.
        {{"--wav", "a", "--colour"}, "unknown option \"--colour\""},
        {{"--wav", "a", "-x"}, "unknown option \"-x\""},
        {{"--version=2"}, "--version takes no value"},
        {{"--bench=yes"}, "--bench takes no value"},
        {{"stray"}, "unexpected argument \"stray\""},
        {{"-", "--wav", "a"}, "unexpected argument \"-\""},
    };
    for (const auto& [arguments, fragment] : cases) {
        const Parsed parsed = parse(arguments);
        EXPECT_FALSE(parsed.ok) << arguments.front();
        EXPECT_NE(parsed.error.find(fragment), std::string::npos)
            << arguments.front() << ": " << parsed.error;
    }
}

TEST(CaptureOptionsTest, HelpAndVersionNeedNothingElse) {
    const Parsed help = parse({"--help"});
    EXPECT_TRUE(help.ok) << help.error;
    EXPECT_TRUE(help.options.help);
    const Parsed version = parse({"--version"});
    EXPECT_TRUE(version.ok) << version.error;
    EXPECT_TRUE(version.options.version);
    EXPECT_FALSE(version.options.help);
}

CaptureOptions optionsFor(std::vector<std::string_view> arguments) {
    arguments.push_back("--wav");
    arguments.push_back("a.wav");
    const Parsed parsed = parse(arguments);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return parsed.options;
}

TEST(ExpectedFramesTest, TheWholeDemoEndsWithTheFirstFramePastItsRunningTime) {
    // 103000 ms is frame 6180 at 60 fps, the frame in which the demo quits.
    EXPECT_EQ(expectedFrameCount(optionsFor({})), 6181u);
    // Frame 6174 (103004 ms) is the first at or past 103000 ms.
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "60000/1001"})), 6175u);
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "10", "--to", "2"})), 20u);
}

TEST(ExpectedFramesTest, KeysShortenOrLengthenTheCapture) {
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "10", "--press", "3:Escape"})), 31u);
    // The F1 frame is 50; the new run begins at 51 and quits 103 s later, at frame 1081.
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "10", "--press", "5:F1"})), 1082u);
    // A key after the demo has ended changes nothing.
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "10", "--press", "200:F1"})), 1031u);
    EXPECT_EQ(expectedFrameCount(optionsFor({"--fps", "10", "--press", "1:Space"})), 1031u);
}

} // namespace
