#include "platform/sound_stream.h"

#include "platform/fatal_exit.h"
#include "platform/startup_probe.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace platform {

SoundStream::SoundStream(std::string name, std::unique_ptr<SoundDecoder> decoder)
    : fileName(std::move(name)) {
    // The thread owns the decoder; it touches only buffer, failure and failed, which nobody
    // reads before joining it.
    decoding = std::thread(
        [this, owned = std::move(decoder)] { failed = !owned->decode(buffer, failure); });
}

SoundStream::~SoundStream() {
    if (decoding.joinable()) {
        decoding.join();
    }
}

void SoundStream::finishDecoding() {
    if (!decoding.joinable()) {
        return;
    }
    {
        const StartupProbe probe(StartupStep::loopWait);
        decoding.join();
    }
    if (failed) {
        fatalExit(1, "Cannot decode " + fileName + ": " + failure + "\n");
    }
    constexpr std::size_t largest = std::numeric_limits<std::uint32_t>::max();
    frames = static_cast<std::uint32_t>(std::min(buffer.size() / 2, largest));
}

} // namespace platform
