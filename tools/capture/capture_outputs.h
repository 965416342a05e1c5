#pragma once

#include "capture_options.h"
#include "pending_file.h"
#include "png_frame_writer.h"
#include "video_writer.h"

#include <csignal>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Everything one capture writes: PNG frames, the video and the WAV file. The first failure is
// kept; after it nothing more is written, and abandon() says what was left behind.
class CaptureOutputs {
public:
    explicit CaptureOutputs(const CaptureOptions& options);
    ~CaptureOutputs();
    CaptureOutputs(const CaptureOutputs&) = delete;
    CaptureOutputs& operator=(const CaptureOutputs&) = delete;

    // Checks every output and creates its place before anything renders: no directory where a
    // file is wanted, no file named twice, no missing folder. False with the message.
    bool prepare(std::string& message);
    bool wantsPictures() const { return frames != nullptr || video != nullptr; }
    // A buffer for the next picture.
    std::vector<std::uint8_t> takeBuffer();
    void writePicture(std::vector<std::uint8_t> pixels);
    void writeSound(std::span<const std::int16_t> samples);
    // Completes every file. False with the message; false as well, before the next step, once
    // interrupted is set (an ffmpeg being waited for is ended at once).
    bool finish(const volatile std::sig_atomic_t& interrupted, std::string& message);
    // Removes what is unfinished and returns what the user must know about it.
    std::string abandon();

    bool failed() const { return !failure.empty(); }
    const std::string& failureMessage() const { return failure; }
    std::uint64_t picturesWritten() const { return pictures; }
    std::uint64_t soundFramesWritten() const { return sound.size() / 2; }

private:
    bool inspectFiles();
    bool namesAreDistinct();
    bool createAll();
    bool fail(const std::string& what, const std::string& reason);
    void finishSound();
    void finishVideo(const volatile std::sig_atomic_t& interrupted);
    bool commitFiles(const volatile std::sig_atomic_t& interrupted);

    std::unique_ptr<PngFrameWriter> frames;
    std::unique_ptr<VideoWriter> video;
    std::unique_ptr<PendingFile> wav;
    // The video needs the music even when no WAV file was asked for.
    std::unique_ptr<ScratchFile> videoSound;
    std::vector<std::int16_t> sound;
    // Reused from frame to frame when only the video takes the pictures.
    std::vector<std::uint8_t> videoBuffer;
    std::uint64_t pictures = 0;
    std::string failure;
    bool finished = false;
};
