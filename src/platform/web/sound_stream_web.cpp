// SoundStream without threads: the page has one, so a loop is decoded when it is opened. The
// browser's decoder is asynchronous; the program waits for it, yielding to the page meanwhile.
#include "platform/fatal_exit.h"
#include "platform/sound_stream.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace platform {

SoundStream::SoundStream(std::string name, std::unique_ptr<SoundDecoder> decoder)
    : fileName(std::move(name)) {
    failed = !decoder->decode(buffer, failure);
    constexpr std::size_t largest = std::numeric_limits<std::uint32_t>::max();
    frames = static_cast<std::uint32_t>(std::min(buffer.size() / 2, largest));
}

SoundStream::~SoundStream() = default;

void SoundStream::finishDecoding() {
    if (failed) {
        fatalExit(1, "Cannot decode " + fileName + ": " + failure + "\n");
    }
}

} // namespace platform
