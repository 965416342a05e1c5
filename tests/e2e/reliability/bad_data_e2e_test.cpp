#include "e2e/reliability/data_set_copy.h"
#include "e2e/reliability/demo_run.h"
#include "e2e/x_session.h"
#include "resources/data_manifest.h"
#include "support/isolated_x_server.h"
#include "support/process.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Every file of the data set, in the order the start-up reads them: meshes, music, pictures.
const std::vector<const char*> dataFiles = [] {
    std::vector<const char*> files(meshFiles.begin(), meshFiles.end());
    files.insert(files.end(), loopFiles.begin(), loopFiles.end());
    for (const PictureFile& picture : pictureFiles) {
        files.push_back(picture.fileName);
    }
    return files;
}();

constexpr std::array<Damage, 3> damages = {Damage::missing, Damage::truncatedToHalf,
                                           Damage::randomBytes};

// Every one of these damages is fatal: none leaves a file the demo could play as intended. A
// half MP3 still decodes, but its encoder tag shows it was cut short (played, the loop would
// never reach its end and the scenes would stop changing); a half mesh or picture ends early
// inside its data; random bytes are no JPEG, no consistent MPEG stream and no valid mesh.
constexpr int fatalStatus = 1;
// A hang guard, not a speed target: a damaged start-up takes well under a second on an idle
// machine, but three of them side by side on a CI machine busy with other tests took over 5 s.
constexpr auto runBound = 20s;

// One damaged data set with the demo running on it, on a screen of its own.
struct DamagedRun {
    DamagedRun(std::string damageName, const std::function<bool(DataSetCopy&)>& damage)
        : damageName(std::move(damageName)), data(LUMIVAHA_DATA_DIR), server(800, 600) {
        prepared = data.copied() && damage(data) && !server.displayName().empty();
        if (prepared) {
            started = std::chrono::steady_clock::now();
            demo = std::make_unique<ChildProcess>(demoCommand(data.directory()),
                                                  demoEnvironment(server.displayName()));
        }
    }

    std::string damageName;
    DataSetCopy data;
    IsolatedXServer server;
    bool prepared = false;
    std::chrono::steady_clock::time_point started;
    std::unique_ptr<ChildProcess> demo;
};

// The random bytes differ from file to file and damage to damage, and never from run to run.
std::uint32_t damageSeed(const std::string& fileName, std::size_t damageIndex) {
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const char c : fileName) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash + static_cast<std::uint32_t>(damageIndex);
}

// The run must end by itself within its bound, with status 1, a message naming the file (which
// errors receives) and no window left.
void expectEndNamingTheFile(DamagedRun& run, const std::string& fileName, std::string& errors) {
    SCOPED_TRACE(fileName + " " + run.damageName);
    ASSERT_TRUE(run.prepared) << "could not damage a copy of the data set or start Xvfb";
    const auto left = run.started + runBound - std::chrono::steady_clock::now();
    const auto status = run.demo->waitForExit(
        std::max(std::chrono::duration_cast<std::chrono::milliseconds>(left), 0ms));
    errors = run.demo->standardError();
    const auto ran = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - run.started);
    // Kept in the test report: how close the runs come to their bound.
    std::string key = "milliseconds " + run.damageName;
    std::replace(key.begin(), key.end(), ' ', '_');
    ::testing::Test::RecordProperty(key, static_cast<int>(ran.count()));
    ASSERT_FALSE(run.demo->diedFromSignal()) << "crashed; stderr:\n" << errors;
    ASSERT_TRUE(status.has_value()) << "still running after " << runBound.count() << " s; stderr:\n"
                                    << errors;
    EXPECT_EQ(*status, fatalStatus) << errors;
    EXPECT_NE(errors.find("data/" + fileName), std::string::npos)
        << "the message does not name the file:\n"
        << errors;
    XSession session(run.server.displayName());
    ASSERT_TRUE(session.connected());
    EXPECT_TRUE(windowGone(session, 2s)) << "a window was left behind";
}

class BadDataE2eTest : public ::testing::TestWithParam<const char*> {};

TEST_P(BadDataE2eTest, EveryDamageEndsTheDemoAtOnceWithAMessageNamingTheFile) {
    const std::string fileName(nameInDataFolder(GetParam()));
    // The three runs go side by side: each has its own copy and its own screen.
    std::vector<std::unique_ptr<DamagedRun>> runs;
    for (std::size_t i = 0; i < damages.size(); ++i) {
        const std::uint32_t seed = damageSeed(fileName, i);
        runs.push_back(std::make_unique<DamagedRun>(
            damageName(damages[i]), [&fileName, i, seed](DataSetCopy& data) {
                return data.damage(fileName, damages[i], seed);
            }));
    }
    for (const auto& run : runs) {
        std::string errors;
        expectEndNamingTheFile(*run, fileName, errors);
    }
}

std::string testName(const ::testing::TestParamInfo<const char*>& info) {
    std::string name(nameInDataFolder(info.param));
    for (char& c : name) {
        if (c == '.') {
            c = '_';
        }
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryDataFile, BadDataE2eTest, ::testing::ValuesIn(dataFiles), testName);

// A FIFO in a picture's place held the start-up for ever behind a black full-screen window, deaf
// to Escape; a folder in a mesh's place was read as a model with nothing to draw. Each loader
// meets a FIFO, and one of the other kinds.
TEST(NotAFileE2eTest, AnythingButARegularFileEndsTheDemoAtOnceSayingSo) {
    struct Case {
        const char* fileName;
        NotAFile kind;
        const char* kindName;
    };
    const std::vector<Case> cases = {
        {"enkelit.AML", NotAFile::folder, "folder"}, {"reaktori.AML", NotAFile::fifo, "FIFO"},
        {"loop2.mp3", NotAFile::fifo, "FIFO"},       {"loop4.mp3", NotAFile::socket, "socket"},
        {"p0.jpg", NotAFile::fifo, "FIFO"},          {"sumu.jpg", NotAFile::deviceLink, "device"},
    };
    std::vector<std::unique_ptr<DamagedRun>> runs;
    for (const Case& test : cases) {
        runs.push_back(std::make_unique<DamagedRun>(
            std::string(test.fileName) + " " + test.kindName,
            [&test](DataSetCopy& data) { return data.replace(test.fileName, test.kind); }));
    }
    for (std::size_t i = 0; i < cases.size(); ++i) {
        std::string errors;
        expectEndNamingTheFile(*runs[i], cases[i].fileName, errors);
        EXPECT_NE(errors.find(std::string("it is a ") + cases[i].kindName + ", not a regular file"),
                  std::string::npos)
            << errors;
    }
}

TEST(DataFolderE2eTest, AWorkingDirectoryDataFolderIsUsedOnlyWhenItHoldsTheDemosFiles) {
    IsolatedXServer server(800, 600);
    ASSERT_FALSE(server.displayName().empty());
    XSession session(server.displayName());
    ASSERT_TRUE(session.connected());
    ScratchDirectory unrelated;
    std::filesystem::create_directory(unrelated.file("data"));
    {
        SCOPED_TRACE("a data/ with nothing of the demo's: the data set beside the demo is used");
        ChildProcess demo(demoCommand(unrelated.path()), demoEnvironment(server.displayName()));
        ASSERT_TRUE(session.waitForWindow(demoTitle, 20s).has_value()) << demo.standardError();
        ASSERT_TRUE(session.waitForPicture(20s)) << demo.standardError();
        demo.signal(SIGTERM);
        const auto status = demo.waitForExit(10s);
        ASSERT_TRUE(status.has_value()) << demo.standardError();
        EXPECT_EQ(*status, 0) << demo.standardError();
    }
    {
        SCOPED_TRACE("a data/ with one of the demo's files: it is the data set, and incomplete");
        std::filesystem::copy_file(std::filesystem::path(LUMIVAHA_DATA_DIR) / "loop1.mp3",
                                   unrelated.file("data/loop1.mp3"));
        ChildProcess demo(demoCommand(unrelated.path()), demoEnvironment(server.displayName()));
        const auto status = demo.waitForExit(runBound);
        const std::string errors = demo.standardError();
        ASSERT_TRUE(status.has_value()) << errors;
        EXPECT_EQ(*status, fatalStatus) << errors;
        EXPECT_NE(errors.find("File data/teolisuus.AML not found!"), std::string::npos) << errors;
    }
    EXPECT_TRUE(windowGone(session, 2s)) << "a window was left behind";
}

TEST(DataFolderE2eTest, AnOverrideHoldingNoDataSetIsToldBeforeAnyWindowAndNeverPassedOver) {
    // The data set beside the demo is there to be taken; without a display, a window that was
    // tried would fail with messages of its own.
    ScratchDirectory scratch;
    std::filesystem::create_directory(scratch.file("empty"));
    Environment environment = demoEnvironment("");
    const std::vector<std::pair<std::string, std::string>> cases = {
        {scratch.file("absent"), "which does not exist"},
        {scratch.file("empty"), "which holds none of the demo's files"},
    };
    for (const auto& [folder, reason] : cases) {
        setVariable(environment, "LUMIVAHA_DATA", folder);
        ChildProcess demo(demoCommand(scratch.path()), environment);
        const auto status = demo.waitForExit(runBound);
        ASSERT_TRUE(status.has_value()) << demo.standardError();
        EXPECT_EQ(*status, fatalStatus);
        EXPECT_EQ(demo.standardError(),
                  "No data set found: LUMIVAHA_DATA names " + folder + ", " + reason + "\n");
    }
}

} // namespace
