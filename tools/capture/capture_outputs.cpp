#include "capture_outputs.h"

#include "picture_readback.h"
#include "platform/sound_wav_writer.h"
#include "sound_feed.h"

CaptureOutputs::CaptureOutputs(const CaptureOptions& options) {
    if (!options.framesDirectory.empty()) {
        frames =
            std::make_unique<PngFrameWriter>(options.framesDirectory, pictureWidth, pictureHeight);
    }
    if (!options.videoFile.empty()) {
        video = std::make_unique<VideoWriter>(options.videoFile, options.frameRate, pictureWidth,
                                              pictureHeight);
        if (options.wavFile.empty()) {
            videoSound = std::make_unique<PendingFile>(options.videoFile + ".wav");
        }
    }
    if (!options.wavFile.empty()) {
        wav = std::make_unique<PendingFile>(options.wavFile);
    }
}

CaptureOutputs::~CaptureOutputs() {
    if (!finished) {
        abandon();
    }
}

bool CaptureOutputs::prepare(std::string& message) {
    std::string reason;
    if (frames && !frames->prepare(reason)) {
        fail(frames->directory(), reason);
    } else if (wav && !wav->create(reason)) {
        fail(wav->path(), reason);
    } else if (videoSound && !videoSound->create(reason)) {
        fail(videoSound->path(), reason);
    } else if (video && !video->prepare(reason)) {
        fail(video->path(), reason);
    }
    message = failure;
    return !failed();
}

std::vector<std::uint8_t> CaptureOutputs::takeBuffer() {
    if (frames) {
        return frames->takeBuffer();
    }
    return std::move(videoBuffer);
}

void CaptureOutputs::writePicture(std::vector<std::uint8_t> pixels) {
    if (failed()) {
        return;
    }
    std::string reason;
    if (video && !video->write(pixels, reason)) {
        fail(video->path(), reason);
        return;
    }
    if (frames && !frames->submit(std::move(pixels))) {
        frames->finish(reason);
        fail(frames->directory(), reason);
        return;
    }
    if (!frames) {
        videoBuffer = std::move(pixels);
    }
    ++pictures;
}

void CaptureOutputs::writeSound(std::span<const std::int16_t> samples) {
    if (wav || videoSound) {
        sound.insert(sound.end(), samples.begin(), samples.end());
    }
}

bool CaptureOutputs::finish(std::string& message) {
    std::string reason;
    if (frames && !frames->finish(reason)) {
        fail(frames->directory(), reason);
    }
    if (!failed()) {
        finishSound();
    }
    if (!failed() && video) {
        const std::string& soundPath = wav ? wav->temporaryPath() : videoSound->temporaryPath();
        if (!video->finish(soundPath, reason)) {
            fail(video->path(), reason);
        }
    }
    if (!failed() && wav && !wav->commit(reason)) {
        fail(wav->path(), reason);
    }
    if (videoSound) {
        videoSound->discard();
    }
    message = failure;
    finished = !failed();
    return finished;
}

void CaptureOutputs::finishSound() {
    PendingFile* target = wav ? wav.get() : videoSound.get();
    std::string reason;
    if (target && !platform::writeWavFile(target->temporaryPath().c_str(), sound.data(),
                                          sound.size(), captureSampleRate, reason)) {
        fail(target->path(), reason);
    }
}

std::string CaptureOutputs::abandon() {
    finished = true;
    std::string note;
    if (frames) {
        frames->abandon();
        const std::uint64_t done = frames->framesWritten();
        if (done > 0) {
            note += "frames " + PngFrameWriter::frameName(0) + " to " +
                    PngFrameWriter::frameName(done - 1) + " stay in " + frames->directory() +
                    ", the capture is incomplete; ";
        }
    }
    if (video) {
        video->abandon();
        note += video->path() + " was not made; ";
    }
    if (wav) {
        wav->discard();
        note += wav->path() + " was not made; ";
    }
    if (videoSound) {
        videoSound->discard();
    }
    if (note.size() >= 2) {
        note.resize(note.size() - 2);
    }
    return note;
}

bool CaptureOutputs::fail(const std::string& what, const std::string& reason) {
    if (failure.empty()) {
        failure = what + ": " + reason;
    }
    return false;
}
