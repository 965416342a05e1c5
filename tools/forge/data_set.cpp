#include "forge/data_set.h"

#include "common/jpeg_writer.h"
#include "forge/file_output.h"
#include "forge/meshes/angels_mesh.h"
#include "forge/meshes/industry_mesh.h"
#include "forge/meshes/reactor_mesh.h"
#include "forge/music/beat_clock.h"
#include "forge/music/loop_renderer.h"
#include "forge/pictures/backdrop_pictures.h"
#include "forge/pictures/lower_strip_pictures.h"
#include "forge/pictures/text_renderer.h"
#include "forge/pictures/title_pictures.h"
#include "forge/pictures/upper_strip_pictures.h"
#include "platform/sound_wav_writer.h"
#include "resources/data_manifest.h"
#include "resources/memory_stream.h"
#include "resources/mesh_model.h"

#include <atomic>
#include <mutex>
#include <thread>

namespace forge {

namespace {

constexpr int jpegQuality = 90;

std::vector<unsigned char> encodePicture(const Image& picture) {
    const std::vector<unsigned char> rgb = picture.toRgb8();
    return encodeJpeg(rgb, picture.width(), picture.height(), 3, jpegQuality);
}

// Data-set files are named as the manifest names them; the job writes them inside data/.
std::string outputName(const char* dataFile) {
    return std::string(nameInDataFolder(dataFile));
}

AssetJob pictureJob(const char* dataFile, std::function<Image()> make) {
    return {outputName(dataFile), [make](const std::string& path, std::string& reason) {
                return writeFileBytes(path, encodePicture(make()), reason);
            }};
}

// Each job opens the font for itself: a FreeType face must not be shared between threads.
AssetJob typesetPictureJob(const char* dataFile, const std::string& fontPath,
                           std::function<Image(const TextRenderer&)> make) {
    return {outputName(dataFile), [fontPath, make](const std::string& path, std::string& reason) {
                TextRenderer text;
                if (!text.open(fontPath, reason)) {
                    reason = fontPath + ": " + reason;
                    return false;
                }
                return writeFileBytes(path, encodePicture(make(text)), reason);
            }};
}

// Loop n of the score is the manifest's loop n, counted from 1.
AssetJob musicJob(int number) {
    return {outputName(loopFiles[static_cast<std::size_t>(number - 1)]),
            [number](const std::string& path, std::string& reason) {
                const StereoBuffer loop = renderLoop(loopScore(number));
                std::vector<unsigned char> bytes;
                return encodeMp3(loop.left, loop.right, loopMp3Settings(), bytes, reason) &&
                       writeFileBytes(path, bytes, reason);
            }};
}

// The model goes through the demo's own validating loader before it is written.
AssetJob meshJob(const char* dataFile, std::function<MeshBuilder()> build) {
    return {outputName(dataFile),
            [fileName = outputName(dataFile), build](const std::string& path, std::string& reason) {
                std::vector<AmlSubMeshData> subMeshes = build().subMeshData();
                const std::vector<unsigned char> bytes = encodeAml(subMeshes);
                if (bytes.empty()) {
                    reason = "a sub-mesh exceeds the format's limits";
                    return false;
                }
                MemoryStream stream(bytes, fileName);
                MeshModel model;
                return model.tryLoad(stream, reason) && writeFileBytes(path, bytes, reason);
            }};
}

// The sound system's WAV writer, the one the capture tool's sound goes through.
AssetJob waveJob(int number) {
    return {"loop" + std::to_string(number) + ".wav",
            [number](const std::string& path, std::string& reason) {
                const std::vector<std::int16_t> samples = renderLoop(loopScore(number)).toPcm16();
                return platform::writeWavFile(path.c_str(), samples.data(), samples.size(),
                                              beat::sampleRate, reason);
            }};
}

} // namespace

Mp3Settings loopMp3Settings() {
    Mp3Settings settings;
    settings.rate = beat::sampleRate;
    settings.channels = beat::channels;
    settings.vbrQuality = 2.0f;
    return settings;
}

std::vector<AssetJob> dataSetJobs(const std::string& fontPath) {
    std::vector<AssetJob> jobs;
    for (int number = 1; number <= static_cast<int>(loopFiles.size()); ++number) {
        jobs.push_back(musicJob(number));
    }
    jobs.push_back(meshJob(meshFiles[0], buildIndustryMesh));
    jobs.push_back(meshJob(meshFiles[1], buildAngelsMesh));
    jobs.push_back(meshJob(meshFiles[2], buildReactorMesh));
    jobs.push_back(pictureJob(pictureFileName(firstUpperStripSlot + 0), makeJuliaPicture));
    jobs.push_back(pictureJob(pictureFileName(pulsePictureSlot), makePulsePicture));
    jobs.push_back(pictureJob(pictureFileName(spiralPictureSlot), makeSpiralPicture));
    jobs.push_back(pictureJob(pictureFileName(environmentPictureSlot), makeEnvironmentPicture));
    jobs.push_back(
        typesetPictureJob(pictureFileName(firstTitleCardSlot), fontPath, makeFirstTitlePicture));
    jobs.push_back(
        typesetPictureJob(pictureFileName(secondTitleCardSlot), fontPath, makeSecondTitlePicture));
    jobs.push_back(pictureJob(pictureFileName(lastTitleCardSlot), makeMistPicture));
    jobs.push_back(pictureJob(pictureFileName(streakPictureSlot), makeStreakPicture));
    jobs.push_back(pictureJob(pictureFileName(firstUpperStripSlot + 1), makeInterferencePicture));
    jobs.push_back(pictureJob(pictureFileName(firstUpperStripSlot + 2), makeContourPicture));
    jobs.push_back(pictureJob(pictureFileName(firstUpperStripSlot + 3), makeForestPicture));
    jobs.push_back(
        typesetPictureJob(pictureFileName(firstUpperStripSlot + 4), fontPath, makeGlyphPicture));
    jobs.push_back(pictureJob(pictureFileName(firstUpperStripSlot + 5), makeGalaxyPicture));
    jobs.push_back(pictureJob(pictureFileName(firstLowerStripSlot + 0), makeCircuitPicture));
    jobs.push_back(pictureJob(pictureFileName(firstLowerStripSlot + 1), makeLightningPicture));
    jobs.push_back(pictureJob(pictureFileName(firstLowerStripSlot + 2), makeHorizonGridPicture));
    jobs.push_back(pictureJob(pictureFileName(firstLowerStripSlot + 3), makeSnowflakePicture));
    return jobs;
}

std::vector<AssetJob> waveJobs() {
    std::vector<AssetJob> jobs;
    for (int number = 1; number <= 5; ++number) {
        jobs.push_back(waveJob(number));
    }
    return jobs;
}

bool writeAssets(const std::vector<AssetJob>& jobs, const std::string& outDir, int workerCount,
                 std::string& error) {
    std::atomic<std::size_t> nextJob{0};
    std::mutex errorLock;
    std::size_t failedJob = jobs.size();
    auto work = [&]() {
        for (std::size_t index = nextJob++; index < jobs.size(); index = nextJob++) {
            const AssetJob& job = jobs[index];
            std::string path = outDir + "/" + job.fileName;
            std::string reason;
            if (job.write(path, reason)) {
                continue;
            }
            std::lock_guard<std::mutex> guard(errorLock);
            // Report the first failure in job order, whichever worker met it first.
            if (index < failedJob) {
                failedJob = index;
                error = path + ": " + reason;
            }
        }
    };
    std::vector<std::thread> workers;
    for (int i = 1; i < workerCount; ++i) {
        workers.emplace_back(work);
    }
    work();
    for (std::thread& worker : workers) {
        worker.join();
    }
    return failedJob == jobs.size();
}

} // namespace forge
