#include "platform/data_directory.h"
#include "support/scratch_directory.h"

#include <fstream>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

const std::vector<std::string> demoFiles = {"data/p0.jpg", "data/loop1.mp3"};

// An installed tree (prefix/bin/lumivaha, prefix/share/lumivaha/data) and a working directory,
// in a scratch folder; the test runs inside the working directory.
class DataDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(root / "prefix" / "bin");
        fs::create_directories(root / "work");
        previous = fs::current_path();
        fs::current_path(root / "work");
    }
    void TearDown() override { fs::current_path(previous); }
    static void putFile(const fs::path& file) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "x";
    }
    fs::path executable() const { return root / "prefix" / "bin" / "lumivaha"; }
    fs::path installed() const { return root / "prefix" / "share" / "lumivaha" / "data"; }

    ScratchDirectory scratch;
    fs::path root = scratch.path();
    fs::path previous;
};

TEST_F(DataDirectoryTest, PlacesAreTakenInOrderAndOnlyWhenTheyHoldADemoFile) {
    fs::create_directory("data"); // unrelated, empty
    putFile(root / "prefix" / "bin" / "data" / "notes.txt");
    putFile(installed() / "loop1.mp3");
    EXPECT_EQ(platform::findDataDirectory(demoFiles, nullptr, executable()).directory, installed());

    putFile(root / "prefix" / "bin" / "data" / "p0.jpg");
    EXPECT_EQ(platform::findDataDirectory(demoFiles, nullptr, executable()).directory,
              root / "prefix" / "bin" / "data");

    // One file of the demo's is enough: the rest are reported missing by name later.
    putFile("data/loop1.mp3");
    EXPECT_EQ(platform::findDataDirectory(demoFiles, nullptr, executable()).directory, "data");

    // The override wins over everything; an empty one is unset.
    EXPECT_EQ(platform::findDataDirectory(demoFiles, installed().c_str(), executable()).directory,
              installed());
    EXPECT_EQ(platform::findDataDirectory(demoFiles, "", executable()).directory, "data");
}

TEST_F(DataDirectoryTest, AnOverrideThatIsNoDataSetIsRefusedNamingTheVariableAndWhy) {
    putFile("data/p0.jpg"); // a good data set elsewhere is no excuse to pass the override over
    putFile(root / "notes.txt");
    fs::create_directory(root / "empty");
    putFile(root / "unrelated" / "notes.txt");
    const std::vector<std::pair<fs::path, std::string>> cases = {
        {root / "nowhere", "which does not exist"},
        {root / "notes.txt" / "data", "which does not exist"},
        {root / "notes.txt", "which is not a folder"},
        {root / "empty", "which holds none of the demo's files"},
        {root / "unrelated", "which holds none of the demo's files"},
    };
    for (const auto& [override, reason] : cases) {
        const platform::DataSearch search =
            platform::findDataDirectory(demoFiles, override.c_str(), executable());
        EXPECT_FALSE(search.directory.has_value()) << override;
        EXPECT_EQ(platform::noDataSetMessage(search),
                  "No data set found: LUMIVAHA_DATA names " + override.string() + ", " + reason);
    }
}

TEST_F(DataDirectoryTest, DemoFilesThatAreNoRegularFilesMarkTheDataSetWithoutBeingOpened) {
    // A FIFO nobody writes would hang a search that opened it; the loaders report it by name.
    fs::create_directories("data");
    ASSERT_TRUE(scratch.makeNotAFile("work/data/p0.jpg", NotAFile::fifo));
    EXPECT_EQ(platform::findDataDirectory(demoFiles, nullptr, executable()).directory, "data");
    fs::create_directories(installed());
    ASSERT_TRUE(scratch.makeNotAFile("prefix/share/lumivaha/data/loop1.mp3", NotAFile::fifo));
    EXPECT_EQ(platform::findDataDirectory(demoFiles, installed().c_str(), executable()).directory,
              installed());
}

TEST_F(DataDirectoryTest, FindingNothingNamesEveryPlaceLookedAt) {
    fs::create_directory("data");
    const platform::DataSearch search = platform::findDataDirectory(demoFiles, "", executable());
    ASSERT_FALSE(search.directory.has_value());
    const std::string message = platform::noDataSetMessage(search);
    for (const fs::path& place :
         {root / "work" / "data", root / "prefix" / "bin" / "data", installed()}) {
        EXPECT_NE(message.find(place.string()), std::string::npos) << message;
    }
    EXPECT_NE(message.find("LUMIVAHA_DATA"), std::string::npos) << message;
}

} // namespace
