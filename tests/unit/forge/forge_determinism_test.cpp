#include "picture_names.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <set>
#include <string>
#include <unistd.h>
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

fs::path forgeInto(const std::string& name) {
    // Named per process, so builds testing side by side do not share folders.
    fs::path folder =
        fs::temp_directory_path() / ("lumivaha_forge_" + name + "_" + std::to_string(getpid()));
    fs::remove_all(folder);
    std::string command = std::string(LUMIVAHA_FORGE) + " " + folder.string();
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return folder;
}

// Two runs of the forge and the data set of the build itself must agree byte for byte.
TEST(ForgeDeterminism, TwoRunsAndTheBuildGiveIdenticalFiles) {
    fs::path first = forgeInto("first");
    fs::path second = forgeInto("second");
    fs::path built = LUMIVAHA_DATA_DIR;

    std::set<std::string> expected(forge::pictureFileNames().begin(),
                                   forge::pictureFileNames().end());
    expected.insert({"teolisuus.AML", "enkelit.AML", "reaktori.AML"});
    for (int loop = 1; loop <= 5; ++loop) {
        expected.insert("loop" + std::to_string(loop) + ".mp3");
    }
    ASSERT_EQ(fileNames(first), expected);
    ASSERT_EQ(fileNames(second), expected);
    for (const std::string& name : expected) {
        std::vector<char> bytes = contents(first / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == contents(second / name)) << name << " differs between runs";
        EXPECT_TRUE(bytes == contents(built / name)) << name << " differs from the build's";
    }
    fs::remove_all(first);
    fs::remove_all(second);
}

TEST(ForgeCommandLine, RefusesAMissingOrUnwritableOutputFolder) {
    EXPECT_NE(std::system((std::string(LUMIVAHA_FORGE) + " 2>/dev/null").c_str()), 0);
    EXPECT_NE(std::system((std::string(LUMIVAHA_FORGE) + " /proc/forge 2>/dev/null").c_str()), 0);
}

} // namespace
