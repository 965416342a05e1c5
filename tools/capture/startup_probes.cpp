// Wraps, with the linker's --wrap, the calls that the start-up makes into the JPEG reader, GLU,
// the mesh loader and the sound decoder, and times them. Each __real_ name is the original
// function; member functions take the object as their first argument, as the ABI passes it.
#include "startup_probes.h"

#include "platform/sound_decoder.h"
#include "platform/sound_sample_buffer.h"
#include "resources/decoded_image.h"

#include <GL/glu.h>
#include <atomic>
#include <ctime>
#include <memory>
#include <string>

class ByteStream;
class MeshModel;
namespace platform {
class SoundStream;
}

namespace {

using Clock = StartupProbeReading::Clock;

struct ProbeTotal {
    std::atomic<std::int64_t> nanoseconds{0};
    std::atomic<std::uint32_t> calls{0};
};

ProbeTotal pictures;
ProbeTotal mipmaps;
ProbeTotal meshes;
ProbeTotal musicMainThread;
ProbeTotal loopsOpened;
ProbeTotal musicWorkers;
std::atomic<Clock::rep> lastLoopDecoded{0};

class TimedCall {
public:
    explicit TimedCall(ProbeTotal& total) : total(total) {}
    ~TimedCall() {
        total.nanoseconds +=
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - began).count();
        ++total.calls;
    }
    TimedCall(const TimedCall&) = delete;
    TimedCall& operator=(const TimedCall&) = delete;

private:
    ProbeTotal& total;
    Clock::time_point began = Clock::now();
};

std::int64_t threadProcessorNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

double seconds(const ProbeTotal& total) {
    return static_cast<double>(total.nanoseconds.load()) * 1e-9;
}

} // namespace

std::unique_ptr<DecodedImage> realReadJpegFile(const std::string& fileName) __asm__(
    "__real__Z12readJpegFileRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE");
std::unique_ptr<DecodedImage> wrapReadJpegFile(const std::string& fileName) __asm__(
    "__wrap__Z12readJpegFileRKNSt7__cxx1112basic_stringIcSt11char_traitsIcESaIcEEE");
std::unique_ptr<DecodedImage> wrapReadJpegFile(const std::string& fileName) {
    const TimedCall timed(pictures);
    return realReadJpegFile(fileName);
}

extern "C" GLint __real_gluBuild2DMipmaps(GLenum target, GLint components, GLint width,
                                          GLint height, GLenum format, GLenum type,
                                          const void* data);
extern "C" GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLint width,
                                          GLint height, GLenum format, GLenum type,
                                          const void* data) {
    const TimedCall timed(mipmaps);
    return __real_gluBuild2DMipmaps(target, components, width, height, format, type, data);
}

void realLoadMesh(MeshModel* model,
                  ByteStream& stream) __asm__("__real__ZN9MeshModel4loadER10ByteStream");
void wrapLoadMesh(MeshModel* model,
                  ByteStream& stream) __asm__("__wrap__ZN9MeshModel4loadER10ByteStream");
void wrapLoadMesh(MeshModel* model, ByteStream& stream) {
    const TimedCall timed(meshes);
    realLoadMesh(model, stream);
}

platform::DecodeResult
realOpenLoop(platform::SoundDecoder* decoder, const char* fileName, int rate,
             std::string& reason) __asm__("__real__ZN8platform12SoundDecoder4openEPKciRNSt7__"
                                          "cxx1112basic_stringIcSt11char_"
                                          "traitsIcESaIcEEE");
platform::DecodeResult
wrapOpenLoop(platform::SoundDecoder* decoder, const char* fileName, int rate,
             std::string& reason) __asm__("__wrap__ZN8platform12SoundDecoder4openEPKciRNSt7__"
                                          "cxx1112basic_stringIcSt11char_"
                                          "traitsIcESaIcEEE");
platform::DecodeResult wrapOpenLoop(platform::SoundDecoder* decoder, const char* fileName, int rate,
                                    std::string& reason) {
    ++loopsOpened.calls;
    const TimedCall timed(musicMainThread);
    return realOpenLoop(decoder, fileName, rate, reason);
}

bool realDecodeLoop(platform::SoundDecoder* decoder, platform::SampleBuffer& samples,
                    std::string& reason) __asm__("__real__ZN8platform12SoundDecoder6decodeERNS_"
                                                 "12SampleBufferERNSt7__cxx1112basic_"
                                                 "stringIcSt11char_traitsIcESaIcEEE");
bool wrapDecodeLoop(platform::SoundDecoder* decoder, platform::SampleBuffer& samples,
                    std::string& reason) __asm__("__wrap__ZN8platform12SoundDecoder6decodeERNS_"
                                                 "12SampleBufferERNSt7__cxx1112basic_"
                                                 "stringIcSt11char_traitsIcESaIcEEE");
bool wrapDecodeLoop(platform::SoundDecoder* decoder, platform::SampleBuffer& samples,
                    std::string& reason) {
    // Processor time: the loops decode side by side on fewer cores than threads.
    const std::int64_t began = threadProcessorNanoseconds();
    const bool decoded = realDecodeLoop(decoder, samples, reason);
    musicWorkers.nanoseconds += threadProcessorNanoseconds() - began;
    ++musicWorkers.calls;
    lastLoopDecoded = Clock::now().time_since_epoch().count();
    return decoded;
}

void realFinishDecoding(platform::SoundStream* stream) __asm__(
    "__real__ZN8platform11SoundStream14finishDecodingEv");
void wrapFinishDecoding(platform::SoundStream* stream) __asm__(
    "__wrap__ZN8platform11SoundStream14finishDecodingEv");
void wrapFinishDecoding(platform::SoundStream* stream) {
    const TimedCall timed(musicMainThread);
    realFinishDecoding(stream);
}

StartupProbeReading readStartupProbes() {
    StartupProbeReading reading;
    reading.pictureSeconds = seconds(pictures);
    reading.pictures = pictures.calls;
    reading.mipmapSeconds = seconds(mipmaps);
    reading.mipmaps = mipmaps.calls;
    reading.meshSeconds = seconds(meshes);
    reading.meshes = meshes.calls;
    reading.musicMainThreadSeconds = seconds(musicMainThread);
    reading.loopsOpened = loopsOpened.calls;
    reading.musicWorkerSeconds = seconds(musicWorkers);
    reading.lastLoopDecoded = Clock::time_point(Clock::duration(lastLoopDecoded.load()));
    return reading;
}
