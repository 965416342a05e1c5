#include "resources/data_manifest.h"
#include "support/scratch_directory.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::set<std::string> fileNames(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

std::string text(const fs::path& path) {
    std::vector<char> bytes = contents(path);
    return {bytes.begin(), bytes.end()};
}

fs::path forgeInto(const std::string& folder) {
    std::string command = std::string(LUMIVAHA_FORGE) + " " + folder;
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return folder;
}

// Two runs of the forge and the data set of the build itself must agree byte for byte.
TEST(ForgeDeterminism, TwoRunsAndTheBuildGiveIdenticalFiles) {
    ScratchDirectory scratch;
    fs::path first = forgeInto(scratch.file("first"));
    fs::path second = forgeInto(scratch.file("second"));
    fs::path built = LUMIVAHA_DATA_DIR;

    // Exactly the manifest's files.
    std::set<std::string> expected;
    for (const std::string& file : dataSetFiles()) {
        expected.emplace(nameInDataFolder(file));
    }
    ASSERT_EQ(expected.size(), dataSetFiles().size());
    ASSERT_EQ(fileNames(first), expected);
    ASSERT_EQ(fileNames(second), expected);
    for (const std::string& name : expected) {
        std::vector<char> bytes = contents(first / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == contents(second / name)) << name << " differs between runs";
        EXPECT_TRUE(bytes == contents(built / name)) << name << " differs from the build's";
    }
}

struct ForgeRun {
    int status = -1;
    std::string out;
    std::string err;
};

// An empty working folder for the forge, so anything it wrongly takes for OUTDIR lands there.
class ForgeCommandLine : public testing::Test {
protected:
    void SetUp() override { fs::create_directories(work); }

    ForgeRun run(const std::string& arguments) const {
        std::string command = "cd '" + work.string() + "' && " + LUMIVAHA_FORGE + " " + arguments +
                              " >'" + scratch.file("out") + "' 2>'" + scratch.file("err") + "'";
        int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text(scratch.file("out")),
                text(scratch.file("err"))};
    }

    ScratchDirectory scratch;
    fs::path work = scratch.file("work");
};

TEST_F(ForgeCommandLine, HelpAndVersionPrintAndWriteNothing) {
    for (const char* arguments : {"--help", "--wav data --help"}) {
        ForgeRun help = run(arguments);
        EXPECT_EQ(help.status, 0) << arguments;
        EXPECT_TRUE(help.out.starts_with("usage: lumivaha-forge [--wav] [--icon FILE] OUTDIR\n"))
            << help.out;
        EXPECT_EQ(help.err, "");
    }
    ForgeRun version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "lumivaha-forge " LUMIVAHA_VERSION "\n");
    EXPECT_TRUE(fs::is_empty(work));
}

TEST_F(ForgeCommandLine, RefusesUnknownOptionsAndAMissingOrSecondFolder) {
    for (const char* arguments :
         {"", "--wav", "--", "''", "--bogus data", "-x data", "--wav=1 data", "- data", "data more",
          "--wav data -- more", "--icon", "data --icon", "--icon ''"}) {
        ForgeRun refused = run(arguments);
        EXPECT_EQ(refused.status, 2) << arguments;
        EXPECT_EQ(refused.out, "") << arguments;
        // One line naming the fault, one pointing to the help.
        EXPECT_TRUE(refused.err.starts_with("lumivaha-forge: ")) << refused.err;
        EXPECT_TRUE(refused.err.ends_with("\nTry 'lumivaha-forge --help'.\n")) << refused.err;
        EXPECT_EQ(std::count(refused.err.begin(), refused.err.end(), '\n'), 2) << refused.err;
        EXPECT_TRUE(fs::is_empty(work)) << arguments;
    }
}

TEST_F(ForgeCommandLine, IconAloneWritesOnlyTheIcon) {
    ForgeRun icon = run("--icon lumivaha.png");
    EXPECT_EQ(icon.status, 0) << icon.err;
    ASSERT_EQ(fileNames(work), std::set<std::string>{"lumivaha.png"});
    // The PNG signature, then the header chunk's width and height: 256 x 256.
    const std::vector<char> bytes = contents(work / "lumivaha.png");
    ASSERT_GT(bytes.size(), 24u);
    EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG");
    EXPECT_EQ(std::string(bytes.begin() + 16, bytes.begin() + 24),
              std::string("\0\0\1\0\0\0\1\0", 8));
}

// A file in the way stops the forge before it makes anything, and shows which folder it took.
TEST_F(ForgeCommandLine, TakesADashedFolderAfterDoubleDashOrAsAPath) {
    std::ofstream(work / "-data") << "in the way";
    for (const char* arguments : {"-- -data", "./-data"}) {
        ForgeRun taken = run(arguments);
        EXPECT_EQ(taken.status, 1) << arguments;
        EXPECT_NE(taken.err.find("-data: "), std::string::npos) << taken.err;
    }
    EXPECT_EQ(fileNames(work), std::set<std::string>{"-data"});
}

} // namespace
