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

AssetJob pictureJob(const std::string& fileName, std::function<Image()> make) {
    return {fileName, [make](const std::string& path, std::string& reason) {
                return writeFileBytes(path, encodePicture(make()), reason);
            }};
}

// Each job opens the font for itself: a FreeType face must not be shared between threads.
AssetJob typesetPictureJob(const std::string& fileName, const std::string& fontPath,
                           std::function<Image(const TextRenderer&)> make) {
    return {fileName, [fontPath, make](const std::string& path, std::string& reason) {
                TextRenderer text;
                if (!text.open(fontPath, reason)) {
                    reason = fontPath + ": " + reason;
                    return false;
                }
                return writeFileBytes(path, encodePicture(make(text)), reason);
            }};
}

AssetJob musicJob(int number) {
    return {"loop" + std::to_string(number) + ".mp3",
            [number](const std::string& path, std::string& reason) {
                const StereoBuffer loop = renderLoop(loopScore(number));
                std::vector<unsigned char> bytes;
                return encodeMp3(loop.left, loop.right, loopMp3Settings(), bytes, reason) &&
                       writeFileBytes(path, bytes, reason);
            }};
}

// The model goes through the demo's own validating loader before it is written.
AssetJob meshJob(const std::string& fileName, std::function<MeshBuilder()> build) {
    return {fileName, [fileName, build](const std::string& path, std::string& reason) {
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
    for (int number = 1; number <= 5; ++number) {
        jobs.push_back(musicJob(number));
    }
    jobs.push_back(meshJob("teolisuus.AML", buildIndustryMesh));
    jobs.push_back(meshJob("enkelit.AML", buildAngelsMesh));
    jobs.push_back(meshJob("reaktori.AML", buildReactorMesh));
    jobs.push_back(pictureJob("yla0.jpg", makeJuliaPicture));
    jobs.push_back(pictureJob("p0.jpg", makePulsePicture));
    jobs.push_back(pictureJob("spiral.jpg", makeSpiralPicture));
    jobs.push_back(pictureJob("env.jpg", makeEnvironmentPicture));
    jobs.push_back(typesetPictureJob("kuvaseos.jpg", fontPath, makeFirstTitlePicture));
    jobs.push_back(typesetPictureJob("ilo.jpg", fontPath, makeSecondTitlePicture));
    jobs.push_back(pictureJob("sumu.jpg", makeMistPicture));
    jobs.push_back(pictureJob("viiva.jpg", makeStreakPicture));
    jobs.push_back(pictureJob("yla1.jpg", makeInterferencePicture));
    jobs.push_back(pictureJob("yla2.jpg", makeContourPicture));
    jobs.push_back(pictureJob("yla3.jpg", makeForestPicture));
    jobs.push_back(typesetPictureJob("yla4.jpg", fontPath, makeGlyphPicture));
    jobs.push_back(pictureJob("yla5.jpg", makeGalaxyPicture));
    jobs.push_back(pictureJob("ala0.jpg", makeCircuitPicture));
    jobs.push_back(pictureJob("ala1.jpg", makeLightningPicture));
    jobs.push_back(pictureJob("ala2.jpg", makeHorizonGridPicture));
    jobs.push_back(pictureJob("ala3.jpg", makeSnowflakePicture));
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
