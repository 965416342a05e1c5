#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

// The demo's music: MP3 loops decoded completely when opened, mixed on a number of channels and
// played on the audio device, with positions that follow what the listener hears.
namespace platform {

class SoundStream;
class SoundMixer;
class SoundDevice;
class SoundDeviceOpening;
class OfflineSoundDevice;

enum class SoundOutput {
    // The default audio device. When none opens, or the one playing is removed or stops taking
    // sound, one warning on stderr, and a silent device advances the positions in real time from
    // where the listener was; the default device is tried again every so often, and the music
    // goes on there from its position.
    audioDevice,
    // A device the host advances by exact frame counts, keeping what it mixed.
    offline,
};

class SoundSystem {
public:
    SoundSystem();
    ~SoundSystem();
    SoundSystem(const SoundSystem&) = delete;
    SoundSystem& operator=(const SoundSystem&) = delete;

    // Opens the output for stereo at mixRate with channelCount channels; flags must be 0. Closes
    // the previous output and every stream opened before first, so their handles are void.
    // False for parameters it cannot serve, leaving the system closed.
    bool initialise(int mixRate, int channelCount, unsigned flags);
    // Reads and decodes an MP3 file without starting it. A file that cannot be opened ends the
    // process with "File <name> not found!" and one that cannot be decoded with the decoder's
    // reason, both with status 1 through the fatal path. Null before initialise.
    SoundStream* openStream(const char* fileName);
    // Makes the stream the one heard on the channel, from its current position, in place of
    // whatever played there; that stream keeps its position. Null silences the channel.
    void playStream(int channel, SoundStream* stream);
    // Milliseconds of the sample being heard now: the device's queue is already subtracted.
    // It never goes back while the stream plays, and stops at the stream's length at its end.
    // Also looks after the audio device: the demo asks for positions in every frame.
    std::int32_t streamPosition(const SoundStream* stream);
    // Moves the stream (clamped to its end); 0 rewinds it. A playing stream plays on from there.
    void setStreamPosition(SoundStream* stream, std::uint32_t milliseconds);

private:
    friend void selectSoundOutput(SoundSystem& system, SoundOutput output);
    friend void advanceOfflineSound(SoundSystem& system, std::uint32_t frames);
    friend std::span<const std::int16_t> offlineSoundRecording(const SoundSystem& system);
    friend int soundMixRate(const SoundSystem& system);
    friend bool writeOfflineSoundWav(const SoundSystem& system, const char* fileName);

    void close();
    SoundStream* find(const SoundStream* stream) const;
    void openAudioDevice();
    void watchAudioDevice();
    bool takeOpenedDevice(std::string& reason);
    void switchDevice(std::unique_ptr<SoundDevice> next);

    SoundOutput output = SoundOutput::audioDevice;
    int rate = 0;
    std::vector<std::unique_ptr<SoundStream>> streams;
    std::unique_ptr<SoundMixer> mixer;
    std::unique_ptr<SoundDevice> device;
    OfflineSoundDevice* offlineDevice = nullptr;
    // While the silent device stands in for the audio device: the opening under way, or when
    // the next one begins.
    bool silentStandIn = false;
    std::unique_ptr<SoundDeviceOpening> opening;
    std::chrono::steady_clock::time_point nextOpening{};
};

// The instance the demo uses, for the whole process.
SoundSystem& soundSystem();

// The host's side, never the demo's: the capture tool and the tests.
// Where the next initialise sends the sound.
void selectSoundOutput(SoundSystem& system, SoundOutput output);
// With the offline output: mixes the next frames (stereo pairs) and keeps them.
void advanceOfflineSound(SoundSystem& system, std::uint32_t frames);
// Everything the offline output mixed since initialise, interleaved stereo; empty otherwise.
std::span<const std::int16_t> offlineSoundRecording(const SoundSystem& system);
int soundMixRate(const SoundSystem& system);
// The offline recording as a 16-bit stereo WAV file at the mix rate. On failure prints
// "Cannot write <name>: <reason>" on stderr and returns false.
bool writeOfflineSoundWav(const SoundSystem& system, const char* fileName);

} // namespace platform
