#include "common/ico_writer.h"
#include "common/png_writer.h"
#include "forge/data_set.h"
#include "forge/pictures/lower_strip_pictures.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

constexpr const char* fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

constexpr const char* usage =
    "usage: lumivaha-forge [--wav] [--icon FILE] OUTDIR\n"
    "       lumivaha-forge --icon FILE\n"
    "Builds the demo's data set into OUTDIR (made if missing): 17 JPEG pictures, 3 AML meshes\n"
    "and 5 MP3 loops, the same bytes on every run.\n"
    "  --wav         also write the loops as 16-bit WAV files, loop1.wav to loop5.wav\n"
    "  --icon FILE   write the desktop icon, the demo's snow crystal in 256x256: a PNG, or a\n"
    "                Windows icon when FILE ends in .ico\n"
    "  --help        print this and exit\n"
    "  --version     print the version and exit\n"
    "An OUTDIR beginning with '-' is given as ./-name or after --.\n";

constexpr int exitUsage = 2;

enum class Action { forge, help, version };

struct Request {
    Action action = Action::forge;
    bool withWaves = false;
    std::string iconFile;
    std::string outDir;
};

std::string quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

// --help and --version act as soon as they are read, as GNU tools do; an option is never taken
// for a folder, except after "--".
bool parseArguments(const std::vector<std::string_view>& arguments, Request& request,
                    std::string& fault) {
    bool optionsEnded = false;
    std::vector<std::string_view> folders;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || !argument.starts_with("-")) {
            folders.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "--version") {
            request.action = argument == "--help" ? Action::help : Action::version;
            return true;
        } else if (argument == "--wav") {
            request.withWaves = true;
        } else if (argument == "--icon") {
            if (i + 1 == arguments.size() || arguments[i + 1].empty()) {
                fault = "--icon needs a FILE";
                return false;
            }
            request.iconFile = arguments[++i];
        } else {
            fault = "unknown option " + quoted(argument);
            return false;
        }
    }
    if (folders.size() > 1) {
        fault = "more than one OUTDIR: " + quoted(folders[0]) + " and " + quoted(folders[1]);
        return false;
    }
    if (folders.empty() && !request.iconFile.empty()) {
        return true;
    }
    if (folders.empty() || folders[0].empty()) {
        fault = folders.empty() ? "missing OUTDIR" : "OUTDIR is empty";
        return false;
    }
    request.outDir = folders[0];
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "lumivaha-forge: %s\n", message.c_str());
    return 1;
}

int forgeIcon(const std::string& iconFile) {
    const forge::Image icon = forge::makeSnowflakePicture();
    const std::vector<unsigned char> rgb = icon.toRgb8();
    std::string reason;
    const bool written = iconFile.ends_with(".ico")
                             ? writeIcoFile(iconFile, rgb.data(), icon.width(), reason)
                             : writePngFile(iconFile, rgb.data(), icon.width(), icon.height(),
                                            PngRowOrder::topFirst, PngPurpose::picture, reason);
    if (!written) {
        return fail(iconFile + ": cannot be written (" + reason + ")");
    }
    return 0;
}

int forgeInto(const Request& request) {
    std::error_code failure;
    std::filesystem::create_directories(request.outDir, failure);
    if (failure) {
        return fail(request.outDir + ": " + failure.message());
    }
    std::vector<forge::AssetJob> jobs = forge::dataSetJobs(fontPath);
    if (request.withWaves) {
        std::vector<forge::AssetJob> waves = forge::waveJobs();
        jobs.insert(jobs.end(), waves.begin(), waves.end());
    }
    std::string error;
    if (!forge::writeAssets(jobs, request.outDir, 2, error)) {
        return fail(error);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Request request;
    std::string fault;
    if (!parseArguments({argv + 1, argv + argc}, request, fault)) {
        std::fprintf(stderr, "lumivaha-forge: %s\nTry 'lumivaha-forge --help'.\n", fault.c_str());
        return exitUsage;
    }
    if (request.action == Action::help) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (request.action == Action::version) {
        std::puts("lumivaha-forge " LUMIVAHA_VERSION);
        return 0;
    }
    if (!request.iconFile.empty()) {
        const int status = forgeIcon(request.iconFile);
        if (status != 0 || request.outDir.empty()) {
            return status;
        }
    }
    return forgeInto(request);
}
