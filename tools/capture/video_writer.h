#pragma once

#include "child_program.h"
#include "frame_rate.h"
#include "pending_file.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// An MP4 file made by ffmpeg in two passes: the frames are piped to it as raw RGB and encoded as
// H.264 (yuv420p) into a temporary video; at the end that video is copied, with the music encoded
// as AAC beside it, into the final file. Muxing afterwards keeps the two pipes from ever waiting
// on each other.
class VideoWriter {
public:
    VideoWriter(std::string path, FrameRate rate, int width, int height);
    ~VideoWriter();

    // Follows the file's links and decides how it will be written. False with the reason.
    bool inspect(std::string& reason) { return output.inspect(reason); }
    // Every name the video and its temporary files take; withOwnSound when it keeps the music
    // in a file of its own, at ownSoundPath().
    std::vector<std::filesystem::path> namesUsed(bool withOwnSound) const;
    std::string ownSoundPath() const;
    // Finds ffmpeg, makes sure the place takes files and starts the encoder. False with the reason.
    bool prepare(std::string& reason);
    // One frame, bottom row first as OpenGL reads it. False with the reason.
    bool write(const std::vector<std::uint8_t>& pixels, std::string& reason);
    // Ends the picture and muxes the WAV file's music with it into the temporary file. When
    // interrupted is set meanwhile, ffmpeg is ended at once and false returned.
    bool finish(const std::string& wavPath, const volatile std::sig_atomic_t& interrupted,
                std::string& reason);
    // Puts the finished video in place.
    bool commit(const volatile std::sig_atomic_t& interrupted, std::string& reason);
    // Stops ffmpeg and removes every temporary file.
    void abandon();
    // What the user must know once the video is given up; empty when it was completed.
    std::string abandonNote() const { return output.abandonNote(); }

    const std::string& path() const { return output.path(); }
    const std::filesystem::path& target() const { return output.target(); }

private:
    std::vector<std::string> encoderArguments() const;

    FrameRate rate;
    int width;
    int height;
    std::string ffmpeg;
    PendingFile output;
    ScratchFile pictureOnly;
    ChildProgram encoder;
    std::vector<std::uint8_t> topDown;
};
