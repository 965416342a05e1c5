#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Writes frames as frame_000000.png, frame_000001.png, ... into a directory. Encoding runs on a
// thread of its own while the next frame renders; a few frames wait in line at most.
class PngFrameWriter {
public:
    PngFrameWriter(std::string directory, int width, int height);
    ~PngFrameWriter();
    PngFrameWriter(const PngFrameWriter&) = delete;
    PngFrameWriter& operator=(const PngFrameWriter&) = delete;

    // Creates the directory when needed and makes sure it takes files and holds no frames of an
    // earlier capture, which could be mistaken for this one's. False with the reason.
    bool prepare(std::string& reason);
    // A buffer for one frame's pixels, bottom row first; reused once written.
    std::vector<std::uint8_t> takeBuffer();
    // Queues the pixels as the next frame, waiting while the line is full. False once a write
    // has failed.
    bool submit(std::vector<std::uint8_t> pixels);
    // Waits until every queued frame is written. False with the first failure's reason.
    bool finish(std::string& reason);
    // Stops after the frame being written; the frames already written stay.
    void abandon();

    std::uint64_t framesWritten() const;
    const std::string& directory() const { return folder; }
    static std::string frameName(std::uint64_t number);

private:
    void writeFrames();

    std::string folder;
    int width;
    int height;

    mutable std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::vector<std::uint8_t>> waiting;
    std::vector<std::vector<std::uint8_t>> spare;
    std::uint64_t written = 0;
    bool closing = false;
    std::string failure;
    std::thread worker;
};
