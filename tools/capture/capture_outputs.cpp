#include "capture_outputs.h"

#include "picture_readback.h"
#include "platform/sound_wav_writer.h"
#include "sound_feed.h"

#include <string_view>
#include <system_error>

namespace fs = std::filesystem;

namespace {

struct NameInUse {
    std::string_view option;
    fs::path name;
    // The output itself rather than one of its temporary files.
    bool isOutput;
};

void addNames(std::vector<NameInUse>& names, std::string_view option,
              const std::vector<fs::path>& used) {
    for (std::size_t index = 0; index < used.size(); ++index) {
        // The output's own name comes first, its temporary files after it.
        names.push_back({option, used[index], index == 0});
    }
}

fs::path normalised(const fs::path& name) {
    std::error_code error;
    fs::path canonical = fs::weakly_canonical(name, error);
    if (error) {
        canonical = fs::absolute(name, error).lexically_normal();
    }
    // A directory named with a trailing slash is the same directory.
    return canonical.has_filename() ? canonical : canonical.parent_path();
}

// Different spellings, links and hard links of one file are the same file.
bool sameFile(const fs::path& first, const fs::path& second) {
    std::error_code error;
    if (fs::exists(first, error) && fs::exists(second, error)) {
        return fs::equivalent(first, second, error);
    }
    return normalised(first) == normalised(second);
}

void addNote(std::string& notes, const std::string& note) {
    if (note.empty()) {
        return;
    }
    if (!notes.empty()) {
        notes += "; ";
    }
    notes += note;
}

} // namespace

CaptureOutputs::CaptureOutputs(const CaptureOptions& options) {
    if (!options.framesDirectory.empty()) {
        frames =
            std::make_unique<PngFrameWriter>(options.framesDirectory, pictureWidth, pictureHeight);
    }
    if (!options.videoFile.empty()) {
        video = std::make_unique<VideoWriter>(options.videoFile, options.frameRate, pictureWidth,
                                              pictureHeight);
        if (options.wavFile.empty()) {
            videoSound = std::make_unique<ScratchFile>();
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
    if (inspectFiles() && namesAreDistinct()) {
        createAll();
    }
    message = failure;
    return !failed();
}

bool CaptureOutputs::inspectFiles() {
    std::string reason;
    if (wav && !wav->inspect(reason)) {
        return fail(wav->path(), reason);
    }
    if (video && !video->inspect(reason)) {
        return fail(video->path(), reason);
    }
    return true;
}

bool CaptureOutputs::namesAreDistinct() {
    std::vector<NameInUse> names;
    if (frames) {
        names.push_back({"--frames", frames->directory(), true});
    }
    if (video) {
        addNames(names, "--video", video->namesUsed(videoSound != nullptr));
    }
    if (wav) {
        addNames(names, "--wav", wav->namesUsed({}));
    }
    for (auto first = names.begin(); first != names.end(); ++first) {
        for (auto second = first + 1; second != names.end(); ++second) {
            if (first->option != second->option && sameFile(first->name, second->name)) {
                failure.assign(first->option)
                    .append(" and ")
                    .append(second->option)
                    .append(first->isOutput && second->isOutput ? " name the same file: "
                                                                : " need the same temporary file: ")
                    .append(first->name.string());
                return false;
            }
        }
    }
    return true;
}

bool CaptureOutputs::createAll() {
    std::string reason;
    if (frames && !frames->prepare(reason)) {
        return fail(frames->directory(), reason);
    }
    if (wav && !wav->create(reason)) {
        return fail(wav->path(), reason);
    }
    if (video && !video->prepare(reason)) {
        return fail(video->path(), reason);
    }
    if (videoSound && !videoSound->create(video->ownSoundPath(), video->target(), reason)) {
        return fail(video->path(), reason);
    }
    return true;
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

bool CaptureOutputs::finish(const volatile std::sig_atomic_t& interrupted, std::string& message) {
    const auto goOn = [this, &interrupted] { return !failed() && !interrupted; };
    std::string reason;
    if (frames && !frames->finish(reason)) {
        fail(frames->directory(), reason);
    }
    if (goOn()) {
        finishSound();
    }
    if (goOn() && video) {
        finishVideo(interrupted);
    }
    // Every long step is behind: the files go in place together.
    finished = goOn() && commitFiles(interrupted);
    if (videoSound) {
        videoSound->discard();
    }
    message = failure;
    return finished;
}

void CaptureOutputs::finishVideo(const volatile std::sig_atomic_t& interrupted) {
    const std::string& soundPath = wav ? wav->temporaryPath() : videoSound->path();
    std::string reason;
    if (!video->finish(soundPath, interrupted, reason)) {
        fail(video->path(), reason);
    }
}

bool CaptureOutputs::commitFiles(const volatile std::sig_atomic_t& interrupted) {
    std::string reason;
    if (video && !video->commit(interrupted, reason)) {
        return fail(video->path(), reason);
    }
    if (wav && !wav->commit(interrupted, reason)) {
        return fail(wav->path(), reason);
    }
    return true;
}

void CaptureOutputs::finishSound() {
    if (!wav && !videoSound) {
        return;
    }
    const std::string& soundPath = wav ? wav->temporaryPath() : videoSound->path();
    std::string reason;
    if (!platform::writeWavFile(soundPath.c_str(), sound.data(), sound.size(), captureSampleRate,
                                reason)) {
        fail(wav ? wav->path() : video->path(), reason);
    }
}

std::string CaptureOutputs::abandon() {
    finished = true;
    std::string notes;
    if (frames) {
        frames->abandon();
        const std::uint64_t done = frames->framesWritten();
        if (done > 0) {
            addNote(notes, "frames " + PngFrameWriter::frameName(0) + " to " +
                               PngFrameWriter::frameName(done - 1) + " stay in " +
                               frames->directory() + ", the capture is incomplete");
        }
    }
    if (video) {
        video->abandon();
        addNote(notes, video->abandonNote());
    }
    if (wav) {
        wav->discard();
        addNote(notes, wav->abandonNote());
    }
    if (videoSound) {
        videoSound->discard();
    }
    return notes;
}

bool CaptureOutputs::fail(const std::string& what, const std::string& reason) {
    if (failure.empty()) {
        failure = what + ": " + reason;
    }
    return false;
}
