// The Windows program under Wine, each run on an X screen and a Wine prefix of its own: the
// prefix is a copy of one made once for the whole run (making one takes about 20 s).
#include "e2e/pulse_server.h"
#include "e2e/x_session.h"
#include "support/isolated_x_server.h"
#include "support/process.h"
#include "support/scratch_directory.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Environment = std::vector<std::pair<std::string, std::string>>;

const std::string title = "Tuulenpesija - Lumivaha";
const fs::path programFolder = fs::path(LUMIVAHA_WINDOWS_BUILD) / "bin";

// The band across the middle of the 800x600 screen where the opening's title text stands.
constexpr int bandX = 100;
constexpr int bandY = 250;
constexpr int bandWidth = 600;
constexpr int bandHeight = 100;

bool isBright(const std::array<int, 3>& pixel) {
    return pixel[0] + pixel[1] + pixel[2] > 300;
}

// Pixels of the band bright in two looks 0.7 s apart. The streaks behind the text turn at 90 to
// 180 degrees a second, so what stays bright is a title card.
std::vector<bool> steadyBright(XSession& session) {
    const auto first = session.screenPixels(bandX, bandY, bandWidth, bandHeight);
    std::this_thread::sleep_for(700ms);
    const auto second = session.screenPixels(bandX, bandY, bandWidth, bandHeight);
    std::vector<bool> steady(first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        steady[i] = isBright(first[i]) && isBright(second[i]);
    }
    return steady;
}

double shareOf(const std::vector<bool>& pixels) {
    return static_cast<double>(std::count(pixels.begin(), pixels.end(), true)) /
           static_cast<double>(pixels.size());
}

// How much of what was steadily bright before still is.
double stillBright(const std::vector<bool>& before, const std::vector<bool>& after) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        kept += before[i] && after[i] ? 1 : 0;
    }
    const auto lit = static_cast<std::size_t>(std::count(before.begin(), before.end(), true));
    return lit == 0 ? 1.0 : static_cast<double>(kept) / static_cast<double>(lit);
}

// A Wine prefix of the test's own with Wine's chatter off, on the test's own screen.
class WineRun {
public:
    WineRun(const ScratchDirectory& folder, const std::string& display)
        : prefix(folder.file("prefix")), environment{{"WINEPREFIX", prefix},
                                                     {"WINEDEBUG", "-all"},
                                                     {"DISPLAY", display}} {
        std::error_code error;
        // Links stay links: the prefix's drive Z: is a link to the root of the file system.
        fs::copy(LUMIVAHA_WINE_PREFIX, prefix,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks, error);
        ready = !error;
    }
    ~WineRun() { waitForServer(); }
    WineRun(const WineRun&) = delete;
    WineRun& operator=(const WineRun&) = delete;

    bool prepared() const { return ready; }
    // Without a sound driver, as on a machine without a sound card.
    void withoutSound() {
        environment.emplace_back("WINEDLLOVERRIDES", "winealsa.drv,winepulse.drv=d");
    }
    void add(const Environment& more) {
        environment.insert(environment.end(), more.begin(), more.end());
    }

    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& command,
                                        const std::string& workingDirectory = "/") const {
        std::vector<std::string> full{"/usr/bin/env", "-C", workingDirectory, "wine"};
        full.insert(full.end(), command.begin(), command.end());
        return std::make_unique<ChildProcess>(full, environment);
    }
    // A Windows path of a file below the prefix's drive C:.
    fs::path driveC(const std::string& path) const { return fs::path(prefix) / "drive_c" / path; }

    // Wine's server outlives the programs a moment; the next run must find it gone.
    void waitForServer() const {
        ChildProcess server({"/usr/bin/env", "wineserver", "-w"}, environment);
        server.waitForExit(30s);
    }

private:
    std::string prefix;
    Environment environment;
    bool ready = false;
};

// screenWidth x screenHeight: an 800x600 screen holds the full-screen picture without scaling,
// a larger one holds a framed window whole.
template <int screenWidth, int screenHeight> class WineScreenTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.connected());
        ASSERT_TRUE(wine.prepared()) << "cannot copy the Wine prefix " << LUMIVAHA_WINE_PREFIX;
    }

    // The opening's title card shows within the first seconds of a fresh window.
    std::optional<XWindowId> expectOpening(const ChildProcess& demo) {
        const auto window = session.waitForWindow(title, 30s);
        EXPECT_TRUE(window.has_value()) << demo.standardError();
        EXPECT_TRUE(session.waitForPicture(30s)) << demo.standardError();
        std::this_thread::sleep_for(2s);
        EXPECT_GT(shareOf(steadyBright(session)), 0.05) << "no title card in the opening";
        return window;
    }

    // The third title card stands until the first loop ends at 14.674 s of music, and the next
    // scene has none; the music may start a few seconds late on a busy machine. shown: when the
    // first picture was seen.
    void expectSceneChangeAtTheFirstBoundary(std::chrono::steady_clock::time_point shown) {
        std::this_thread::sleep_until(shown + 12500ms);
        const std::vector<bool> lastCard = steadyBright(session);
        ASSERT_GT(shareOf(lastCard), 0.05) << "the opening ended before its third title card";
        while (stillBright(lastCard, steadyBright(session)) > 0.6) {
            ASSERT_LT(std::chrono::steady_clock::now() - shown, 25s)
                << "the title card was still there 25 s into the run";
        }
        RecordProperty("scene_change_ms",
                       static_cast<int>((std::chrono::steady_clock::now() - shown) / 1ms));
    }

    // The run ends by itself with status 0 after its 103 seconds.
    void expectRunToTheEnd(ChildProcess& demo, std::chrono::steady_clock::time_point shown) {
        const auto status = demo.waitForExit(120s);
        const auto ran = std::chrono::steady_clock::now() - shown;
        ASSERT_TRUE(status.has_value()) << "still running after 2 minutes";
        EXPECT_EQ(*status, 0) << demo.standardError();
        EXPECT_GE(ran, 101s);
        EXPECT_LT(ran, 112s);
    }

    void expectExit(ChildProcess& demo, int status) {
        const auto exited = demo.waitForExit(10s);
        ASSERT_TRUE(exited.has_value()) << "still running: " << demo.standardError();
        EXPECT_EQ(*exited, status) << demo.standardError();
    }

    ScratchDirectory folder;
    IsolatedXServer server{screenWidth, screenHeight};
    XSession session{server.displayName()};
    WineRun wine{folder, server.displayName()};
};

using WindowsProgramE2eTest = WineScreenTest<800, 600>;
using WindowsWindowE2eTest = WineScreenTest<1024, 768>;

TEST_F(WindowsProgramE2eTest, VersionPrintsTheVersion) {
    auto demo = wine.start({(programFolder / "lumivaha.exe").string(), "--version"});
    ASSERT_EQ(demo->waitForExit(60s), std::optional<int>(0)) << demo->standardError();
    EXPECT_EQ(demo->standardOutput(), "lumivaha " LUMIVAHA_VERSION "\r\n");
}

// No sound card: the silent clock runs the music's schedule. From a folder whose name is not
// ASCII, F1 opens the opening again and Escape ends the run.
TEST_F(WindowsProgramE2eTest, WithoutSoundTheScheduleRunsAndF1AndEscapeWork) {
    const fs::path copy = fs::path(folder.path()) / "Jyväskylä";
    fs::copy(programFolder, copy, fs::copy_options::recursive);
    wine.withoutSound();
    auto demo = wine.start({(copy / "lumivaha.exe").string()}, folder.path());
    const auto first = expectOpening(*demo);
    ASSERT_TRUE(first.has_value());
    const auto shown = std::chrono::steady_clock::now() - 2s;
    ASSERT_NO_FATAL_FAILURE(expectSceneChangeAtTheFirstBoundary(shown));
    EXPECT_NE(demo->standardError().find("Cannot open an audio device ("), std::string::npos)
        << demo->standardError();

    session.watchDestruction(*first);
    ASSERT_TRUE(session.tapKey(*first, "F1"));
    ASSERT_TRUE(session.waitForDestruction(*first, 10s)) << demo->standardError();
    const auto second = expectOpening(*demo);
    ASSERT_TRUE(second.has_value());
    ASSERT_TRUE(session.tapKey(*second, "Escape"));
    expectExit(*demo, 0);
}

TEST_F(WindowsWindowE2eTest, WindowedGivesAnEightHundredBySixHundredClientArea) {
    wine.withoutSound();
    auto demo = wine.start({(programFolder / "lumivaha.exe").string(), "--windowed"});
    const auto window = session.waitForWindow(title, 30s);
    ASSERT_TRUE(window.has_value()) << demo->standardError();
    ASSERT_TRUE(session.waitForPicture(30s));
    // Wine draws the frame itself around a child window that is the client area.
    std::vector<WindowGeometry> areas;
    for (const XWindowId child : session.children(*window)) {
        areas.push_back(session.geometry(child));
    }
    EXPECT_TRUE(std::any_of(
        areas.begin(), areas.end(),
        [](const WindowGeometry& area) { return area.width == 800 && area.height == 600; }))
        << "no 800x600 client area among " << areas.size() << " child windows";
    EXPECT_GT(session.geometry(*window).height, 600) << "no frame around the picture";
    ASSERT_TRUE(session.tapKey(*window, "Escape"));
    expectExit(*demo, 0);
}

TEST_F(WindowsProgramE2eTest, AMissingPictureIsShownInABoxAndEndsWithStatusOne) {
    const fs::path copy = fs::path(folder.path()) / "copy";
    fs::copy(programFolder, copy, fs::copy_options::recursive);
    fs::remove(copy / "data" / "p0.jpg");
    wine.withoutSound();
    auto demo = wine.start({(copy / "lumivaha.exe").string()}, copy.string());
    const auto box = session.waitForWindow("Error", 30s);
    ASSERT_TRUE(box.has_value()) << demo->standardError();
    EXPECT_FALSE(demo->waitForExit(1s).has_value()) << "ended before the box was read";
    ASSERT_TRUE(session.tapKey(*box, "Return"));
    expectExit(*demo, 1);
    EXPECT_NE(demo->standardError().find("File data/p0.jpg not found!"), std::string::npos)
        << demo->standardError();
}

// Real sound: waveOut plays into a private PulseAudio server's null sink in real time, so its
// position drives the loops; the run ends by itself after its 103 seconds.
TEST_F(WindowsProgramE2eTest, WithRealSoundTheMusicIsHeardAndTheRunEndsByItself) {
    if (!pulseAudioInstalled()) {
        GTEST_SKIP() << "pulseaudio and parecord are not installed";
    }
    ScratchDirectory soundFolder;
    PulseServer pulse(soundFolder);
    ASSERT_TRUE(pulse.start());
    wine.add(pulse.clientEnvironment());
    auto demo = wine.start({(programFolder / "lumivaha.exe").string()});
    ASSERT_TRUE(expectOpening(*demo).has_value());
    const auto shown = std::chrono::steady_clock::now() - 2s;
    EXPECT_GT(pulse.loudestHeard(soundFolder.file("heard.raw"), 2), 1000) << "nothing was heard";
    ASSERT_NO_FATAL_FAILURE(expectSceneChangeAtTheFirstBoundary(shown));
    expectRunToTheEnd(*demo, shown);
    EXPECT_EQ(demo->standardError().find("audio device"), std::string::npos)
        << demo->standardError();
}

// Installed silently for all users, the program runs from its Start-menu folder's target,
// without sound, to its end; the uninstaller takes away every file the installer put there.
TEST_F(WindowsProgramE2eTest, TheInstallerInstallsAndTheUninstallerRemovesEverything) {
    const auto installers = [] {
        std::vector<fs::path> found;
        for (const auto& entry : fs::directory_iterator(LUMIVAHA_WINDOWS_BUILD)) {
            if (entry.path().filename().string().ends_with("-setup.exe")) {
                found.push_back(entry.path());
            }
        }
        return found;
    }();
    ASSERT_EQ(installers.size(), 1u) << "one installer in " << LUMIVAHA_WINDOWS_BUILD;
    auto setup = wine.start({installers.front().string(), "/S"});
    ASSERT_EQ(setup->waitForExit(60s), std::optional<int>(0)) << setup->standardError();
    wine.waitForServer();
    const fs::path installed = wine.driveC("Program Files/Lumivaha");
    const fs::path shortcut = wine.driveC("ProgramData/Microsoft/Windows/Start Menu/Programs/" +
                                          title + "/" + title + ".lnk");
    ASSERT_TRUE(fs::exists(installed / "lumivaha.exe"));
    EXPECT_TRUE(fs::exists(installed / "data" / "loop5.mp3"));
    EXPECT_TRUE(fs::exists(shortcut));

    // Without sound the silent clock runs the whole schedule, to the end.
    wine.withoutSound();
    auto demo = wine.start({(installed / "lumivaha.exe").string()});
    ASSERT_TRUE(expectOpening(*demo).has_value());
    const auto shown = std::chrono::steady_clock::now() - 2s;
    ASSERT_NO_FATAL_FAILURE(expectSceneChangeAtTheFirstBoundary(shown));
    expectRunToTheEnd(*demo, shown);

    auto uninstall = wine.start({(installed / "Uninstall.exe").string(), "/S"});
    ASSERT_EQ(uninstall->waitForExit(60s), std::optional<int>(0));
    // The uninstaller runs on from a copy of itself and ends with Wine's server.
    wine.waitForServer();
    EXPECT_FALSE(fs::exists(installed)) << "left behind in Program Files";
    EXPECT_FALSE(fs::exists(shortcut.parent_path())) << "left behind in the Start menu";
}

} // namespace
