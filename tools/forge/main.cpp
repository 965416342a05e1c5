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
    if (argc != 2) {
        std::fprintf(stderr, "usage: lumivaha-forge OUTDIR\n");
        return 2;
    }
    std::string outDir = argv[1];
    std::error_code failure;
    std::filesystem::create_directories(outDir, failure);
    if (failure) {
        return fail(outDir + ": " + failure.message());
    }
    std::string error;
    if (!forge::writeAssets(forge::dataSetJobs(fontPath), outDir, 2, error)) {
        return fail(error);
    }
    return 0;
}
