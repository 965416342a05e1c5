#include "png_frame_writer.h"

#include "common/png_writer.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr std::size_t longestLine = 3;

bool holdsFrames(const std::filesystem::path& directory, std::error_code& error) {
    for (const auto& entry : std::filesystem::directory_iterator(directory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("frame_") && name.ends_with(".png")) {
            return true;
        }
    }
    return false;
}

} // namespace

PngFrameWriter::PngFrameWriter(std::string directory, int width, int height)
    : folder(std::move(directory)), width(width), height(height) {}

PngFrameWriter::~PngFrameWriter() {
    abandon();
}

bool PngFrameWriter::prepare(std::string& reason) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::create_directories(folder, error);
    if (error || !fs::is_directory(folder, error)) {
        reason = error ? error.message() : "not a directory";
        return false;
    }
    if (holdsFrames(folder, error) || error) {
        reason = error ? error.message() : "already holds frames; give an empty or new directory";
        return false;
    }
    const fs::path probe = fs::path(folder) / ".lumivaha-capture-probe";
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        // A directory that exists but refuses new names, as /proc does, says ENOENT.
        reason = errno == ENOENT ? "no files can be made in this directory"
                                 : std::error_code(errno, std::generic_category()).message();
        return false;
    }
    std::fclose(file);
    fs::remove(probe, error);
    worker = std::thread([this] { writeFrames(); });
    return true;
}

std::vector<std::uint8_t> PngFrameWriter::takeBuffer() {
    std::lock_guard lock(mutex);
    if (spare.empty()) {
        return std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3);
    }
    std::vector<std::uint8_t> buffer = std::move(spare.back());
    spare.pop_back();
    return buffer;
}

bool PngFrameWriter::submit(std::vector<std::uint8_t> pixels) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return waiting.size() < longestLine || !failure.empty(); });
    if (!failure.empty() || closing) {
        return false;
    }
    waiting.push_back(std::move(pixels));
    changed.notify_all();
    return true;
}

bool PngFrameWriter::finish(std::string& reason) {
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return waiting.empty() || !failure.empty(); });
        closing = true;
        changed.notify_all();
    }
    if (worker.joinable()) {
        worker.join();
    }
    reason = failure;
    return failure.empty();
}

void PngFrameWriter::abandon() {
    {
        std::lock_guard lock(mutex);
        closing = true;
        waiting.clear();
        changed.notify_all();
    }
    if (worker.joinable()) {
        worker.join();
    }
}

std::uint64_t PngFrameWriter::framesWritten() const {
    std::lock_guard lock(mutex);
    return written;
}

std::string PngFrameWriter::frameName(std::uint64_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06llu.png", static_cast<unsigned long long>(number));
    return name;
}

void PngFrameWriter::writeFrames() {
    for (;;) {
        std::vector<std::uint8_t> pixels;
        std::uint64_t number = 0;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [this] { return !waiting.empty() || closing; });
            if (waiting.empty()) {
                return;
            }
            // Stays in line while being written, so finish() waits for it.
            pixels = std::move(waiting.front());
            number = written;
        }
        const std::string path = (std::filesystem::path(folder) / frameName(number)).string();
        std::string reason;
        const bool ok = writePngFile(path, pixels.data(), width, height, PngRowOrder::bottomFirst,
                                     PngPurpose::frame, reason);
        std::lock_guard lock(mutex);
        if (!waiting.empty()) {
            waiting.pop_front();
        }
        spare.push_back(std::move(pixels));
        if (!ok) {
            failure = path + ": " + reason;
            changed.notify_all();
            return;
        }
        ++written;
        changed.notify_all();
    }
}
