#include "data_set.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

constexpr const char* fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

int fail(const std::string& message) {
    std::fprintf(stderr, "lumivaha-forge: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    bool withWaves = argc == 3 && std::string(argv[1]) == "--wav";
    if (argc != 2 && !withWaves) {
        std::fprintf(stderr, "usage: lumivaha-forge [--wav] OUTDIR\n");
        return 2;
    }
    std::string outDir = argv[argc - 1];
    std::error_code failure;
    std::filesystem::create_directories(outDir, failure);
    if (failure) {
        return fail(outDir + ": " + failure.message());
    }
    std::vector<forge::AssetJob> jobs = forge::dataSetJobs(fontPath);
    if (withWaves) {
        std::vector<forge::AssetJob> waves = forge::waveJobs();
        jobs.insert(jobs.end(), waves.begin(), waves.end());
    }
    std::string error;
    if (!forge::writeAssets(jobs, outDir, 2, error)) {
        return fail(error);
    }
    return 0;
}
