#include "video_writer.h"

#include <cstring>

namespace {

constexpr std::string_view pictureExtension = ".video";
constexpr std::string_view soundExtension = ".wav";

} // namespace

VideoWriter::VideoWriter(std::string path, FrameRate rate, int width, int height)
    : rate(rate), width(width), height(height), output(std::move(path)) {}

VideoWriter::~VideoWriter() {
    abandon();
}

std::vector<std::filesystem::path> VideoWriter::namesUsed(bool withOwnSound) const {
    if (withOwnSound) {
        return output.namesUsed({pictureExtension, soundExtension});
    }
    return output.namesUsed({pictureExtension});
}

std::string VideoWriter::ownSoundPath() const {
    return output.helperPath(soundExtension);
}

bool VideoWriter::prepare(std::string& reason) {
    ffmpeg = findProgram("ffmpeg");
    if (ffmpeg.empty()) {
        reason = "ffmpeg is not installed (on Debian: apt-get install ffmpeg)";
        return false;
    }
    if (!output.create(reason) ||
        !pictureOnly.create(output.helperPath(pictureExtension), output.target(), reason)) {
        return false;
    }
    if (!encoder.start(encoderArguments(), true, reason)) {
        reason = "cannot start " + ffmpeg + ": " + reason;
        return false;
    }
    return true;
}

bool VideoWriter::write(const std::vector<std::uint8_t>& pixels, std::string& reason) {
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    topDown.resize(pixels.size());
    for (int row = 0; row < height; ++row) {
        std::memcpy(topDown.data() + static_cast<std::size_t>(row) * stride,
                    pixels.data() + static_cast<std::size_t>(height - 1 - row) * stride, stride);
    }
    if (!encoder.write(topDown.data(), topDown.size(), reason)) {
        reason = "ffmpeg failed: " + reason;
        return false;
    }
    return true;
}

bool VideoWriter::finish(const std::string& wavPath, const volatile std::sig_atomic_t& interrupted,
                         std::string& reason) {
    if (encoder.finish(interrupted) != 0) {
        reason = "ffmpeg could not encode the frames";
        return false;
    }
    const std::vector<std::string> mux = {ffmpeg,
                                          "-hide_banner",
                                          "-loglevel",
                                          "error",
                                          "-y",
                                          "-i",
                                          pictureOnly.path(),
                                          "-i",
                                          wavPath,
                                          "-map",
                                          "0:v:0",
                                          "-map",
                                          "1:a:0",
                                          "-c:v",
                                          "copy",
                                          "-c:a",
                                          "aac",
                                          "-b:a",
                                          "192k",
                                          "-movflags",
                                          "+faststart",
                                          "-f",
                                          "mp4",
                                          output.temporaryPath()};
    ChildProgram muxer;
    if (!muxer.start(mux, false, reason)) {
        reason = "cannot start " + ffmpeg + ": " + reason;
        return false;
    }
    if (muxer.finish(interrupted) != 0) {
        reason = "ffmpeg could not add the music";
        return false;
    }
    pictureOnly.discard();
    return true;
}

bool VideoWriter::commit(const volatile std::sig_atomic_t& interrupted, std::string& reason) {
    return output.commit(interrupted, reason);
}

void VideoWriter::abandon() {
    encoder.kill();
    pictureOnly.discard();
    output.discard();
}

std::vector<std::string> VideoWriter::encoderArguments() const {
    return {ffmpeg,
            "-hide_banner",
            "-loglevel",
            "error",
            "-y",
            "-f",
            "rawvideo",
            "-pixel_format",
            "rgb24",
            "-video_size",
            std::to_string(width) + "x" + std::to_string(height),
            "-framerate",
            std::to_string(rate.numerator()) + "/" + std::to_string(rate.denominator()),
            "-i",
            "pipe:0",
            "-an",
            "-c:v",
            "libx264",
            "-preset",
            "veryfast",
            "-crf",
            "18",
            "-pix_fmt",
            "yuv420p",
            "-f",
            "mp4",
            pictureOnly.path()};
}
